// A table opened over an origin (its data file still to be written from
// another table's) must leave exactly the files that a copy of the whole
// family, opened and changed the same way, leaves; and must never change the
// origin.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "engine_fixture.h"
#include "movements.h"
#include "paradox/errors.h"
#include "paradox/table.h"

namespace {

using namespace enginetest;

using Files = std::map<std::string, std::vector<unsigned char>>;

Files filesIn(const fs::path& dir) {
  Files files;
  for (const auto& e : fs::directory_iterator(dir))
    files[e.path().filename().string()] = readAll(e.path());
  return files;
}

void removeMatching(pdx::Table& t, const std::string& filter) {
  t.setFilter(filter);
  t.setFiltered(true);
  while (!t.eof()) t.remove();
  t.setFiltered(false);
}

void editFirst(pdx::Table& t) {
  t.first();
  t.edit();
  t.setFloat(2, 9.25);
  t.post();
}

struct Case {
  const char* name;
  bool keyed;
  std::function<void(pdx::Table&)> change;
};

const Case kCases[] = {
    {"the carry's filtered delete", true,
     [](pdx::Table& t) { removeMatching(t, "TAKSIT <> TRUE OR EVRAKDURUM <> 'Kasada'"); }},
    {"the same, unkeyed", false,
     [](pdx::Table& t) { removeMatching(t, "TAKSIT <> TRUE OR EVRAKDURUM <> 'Kasada'"); }},
    {"every record deleted", true, [](pdx::Table& t) { removeMatching(t, ""); }},
    {"nothing changed", true, [](pdx::Table& t) { t.first(); }},
    {"an edit and no delete", true, editFirst},
    {"deletes, then an edit", true,
     [](pdx::Table& t) {
       removeMatching(t, "ODEDI = TRUE");
       editFirst(t);
     }},
    {"an append", true,
     [](pdx::Table& t) {
       t.append();
       t.setString(1, "120.99");
       t.post();
     }},
};

TEST(OpenedOverOrigin, LeavesTheFilesOfACopyChangedAlikeAndNeverTheOrigin) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TempDir source, copied, fromOrigin;
    movements(600, c.keyed).write(source / "Char.DB");
    const Files sourceBefore = filesIn(source.path());
    for (const auto& [name, bytes] : sourceBefore) {
      writeAll(copied / name, bytes);
      if (name != "Char.DB") writeAll(fromOrigin / name, bytes);
    }
    {
      auto t = pdx::Table::open(copied / "Char.DB");
      c.change(*t);
      t->flush();
    }
    {
      pdx::OpenOptions options;
      options.origin = source / "Char.DB";
      auto t = pdx::Table::open(fromOrigin / "Char.DB", options);
      c.change(*t);
      t->flush();
    }
    EXPECT_EQ(filesIn(fromOrigin.path()), filesIn(copied.path()));
    EXPECT_EQ(filesIn(source.path()), sourceBefore);
  }
}

TEST(OpenedOverOrigin, ClosedUnchangedGivesACopyWithTheOriginsTime) {
  TempDir source, target;
  movements(50).write(source / "Char.DB");
  for (const auto& e : fs::directory_iterator(source.path()))
    if (e.path().filename() != "Char.DB")
      fs::copy_file(e.path(), target.path() / e.path().filename());
  const auto then = fs::last_write_time(source / "Char.DB") - std::chrono::hours(30);
  fs::last_write_time(source / "Char.DB", then);
  {
    pdx::OpenOptions options;
    options.origin = source / "Char.DB";
    auto t = pdx::Table::open(target / "Char.DB", options);
    EXPECT_EQ(t->recordCount(), 50u);
    EXPECT_FALSE(fs::exists(target / "Char.DB"));  // nothing written while only read
  }
  EXPECT_EQ(readAll(target / "Char.DB"), readAll(source / "Char.DB"));
  EXPECT_EQ(fs::last_write_time(target / "Char.DB"), then);
}

TEST(OpenedOverOrigin, AMissingOriginIsAMissingTable) {
  TempDir dir;
  pdx::OpenOptions options;
  options.origin = dir / "Yok.DB";
  try {
    pdx::Table::open(dir / "Char.DB", options);
    FAIL() << "opened";
  } catch (const EDBEngineError& e) {
    EXPECT_EQ(e.code(), EDBEngineError::Code::kNotFound);
    EXPECT_EQ(e.cause().file, (dir / "Yok.DB").string());
  }
}

}  // namespace
