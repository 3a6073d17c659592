// The .MB file of a table being built: a 4 KiB header block, sub-allocated
// blocks (type 3) for small blobs and single-blob blocks (type 2) for blobs
// over 2 KiB.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "support/record_codec.h"

namespace fixture::detail {

class MemoFile : public BlobSink {
 public:
  explicit MemoFile(const std::filesystem::path& path);
  ~MemoFile() override;
  BlobRef store(std::string_view blob) override;
  // Writes the pending sub-allocated block and closes the file.
  void close();

 private:
  void flushSubBlock();

  std::ofstream m_out;
  std::filesystem::path m_path;
  std::uint32_t m_nextOffset = 4096;  // where the next block goes
  std::string m_sub;                  // the sub-allocated block being filled
  std::uint32_t m_subOffset = 0;
  int m_nextSlot = 63;
  int m_nextParagraph = 0x15;  // data starts at 0x150
  bool m_closed = false;
};

}  // namespace fixture::detail
