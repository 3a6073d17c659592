#include "paradox/memo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <regex>

#include "paradox/errors.h"
#include "paradox/rawtable.h"
#include "sha256.h"
#include "support/temp_dir.h"

namespace pdx {
namespace {

namespace fs = std::filesystem;

const fs::path kSamples = fs::path(UD_SOURCE_DIR) / ".." / "shared" / "paradox-samples";

using fixture::TempDir;

std::string fileBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary | std::ios::ate);
  std::string bytes(static_cast<std::size_t>(std::max<std::streamoff>(0, in.tellg())), '\0');
  in.seekg(0);
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

// Offset of the first byte where a and b differ; npos when equal.
std::size_t firstDifference(const std::string& a, const std::string& b) {
  const auto m = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
  return m.first == a.end() && m.second == b.end() ? std::string::npos
                                                   : static_cast<std::size_t>(m.first - a.begin());
}

void patchFile(const fs::path& p, std::size_t at, std::string_view bytes) {
  std::fstream f(p, std::ios::binary | std::ios::in | std::ios::out);
  f.seekp(static_cast<std::streamoff>(at));
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string randomBytes(std::size_t n, std::mt19937& rng) {
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(rng());
  return s;
}

// A blob field of the given width, as it sits in a record.
struct BlobField {
  explicit BlobField(int w, std::uint8_t fill = 0)
      : width(w), bytes(static_cast<std::size_t>(w), fill) {}
  int width;
  std::vector<std::uint8_t> bytes;
  BlobPointer pointer() const { return BlobPointer::decode(bytes.data(), width); }
  std::string leader() const {
    return std::string(bytes.begin(), bytes.begin() + (width - BlobPointer::kSize));
  }
};

fs::path companion(const fs::path& db, const std::string& ext) {
  for (const auto& e : fs::directory_iterator(db.parent_path())) {
    std::string name = e.path().filename().string(), want = db.stem().string() + ext;
    std::transform(name.begin(), name.end(), name.begin(), ::tolower);
    std::transform(want.begin(), want.end(), want.begin(), ::tolower);
    if (name == want) return e.path();
  }
  return db.parent_path() / (db.stem().string() + ext);
}

// ---- Real tables written by Paradox and the BDE -------------------------

TEST(MemoSamples, EveryBlobReadsWithTheExpectedLengthAndDigest) {
  if (!fs::exists(kSamples)) GTEST_SKIP() << "sample tables not found at " << kSamples;
  const std::regex blobValue(R"re(\{"length": (\d+), "sha256": (null|"([0-9a-f]{64})")\})re");
  int checked = 0, missing = 0;
  for (const auto& entry : fs::recursive_directory_iterator(kSamples)) {
    std::string ext = entry.path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
    if (ext != ".db") continue;
    const rawtable::File table = rawtable::read(entry.path());
    if (table.encrypted || std::none_of(table.fields.begin(), table.fields.end(),
                                        [](const auto& f) { return rawtable::isBlob(f.type); })) {
      continue;
    }
    SCOPED_TRACE(entry.path().string());
    const std::string expected = fileBytes(entry.path().string() + ".expected.json");
    auto next = std::sregex_iterator(expected.begin(), expected.end(), blobValue);
    const MemoFile memo(companion(entry.path(), ".mb"), false);
    EXPECT_TRUE(memo.check().empty()) << memo.check().front();
    for (const auto& record : table.records) {
      for (const auto& f : table.fields) {
        if (!rawtable::isBlob(f.type)) continue;
        const std::uint8_t* field = record.data() + f.offset;
        if (std::all_of(field, field + f.width, [](std::uint8_t b) { return b == 0; })) continue;
        ASSERT_NE(next, std::sregex_iterator()) << "more blobs than expected";
        const std::smatch m = *next++;
        if (m[2] == "null") {
          try {
            memo.read(field, f.width);
            ADD_FAILURE() << "a value in an absent blob file was read";
          } catch (const EDBEngineError& e) {
            EXPECT_EQ(e.code(), EDBEngineError::Code::kNotFound);
          }
          ++missing;
          continue;
        }
        const std::string value = memo.read(field, f.width);
        EXPECT_EQ(value.size(), std::stoul(m[1]));
        EXPECT_EQ(sha256Hex(value), m[3].str());
        ++checked;
      }
    }
    EXPECT_EQ(next, std::sregex_iterator()) << "fewer blobs than expected";
  }
  EXPECT_GT(checked, 100);
  EXPECT_GT(missing, 0);
}

// Values written into a fresh file, in the order the BDE wrote them (slot
// 63 first), land exactly where the BDE put them: same header block, slot
// table and data. The samples' files whose values all sit in one
// sub-allocated block, none freed.
class FreshFileLikeTheBde : public ::testing::TestWithParam<const char*> {};

TEST_P(FreshFileLikeTheBde, SameBytes) {
  const fs::path sample = kSamples / GetParam();
  if (!fs::exists(sample)) GTEST_SKIP() << "sample tables not found at " << kSamples;
  const std::string bde = fileBytes(sample);
  ASSERT_EQ(bde.size(), 2u * 4096);
  TempDir dir;
  MemoFile memo(dir / "fresh.mb", true);
  for (int slot = 63; slot >= 0; --slot) {
    const auto* raw = reinterpret_cast<const std::uint8_t*>(&bde[4096 + 12 + 5 * slot]);
    if (raw[0] == 0) break;  // the BDE fills slots downwards
    const std::size_t length = (raw[1] - 1u) * 16 + raw[4];
    BlobField field(20);
    memo.write(field.bytes.data(), field.width, bde.substr(4096 + raw[0] * 16u, length));
    EXPECT_EQ(field.pointer().offsetAndIndex, 0x1000u | static_cast<unsigned>(slot));
  }
  memo.flush();
  const std::string ours = fileBytes(dir / "fresh.mb");
  ASSERT_EQ(ours.size(), bde.size());
  EXPECT_EQ(firstDifference(ours.substr(0, 4096), bde.substr(0, 4096)), std::string::npos)
      << "header block";
  // The block's head holds bytes the BDE leaves uninitialised; the rest must
  // agree up to the end of the data, past which the BDE leaves old bytes.
  std::size_t end = 4096 + 21 * 16;
  for (int slot = 63; slot >= 0 && bde[4096 + 12 + 5 * slot] != 0; --slot) {
    const auto* raw = reinterpret_cast<const std::uint8_t*>(&bde[4096 + 12 + 5 * slot]);
    end = std::max<std::size_t>(end, 4096 + (raw[0] + raw[1]) * 16u - 16 + raw[4]);
  }
  EXPECT_EQ(firstDifference(ours.substr(4096 + 12, end - 4096 - 12),
                            bde.substr(4096 + 12, end - 4096 - 12)),
            std::string::npos)
      << "slots and data, from 0x100C";
}

INSTANTIATE_TEST_SUITE_P(Samples, FreshFileLikeTheBde,
                         ::testing::Values("paradoxdriver/fields/memo.mb",
                                           "paradoxdriver/fields/fmemo.mb",
                                           "paradoxdriver/db/HERCULES.MB"));

// A value over the threshold gets a block of its own, as in the BDE's
// fields/graphic240.mb (one 20,086-byte graphic).
TEST(MemoSamples, FreshSingleBlockLikeTheBde) {
  const fs::path sample = kSamples / "paradoxdriver" / "fields" / "graphic240.mb";
  if (!fs::exists(sample)) GTEST_SKIP() << "sample tables not found at " << kSamples;
  const std::string bde = fileBytes(sample);
  const std::size_t length = static_cast<std::uint8_t>(bde[0x1003]) |
                             static_cast<std::uint8_t>(bde[0x1004]) << 8 |
                             static_cast<std::uint8_t>(bde[0x1005]) << 16;
  TempDir dir;
  MemoFile memo(dir / "fresh.mb", true);
  BlobField field(250);
  memo.write(field.bytes.data(), field.width, bde.substr(0x1009, length), FieldType::kGraphic);
  EXPECT_EQ(field.pointer().offsetAndIndex, 0x10FFu);
  memo.flush();
  const std::string ours = fileBytes(dir / "fresh.mb");
  ASSERT_EQ(ours.size(), bde.size());
  EXPECT_EQ(firstDifference(ours.substr(0, 0x1009 + length), bde.substr(0, 0x1009 + length)),
            std::string::npos);
}

// The BDE-made biolife.mb (sub-allocated and single blocks, free runs and a
// free-list kind we do not use) takes frees and new values; every value
// left untouched still reads the same.
TEST(MemoSamples, ChangesInABdeFileKeepTheOtherValues) {
  const fs::path db = kSamples / "Rparadox" / "biolife.db";
  if (!fs::exists(db)) GTEST_SKIP() << "sample tables not found at " << kSamples;
  TempDir dir;
  fs::copy_file(companion(db, ".mb"), dir / "biolife.mb");
  fs::permissions(dir / "biolife.mb", fs::perms::owner_write, fs::perm_options::add);
  rawtable::File table = rawtable::read(db);
  MemoFile original(companion(db, ".mb"), false), memo(dir / "biolife.mb", true);
  std::vector<std::pair<std::vector<std::uint8_t>*, rawtable::Field>> blobs;
  for (auto& record : table.records) {
    for (const auto& f : table.fields) {
      if (rawtable::isBlob(f.type)) blobs.emplace_back(&record, f);
    }
  }
  ASSERT_GT(blobs.size(), 20u);
  std::mt19937 rng(7);
  std::map<std::size_t, std::string> expect;
  for (std::size_t i = 0; i < blobs.size(); ++i) {
    auto& [record, f] = blobs[i];
    std::uint8_t* field = record->data() + f.offset;
    expect[i] = original.read(field, f.width);
    if (i % 2 == 0) {
      memo.free(field, f.width);
      expect[i] = randomBytes(rng() % 2 ? 300 : 30000, rng);
      memo.write(field, f.width, expect[i],
                 f.type == 0x10 ? FieldType::kGraphic : FieldType::kMemo);
    }
  }
  for (std::size_t i = 0; i < blobs.size(); ++i) {
    auto& [record, f] = blobs[i];
    EXPECT_EQ(memo.read(record->data() + f.offset, f.width), expect[i]) << "blob " << i;
  }
  memo.commitFrees();
  const std::vector<std::string> problems = memo.check();
  EXPECT_TRUE(problems.empty()) << problems.front();
}

// ---- Our own writes --------------------------------------------------------

TEST(MemoFile, ValuesOfEverySizeRoundTripAndLandInTheRightPlace) {
  TempDir dir;
  const int width = 20;  // 10-byte leader
  const std::vector<std::size_t> sizes = {0,    1,    10,   11,   16,    17,     100,  2047,
                                          2048, 2049, 4087, 4088, 20000, 300000, 8183, 3000};
  std::mt19937 rng(1);
  std::vector<std::string> values;
  std::vector<BlobField> fields;
  {
    MemoFile memo(dir / "t.mb", true);
    for (std::size_t size : sizes) {
      values.push_back(randomBytes(size, rng));
      fields.emplace_back(width, 0xEE);  // left-overs the write must ignore
      memo.write(fields.back().bytes.data(), width, values.back());
      const BlobPointer p = fields.back().pointer();
      SCOPED_TRACE(size);
      EXPECT_EQ(p.length, size);
      if (size <= 10) {
        EXPECT_TRUE(p.inLeader());
        EXPECT_EQ(fields.back().leader(), values.back() + std::string(10 - size, '\0'));
      } else {
        EXPECT_EQ(p.index() == BlobPointer::kSingleBlock, size > 2048);
        EXPECT_EQ(fields.back().leader(), values.back().substr(0, 10));
      }
      EXPECT_EQ(fs::exists(dir / "t.mb"), fields.size() > 3) << "no file until a value needs it";
    }
    memo.flush();
    EXPECT_TRUE(memo.check().empty());
  }
  EXPECT_EQ(fs::file_size(dir / "t.mb") % 4096, 0u);
  const MemoFile reopened(dir / "t.mb", false);
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    EXPECT_EQ(reopened.read(fields[i].bytes.data(), width), values[i]) << "size " << sizes[i];
  }
}

TEST(MemoFile, GraphicLeaderCopiesTheImageAfterItsPrefix) {
  TempDir dir;
  MemoFile memo(dir / "g.mb", true);
  BlobField field(15);
  const std::string image = std::string("\x01\x00\x00\x01\x0A\x00\x00\x00", 8) + "BM-picture";
  memo.write(field.bytes.data(), field.width, image, FieldType::kGraphic);
  EXPECT_EQ(field.leader(), "BM-pi");
  EXPECT_EQ(memo.read(field.bytes.data(), field.width), image);
}

TEST(MemoFile, FreedSpaceIsReusedAndListed) {
  TempDir dir;
  MemoFile memo(dir / "f.mb", true);
  std::mt19937 rng(3);
  BlobField small(20), big(20), after(20), again(20), fill(20);
  memo.write(small.bytes.data(), 20, randomBytes(200, rng));
  memo.write(big.bytes.data(), 20, randomBytes(3 * 4096 - 9, rng));  // 3 chunks
  memo.write(after.bytes.data(), 20, randomBytes(5000, rng));        // 2 chunks
  const auto size = fs::file_size(dir / "f.mb");
  const std::uint32_t slotPointer = small.pointer().offsetAndIndex;
  memo.free(small.bytes.data(), 20);
  memo.commitFrees();
  memo.write(small.bytes.data(), 20, randomBytes(190, rng));
  EXPECT_EQ(small.pointer().offsetAndIndex, slotPointer);
  memo.free(big.bytes.data(), 20);
  memo.commitFrees();
  memo.write(again.bytes.data(), 20, randomBytes(5000, rng));  // 2 of the 3 freed chunks
  EXPECT_EQ(again.pointer().blockOffset(), big.pointer().blockOffset());
  memo.flush();
  // The list: the sub-allocated block with its free paragraphs, the free chunk.
  const std::string header = fileBytes(dir / "f.mb").substr(0x38, 12);
  EXPECT_EQ(header, std::string("\x02\x10\x00\x00\xDF\x00"   // block 0x1000, 235 - 12 free
                                "\x03\x40\x00\x00\x01\x00",  // chunk 4 free
                                12));
  memo.write(fill.bytes.data(), 20, randomBytes(4000, rng));
  EXPECT_EQ(fill.pointer().blockOffset(), 4u * 4096);
  EXPECT_EQ(fs::file_size(dir / "f.mb"), size);
  EXPECT_TRUE(memo.check().empty());
}

// A table rewritten beside its original frees the old values at post; the
// original keeps pointing at them until the copy is renamed into place.
TEST(MemoFile, FreedValuesStayUntilCommitted) {
  TempDir dir;
  MemoFile memo(dir / "c.mb", true);
  BlobField oldSlot(20), oldBlock(20), fresh(20), freshBlock(20);
  memo.write(oldSlot.bytes.data(), 20, std::string(300, 'o'));
  memo.write(oldBlock.bytes.data(), 20, std::string(9000, 'O'));
  memo.free(oldSlot.bytes.data(), 20);
  memo.free(oldBlock.bytes.data(), 20);
  memo.write(fresh.bytes.data(), 20, std::string(300, 'n'));
  memo.write(freshBlock.bytes.data(), 20, std::string(9000, 'N'));
  EXPECT_NE(fresh.pointer().offsetAndIndex, oldSlot.pointer().offsetAndIndex);
  EXPECT_NE(freshBlock.pointer().blockOffset(), oldBlock.pointer().blockOffset());
  EXPECT_EQ(MemoFile(dir / "c.mb", false).read(oldSlot.bytes.data(), 20), std::string(300, 'o'));
  EXPECT_EQ(MemoFile(dir / "c.mb", false).read(oldBlock.bytes.data(), 20), std::string(9000, 'O'));
  memo.commitFrees();
  EXPECT_THROW(MemoFile(dir / "c.mb", false).read(oldSlot.bytes.data(), 20), EDBEngineError);
  BlobField reuse(20);
  memo.write(reuse.bytes.data(), 20, std::string(300, 'r'));
  EXPECT_EQ(reuse.pointer().offsetAndIndex, oldSlot.pointer().offsetAndIndex);
  EXPECT_EQ(memo.read(fresh.bytes.data(), 20), std::string(300, 'n'));
  EXPECT_TRUE(memo.check().empty());
}

TEST(MemoFile, RandomWritesAndFreesAgreeWithAModel) {
  TempDir dir;
  std::mt19937 rng(42);
  std::vector<BlobField> fields(60, BlobField(30));
  std::vector<std::string> model(fields.size());
  {
    MemoFile memo(dir / "r.mb", true);
    for (int op = 0; op < 1500; ++op) {
      const std::size_t i = rng() % fields.size();
      memo.free(fields[i].bytes.data(), 30);
      if (op % 7 == 0) memo.commitFrees();
      const int kind = static_cast<int>(rng() % 10);
      model[i] = randomBytes(kind < 6 ? rng() % 2100 : kind < 9 ? rng() % 20000 : 0, rng);
      memo.write(fields[i].bytes.data(), 30, model[i]);
    }
    memo.commitFrees();
    for (std::size_t i = 0; i < fields.size(); ++i) {
      ASSERT_EQ(memo.read(fields[i].bytes.data(), 30), model[i]) << i;
    }
    const auto problems = memo.check();
    EXPECT_TRUE(problems.empty()) << problems.front();
  }
  // Space is reused: the file stays near what the live values need.
  std::size_t live = 0;
  for (const auto& v : model) live += v.size();
  EXPECT_LT(fs::file_size(dir / "r.mb"), 3 * live + 64 * 4096);
}

// ---- Damaged files and pointers ---------------------------------------------

// One sub-allocated value and one single-block value in a fresh file; each
// case damages the field or the file and expects the exact complaint.
struct Damage {
  const char* name;
  bool single;  // damage the single-block value's field (else the slot's)
  std::function<void(BlobField&, const fs::path&)> apply;
  const char* message;
};

class DamagedMemo : public ::testing::TestWithParam<Damage> {};

void setPointer(BlobField& f, std::uint32_t offsetAndIndex, std::uint32_t length) {
  BlobPointer p = f.pointer();
  p.offsetAndIndex = offsetAndIndex;
  p.length = length;
  p.encode(f.bytes.data(), f.width);
}

TEST_P(DamagedMemo, ReadFailsNamingTheFault) {
  TempDir dir;
  const fs::path path = dir / "d.mb";
  BlobField slot(20), single(20);
  {
    MemoFile memo(path, true);
    memo.write(slot.bytes.data(), 20, std::string(100, 's'));
    memo.write(single.bytes.data(), 20, std::string(3000, 'b'));
  }
  BlobField& target = GetParam().single ? single : slot;
  GetParam().apply(target, path);
  const MemoFile memo(path, false);
  for (int attempt = 0; attempt < 2; ++attempt) {  // the second meets the same complaint
    try {
      memo.read(target.bytes.data(), 20);
      ADD_FAILURE() << "no error on attempt " << attempt;
    } catch (const EDBEngineError& e) {
      EXPECT_EQ(e.code(), EDBEngineError::Code::kCorrupt);
      EXPECT_NE(std::string(e.what()).find(GetParam().message), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find("d.mb"), std::string::npos) << e.what();
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedMemo,
    ::testing::Values(
        Damage{"SlotPastSixtyFour", false,
               [](BlobField& f, const fs::path&) { setPointer(f, 0x1000 | 64, 100); }, "slot 64"},
        Damage{"BlockPastTheEnd", true,
               [](BlobField& f, const fs::path&) { setPointer(f, 0x90000 | 0xFF, 3000); },
               "past the end of the file"},
        Damage{"NotOnABlock", false,
               [](BlobField& f, const fs::path&) { setPointer(f, 0x1800 | 63, 100); },
               "not a data block"},
        Damage{"HeaderBlock", false, [](BlobField& f, const fs::path&) { setPointer(f, 63, 100); },
               "not a data block"},
        Damage{"SlotLengthDisagrees", false,
               [](BlobField& f, const fs::path&) { setPointer(f, 0x1000 | 63, 101); }, "holds 100"},
        Damage{"SingleLengthDisagrees", true,
               [](BlobField& f, const fs::path&) { setPointer(f, 0x2000 | 0xFF, 2999); },
               "holds 3000"},
        Damage{"SingleOnASubBlock", false,
               [](BlobField& f, const fs::path&) { setPointer(f, 0x1000 | 0xFF, 100); },
               "expected a single-value block"},
        Damage{"SlotOnASingleBlock", true,
               [](BlobField& f, const fs::path&) { setPointer(f, 0x2000 | 5, 3000); },
               "expected a sub-allocated block"},
        Damage{"FreedSlot", false,
               [](BlobField&, const fs::path& p) {
                 patchFile(p, 0x1000 + 12 + 5 * 63, std::string(1, '\0'));
               },
               "free slot 63"},
        Damage{"SlotInsideTheSlotTable", false,
               [](BlobField&, const fs::path& p) { patchFile(p, 0x1000 + 12 + 5 * 63, "\x03"); },
               "outside the block's data area"},
        Damage{"LongerThanItsBlock", true,
               [](BlobField& f, const fs::path& p) {
                 patchFile(p, 0x2000 + 3, std::string("\x00\x20\x00\x00", 4));
                 setPointer(f, 0x2000 | 0xFF, 0x2000);
               },
               "runs past its block"},
        Damage{"HugeLength", true,
               [](BlobField& f, const fs::path& p) {
                 patchFile(p, 0x2000 + 3, std::string("\xF0\xFF\xFF\xFF", 4));
                 setPointer(f, 0x2000 | 0xFF, 0xFFFFFFF0u);
               },
               "runs past its block"},
        Damage{"InLeaderTooLong", false,
               [](BlobField& f, const fs::path&) { setPointer(f, 0, 11); }, "does not fit"},
        Damage{"NotABlobFile", false,
               [](BlobField&, const fs::path& p) { patchFile(p, 0, "\x02"); }, "not a blob file"},
        Damage{"Truncated", true,
               [](BlobField&, const fs::path& p) { fs::resize_file(p, 0x2000 + 100); },
               "past the end of the file"}),
    [](const ::testing::TestParamInfo<Damage>& c) { return std::string(c.param.name); });

TEST(MemoFile, MissingFileMattersOnlyToValuesThatNeedIt) {
  TempDir dir;
  BlobField inLeader(20), outside(20);
  {
    MemoFile memo(dir / "m.mb", true);
    memo.write(inLeader.bytes.data(), 20, "short");
    memo.write(outside.bytes.data(), 20, std::string(50, 'x'));
  }
  fs::remove(dir / "m.mb");
  const MemoFile memo(dir / "m.mb", false);
  EXPECT_EQ(memo.read(inLeader.bytes.data(), 20), "short");
  EXPECT_TRUE(memo.check().empty());
  try {
    memo.read(outside.bytes.data(), 20);
    FAIL() << "no error";
  } catch (const EDBEngineError& e) {
    EXPECT_EQ(e.code(), EDBEngineError::Code::kNotFound);
  }
}

TEST(MemoFile, ReadOnlyFileIsNeverWritten) {
  TempDir dir;
  BlobField field(20);
  {
    MemoFile memo(dir / "ro.mb", true);
    memo.write(field.bytes.data(), 20, std::string(50, 'x'));
  }
  const std::string before = fileBytes(dir / "ro.mb");
  MemoFile memo(dir / "ro.mb", false);
  BlobField other(20);
  for (const auto& attempt : std::vector<std::function<void()>>{
           [&] { memo.write(other.bytes.data(), 20, std::string(50, 'y')); },
           [&] { memo.free(field.bytes.data(), 20); }}) {
    try {
      attempt();
      ADD_FAILURE() << "no error";
    } catch (const EDBEngineError& e) {
      EXPECT_EQ(e.code(), EDBEngineError::Code::kReadOnly);
    }
  }
  EXPECT_EQ(fileBytes(dir / "ro.mb"), before);
}

TEST(MemoFile, FreeingTwiceIsRefused) {
  TempDir dir;
  MemoFile memo(dir / "twice.mb", true);
  BlobField slot(20), single(20);
  memo.write(slot.bytes.data(), 20, std::string(50, 'x'));
  memo.write(single.bytes.data(), 20, std::string(5000, 'y'));
  memo.free(slot.bytes.data(), 20);
  memo.free(single.bytes.data(), 20);
  EXPECT_THROW(memo.free(slot.bytes.data(), 20), EDBEngineError);  // already marked
  memo.commitFrees();
  EXPECT_THROW(memo.free(slot.bytes.data(), 20), EDBEngineError);  // already released
  EXPECT_THROW(memo.free(single.bytes.data(), 20), EDBEngineError);
  EXPECT_TRUE(memo.check().empty());
}

TEST(MemoFile, CheckFindsOverlapsAndAFreeListThatClaimsUsedSpace) {
  TempDir dir;
  BlobField a(20), b(20), c(20);
  {
    MemoFile memo(dir / "c.mb", true);
    memo.write(a.bytes.data(), 20, std::string(100, 'a'));  // slot 63, paragraphs 21-27
    memo.write(b.bytes.data(), 20, std::string(100, 'b'));  // slot 62, paragraphs 28-34
    memo.write(c.bytes.data(), 20, std::string(5000, 'c'));
  }
  patchFile(dir / "c.mb", 0x1000 + 12 + 5 * 62, "\x18");  // slot 62 now starts inside 63's
  patchFile(dir / "c.mb", 0x38 + 6, std::string("\x03\x20\x00\x00\x02\x00", 6));  // 0x2000 "free"
  const std::vector<std::string> problems = MemoFile(dir / "c.mb", false).check();
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_NE(problems[0].find("of the block at 0x1000 overlaps another slot"), std::string::npos);
  EXPECT_NE(problems[1].find("0x2000 claims 2 free blocks"), std::string::npos);
}

}  // namespace
}  // namespace pdx
