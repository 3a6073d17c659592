#include "report/presentation.h"

#include <algorithm>

#include "report/numbers.h"
#include "report/reportformat.h"

namespace report {

const std::array<const char*, kColumnCount> kColumnTitles = {"Bölüm", "Satır", "Eski", "Beklenen",
                                                             "Yeni",  "Fark",  "Durum"};

namespace {

constexpr WindowSize kPreferredSize{1000, 640};

RowKind kindOf(const ReportLine& line) {
  if (!line.agrees) return RowKind::kDiffers;
  return line.kind == LineKind::kInfo ? RowKind::kInfo : RowKind::kAgrees;
}

CompanyPage pageOf(const CompanyReport& c) {
  CompanyPage page;
  page.tabTitle = c.oldCode + " → " + c.newCode;
  if (!c.agrees()) page.tabTitle += " (fark var)";
  page.heading = c.shortName;
  for (const ReportLine* l : LinesDifferencesFirst(c)) {
    const LineTexts t = ColumnTexts(*l);
    page.rows.push_back(
        {kindOf(*l),
         {l->section, l->label, t.old, t.expected, t.found, t.difference, MarkText(*l)},
         l->detail});
    if (!l->items.empty()) page.rows.push_back({RowKind::kItems, {"", ItemsText(*l)}, {}});
  }
  return page;
}

// "2026-12-07 14:05" as a Turkish reader writes it: "07.12.2026 14:05". A
// text of another shape is left as it is.
std::string turkishDate(const std::string& date) {
  auto digits = [&](std::size_t from, std::size_t count) {
    return date.size() >= from + count &&
           std::all_of(date.begin() + static_cast<std::ptrdiff_t>(from),
                       date.begin() + static_cast<std::ptrdiff_t>(from + count),
                       [](char c) { return c >= '0' && c <= '9'; });
  };
  if (!digits(0, 4) || date.size() < 10 || date[4] != '-' || !digits(5, 2) || date[7] != '-' ||
      !digits(8, 2))
    return date;
  return date.substr(8, 2) + "." + date.substr(5, 2) + "." + date.substr(0, 4) + date.substr(10);
}

// 90% of a screen side, rounded to the nearest pixel.
int ninetyPercent(int side) {
  return static_cast<int>(side * 0.9 + 0.5);
}

}  // namespace

std::string OpenFailureText(const std::string& savedFile) {
  return "Rapor açılamadı: " + savedFile;
}

ReportPresentation PresentReport(const RunReport& r, const std::string& savedFile) {
  ReportPresentation p;
  p.title = kWindowTitle;
  p.facts = turkishDate(r.date) + " · " + (r.options.ytl ? "YTL dönüşümü ile" : "YTL dönüşümü yok");
  p.verdict = SummaryText(r);
  p.differs = r.differingLines() != 0;
  for (const CompanyReport& c : r.companies) p.pages.push_back(pageOf(c));
  p.savedFileLine = savedFile.empty() ? "Rapor kaydedilemedi." : "Kaydedilen rapor: " + savedFile;
  p.canOpen = !savedFile.empty();
  p.savedFile = savedFile;
  return p;
}

ReportPresentation PresentOpenings(const OpeningsReport& r, const std::string& savedFile) {
  ReportPresentation p;
  p.title = kOpeningsWindowTitle;
  p.facts = turkishDate(r.date) + " · " + r.fromYear + " → " + r.toYear;
  std::size_t n = 0;
  for (const CompanyOpenings& c : r.companies) n += c.differences.size() + (c.failed ? 1 : 0);
  p.differs = n != 0;
  p.verdict = r.companies.empty() ? "Denetlenecek devredilmiş şirket yok."
              : n == 0            ? "Tüm devir değerleri uyuyor."
                                  : std::to_string(n) + " devir değeri farklı.";
  for (const CompanyOpenings& c : r.companies) {
    CompanyPage page;
    page.tabTitle = c.oldCode + " → " + c.newCode + (c.agrees() ? "" : " (fark var)");
    page.heading = c.shortName;
    for (const OpeningDifference& d : c.differences) {
      PresentedRow row;
      row.kind = RowKind::kDiffers;
      std::string mark = StaleCauseText(d.cause);
      if (!d.note.empty()) mark = d.note + "; " + mark;
      if (d.sideChanged) mark = "TARAF DEĞİŞTİ; " + mark;
      row.cells = {d.section, d.code + " " + d.what,
                   "",        d.expected,
                   // a stock quantity as a number, every other difference as an amount
                   d.found,   d.what.rfind("miktar", 0) == 0 ? FormatNumber(d.difference, true)
                                                 : FormatAmount(d.difference, true),
                   mark};
      page.rows.push_back(std::move(row));
    }
    for (const OpeningTotal& t : c.totals) {
      PresentedRow row;
      row.kind = RowKind::kInfo;
      row.cells = {"Toplam",
                   t.label,
                   "",
                   FormatNumber(t.after),
                   FormatNumber(t.before),
                   FormatNumber(t.after - t.before),
                   ""};
      page.rows.push_back(std::move(row));
    }
    for (const std::string& note : c.notes) {
      PresentedRow row;
      row.kind = RowKind::kItems;
      row.cells[0] = "Not";
      row.cells[1] = note;
      page.rows.push_back(std::move(row));
    }
    p.pages.push_back(std::move(page));
  }
  p.savedFileLine = savedFile.empty() ? "Rapor kaydedilemedi." : "Kaydedilen rapor: " + savedFile;
  p.canOpen = !savedFile.empty();
  p.savedFile = savedFile;
  return p;
}

std::string SummaryText(const RunReport& r) {
  const std::size_t n = r.differingLines();
  return n == 0 ? "Tüm satırlar uyuyor."
                : std::to_string(n) + " satırda fark var: devir sonucu eski şirketle uyuşmuyor.";
}

std::string ItemsHeading(const ReportLine& l) {
  std::string heading = "Farklı kayıtlar";
  if (l.differingItems > l.items.size())
    heading += " (ilk " + std::to_string(l.items.size()) + ", toplam " +
               std::to_string(l.differingItems) + ")";
  return heading + ":";
}

std::string ItemText(const ItemDifference& i) {
  return i.code + ": beklenen " + i.expected + ", bulunan " + i.found;
}

std::string ItemsText(const ReportLine& l) {
  if (l.items.empty()) return {};
  std::string text = ItemsHeading(l);
  for (const ItemDifference& i : l.items) text += "\n" + ItemText(i);
  return text;
}

WindowSize ReportWindowSize(int screenWidth, int screenHeight) {
  WindowSize size = kPreferredSize;
  if (screenWidth > 0) size.width = std::min(size.width, ninetyPercent(screenWidth));
  if (screenHeight > 0) size.height = std::min(size.height, ninetyPercent(screenHeight));
  return size;
}

}  // namespace report
