// TDM: the data module that owns every table handle.
#pragma once

class TDM {
  // placeholder until the data layer lands
};
