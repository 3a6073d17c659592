// expectUnchanged: a directory only read by the code under test keeps every
// file, byte for byte.
//
//   UnchangedDir guard(oldCompanyDir);
//   runTheJob();
//   guard.expectUnchanged();
//
// A run that may change some files names them by the line describeChanges
// gives ("added 2006_001/Cari.DB", "changed sirket.db"):
//
//   guard.expectUnchanged([](const std::string& line) { return line.starts_with("added "); });
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <string>

#include "support/fixture_files.h"

namespace fixture {

class UnchangedDir {
 public:
  explicit UnchangedDir(std::filesystem::path dir)
      : m_dir(std::move(dir)), m_before(snapshotDirectory(m_dir)) {}
  // Adds a failure listing every file added, removed or changed, but for the
  // lines `expected` accepts.
  void expectUnchanged(const std::function<bool(const std::string&)>& expected = {}) const {
    std::istringstream lines(describeChanges(m_before, snapshotDirectory(m_dir)));
    std::string unexpected;
    for (std::string line; std::getline(lines, line);)
      if (!expected || !expected(line)) unexpected += line + "\n";
    EXPECT_EQ(unexpected, "") << "in " << m_dir;
  }

 private:
  std::filesystem::path m_dir;
  DirectorySnapshot m_before;
};

}  // namespace fixture
