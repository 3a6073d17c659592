// libFuzzer target for the blob file alone: a mutated .MB and a script of
// reads, writes and frees through record fields whose pointers the input
// also sets. Input: script bytes, kSeparator, .MB bytes. Engine errors are
// expected; crashes, sanitizer reports, leaks and hangs are the findings.
#include <unistd.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "paradox/errors.h"
#include "paradox/memo.h"

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kSeparator("\0PDXFUZZ\0", 9);
constexpr int kWidth = 20;  // 10-byte leader

const fs::path& memoPath() {
  static const fs::path path = [] {
    std::string templ =
        (fs::exists("/dev/shm") ? "/dev/shm" : "/tmp") + std::string("/mfuzzXXXXXX");
    if (mkdtemp(templ.data()) == nullptr) std::abort();
    return fs::path(templ) / "T.MB";
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = input.find(kSeparator);
  std::string_view script = input.substr(0, split);
  {
    std::ofstream out(memoPath(), std::ios::binary | std::ios::trunc);
    if (split != std::string_view::npos) {
      const std::string_view file = input.substr(split + kSeparator.size());
      out.write(file.data(), static_cast<std::streamsize>(file.size()));
    }
  }
  std::array<std::array<std::uint8_t, kWidth>, 8> fields{};
  pdx::MemoFile memo(memoPath(), true);
  const auto take = [&script]() -> std::uint8_t {
    if (script.empty()) return 0;
    const auto b = static_cast<std::uint8_t>(script.front());
    script.remove_prefix(1);
    return b;
  };
  for (int step = 0; step < 64 && !script.empty(); ++step) {
    const std::uint8_t op = take();
    auto& field = fields[op & 7];
    try {
      switch ((op >> 3) % 6) {
        case 0:  // a pointer from the input: offset-and-index, length
          for (int i = 0; i < pdx::BlobPointer::kSize; ++i) field[kWidth - 10 + i] = take();
          break;
        case 1:
          (void)memo.read(field.data(), kWidth);
          break;
        case 2: {  // a value of up to ~16 KiB
          const std::size_t length = std::size_t{take()} * 64 + take();
          memo.write(field.data(), kWidth, std::string(length, static_cast<char>(op)),
                     op & 0x40 ? pdx::FieldType::kGraphic : pdx::FieldType::kMemo);
          break;
        }
        case 3:
          memo.free(field.data(), kWidth);
          break;
        case 4:
          memo.commitFrees();
          break;
        default:
          (void)memo.check();
          break;
      }
    } catch (const EDatabaseError&) {
    }
  }
  return 0;
}
