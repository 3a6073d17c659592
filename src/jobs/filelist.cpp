#include "jobs/filelist.h"

#include "platform/files.h"
#include "platform/paths.h"

FileListBox::FileListBox() : m_directory(platform::currentDirectory()) {}

void FileListBox::setDirectory(const std::string& directory) {
  m_directory = directory;
  refresh();
}

void FileListBox::setMask(const std::string& mask) {
  if (mask == m_mask) return;
  m_mask = mask;
  refresh();
}

void FileListBox::refresh() {
  m_items.clear();
  m_items = platform::listFiles(m_directory, m_mask);
}
