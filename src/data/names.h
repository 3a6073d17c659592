// Name matching for the data layer and the jobs: the engine's rule (ASCII
// letter case ignored, never locale-dependent).
#pragma once

#include "paradox/names.h"

using pdx::asciiUpper;
using pdx::sameName;
