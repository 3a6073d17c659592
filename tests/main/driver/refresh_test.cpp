// The opening update on the sample data, carried with and without YTL, then
// changed in the old year, the new year or both: every field of every card
// and stock record of the new company against the expected table, the old
// year byte for byte, the check afterwards listing only kept edits and
// conflicts, and a second update changing nothing.
#include "refresh/refresh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <set>
#include <sstream>

#include "data/ttable.h"
#include "jobs/amount.h"
#include "main/driver/headless.h"
#include "main/driver/refreshcommand.h"
#include "report/carryrecord.h"
#include "sample_data.h"
#include "support/expect_unchanged.h"
#include "support/recording_host.h"
#include "support/table_reader.h"
#include "support/temp_dir.h"
#include "support/testos.h"

namespace fs = std::filesystem;
using fixture::Row;

namespace {

class NoErrors final : public ErrorReport {
 public:
  void errorBox(const std::string& text) override { ADD_FAILURE() << text; }
};

int runCommand(std::vector<std::string> args, std::string* out = nullptr) {
  std::ostringstream o, e;
  const int status = RunHeadless(
      args, o, e, [] { return platform::ProductStatus::closed(); }, RunJobs::real());
  if (out) *out = o.str() + e.str();
  return status;
}

double num(TTable& t, const char* field) {
  return t.field(field).asFloat();
}

// Edits the record whose `keyField` reads `key` through `edit`.
void editRecord(const fs::path& dir, const std::string& table, const std::string& keyField,
                const std::string& key, const std::function<void(TTable&)>& edit) {
  TTable t("Test", table, nullptr);
  t.setDatabaseName(dir.string());
  t.open();
  for (t.first(); !t.eof() && t.field(keyField).asString() != key;) t.next();
  ASSERT_FALSE(t.eof()) << key;
  t.edit();
  edit(t);
  t.post();
  t.close();
}

void card(const fs::path& dir, const std::string& code, const std::function<void(TTable&)>& edit) {
  editRecord(dir, "Cari", "CARIKODU", code, edit);
}
void item(const fs::path& dir, const std::string& code, const std::function<void(TTable&)>& edit) {
  editRecord(dir, "Stok.DB", "STOKKODU", code, edit);
}

// A late entry in the old year: the card's year balance on the debit side.
auto lateDebit(double balance) {
  return [balance](TTable& t) {
    t.field("KTBKY").setAsFloat(balance);
    t.field("KTBTR").setAsString("Borç");
  };
}

// A posting of the new year on a card's debit side, its sums kept.
auto posting(double amount) {
  return [amount](TTable& t) {
    t.field("KHBRC").setAsFloat(num(t, "KHBRC") + amount);
    t.field("KTBRC").setAsFloat(num(t, "KTBRC") + amount);
    t.field("KTBKY").setAsFloat(num(t, "KTBRC") - num(t, "KTALC"));
  };
}

// The expected new company: the records before the update with these
// fields changed, by code.
using Fields = std::map<std::string, Variant>;
struct Expected {
  std::map<std::string, Fields> cards, items;
};

struct Scenario {
  const char* name;
  std::function<void(const fs::path& oldDir, const fs::path& newDir, bool ytl)> change;
  // The changes from the new company before the update; `c` converts an
  // amount as the carry converts it.
  std::function<Expected(const std::function<double(double)>& c)> expected;
  // The listed units: "code|what|outcome", L for the local currency.
  std::vector<std::string> units;
  int status;  // of the update
};

Variant n(double d) {
  return Variant{d};
}
Variant s(const char* t) {
  return Variant{std::string(t)};
}

const Scenario kScenarios[] = {
    {"LateDebitWithNewYearPostings",
     [](const fs::path& o, const fs::path& nw, bool) {
       card(o, "120.01", lateDebit(600'000));
       card(nw, "120.01", posting(40));
     },
     [](auto c) {
       return Expected{{{"120.01",
                         {{"KDBKY", n(c(600'000))},
                          {"KDBRC", n(c(600'000))},
                          {"KTBRC", n(c(600'000) + 40)},
                          {"KTBKY", n(c(600'000) + 40)}}}},
                       {}};
     },
     {"120.01|L|carried"},
     kExitCompleted},
    {"SideFlipInOldYear",
     [](const fs::path& o, const fs::path&, bool) { card(o, "120.02", lateDebit(100'000)); },
     [](auto c) {
       return Expected{{{"120.02",
                         {{"KDBKY", n(c(100'000))},
                          {"KDBTR", s("Borç")},
                          {"KDBRC", n(c(100'000))},
                          {"KDALC", n(0)},
                          {"KTBRC", n(c(100'000))},
                          {"KTALC", n(0)},
                          {"KTBKY", n(c(100'000))},
                          {"KTBTR", s("Borç")}}}},
                       {}};
     },
     {"120.02|L|carried"},
     kExitCompleted},
    {"HandEditInNewYearKept",
     [](const fs::path&, const fs::path& nw, bool) {
       card(nw, "320.01", [](TTable& t) {
         t.field("KDBKY").setAsFloat(1);
         t.field("KDALC").setAsFloat(1);
       });
     },
     [](auto) { return Expected{}; },
     {"320.01|L|kept"},
     kExitCompleted},
    {"ChangedInBothYearsIsAConflict",
     [](const fs::path& o, const fs::path& nw, bool) {
       card(o, "120.01", lateDebit(600'000));
       card(nw, "120.01", [](TTable& t) { t.field("KDBKY").setAsFloat(2); });
     },
     [](auto) { return Expected{}; },
     {"120.01|L|conflict"},
     kExitReportDiffers},
    {"CardWhoseSumsDoNotAddUp",
     [](const fs::path& o, const fs::path& nw, bool) {
       card(o, "120.01", lateDebit(600'000));
       card(nw, "120.01", [](TTable& t) { t.field("KTBRC").setAsFloat(num(t, "KTBRC") + 7); });
     },
     [](auto) { return Expected{}; },
     {"120.01|L|conflict"},
     kExitReportDiffers},
    {"AlreadyCorrectedByHand",
     [](const fs::path& o, const fs::path& nw, bool ytl) {
       card(o, "120.01", lateDebit(600'000));
       const double v = ytl ? 0.6 : 600'000;
       card(nw, "120.01", [v](TTable& t) {
         for (const char* f : {"KDBKY", "KDBRC", "KTBRC", "KTBKY"}) t.field(f).setAsFloat(v);
       });
     },
     [](auto) { return Expected{}; },
     {"120.01|L|corrected"},
     kExitCompleted},
    {"ForeignCurrencyGroup",
     [](const fs::path& o, const fs::path&, bool) {
       card(o, "600.01", [](TTable& t) { t.field("DTBKY").setAsFloat(2'000); });
     },
     [](auto) {
       return Expected{
           {{"600.01",
             {{"DDBKY", n(2'000)}, {"DDBRC", n(2'000)}, {"DTBRC", n(2'000)}, {"DTBKY", n(2'000)}}}},
           {}};
     },
     {"600.01|USD|carried"},
     kExitCompleted},
    {"StockCorrectedLateWithNewYearMovements",
     [](const fs::path& o, const fs::path& nw, bool) {
       item(o, "ST-002", [](TTable& t) { t.field("MIKKAL").setAsFloat(25); });
       item(nw, "ST-002", [](TTable& t) {
         const double price = num(t, "TUTDEV") / num(t, "MIKDEV");
         t.field("MIKCIK").setAsFloat(3);
         t.field("MIKKAL").setAsFloat(num(t, "MIKKAL") - 3);
         t.field("TUTCIK").setAsFloat(3 * price);
         t.field("TUTKAL").setAsFloat(num(t, "TUTKAL") - 3 * price);
       });
     },
     [](auto c) {
       const double price = c(150'000);
       return Expected{{},
                       {{"ST-002",
                         {{"MIKDEV", n(25)},
                          {"TUTDEV", n(25 * price)},
                          {"MIKKAL", n(22)},
                          {"TUTKAL", n(22 * price)}}}}};
     },
     {"ST-002|stok|carried"},
     kExitCompleted},
    {"StockItemThatDoesNotAddUp",
     [](const fs::path& o, const fs::path& nw, bool) {
       item(o, "ST-002", [](TTable& t) { t.field("MIKKAL").setAsFloat(25); });
       item(nw, "ST-002", [](TTable& t) { t.field("MIKKAL").setAsFloat(num(t, "MIKKAL") + 1); });
     },
     [](auto) { return Expected{}; },
     {"ST-002|stok|conflict"},
     kExitReportDiffers},
};

const char* outcomeWord(refresh::Outcome o) {
  switch (o) {
    case refresh::Outcome::kCarriedOver:
      return "carried";
    case refresh::Outcome::kAlreadyCorrected:
      return "corrected";
    case refresh::Outcome::kKeptEdit:
      return "kept";
    case refresh::Outcome::kConflict:
      break;
  }
  return "conflict";
}

// Each record of `before` with the expected changes, against `after`;
// numbers to a billionth of their size (sums of converted amounts).
void expectTable(std::vector<Row> before, const std::vector<Row>& after, const char* codeField,
                 const std::map<std::string, Fields>& changes) {
  for (Row& row : before)
    if (auto it = changes.find(fixture::text(row, codeField)); it != changes.end())
      for (const auto& [field, value] : it->second) row[field] = value;
  ASSERT_EQ(before.size(), after.size());
  for (std::size_t i = 0; i < before.size(); ++i) {
    Row want = before[i], have = after[i];
    for (auto& [field, value] : want) {
      const double* a = std::get_if<double>(&value.value);
      const double* b = std::get_if<double>(&have[field].value);
      if (a && b && std::fabs(*a - *b) <= 1e-9 * std::max(1.0, std::fabs(*a))) have[field] = value;
    }
    // Blank and 0 read alike in the product; a written 0 stays a number.
    for (auto& [field, value] : have)
      if (!want.count(field) && value == Variant{0.0}) want[field] = value;
    EXPECT_EQ(want, have) << fixture::text(before[i], codeField);
  }
}

class OpeningsRefresh : public ::testing::TestWithParam<std::tuple<Scenario, bool>> {
 protected:
  fixture::TempDir tmp;
  fs::path data = tmp.path() / "DATA";

  std::vector<std::string> args(std::vector<std::string> first) const {
    first.insert(first.end(), {"--data", data.string(), "--from", "2005", "--to", "2006",
                               "--companies", "2005_001"});
    return first;
  }
};

TEST_P(OpeningsRefresh, UpdatesStaleOpeningsKeepsEditsAndShowsConflicts) {
  const auto& [scenario, ytl] = GetParam();
  samples::writeNewest(data);
  std::vector<std::string> carry = args({"--devir"});
  if (ytl) carry.push_back("--ytl");
  std::string out;
  ASSERT_EQ(runCommand(carry, &out), kExitCompleted) << out;
  const fs::path oldDir = data / "2005_001", newDir = data / "2006_001";
  scenario.change(oldDir, newDir, ytl);
  const auto cardsBefore = fixture::readTable(newDir / "Cari.DB");
  const auto itemsBefore = fixture::readTable(newDir / "Stok.DB");
  fixture::UnchangedDir oldYear(oldDir);

  // The dry run writes nothing and plans what the update then does.
  fixture::UnchangedDir whole(data);
  EXPECT_EQ(runCommand(args({"--refresh-openings", "--dry-run"}), &out), scenario.status) << out;
  whole.expectUnchanged();
  refresh::RefreshOptions o;
  o.openings = {
      platform::TypedPath::resolve(data.string()), "2005", "2006", false, {"2005_001"}, 0};
  RecordingHost host;
  NoErrors errors;
  const auto done = RunOpeningsRefresh(
      host, errors, [] { return platform::ProductStatus::closed(); }, o);
  ASSERT_TRUE(done);
  EXPECT_EQ(RefreshExitStatus(*done), scenario.status);
  oldYear.expectUnchanged();
  const auto c = [ytl](double v) { return ytl ? ConvertAmount(v, 0, 2) : v; };
  const Expected expected = scenario.expected(c);
  expectTable(cardsBefore, fixture::readTable(newDir / "Cari.DB"), "CARIKODU", expected.cards);
  expectTable(itemsBefore, fixture::readTable(newDir / "Stok.DB"), "STOKKODU", expected.items);

  ASSERT_EQ(done->companies.size(), 1u);
  std::vector<std::string> units;
  std::set<std::string> listedByCheck;
  for (const refresh::UnitChange& u : done->companies[0].changes) {
    const bool local = u.what == (ytl ? "YTL bakiyesi" : "TL bakiyesi");
    units.push_back(u.code + "|" + (local ? "L" : u.what.substr(0, u.what.find(' '))) + "|" +
                    outcomeWord(u.outcome));
    if (u.outcome == refresh::Outcome::kKeptEdit || u.outcome == refresh::Outcome::kConflict)
      listedByCheck.insert(u.code);
  }
  EXPECT_EQ(units, scenario.units);
  // Written only when something moved, with the files before it kept.
  EXPECT_EQ(done->companies[0].written, units[0].find("|carried") != std::string::npos ||
                                            units[0].find("|corrected") != std::string::npos);
  if (done->companies[0].written) {
    const fs::path backup = data / done->companies[0].backupFolder;
    EXPECT_TRUE(fs::exists(backup / testos::utf8Path("Devir Kaydı 2005_001-2006_001.csv")));
  }

  // The check now lists only the kept edits and conflicts.
  const report::OpeningsOutcome checked = report::CheckOpenings(o.openings);
  ASSERT_EQ(checked.report.companies.size(), 1u);
  std::set<std::string> codes;
  for (const report::OpeningDifference& d : checked.report.companies[0].differences)
    codes.insert(d.code);
  EXPECT_EQ(codes, listedByCheck);

  // A second update finds nothing to carry over and writes nothing.
  fixture::UnchangedDir again(data);
  const auto second = RunOpeningsRefresh(
      host, errors, [] { return platform::ProductStatus::closed(); }, o);
  ASSERT_TRUE(second);
  EXPECT_FALSE(second->companies[0].written);
  for (const refresh::UnitChange& u : second->companies[0].changes)
    EXPECT_TRUE(listedByCheck.count(u.code)) << u.code << " " << refresh::OutcomeText(u.outcome);
  again.expectUnchanged(
      [](const std::string& line) { return line == "changed .upgrade-devir.lock"; });
}

INSTANTIATE_TEST_SUITE_P(SampleData, OpeningsRefresh,
                         ::testing::Combine(::testing::ValuesIn(kScenarios), ::testing::Bool()),
                         [](const auto& test) {
                           return std::string(std::get<0>(test.param).name) +
                                  (std::get<1>(test.param) ? "Ytl" : "");
                         });

}  // namespace
