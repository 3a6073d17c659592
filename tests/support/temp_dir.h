// A scratch directory for one test, removed with everything in it.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/testos.h"

namespace fixture {

class TempDir {
 public:
  // Under the system's temporary directory, or under `base` (a RAM disk for
  // tests that write many small files).
  explicit TempDir(const std::filesystem::path& base = std::filesystem::temp_directory_path()) {
    m_path = testos::makeScratchDirectory("ud-test-", base);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_path, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return m_path; }
  std::string str() const { return m_path.string(); }
  std::filesystem::path operator/(const std::string& relative) const { return m_path / relative; }
  // Writes a file (creating its directories) under the scratch directory.
  void write(const std::string& relative, const std::string& content) const {
    std::filesystem::path p = m_path / relative;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << content;
  }
  std::string read(const std::string& relative) const {
    std::ifstream in(m_path / relative, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }
  bool has(const std::string& relative) const { return std::filesystem::exists(m_path / relative); }

 private:
  std::filesystem::path m_path;
};

}  // namespace fixture
