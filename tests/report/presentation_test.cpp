// The report as the report window shows it: summary, tabs, rows, records.
#include "report/presentation.h"

#include <gtest/gtest.h>

#include "support/report_lines.h"

namespace {

using report::RowKind;

using fixture::reportLine;

report::RunReport run(std::vector<report::CompanyReport> companies, bool ytl = true) {
  report::RunReport r;
  r.date = "2026-12-07 14:05";
  r.options.ytl = ytl;
  r.companies = std::move(companies);
  return r;
}

TEST(ReportPresentation, SummaryNamesTheConversionTheDifferingLinesAndTheSavedFile) {
  const auto agreeing = report::PresentReport(
      run({{"2005_001", "2006_001", "A", {reportLine("a", true)}}}), "C:\\r.html");
  EXPECT_EQ(agreeing.facts, "07.12.2026 14:05 · YTL dönüşümü ile");  // the date as Turks write it
  EXPECT_EQ(agreeing.verdict, "Tüm satırlar uyuyor.");
  EXPECT_FALSE(agreeing.differs);
  EXPECT_EQ(agreeing.savedFileLine, "Kaydedilen rapor: C:\\r.html");
  EXPECT_TRUE(agreeing.canOpen);

  const auto differing = report::PresentReport(
      run({{"2005_001", "2006_001", "A", {reportLine("a", false), reportLine("b", false)}}}, false),
      "");
  EXPECT_EQ(differing.facts, "07.12.2026 14:05 · YTL dönüşümü yok");
  EXPECT_EQ(differing.verdict, "2 satırda fark var: devir sonucu eski şirketle uyuşmuyor.");
  EXPECT_TRUE(differing.differs);
  EXPECT_EQ(differing.savedFileLine, "Rapor kaydedilemedi.");
  EXPECT_FALSE(differing.canOpen);
}

TEST(ReportPresentation, PagesPutDifferingLinesFirstEachFollowedByItsRecords) {
  const auto p = report::PresentReport(
      run({{"2005_001",
            "2006_001",
            "Merkez",
            {reportLine("kart", true), reportLine("etki", true, 0, report::LineKind::kInfo),
             reportLine("borç", false, 25), reportLine("alacak", false)}},
           {"2005_002", "2006_002", "Şube", {reportLine("kart", true)}}}),
      "");
  ASSERT_EQ(p.pages.size(), 2u);
  EXPECT_EQ(p.pages[0].tabTitle, "2005_001 → 2006_001 (fark var)");
  EXPECT_EQ(p.pages[1].tabTitle, "2005_002 → 2006_002");
  EXPECT_EQ(p.pages[0].heading, "Merkez");
  const std::vector<std::pair<RowKind, std::string>> expected = {
      {RowKind::kDiffers, "borç"},
      {RowKind::kItems, report::ItemsText(reportLine("borç", false, 25))},
      {RowKind::kDiffers, "alacak"},
      {RowKind::kAgrees, "kart"},
      {RowKind::kInfo, "etki"}};
  const auto& rows = p.pages[0].rows;
  ASSERT_EQ(rows.size(), expected.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].kind, expected[i].first) << i;
    EXPECT_EQ(rows[i].cells[1], expected[i].second) << i;
  }
  EXPECT_EQ(rows[0].cells, (std::array<std::string, 7>{"Cari hesaplar", "borç", "1.000.000", "1",
                                                       "1,50", "0,50", "FARKLI"}));
  EXPECT_TRUE(rows[0].isNumber(5) && !rows[0].isNumber(6) && !rows[1].isNumber(5));
}

TEST(ReportPresentation, RecordsTextCountsOnlyWhenNotAllAreNamed) {
  EXPECT_EQ(report::ItemsText(reportLine("a", false, 2)),
            "Farklı kayıtlar:\n120.00: beklenen 1, bulunan 1,50\n120.01: beklenen 1, bulunan 1,50");
  const std::string many = report::ItemsText(reportLine("a", false, 25));
  EXPECT_EQ(many.substr(0, many.find('\n')), "Farklı kayıtlar (ilk 20, toplam 25):");
  EXPECT_EQ(std::count(many.begin(), many.end(), '\n'), 20);
  EXPECT_EQ(report::ItemsText(reportLine("a", false)), "");
}

TEST(ReportPresentation, WindowIs1000By640AtMost90PercentOfTheScreen) {
  auto size = [](int w, int h) {
    const report::WindowSize s = report::ReportWindowSize(w, h);
    return std::to_string(s.width) + "x" + std::to_string(s.height);
  };
  EXPECT_EQ(size(0, 0), "1000x640");  // no screen known
  EXPECT_EQ(size(1024, 600), "922x540");
  EXPECT_EQ(size(800, 1024), "720x640");
}

}  // namespace
