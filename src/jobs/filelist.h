// FileListBox1: the window's invisible list of the plain files of one
// directory that match one mask.
#pragma once

#include <string>
#include <vector>

class FileListBox {
 public:
  // Points at the program's current directory with the mask "*.*". No
  // listing is taken until a directory or a new mask is set.
  FileListBox();

  // Points the list at a directory (a path text as typed) and takes the
  // listing afresh. Throws platform::FileSystemError naming the text when the
  // directory does not exist or cannot be read; the list is then empty.
  void setDirectory(const std::string& directory);
  // Sets the mask; the listing is taken afresh when it differs from the
  // current one. Throws like setDirectory.
  void setMask(const std::string& mask);

  const std::string& directory() const { return m_directory; }
  const std::string& mask() const { return m_mask; }
  // The matching plain files, sorted alphabetically without regard to case.
  const std::vector<std::string>& items() const { return m_items; }

 private:
  void refresh();

  std::string m_directory;
  std::string m_mask = "*.*";
  std::vector<std::string> m_items;
};
