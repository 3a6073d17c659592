#include "support/fixture_files.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fixture {

std::string readFileBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + file.string());
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void writeFileBytes(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

namespace {
void patch(const std::filesystem::path& file, std::uint64_t offset, std::uint32_t value, int n) {
  std::fstream f(file, std::ios::binary | std::ios::in | std::ios::out);
  if (!f) throw std::runtime_error("cannot open " + file.string());
  f.seekg(0, std::ios::end);
  if (offset + static_cast<std::uint64_t>(n) > static_cast<std::uint64_t>(f.tellg())) {
    throw std::out_of_range("offset past the end of " + file.string());
  }
  f.seekp(static_cast<std::streamoff>(offset));
  for (int i = 0; i < n; ++i) f.put(static_cast<char>((value >> (8 * i)) & 0xFF));
  if (!f) throw std::runtime_error("cannot write " + file.string());
}
}  // namespace

void corruptByte(const std::filesystem::path& file, std::uint64_t offset, std::uint8_t value) {
  patch(file, offset, value, 1);
}
void corruptU16(const std::filesystem::path& file, std::uint64_t offset, std::uint16_t value) {
  patch(file, offset, value, 2);
}
void corruptU32(const std::filesystem::path& file, std::uint64_t offset, std::uint32_t value) {
  patch(file, offset, value, 4);
}
void truncateFile(const std::filesystem::path& file, std::uint64_t size) {
  std::filesystem::resize_file(file, size);
}

std::string sparseHexDump(const std::string& bytes) {
  std::string out;
  char buf[24];
  for (std::size_t line = 0; line < bytes.size(); line += 16) {
    const std::size_t n = std::min<std::size_t>(16, bytes.size() - line);
    bool zero = true;
    for (std::size_t k = 0; k < n; ++k) zero = zero && bytes[line + k] == 0;
    if (zero) continue;
    std::snprintf(buf, sizeof buf, "%04zx:", line);
    out += buf;
    for (std::size_t k = 0; k < n; ++k) {
      std::snprintf(buf, sizeof buf, " %02x", static_cast<unsigned char>(bytes[line + k]));
      out += buf;
    }
    out += '\n';
  }
  return out;
}

std::string fromSparseHexDump(const std::string& dump, std::size_t size) {
  std::string bytes(size, '\0');
  std::istringstream in(dump);
  std::string line;
  while (std::getline(in, line)) {
    const auto colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::size_t offset = std::stoul(line.substr(0, colon), nullptr, 16);
    std::istringstream hex(line.substr(colon + 1));
    std::string byte;
    while (hex >> byte) {
      if (offset >= size) throw std::out_of_range("hex dump runs past its size");
      bytes[offset++] = static_cast<char>(std::stoul(byte, nullptr, 16));
    }
  }
  return bytes;
}

namespace {
// FNV-1a 64 over the content: enough to tell changed files apart in tests.
std::string digest(const std::string& bytes) {
  std::uint64_t h = 1469598103934665603ull;
  for (char c : bytes) {
    h ^= static_cast<unsigned char>(c);
    h *= 1099511628211ull;
  }
  char buf[40];
  std::snprintf(buf, sizeof buf, "%016llx:%zu", static_cast<unsigned long long>(h), bytes.size());
  return buf;
}
}  // namespace

DirectorySnapshot snapshotDirectory(const std::filesystem::path& dir) {
  DirectorySnapshot snap;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir)) {
    if (!e.is_regular_file()) continue;
    snap[std::filesystem::relative(e.path(), dir).generic_string()] =
        digest(readFileBytes(e.path()));
  }
  return snap;
}

std::string describeChanges(const DirectorySnapshot& before, const DirectorySnapshot& after) {
  std::string out;
  for (const auto& [name, d] : before) {
    const auto it = after.find(name);
    if (it == after.end()) {
      out += "removed " + name + "\n";
    } else if (it->second != d) {
      out += "changed " + name + "\n";
    }
  }
  for (const auto& [name, d] : after) {
    if (before.find(name) == before.end()) out += "added " + name + "\n";
  }
  return out;
}

}  // namespace fixture
