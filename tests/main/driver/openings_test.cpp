// The openings check on the sample data after a carry-forward, with and
// without YTL: each late entry, edit and new-year posting gives exactly its
// lines with their cause; the check leaves both companies byte for byte as
// they were and exits 4 on a difference, 0 when all agree.
#include "report/openings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>

#include "carry/record.h"
#include "data/ttable.h"
#include "main/driver/headless.h"
#include "sample_data.h"
#include "support/expect_unchanged.h"
#include "support/temp_dir.h"
#include "support/testos.h"

namespace fs = std::filesystem;
using fixture::Row;

namespace {

int runCommand(std::vector<std::string> args, std::string* out = nullptr) {
  std::ostringstream o, e;
  const int status = RunHeadless(
      args, o, e, [] { return platform::ProductStatus::closed(); }, RunJobs::real());
  if (out) *out = o.str() + e.str();
  return status;
}

// Changes the first record whose `keyField` reads `key` (removes it when
// `values` is empty), or appends one when `key` is empty.
void changeRecord(const fs::path& dir, const std::string& table, const std::string& keyField,
                  const std::string& key, const Row& values) {
  TTable t("Test", table, nullptr);
  t.setDatabaseName(dir.string());
  t.open();
  if (key.empty()) {
    t.append();
  } else {
    t.first();
    while (!t.eof() && t.field(keyField).asString() != key) t.next();
    ASSERT_FALSE(t.eof()) << key;
    if (values.empty()) {
      t.remove();
      t.close();
      return;
    }
    t.edit();
  }
  for (const auto& [field, value] : values) t.field(field).setValue(value);
  t.post();
  t.close();
}

Variant n(double d) {
  return Variant{d};
}
Variant s(const std::string& text) {
  return Variant{text};
}

struct Scenario {
  const char* name;
  // Changes made after the carry to the old (2005_001) and new (2006_001)
  // companies.
  std::function<void(const fs::path& oldDir, const fs::path& newDir)> change;
  // Expected lines: "section|code|what|note|cause", "L" standing for the
  // local currency's name; " TARAF" after the cause for a side change.
  std::vector<std::string> lines;
};

const char* causeWord(report::StaleCause c) {
  switch (c) {
    case report::StaleCause::kLateEntry:
      return "late";
    case report::StaleCause::kEditedInNew:
      return "edited";
    case report::StaleCause::kBoth:
      return "both";
    case report::StaleCause::kUnknown:
      break;
  }
  return "unknown";
}

const Scenario kScenarios[] = {
    {"NoChange", [](const fs::path&, const fs::path&) {}, {}},
    {"LateDebit",
     [](const fs::path& o, const fs::path&) {
       changeRecord(o, "Cari", "CARIKODU", "120.01", {{"KTBKY", n(300'000)}});
     },
     {"Cari hesaplar|120.01|L bakiyesi||late"}},
    {"SideFlip",
     [](const fs::path& o, const fs::path&) {
       changeRecord(o, "Cari", "CARIKODU", "120.02", {{"KTBKY", n(100'000)}, {"KTBTR", s("Borç")}});
     },
     {"Cari hesaplar|120.02|L bakiyesi||late TARAF"}},
    {"NewYearPostingOnly",
     [](const fs::path&, const fs::path& nw) {
       changeRecord(nw, "Cari", "CARIKODU", "120.01",
                    {{"KHBRC", n(40)}, {"KTBRC", n(90)}, {"KTBKY", n(90)}});
       changeRecord(nw, "Stok.DB", "STOKKODU", "ST-001",
                    {{"MIKCIK", n(3)}, {"MIKKAL", n(7)}, {"TUTKAL", n(1)}});
     },
     {}},
    {"OpeningEditedInNew",
     [](const fs::path&, const fs::path& nw) {
       changeRecord(nw, "Cari", "CARIKODU", "320.01", {{"KDBKY", n(1)}, {"KDALC", n(1)}});
     },
     {"Cari hesaplar|320.01|L bakiyesi||edited"}},
    {"LateAndEdited",
     [](const fs::path& o, const fs::path& nw) {
       changeRecord(o, "Cari", "CARIKODU", "120.01", {{"KTBKY", n(300'000)}});
       changeRecord(nw, "Cari", "CARIKODU", "120.01", {{"KDBKY", n(2)}, {"KDBRC", n(2)}});
     },
     {"Cari hesaplar|120.01|L bakiyesi||both"}},
    {"CardAddedToOldYear",
     [](const fs::path& o, const fs::path&) {
       changeRecord(o, "Cari", "", "",
                    {{"CARIKODU", s("120.99")}, {"KTBKY", n(5'000)}, {"KTBTR", s("Alacak")}});
     },
     {"Cari hesaplar|120.99|L bakiyesi|yalnız eski yılda|late"}},
    {"DuplicatedCode",
     [](const fs::path& o, const fs::path&) {
       changeRecord(o, "Cari", "", "", {{"CARIKODU", s("120.03")}, {"KTBKY", n(1)}});
     },
     {"Cari hesaplar|120.03|kod|kod birden çok kartta: eşleştirilmedi|unknown"}},
    {"ChequePaidLate",
     [](const fs::path& o, const fs::path&) {
       changeRecord(o, "ceksen.DB", "EVRAKDURUM", "Bankada", {{"EVRAKDURUM", s("Tahsil Edildi")}});
     },
     {"Çek ve senetler|KAYIT 1|KTUTAR|eski yılda kapanmış (Tahsil Edildi)|late"}},
    {"ChequeDeletedFromOldYear",
     [](const fs::path& o, const fs::path&) { changeRecord(o, "ceksen.DB", "KAYIT", "2", {}); },
     {"Çek ve senetler|KAYIT 2|KTUTAR|eski yılda silinmiş|late"}},
    {"InstalmentPaidLate",
     [](const fs::path& o, const fs::path&) {
       changeRecord(o, "Char.DB", "BCHKOD", "4", {{"ODEDI", Variant{true}}});
     },
     {"Taksitler|BCHKOD 4|TUTAR|eski yılda kapanmış (ödendi)|late"}},
    {"StockQuantityCorrectedLate",
     [](const fs::path& o, const fs::path&) {
       changeRecord(o, "Stok.DB", "STOKKODU", "ST-002", {{"MIKKAL", n(25)}});
     },
     {"Stok|ST-002|miktar (MIKDEV)||late", "Stok|ST-002|değer (TUTDEV)||late"}},
};

class OpeningsCheck : public ::testing::TestWithParam<std::tuple<Scenario, bool>> {
 protected:
  fixture::TempDir tmp;
  fs::path data = tmp.path() / "DATA";

  std::vector<std::string> args(std::vector<std::string> first) const {
    first.insert(first.end(), {"--data", data.string(), "--from", "2005", "--to", "2006",
                               "--companies", "2005_001"});
    return first;
  }
};

TEST_P(OpeningsCheck, ListsExactlyTheStaleOpeningsAndChangesNothing) {
  const auto& [scenario, ytl] = GetParam();
  samples::writeNewest(data);
  std::vector<std::string> carry = args({"--devir"});
  if (ytl) carry.push_back("--ytl");
  std::string out;
  ASSERT_EQ(runCommand(carry, &out), kExitCompleted) << out;
  scenario.change(data / "2005_001", data / "2006_001");

  // Both companies, the registry and everything else as they were: only the
  // check's own report files are added.
  fixture::UnchangedDir whole(data);
  const int status = runCommand(args({"--check-openings"}), &out);
  EXPECT_EQ(status, scenario.lines.empty() ? kExitCompleted : kExitReportDiffers) << out;
  whole.expectUnchanged([](const std::string& line) {
    return line.rfind("added Devir Raporları/Devir Değerleri Denetimi ", 0) == 0;
  });

  report::OpeningsOptions o{
      platform::TypedPath::resolve(data.string()), "2005", "2006", false, {"2005_001"}, 0};
  const report::OpeningsOutcome outcome = report::CheckOpenings(o);
  ASSERT_TRUE(outcome.stop.empty());
  ASSERT_EQ(outcome.report.companies.size(), 1u);
  const report::CompanyOpenings& c = outcome.report.companies[0];
  EXPECT_TRUE(c.linkedByRecord);
  EXPECT_EQ(c.ytl, ytl);
  EXPECT_FALSE(c.failed) << out;
  std::vector<std::string> found;
  for (const report::OpeningDifference& d : c.differences) {
    std::string what = d.what;
    const std::string local = ytl ? "YTL bakiyesi" : "TL bakiyesi";
    if (what == local) what = "L bakiyesi";
    found.push_back(d.section + "|" + d.code + "|" + what + "|" + d.note + "|" +
                    causeWord(d.cause) + (d.sideChanged ? " TARAF" : ""));
  }
  EXPECT_EQ(found, scenario.lines) << out;
}

INSTANTIATE_TEST_SUITE_P(SampleData, OpeningsCheck,
                         ::testing::Combine(::testing::ValuesIn(kScenarios), ::testing::Bool()),
                         [](const auto& test) {
                           return std::string(std::get<0>(test.param).name) +
                                  (std::get<1>(test.param) ? "Ytl" : "");
                         });

class OpeningsCheckRun : public ::testing::Test {
 protected:
  fixture::TempDir tmp;
  fs::path data = tmp.path() / "DATA";
};

// Without a record the registry links the companies and the settings tell
// the YTL state; a difference then has no known cause.
TEST_F(OpeningsCheckRun, WithoutARecordTheRegistryLinksAndCausesAreUnknown) {
  samples::writeNewest(data);
  const std::vector<std::string> common{"--data", data.string(), "--from", "2005", "--to", "2006"};
  std::vector<std::string> carry{"--devir", "--ytl"};
  carry.insert(carry.end(), common.begin(), common.end());
  std::string out;
  ASSERT_EQ(runCommand(carry, &out), kExitCompleted) << out;
  fs::remove_all(data / testos::utf8Path("Devir Raporları"));
  changeRecord(data / "2005_002", "Cari", "CARIKODU", "120.01", {{"KTBKY", n(1'000'000)}});

  const report::OpeningsOutcome r = report::CheckOpenings(
      {platform::TypedPath::resolve(data.string()), "2005", "2006", true, {}, 0});
  ASSERT_EQ(r.report.companies.size(), 3u);
  for (const report::CompanyOpenings& c : r.report.companies) {
    EXPECT_FALSE(c.linkedByRecord);
    EXPECT_TRUE(c.ytl) << c.oldCode;
    EXPECT_EQ(c.differences.size(), c.oldCode == "2005_002" ? 1u : 0u) << c.oldCode;
    for (const auto& d : c.differences) EXPECT_EQ(d.cause, report::StaleCause::kUnknown);
  }
  std::vector<std::string> check{"--check-openings"};
  check.insert(check.end(), common.begin(), common.end());
  EXPECT_EQ(runCommand(check, &out), kExitReportDiffers);
  EXPECT_NE(out.find("120.01"), std::string::npos) << out;
  EXPECT_NE(out.find("Rapor kaydedildi: "), std::string::npos) << out;
}

TEST_F(OpeningsCheckRun, StopsAsARunDoes) {
  samples::writeNewest(data);
  std::string out;
  const std::vector<std::string> check{
      "--check-openings", "--data", data.string(), "--from", "2005", "--to", "2006"};
  std::ostringstream o, e;
  EXPECT_EQ(RunHeadless(check, o, e, [] { return platform::ProductStatus::running(); }),
            kExitStopped);
  EXPECT_NE(o.str().find("KMX programlarını kapatınız"), std::string::npos) << o.str();
  std::vector<std::string> unknown = check;
  unknown.insert(unknown.end(), {"--companies", "2005_777"});
  EXPECT_EQ(runCommand(unknown, &out), kExitStopped);
  EXPECT_NE(out.find("2005_777 kodlu bir şirket 2005 yılında yok"), std::string::npos) << out;
  // Nothing carried yet: nothing to compare, nothing differs.
  EXPECT_EQ(runCommand(check, &out), kExitCompleted) << out;
  EXPECT_NE(out.find("2006 yılına devredilmemiş"), std::string::npos) << out;
  EXPECT_EQ(runCommand({"--check-openings", "--data", data.string()}, &out), kExitUsage);
}

}  // namespace
