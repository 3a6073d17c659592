#include "jobs/filelist.h"

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/wildcard.h"

bool IsEngineControlFile(const std::string& name) {
  return platform::matchesMask(name, "*.lck") || platform::sameNameNoCase(name, "pdoxusrs.net");
}

FileListBox::FileListBox() = default;

std::string FileListBox::directory() const {
  return m_directory.empty() ? platform::currentDirectory() : m_directory.text();
}

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
  if (m_listed)
    select();
  else
    refresh();
}

void FileListBox::refresh() {
  m_items.clear();
  m_all.clear();
  m_listed = false;
  // Until a directory is set, the program's current one; resolved only when
  // a mask is listed there.
  if (m_directory.empty()) m_directory = platform::TypedPath::resolve(platform::currentDirectory());
  for (std::string& name : platform::listFiles(m_directory, "*.*"))
    if (!IsEngineControlFile(name)) m_all.push_back(std::move(name));
  m_listed = true;
  select();
}

void FileListBox::select() {
  m_items.clear();
  for (const std::string& name : m_all)
    if (platform::matchesMask(name, m_mask)) m_items.push_back(name);
}
