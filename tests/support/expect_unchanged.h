// expectUnchanged: a directory only read by the code under test keeps every
// file, byte for byte.
//
//   UnchangedDir guard(oldCompanyDir);
//   runTheJob();
//   guard.expectUnchanged();
#pragma once

#include <gtest/gtest.h>

#include <filesystem>

#include "support/fixture_files.h"

namespace fixture {

class UnchangedDir {
 public:
  explicit UnchangedDir(std::filesystem::path dir)
      : m_dir(std::move(dir)), m_before(snapshotDirectory(m_dir)) {}
  // Adds a failure listing every file added, removed or changed.
  void expectUnchanged() const {
    EXPECT_EQ(describeChanges(m_before, snapshotDirectory(m_dir)), "") << "in " << m_dir;
  }

 private:
  std::filesystem::path m_dir;
  DirectorySnapshot m_before;
};

}  // namespace fixture
