// Filters: the grammar the jobs use, whole-value case-sensitive comparisons
// on stored bytes, blanks read as the empty text and false.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "engine_fixture.h"
#include "movements.h"
#include "paradox/errors.h"
#include "paradox/table.h"

namespace {

using namespace enginetest;

struct FilterCase {
  const char* expression;
  std::function<bool(int)> passes;  // by row number 1..n of movements()
};

class FilterExpression : public testing::TestWithParam<FilterCase> {};

bool odedi(int i) {
  return i % 4 != 1 && i % 3 == 0;
}  // blank reads as false
bool taksit(int i) {
  return i % 2 == 1;
}
std::string state(int i) {
  return stateOf(i);
}

TEST_P(FilterExpression, LetsThroughExactlyTheNamedRecords) {
  const FilterCase& c = GetParam();
  TempDir dir;
  const int n = 60;
  movements(n, false).write(dir / "Char.DB");
  auto t = pdx::Table::open(dir / "Char.DB");
  t->setFilter(c.expression);
  t->setFiltered(true);
  std::vector<int> want, got;
  for (int i = 1; i <= n; ++i)
    if (c.passes(i)) want.push_back(i);
  EXPECT_EQ(t->recordCount(), want.size());
  EXPECT_EQ(t->isEmpty(), want.empty());
  for (; !t->eof(); t->next()) got.push_back(static_cast<int>(t->asInteger(0)));
  EXPECT_EQ(got, want);
  t->setFiltered(false);
  EXPECT_EQ(t->recordCount(), static_cast<std::uint64_t>(n));
  EXPECT_EQ(t->asInteger(0), 1);  // switching off goes to the first record
}

INSTANTIATE_TEST_SUITE_P(
    Grammar, FilterExpression,
    testing::Values(
        FilterCase{
            "EVRAKDURUM <> 'Bankada' and EVRAKDURUM <> 'Kasada' and EVRAKDURUM <> 'Ödenmedi'",
            [](int i) {
              return state(i) != "Bankada" && state(i) != "Kasada" && state(i) != "Ödenmedi";
            }},
        FilterCase{"TAKSIT <> TRUE OR ODEDI=TRUE", [](int i) { return !taksit(i) || odedi(i); }},
        FilterCase{"taksit = true", [](int i) { return taksit(i); }},
        FilterCase{"ODEDI <> TRUE", [](int i) { return !odedi(i); }},
        FilterCase{"EVRAKDURUM = ''", [](int i) { return state(i).empty(); }},
        FilterCase{"EVRAKDURUM = 'bankada'", [](int) { return false; }},
        FilterCase{"EVRAKDURUM = 'Banka'", [](int) { return false; }},
        FilterCase{"CARIKODU = '120.00' or CARIKODU = '120.11' AND TAKSIT = TRUE",
                   [](int i) {
                     return accountOf(i) == "120.00" || (accountOf(i) == "120.11" && taksit(i));
                   }},
        FilterCase{"[EVRAKDURUM]='Kasada'", [](int i) { return state(i) == "Kasada"; }},
        FilterCase{"  ", [](int) { return true; }}));

TEST(FilterExpression, OutsideTheGrammarIsAnErrorNamingIt) {
  TempDir dir;
  movements(5, false).write(dir / "Char.DB");
  auto t = pdx::Table::open(dir / "Char.DB");
  for (const char* bad :
       {"EVRAKDURUM", "EVRAKDURUM = ", "EVRAKDURUM > 'A'", "YOK = 'A'", "EVRAKDURUM = 'A",
        "TAKSIT = FALSE", "CARIKODU = TRUE", "EVRAKDURUM = 'A' xor TAKSIT = TRUE",
        "EVRAKDURUM = 'A' and", "(TAKSIT = TRUE)"}) {
    try {
      t->setFilter(bad);
      ADD_FAILURE() << "accepted: " << bad;
    } catch (const EDBEngineError& e) {
      EXPECT_EQ(e.code(), EDBEngineError::Code::kFilter) << bad;
      EXPECT_NE(std::string(e.what()).find(bad), std::string::npos) << e.what();
    }
  }
  EXPECT_EQ(t->filter(), "");  // a refused expression leaves the old one
}

TEST(FilterExpression, FilterStaysAcrossEditsAndDeletesOfPassingRecords) {
  TempDir dir;
  movements(40, false).write(dir / "Char.DB");
  auto t = pdx::Table::open(dir / "Char.DB");
  t->setFilter("TAKSIT <> TRUE OR ODEDI=TRUE");
  t->setFiltered(true);
  const std::uint64_t passing = t->recordCount();
  std::uint64_t deleted = 0;
  while (!t->eof()) {
    t->remove();
    ++deleted;
  }
  EXPECT_EQ(deleted, passing);
  EXPECT_EQ(t->recordCount(), 0u);
  t->setFiltered(false);
  EXPECT_EQ(t->recordCount(), 40 - passing);
  for (t->first(); !t->eof(); t->next()) EXPECT_TRUE(t->asBoolean(3) && !t->asBoolean(4));
}

// A filtered count remembers which records pass; an edit, an insert or a
// delete that moves records must make the walk test them afresh.
TEST(FilterExpression, ChangesAfterACountAreSeenByTheWalk) {
  for (const bool keyed : {false, true}) {
    SCOPED_TRACE(keyed ? "keyed" : "unkeyed");
    TempDir dir;
    movements(40, keyed).write(dir / "Char.DB");
    auto t = pdx::Table::open(dir / "Char.DB");
    t->setFilter("EVRAKDURUM <> 'Kasada'");
    t->setFiltered(true);
    ASSERT_EQ(t->recordCount(), 32u);  // all but 1, 6, 11, ...
    t->first();
    ASSERT_EQ(t->asInteger(0), 2);
    t->edit();
    t->setString(5, "Kasada");  // record 2 no longer passes
    t->post();
    t->first();
    EXPECT_EQ(t->asInteger(0), 3);
    t->setFiltered(false);
    t->first();
    t->edit();
    t->setString(5, "Bankada");  // record 1 passes now
    t->post();
    t->setFiltered(true);
    EXPECT_EQ(t->recordCount(), 32u);
    t->insert();
    t->setInteger(0, 100);
    t->setString(5, "Kasada");
    t->post();
    t->append();
    t->setInteger(0, 101);
    t->setString(5, "Bankada");
    t->post();
    std::vector<std::int64_t> seen;
    for (t->first(); !t->eof(); t->next()) seen.push_back(t->asInteger(0));
    EXPECT_EQ(seen.size(), 33u);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), 1);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 2), 0);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 100), 0);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 101), 1);
    // Counted again, then deletes in the shadow move the records up.
    EXPECT_EQ(t->recordCount(), 33u);
    std::uint64_t deleted = 0;
    for (t->first(); !t->eof(); ++deleted) t->remove();
    EXPECT_EQ(deleted, 33u);
    t->setFiltered(false);
    EXPECT_EQ(t->recordCount(), 42u - 33u);
    for (t->first(); !t->eof(); t->next()) EXPECT_EQ(t->asString(5), "Kasada");
  }
}

}  // namespace
