// pxlib (an independent Paradox reader) as an oracle for tests.
//
// Known limits of pxlib 0.6.8, which callers must respect: it aborts when a
// memo file is attached, so blobs are never read (memo, blob, formatted
// memo, OLE and graphic fields come back blank); on 64-bit machines it does
// not see blank long, date, time and auto-increment values (they come back
// as values), so compare those only where the expected value is not blank.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "data/variant.h"

namespace fixture::pxlib {

// False when the tests were built without pxlib; callers skip with a reason.
bool available();

struct Field {
  std::string name;
  char type = 0;  // the field-type letter: 'A', 'N', '+', ...
  int size = 0;
};

struct Table {
  int versionId = 0;  // pxlib's file version: 30, 35, 40, 50, 70
  int fileType = 0;
  int codePage = 0;
  int keyFields = 0;
  std::vector<Field> fields;
  // Values as the builder takes them: text decoded from `textCodePage`,
  // S/I/+ and T as std::int64_t, N/$ as double, L as bool, D and @ as
  // Variant::DateTime, # as its decimal text, Y as Variant::Bytes.
  std::vector<std::vector<Variant>> rows;
};

// Reads every record of `dbFile`. Throws std::runtime_error with pxlib's
// message when it cannot.
Table read(const std::filesystem::path& dbFile, int textCodePage = 1254);

}  // namespace fixture::pxlib
