// FileListBox1: the window's invisible list of the plain files of one
// directory that match one mask.
//
// The database engine's control files (every "*.LCK" and "PDOXUSRS.NET")
// are never listed, whatever the mask: every copy of the jobs goes through
// this list, and a lock file copied into another directory can make the
// engine refuse that directory.
#pragma once

#include <string>
#include <vector>

#include "platform/typedpath.h"

// True for the engine's lock and network control files (letter case ignored).
bool IsEngineControlFile(const std::string& name);

class FileListBox {
 public:
  // Points at the program's current directory with the mask "*.*". No
  // listing is taken until a directory or a new mask is set.
  FileListBox();

  // Points the list at a directory and takes the listing afresh. Throws
  // platform::FileSystemError naming its text when the directory does not
  // exist or cannot be read; the list is then empty. The text form resolves
  // the text first, for callers that hold no resolved directory.
  void setDirectory(const platform::TypedPath& directory);
  void setDirectory(const std::string& directory);
  // Sets the mask. The names are chosen from the listing the directory was
  // given with, as the jobs change masks over a directory nothing else
  // writes meanwhile (one listing, not one a mask); until a directory was
  // listed, the listing is taken now and throws like setDirectory.
  void setMask(const std::string& mask);

  std::string directory() const;
  const std::string& mask() const { return m_mask; }
  // The matching plain files but the engine's control files, sorted alphabetically without regard
  // to case.
  const std::vector<std::string>& items() const { return m_items; }

 private:
  void refresh();
  void select();

  platform::TypedPath m_directory;
  std::string m_mask = "*.*";
  std::vector<std::string> m_all;  // every plain file of the listing
  bool m_listed = false;
  std::vector<std::string> m_items;
};
