// Shared helpers of the engine tests: scratch directories, copies of the
// sample tables and whole-file reads for byte comparisons.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace enginetest {

namespace fs = std::filesystem;

inline fs::path samplesDir() {
  return fs::path(UD_SOURCE_DIR) / ".." / "shared" / "paradox-samples";
}
inline bool haveSamples() {
  return fs::is_directory(samplesDir());
}

// A fresh directory under `base` (the system's temporary directory), removed
// at exit.
class ScratchDir {
 public:
  explicit ScratchDir(const fs::path& base = fs::temp_directory_path()) {
    static std::atomic<int> counter{0};
    m_path = base / ("ud-engine-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    fs::remove_all(m_path);
    fs::create_directories(m_path);
  }
  ~ScratchDir() {
    std::error_code ec;
    fs::remove_all(m_path, ec);
  }
  const fs::path& path() const { return m_path; }
  fs::path operator/(const std::string& name) const { return m_path / name; }

 private:
  fs::path m_path;
};

// Copies a sample table and its companions (same base name) into `dir`,
// writable; returns the copy of the data file.
inline fs::path copySample(const std::string& relative, const fs::path& dir) {
  const fs::path src = samplesDir() / relative;
  auto lower = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  for (const auto& e : fs::directory_iterator(src.parent_path())) {
    if (lower(e.path().stem().string()) != lower(src.stem().string())) continue;
    if (e.path().extension() == ".json") continue;
    const fs::path to = dir / e.path().filename();
    fs::copy_file(e.path(), to, fs::copy_options::overwrite_existing);
    fs::permissions(to, fs::perms::owner_write, fs::perm_options::add);
  }
  return dir / src.filename();
}

inline std::vector<unsigned char> readAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeAll(const fs::path& p, const std::vector<unsigned char>& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

}  // namespace enginetest
