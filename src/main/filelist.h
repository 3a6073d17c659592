// FileListBox1: lists the plain files of one directory that match a mask.
#pragma once

#include <string>
#include <vector>

class FileListBox {
 public:
  // placeholder until the file-set copy lands
  std::vector<std::string> items;
};
