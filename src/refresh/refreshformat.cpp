#include "refresh/refreshformat.h"

#include <algorithm>
#include <initializer_list>

#include "report/numbers.h"
#include "report/reportformat.h"

namespace refresh {

namespace {

using report::FormatNumber;
using report::HtmlEscaped;

std::string title(const CompanyRefresh& c) {
  return c.shortName + " (" + c.oldCode + " → " + c.newCode + ")";
}

const char* mark(Outcome o) {
  switch (o) {
    case Outcome::kCarriedOver:
      return "GÜNCELLENDİ";
    case Outcome::kAlreadyCorrected:
      return "DÜZELTİLMİŞ";
    case Outcome::kKeptEdit:
      return "KORUNDU";
    case Outcome::kConflict:
      break;
  }
  return "ÇAKIŞMA";
}

// A unit's values in one line: what was and what is, or all three.
std::string values(const UnitChange& u, bool dryRun) {
  switch (u.outcome) {
    case Outcome::kCarriedOver:
      return "önce " + u.now + ", " + (dryRun ? "sonra olacak " : "sonra ") + u.after;
    case Outcome::kKeptEdit:
      return "devirde " + u.base + ", yeni yılda " + u.now;
    default:
      return "devirde " + u.base + ", bugün devredilecek " + u.today + ", yeni yılda " + u.now;
  }
}

std::string unitName(const UnitChange& u) {
  return u.section + " " + u.code + (u.name.empty() ? "" : " (" + u.name + ")") + " " + u.what;
}

std::string figure(const report::RecordedFigure& f) {
  return FormatNumber(f.value) + (f.side.empty() ? "" : " " + f.side);
}

}  // namespace

std::string RefreshSummary(const RefreshReport& r) {
  std::size_t changed = 0, conflicts = 0, kept = 0, left = 0, failed = 0;
  for (const CompanyRefresh& c : r.companies) {
    changed += c.count(Outcome::kCarriedOver);
    conflicts += c.count(Outcome::kConflict);
    kept += c.count(Outcome::kKeptEdit);
    left += c.left.size();
    failed += c.failure.empty() ? 0 : 1;
  }
  if (r.companies.empty()) return "Güncellenecek devredilmiş şirket yok.";
  std::string s =
      std::to_string(changed) +
      (r.dryRun ? " açılış güncellenecek (deneme: hiçbir şey yazılmadı)" : " açılış güncellendi");
  s += ", " + std::to_string(conflicts) + " çakışma, " + std::to_string(kept) +
       " yeni yıl değişikliği korundu";
  if (left) s += ", " + std::to_string(left) + " fark bu güncellemenin dışında";
  if (failed) s += ", " + std::to_string(failed) + " şirket güncellenemedi";
  return s + ".";
}

std::string RefreshPreview(const RefreshReport& r, std::size_t lines) {
  std::string out;
  std::size_t shown = 0, more = 0;
  for (const CompanyRefresh& c : r.companies) {
    bool titled = false;
    for (const UnitChange& u : c.changes) {
      if (u.outcome == Outcome::kKeptEdit) continue;
      if (shown == lines) {
        ++more;
        continue;
      }
      if (!titled) out += title(c) + "\r\n";
      titled = true;
      out += "  " + std::string(mark(u.outcome)) + "  " + unitName(u) + ": " + values(u, r.dryRun) +
             (u.reason.empty() ? "" : " (" + u.reason + ")") + "\r\n";
      ++shown;
    }
    if (!c.failure.empty()) out += title(c) + ": güncellenemez: " + c.failure + "\r\n";
  }
  if (more) out += "... ve " + std::to_string(more) + " satır daha (ayrıntılar raporda)\r\n";
  return out + RefreshSummary(r);
}

bool WouldWrite(const RefreshReport& r) {
  for (const CompanyRefresh& c : r.companies)
    if (c.failure.empty() &&
        (c.count(Outcome::kCarriedOver) > 0 || c.count(Outcome::kAlreadyCorrected) > 0))
      return true;
  return false;
}

std::string RefreshText(const RefreshReport& r) {
  std::string out = "Açılış güncellemesi, " + r.fromYear + " → " + r.toYear + ", " + r.date +
                    (r.dryRun ? " (deneme)" : "") + "\n";
  for (const CompanyRefresh& c : r.companies) {
    out += "\n" + title(c) + (c.linkedByRecord ? ", devir kaydıyla eşleşti" : "") + "\n";
    for (const UnitChange& u : c.changes) {
      out += "  " + std::string(mark(u.outcome)) + "  " + unitName(u) + ": " + values(u, r.dryRun);
      if (!u.reason.empty()) out += " (" + u.reason + ")";
      out += "\n";
    }
    for (const std::string& l : c.left) out += "  BEKLİYOR  " + l + "\n";
    for (const report::OpeningTotal& t : c.totals)
      out += "  toplam " + t.label + ": önce " + FormatNumber(t.before) + ", sonra " +
             FormatNumber(t.after) + ", fark " + FormatNumber(t.after - t.before) + "\n";
    for (const std::string& n : c.notes) out += "  not: " + n + "\n";
    if (!c.backupFolder.empty())
      out += "  Önceki dosyalar DATA dizininde: " + c.backupFolder + "\n";
    if (!c.failure.empty()) out += "  GÜNCELLENEMEDİ: " + c.failure + "\n";
  }
  if (!r.notes.empty()) out += "\n";
  for (const std::string& n : r.notes) out += "not: " + n + "\n";
  return out + "\n" + RefreshSummary(r) + "\n";
}

std::string RefreshCsv(const RefreshReport& r) {
  std::string out = "\xEF\xBB\xBF";
  out +=
      "Tarih;Eski şirket;Yeni şirket;Kısa adı;Bölüm;Kod;Adı;Değer;Sonuç;Devirde;"
      "Bugün devredilecek;Yeni yılda (önce);Sonra;Neden\r\n";
  auto emit = [&out](std::initializer_list<std::string> fields) {
    bool first = true;
    for (const std::string& f : fields) {
      if (!first) out += ";";
      out += report::CsvField(f);
      first = false;
    }
    out += "\r\n";
  };
  for (const CompanyRefresh& c : r.companies) {
    const auto row = [&](std::initializer_list<std::string> rest) {
      std::string line;
      std::vector<std::string> f{r.date, c.oldCode, c.newCode, c.shortName};
      f.insert(f.end(), rest);
      bool first = true;
      for (const std::string& x : f) {
        if (!first) line += ";";
        line += report::CsvField(x);
        first = false;
      }
      out += line + "\r\n";
    };
    for (const UnitChange& u : c.changes)
      row({u.section, u.code, u.name, u.what, OutcomeText(u.outcome), u.base, u.today, u.now,
           u.after, u.reason});
    for (const std::string& l : c.left) row({"Bekliyor", "", "", "", "", "", "", "", "", l});
    for (const report::OpeningTotal& t : c.totals)
      row({"Toplam", "", "", t.label, "", "", "", FormatNumber(t.before), FormatNumber(t.after),
           ""});
    for (const CardBalance& b : c.balances) {
      row({"Mutabakat", b.code, b.name, c.ytl ? "YTL bakiyesi" : "TL bakiyesi", "", "", "", "",
           figure(b.local), ""});
      if (!b.unit.empty() || b.foreign.value != 0)
        row({"Mutabakat", b.code, b.name, (b.unit.empty() ? "döviz" : b.unit) + " bakiyesi", "", "",
             "", "", figure(b.foreign), ""});
    }
    for (const std::string& n : c.notes) row({"Not", "", "", "", "", "", "", "", "", n});
    if (!c.backupFolder.empty()) row({"Yedek", "", "", "", "", "", "", "", "", c.backupFolder});
    if (!c.failure.empty()) row({"Hata", "", "", "", "", "", "", "", "", c.failure});
  }
  for (const std::string& n : r.notes)
    emit({r.date, "", "", "", "Not", "", "", "", "", "", "", "", "", n});
  return out;
}

std::string RefreshHtml(const RefreshReport& r) {
  std::string out =
      "<!DOCTYPE html>\n<html lang=\"tr\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<title>Açılış güncellemesi " +
      HtmlEscaped(r.date) +
      "</title>\n<style>\n"
      "@page { size: A4; margin: 14mm 12mm; }\n"
      "body { font-family: 'DejaVu Sans', Arial, sans-serif; font-size: 9pt; }\n"
      "h1 { font-size: 14pt; margin: 0 0 4pt; } h2 { font-size: 12pt; margin: 6pt 0; }\n"
      "section { page-break-after: always; break-after: page; }\n"
      "section:last-of-type { page-break-after: auto; break-after: auto; }\n"
      "table { border-collapse: collapse; width: 100%; margin-bottom: 8pt; }\n"
      "th, td { border: 1px solid #888; padding: 2pt 4pt; vertical-align: top; }\n"
      "th { background: #e8e8e8; text-align: left; } td.n { text-align: right; }\n"
      "tr.conflict td { background: #ffd6d6; font-weight: bold; }\n"
      "tr.changed td { background: #e0f2e0; }\n"
      "</style>\n</head>\n<body>\n";
  auto cell = [](const std::string& s, bool number = false) {
    return std::string(number ? "<td class=\"n\">" : "<td>") + HtmlEscaped(s) + "</td>";
  };
  for (const CompanyRefresh& c : r.companies) {
    out += "<section>\n<h1>Açılış güncellemesi " + HtmlEscaped(r.fromYear + " → " + r.toYear) +
           (r.dryRun ? " (deneme: hiçbir şey yazılmadı)" : "") + "</h1>\n<p>" +
           HtmlEscaped(r.date) + "</p>\n<h2>" + HtmlEscaped(title(c)) + "</h2>\n";
    if (!c.failure.empty()) out += "<p><b>Güncellenemedi:</b> " + HtmlEscaped(c.failure) + "</p>\n";
    if (!c.changes.empty()) {
      out +=
          "<table>\n<thead><tr><th>Bölüm</th><th>Kod</th><th>Adı</th><th>Değer</th>"
          "<th>Sonuç</th><th>Devirde</th><th>Bugün devredilecek</th><th>Yeni yılda (önce)</th>"
          "<th>Sonra</th><th>Neden</th></tr></thead>\n<tbody>\n";
      for (const UnitChange& u : c.changes) {
        const char* cls = u.outcome == Outcome::kConflict      ? "conflict"
                          : u.outcome == Outcome::kCarriedOver ? "changed"
                                                               : "";
        out += std::string("<tr class=\"") + cls + "\">" + cell(u.section) + cell(u.code) +
               cell(u.name) + cell(u.what) + cell(OutcomeText(u.outcome)) + cell(u.base, true) +
               cell(u.today, true) + cell(u.now, true) + cell(u.after, true) + cell(u.reason) +
               "</tr>\n";
      }
      out += "</tbody>\n</table>\n";
    }
    for (const std::string& l : c.left)
      out += "<p>Bu güncellemenin dışında: " + HtmlEscaped(l) + "</p>\n";
    out +=
        "<table>\n<thead><tr><th>Toplam</th><th>Önce</th><th>Sonra</th><th>Fark</th></tr>"
        "</thead>\n<tbody>\n";
    for (const report::OpeningTotal& t : c.totals)
      out += "<tr>" + cell(t.label) + cell(FormatNumber(t.before), true) +
             cell(FormatNumber(t.after), true) + cell(FormatNumber(t.after - t.before), true) +
             "</tr>\n";
    out += "</tbody>\n</table>\n";
    if (!c.balances.empty()) {
      out +=
          "<h2>Cari hesapların açılışları (mutabakat için)</h2>\n<table>\n<thead><tr><th>Kod</th>"
          "<th>Adı</th><th>" +
          std::string(c.ytl ? "YTL" : "TL") +
          " bakiyesi</th><th>Döviz bakiyesi</th></tr></thead>\n<tbody>\n";
      for (const CardBalance& b : c.balances)
        out += "<tr>" + cell(b.code) + cell(b.name) + cell(figure(b.local), true) +
               cell(b.foreign.value == 0 && b.unit.empty() ? "" : figure(b.foreign) + " " + b.unit,
                    true) +
               "</tr>\n";
      out += "</tbody>\n</table>\n";
    }
    for (const std::string& n : c.notes) out += "<p>Not: " + HtmlEscaped(n) + "</p>\n";
    if (!c.backupFolder.empty())
      out += "<p>Önceki dosyalar DATA dizininde: " + HtmlEscaped(c.backupFolder) + "</p>\n";
    out += "</section>\n";
  }
  for (const std::string& n : r.notes) out += "<p>Not: " + HtmlEscaped(n) + "</p>\n";
  out += "<p><b>" + HtmlEscaped(RefreshSummary(r)) + "</b></p>\n</body>\n</html>\n";
  return out;
}

std::string RefreshFileBase(const RefreshReport& r) {
  std::string name =
      std::string(r.dryRun ? "Açılış Güncellemesi Deneme " : "Açılış Güncellemesi ") + r.date;
  name.erase(std::remove(name.begin(), name.end(), ':'), name.end());
  return name + " " + r.fromYear + "-" + r.toYear;
}

report::SavedReport SaveRefreshReport(const RefreshReport& r, const platform::TypedPath& folder) {
  return report::SaveReportFiles(folder, RefreshFileBase(r), RefreshHtml(r), RefreshCsv(r));
}

}  // namespace refresh
