// The sample companies and report that the screenshots of both systems'
// windows show.
#pragma once

#include <string>
#include <vector>

#include "data/companylist.h"
#include "main/form/aftercarry.h"
#include "main/form/form1model.h"
#include "report/openings.h"
#include "report/reconciliation.h"

namespace fixture {

// One row of the selection dialog's company list, of the year 2005.
inline void addScreenshotCompany(CompanyList& list, const char* code, const char* name,
                                 bool selected, const char* newCode) {
  list.append();
  list.setValue("SIRKET_KOD", Variant{std::string(code)});
  list.setValue("KISA_AD", Variant{std::string(name)});
  list.setValue("NUMBER1", Variant{2005.0});
  list.setValue("DEVIR", Variant{selected});
  list.setValue("YENI_SIRKET_KOD", Variant{std::string(newCode)});
}

inline report::ReportLine screenshotLine(const char* section, const char* label, double old,
                                         double expected, double found,
                                         report::LineKind kind = report::LineKind::kAmount) {
  report::ReportLine l;
  l.section = section;
  l.label = label;
  l.kind = kind;
  l.old = old;
  l.expected = expected;
  l.found = found;
  l.agrees = expected == found || kind == report::LineKind::kInfo;
  return l;
}

// The line with the fields behind it, as the reconciliation names them.
inline report::ReportLine withDetail(report::ReportLine l, const char* detail) {
  l.detail = detail;
  return l;
}

// Two companies, the first with one differing balance and its record.
inline report::RunReport screenshotReport() {
  using report::LineKind;
  report::RunReport r;
  r.date = "2006-01-02 09:30";
  r.options.ytl = true;
  std::vector<report::ReportLine> lines = {
      screenshotLine("Cari hesaplar", "kart sayısı", 7, 7, 7, LineKind::kCount),
      withDetail(screenshotLine("Cari hesaplar", "borç bakiyeleri toplamı", 1495000, 1.49, 1.49),
                 "KTBKY → KDBKY"),
      withDetail(screenshotLine("Cari hesaplar", "alacak bakiyeleri toplamı", 22100000, 22.1, 22.1),
                 "KTBKY → KDBKY"),
      screenshotLine("Cari hesaplar", "dönüşüm etkisi: eski toplam / 1.000.000 → yuvarlanmış",
                     23.595, 23.59, 23.59, LineKind::kInfo),
      withDetail(screenshotLine("Stok", "devreden değer", 31500000, 31.5, 31.5),
                 "KALF × MIKKAL → TUTDEV"),
      withDetail(screenshotLine("Stok", "devreden miktar", 0, 0, 0), "MIKKAL → MIKDEV"),
      screenshotLine("Çek ve senetler", "devreden evrak sayısı", 9, 3, 3, LineKind::kCount),
      withDetail(screenshotLine("Taksitler", "devreden tutar", 600000, 0.6, 0.6), "TUTAR"),
      screenshotLine("Taksitler", "0 veya eksi olduğu için 0 yazılan tutar sayısı", 0, 2, 2,
                     LineKind::kInfo)};
  lines.back().infoIsCount = true;
  report::CompanyReport first{"2005_001", "2006_001", "Merkez Ticaret", lines};
  first.lines[2].found = 22.11;
  first.lines[2].agrees = false;
  first.lines[2].differingItems = 1;
  first.lines[2].items.push_back({"320.01", "12,35", "12,36"});
  r.companies.push_back(first);
  r.companies.push_back({"2005_003", "2006_003", "Güneş Gıda", lines});
  return r;
}

// An openings check with one late entry, as the home of the after-carry
// actions shows it, and the path of its saved report.
inline report::OpeningsReport screenshotOpenings() {
  report::OpeningsReport checked;
  checked.fromYear = "2005", checked.toYear = "2006", checked.date = "2006-02-01 10:00";
  report::CompanyOpenings c;
  c.oldCode = "2005_001", c.newCode = "2006_001", c.shortName = "Merkez Ticaret";
  c.differences.push_back({"Cari hesaplar", "120.01", "TL bakiyesi", "250,00 Borç", "300,00 Borç",
                           50, false, {}, report::StaleCause::kLateEntry});
  checked.companies.push_back(c);
  return checked;
}
// Every action the home can offer, by caption (nothing to preview or run).
inline std::vector<form1::HomeAction> screenshotHomeActions() {
  std::vector<form1::HomeAction> actions;
  for (const char* caption :
       {form1::kRefreshCaption, form1::kWithdrawCaption, form1::kRestoreUpgradeCaption}) {
    form1::HomeAction action;
    action.caption = caption;
    actions.push_back(action);
  }
  return actions;
}

inline const char* const kScreenshotOpeningsFile =
    "C:\\ZEFIRTAK\\KMX3\\DATA\\Devir Raporları\\Devir Değerleri Denetimi 2006-02-01 1000 "
    "2005-2006.html";

}  // namespace fixture
