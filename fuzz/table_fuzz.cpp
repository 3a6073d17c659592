// libFuzzer target: a mutated table (and companions) is opened and walked.
//
// Input: parts separated by kSeparator. The first part is the data file
// (T.DB); each further part starts with the companion's extension and a
// colon ("MB:", "PX:", "X02:", "YG0:") and becomes T.<ext>. The table is
// opened read-only, every field of every record is read in every form, the
// structure check runs, and then a copy is opened for writing and has its
// records edited, deleted and appended. Engine errors are expected; crashes,
// sanitizer reports, leaks and hangs are the findings.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "paradox/check.h"
#include "paradox/errors.h"
#include "paradox/table.h"

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kSeparator("\0PDXFUZZ\0", 9);
constexpr int kMaxRecords = 2000;  // keeps one input fast

const fs::path& workDir() {
  static const fs::path dir = [] {
    std::string templ =
        (fs::exists("/dev/shm") ? "/dev/shm" : "/tmp") + std::string("/tfuzzXXXXXX");
    if (mkdtemp(templ.data()) == nullptr) std::abort();
    return fs::path(templ);
  }();
  return dir;
}

void writeFile(const fs::path& p, std::string_view bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool validExtension(std::string_view ext) {
  if (ext.empty() || ext.size() > 4) return false;
  for (char c : ext) {
    const bool ok = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (!ok) return false;
  }
  return ext != "DB" && ext != "db";
}

// Lays the input out as files; returns the data file's path.
fs::path layOut(std::string_view input) {
  const fs::path& dir = workDir();
  for (const auto& e : fs::directory_iterator(dir)) fs::remove_all(e.path());
  std::size_t at = input.find(kSeparator);
  writeFile(dir / "T.DB", input.substr(0, at));
  while (at != std::string_view::npos) {
    input.remove_prefix(at + kSeparator.size());
    at = input.find(kSeparator);
    const std::string_view part = input.substr(0, at);
    const std::size_t colon = part.find(':');
    if (colon == std::string_view::npos || !validExtension(part.substr(0, colon))) continue;
    writeFile(dir / ("T." + std::string(part.substr(0, colon))), part.substr(colon + 1));
  }
  return dir / "T.DB";
}

void readEverything(pdx::Table& t) {
  t.first();
  for (int n = 0; n < kMaxRecords && !t.eof(); ++n, t.next()) {
    for (int f = 0; f < t.fieldCount(); ++f) {
      try {
        (void)t.isBlank(f);
        (void)t.asString(f);
        (void)t.asFloat(f);
        (void)t.asInteger(f);
        (void)t.asBoolean(f);
        (void)t.asBytes(f);
      } catch (const EDatabaseError&) {
      }
    }
  }
}

void changeSome(const fs::path& db) {
  auto t = pdx::Table::open(db);
  t->first();
  for (int n = 0; n < 50 && !t->eof(); ++n) {
    try {
      if (n % 3 == 0) {
        t->remove();
        continue;
      }
      t->edit();
      for (int f = 0; f < t->fieldCount(); ++f) {
        if (t->fields()[static_cast<std::size_t>(f)].type != pdx::FieldType::kAutoInc) {
          t->copyValue(f, *t, f);
        }
      }
      t->post();
    } catch (const EDatabaseError&) {
      if (t->state() != pdx::EditState::kBrowse) t->cancel();
    }
    t->next();
  }
  try {
    t->append();
    t->post();
  } catch (const EDatabaseError&) {
    if (t->state() != pdx::EditState::kBrowse) t->cancel();
  }
  t->flush();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fs::path db = layOut(std::string_view(reinterpret_cast<const char*>(data), size));
  try {
    pdx::OpenOptions options;
    options.readOnly = true;
    auto table = pdx::Table::open(db, options);
    readEverything(*table);
    table->setFilter(table->fieldCount() > 0 ? table->fields()[0].name + " = 'A' or " +
                                                   table->fields()[0].name + " <> 'B'"
                                             : "x = 'A'");
    table->setFiltered(true);
    readEverything(*table);
  } catch (const EDatabaseError&) {
  }
  try {
    (void)pdx::checkTable(db);
  } catch (const EDatabaseError&) {
  }
  try {
    changeSome(db);
  } catch (const EDatabaseError&) {
  }
  return 0;
}
