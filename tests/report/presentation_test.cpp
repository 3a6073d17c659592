// The report as the report window shows it: summary, tabs, rows, records.
#include "report/presentation.h"

#include <gtest/gtest.h>

#include "report/reportformat.h"
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
  EXPECT_EQ(rows[0].cells, (std::array<std::string, 7>{"Cari hesaplar", "borç", "1.000.000,00",
                                                       "1,00", "1,50", "0,50", "FARKLI"}));
  EXPECT_TRUE(rows[0].isNumber(5) && !rows[0].isNumber(6) && !rows[1].isNumber(5));
}

// Counts as whole numbers, amounts always with two decimals (one form of
// zero), in the window and in the saved files alike.
struct FigureCase {
  const char* name;
  report::LineKind kind;
  bool infoIsCount;
  double old, expected, found;
  std::array<std::string, 4> texts;  // old, expected, new, difference
};

class ReportFigures : public ::testing::TestWithParam<FigureCase> {};

TEST_P(ReportFigures, ReadAsCountsOrAmounts) {
  const FigureCase& c = GetParam();
  report::ReportLine l = reportLine("a", true, 0, c.kind);
  l.infoIsCount = c.infoIsCount;
  l.old = c.old, l.expected = c.expected, l.found = c.found;
  const report::LineTexts t = report::ColumnTexts(l);
  EXPECT_EQ((std::array<std::string, 4>{t.old, t.expected, t.found, t.difference}), c.texts);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ReportFigures,
    ::testing::Values(
        FigureCase{"ZeroAmount",
                   report::LineKind::kAmount,
                   false,
                   0,
                   0,
                   0,
                   {"0,00", "0,00", "0,00", "0,00"}},
        FigureCase{"WholeAmount",
                   report::LineKind::kAmount,
                   false,
                   2500000,
                   2.5,
                   2,
                   {"2.500.000,00", "2,50", "2,00", "-0,50"}},
        FigureCase{"Count", report::LineKind::kCount, false, 3, 3, 0, {"3", "3", "0", "-3"}},
        FigureCase{"RoundingFigure", report::LineKind::kInfo, false, 0, 0, 0, {"", "0,00", "", ""}},
        FigureCase{
            "ZeroedAmountsCounted", report::LineKind::kInfo, true, 0, 4, 4, {"", "4", "", ""}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(ReportPresentation, FieldNamesAreTheLinesDetailAndStayInTheCsv) {
  report::ReportLine l = reportLine("borç bakiyeleri toplamı", true);
  l.detail = "KTBKY → KDBKY";
  const auto p = report::PresentReport(run({{"2005_001", "2006_001", "A", {l}}}), "");
  ASSERT_EQ(p.pages[0].rows.size(), 1u);
  EXPECT_EQ(p.pages[0].rows[0].cells[1], "borç bakiyeleri toplamı");
  EXPECT_EQ(p.pages[0].rows[0].detail, "KTBKY → KDBKY");

  const std::string csv = report::CsvReport(run({{"2005_001", "2006_001", "A", {l}}}));
  const std::string header = csv.substr(0, csv.find("\r\n") + 2);
  EXPECT_EQ(
      header,
      "\xEF\xBB\xBFTarih;Eski şirket;Yeni şirket;Kısa adı;Bölüm;Satır;Eski;Beklenen;Yeni;Fark;"
      "Durum;Farklı kayıt sayısı\r\n");
  EXPECT_EQ(csv.substr(header.size()),
            "2026-12-07 14:05;2005_001;2006_001;A;Cari hesaplar;borç bakiyeleri toplamı (KTBKY → "
            "KDBKY);1.000.000,00;1,00;1,00;0,00;uyuyor;0\r\n");
  EXPECT_NE(report::HtmlReport(run({{"2005_001", "2006_001", "A", {l}}}))
                .find("borç bakiyeleri toplamı<br><span class=\"detail\">KTBKY → KDBKY</span>"),
            std::string::npos);
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
