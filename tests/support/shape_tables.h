// Tables of every shape the builder writes (version class, block size, key,
// memo), with a value of each type per row, for tests that read them back.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/paradox_builder.h"

namespace fixture {

using ShapeType = pdx::FieldType;

struct Shape {
  int version;
  int blockKiB;
  bool keyed;
  bool memo;
};

inline std::string shapeName(const testing::TestParamInfo<Shape>& info) {
  const Shape& s = info.param;
  return "v" + std::to_string(s.version) + "_" + std::to_string(s.blockKiB) + "k_" +
         (s.keyed ? "keyed" : "unkeyed") + (s.memo ? "_memo" : "");
}

// Columns a table of this version may have: 3.x knows A N $ D S; 4.x adds
// the blobs; 5.x and later every type.
inline std::vector<Column> columnsFor(const Shape& s) {
  std::vector<Column> c;
  if (s.version >= 10) {
    c.push_back({"KAYIT", ShapeType::kAutoInc});
  } else {
    c.push_back({"KOD", ShapeType::kAlpha, 8});
  }
  c.push_back({"UNVAN", ShapeType::kAlpha, 40});
  c.push_back({"TUTAR", ShapeType::kNumber});
  c.push_back({"BAKIYE", ShapeType::kMoney});
  c.push_back({"TARIH", ShapeType::kDate});
  c.push_back({"ADET", ShapeType::kShort});
  if (s.memo && s.version >= 5) c.push_back({"NOT", ShapeType::kMemo, 20});
  if (s.version >= 10) {
    c.push_back({"SAYI", ShapeType::kLong});
    c.push_back({"ODEDI", ShapeType::kLogical});
    c.push_back({"SAAT", ShapeType::kTime});
    c.push_back({"ZAMAN", ShapeType::kTimestamp});
    c.push_back({"ORAN", ShapeType::kBcd, 2});
    c.push_back({"HAM", ShapeType::kBytes, 6});
  }
  return c;
}

inline Variant valueFor(const Column& c, int i) {
  Variant v;
  switch (c.type) {
    case ShapeType::kAutoInc:
      v.value = std::int64_t{5000 - 3 * i};
      break;  // descending: builder sorts
    case ShapeType::kAlpha:
      if (c.name == "KOD") {
        v.value = "K" + std::to_string(9000 - i);
      } else if (i % 7 != 3) {
        v.value =
            std::string(i % 2 ? "Özdemir Gıda Ltd.Şti. " : "Çağlar İnşaat ") + std::to_string(i);
      }
      break;
    case ShapeType::kNumber:
      if (i % 5 != 1) v.value = (i - 20) * 1.25;
      break;
    case ShapeType::kMoney:
      if (i % 4 != 2) v.value = -1000000.0 / (i + 1);
      break;
    case ShapeType::kDate:
      if (i % 6 != 4) v.value = Variant::DateTime{38000.0 + i * 13};
      break;
    case ShapeType::kShort:
      if (i % 8 != 5) v.value = std::int64_t{i * 37 - 500};
      break;
    case ShapeType::kLong:
      if (i % 3 != 0) v.value = std::int64_t{i * 100003 - 2000000};
      break;
    case ShapeType::kLogical:
      if (i % 3 != 1) v.value = i % 2 == 0;
      break;
    case ShapeType::kTime:
      if (i % 4 != 3) v.value = std::int64_t{i * 61001 % 86400000};
      break;
    case ShapeType::kTimestamp:
      if (i % 5 != 2) v.value = Variant::DateTime{40000.5 + i};
      break;
    case ShapeType::kBcd:
      if (i % 6 != 0) v.value = std::string(i % 2 ? "-" : "") + std::to_string(i * 7) + ".25";
      break;
    case ShapeType::kBytes:
      if (i % 3 != 2) v.value = Variant::Bytes{std::string("\x01\x02\xff") + char('A' + i % 26)};
      break;
    case ShapeType::kMemo:
      if (i % 3 == 0) v.value = std::string(static_cast<std::size_t>(5 + i * 37 % 3000), 'm');
      break;
    default:
      break;
  }
  return v;
}

struct ShapeTable {
  std::vector<Column> columns;
  std::vector<std::vector<Variant>> rows;  // in table order
};

// Writes a table of shape `s` at `dbFile`: three blocks and a record (at
// most 400 rows), keys given in descending order so that the builder sorts.
inline ShapeTable writeShapeTable(const Shape& s, const std::filesystem::path& dbFile) {
  ShapeTable t;
  t.columns = columnsFor(s);
  TableBuilder b(t.columns);
  b.versionId(s.version).blockSizeKiB(s.blockKiB).keyed(s.keyed ? 1 : 0);
  int recordSize = 0;
  for (const Column& c : t.columns) {
    const auto type = c.type;
    recordSize +=
        type == ShapeType::kAlpha || type == ShapeType::kMemo || type == ShapeType::kBytes ? c.size
        : type == ShapeType::kShort                                                        ? 2
        : type == ShapeType::kLogical                                                      ? 1
        : type == ShapeType::kBcd                                                          ? 17
        : type == ShapeType::kNumber || type == ShapeType::kMoney || type == ShapeType::kTimestamp
            ? 8
            : 4;
  }
  const int perBlock = (s.blockKiB * 1024 - 6) / recordSize;
  const int rows = std::min(3 * perBlock + 1, 400);
  for (int i = 0; i < rows; ++i) {
    std::vector<Variant> r;
    for (const Column& c : t.columns) r.push_back(valueFor(c, i));
    b.row(r);
    t.rows.push_back(r);
  }
  if (s.keyed) std::reverse(t.rows.begin(), t.rows.end());
  b.write(dbFile);
  return t;
}

// All shapes the read-back tests cover.
inline std::vector<Shape> allShapes() {
  return {Shape{12, 1, true, true},  Shape{12, 2, false, false}, Shape{12, 4, true, false},
          Shape{12, 8, false, true}, Shape{12, 16, true, false}, Shape{12, 32, false, false},
          Shape{11, 1, false, true}, Shape{10, 2, true, false},  Shape{9, 1, true, true},
          Shape{5, 2, false, true},  Shape{4, 1, true, false},   Shape{4, 2, false, false},
          Shape{3, 1, false, false}, Shape{3, 2, true, false}};
}

}  // namespace fixture
