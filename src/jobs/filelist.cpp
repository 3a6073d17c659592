#include "jobs/filelist.h"

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/wildcard.h"

bool IsEngineControlFile(const std::string& name) {
  return platform::matchesMask(name, "*.lck") || platform::sameNameNoCase(name, "pdoxusrs.net");
}

FileListBox::FileListBox()
    : m_directory(platform::TypedPath::resolve(platform::currentDirectory())) {}

void FileListBox::setDirectory(const platform::TypedPath& directory) {
  m_directory = directory;
  refresh();
}

void FileListBox::setDirectory(const std::string& directory) {
  setDirectory(platform::TypedPath::resolve(directory));
}

void FileListBox::setMask(const std::string& mask) {
  if (mask == m_mask) return;
  m_mask = mask;
  refresh();
}

void FileListBox::refresh() {
  m_items.clear();
  for (std::string& name : platform::listFiles(m_directory, m_mask))
    if (!IsEngineControlFile(name)) m_items.push_back(std::move(name));
}
