// The sample companies and report that the screenshots of both systems'
// windows show.
#pragma once

#include <string>
#include <vector>

#include "data/companylist.h"
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

// Two companies, the first with one differing balance and its record.
inline report::RunReport screenshotReport() {
  using report::LineKind;
  report::RunReport r;
  r.date = "2006-01-02 09:30";
  r.options.ytl = true;
  std::vector<report::ReportLine> lines = {
      screenshotLine("Cari hesaplar", "kart sayısı", 7, 7, 7, LineKind::kCount),
      screenshotLine("Cari hesaplar", "borç bakiyeleri toplamı (KTBKY → KDBKY)", 1495000, 1.49,
                     1.49),
      screenshotLine("Cari hesaplar", "alacak bakiyeleri toplamı (KTBKY → KDBKY)", 22100000, 22.1,
                     22.1),
      screenshotLine("Cari hesaplar", "dönüşüm etkisi: eski toplam / 1.000.000 → yuvarlanmış",
                     23.595, 23.59, 23.59, LineKind::kInfo),
      screenshotLine("Stok", "devreden değer (KALF × MIKKAL → TUTDEV)", 31500000, 31.5, 31.5),
      screenshotLine("Çek ve senetler", "devreden evrak sayısı", 9, 3, 3, LineKind::kCount),
      screenshotLine("Taksitler", "devreden tutar (TUTAR)", 600000, 0.6, 0.6)};
  report::CompanyReport first{"2005_001", "2006_001", "Merkez Ticaret", lines};
  first.lines[2].found = 22.11;
  first.lines[2].agrees = false;
  first.lines[2].differingItems = 1;
  first.lines[2].items.push_back({"320.01", "12,35", "12,36"});
  r.companies.push_back(first);
  r.companies.push_back({"2005_003", "2006_003", "Güneş Gıda", lines});
  return r;
}

}  // namespace fixture
