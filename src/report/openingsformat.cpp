#include "report/openingsformat.h"

#include <algorithm>
#include <fstream>
#include <initializer_list>

#include "platform/paths.h"
#include "report/numbers.h"
#include "report/reportformat.h"

namespace report {

namespace {

std::string title(const CompanyOpenings& c) {
  return c.shortName + " (" + c.oldCode + " → " + c.newCode + ")";
}

std::string linkText(const CompanyOpenings& c) {
  static const char* const kModes[] = {"Otomatik Yuvarla", "Aşağı Yuvarla", "Yukarı Yuvarla"};
  std::string t =
      c.linkedByRecord ? "devir kaydıyla eşleşti" : "şirket kaydından eşleşti (devir kaydı yok)";
  t += c.ytl ? std::string(", YTL dönüşümü, ") + kModes[std::clamp(c.roundingMode, 0, 2)]
             : ", YTL dönüşümü yok";
  return t;
}

std::string noteText(const OpeningDifference& d) {
  std::string n = d.note;
  if (d.sideChanged) n = n.empty() ? "TARAF DEĞİŞTİ" : "TARAF DEĞİŞTİ; " + n;
  return n;
}

std::string summary(const OpeningsReport& r) {
  std::size_t n = 0;
  bool failed = false;
  for (const CompanyOpenings& c : r.companies) n += c.differences.size(), failed |= c.failed;
  if (r.companies.empty()) return "Denetlenecek devredilmiş şirket yok.";
  if (n == 0 && !failed) return "Tüm devir değerleri uyuyor.";
  std::string s = std::to_string(n) + " devir değeri farklı.";
  if (failed) s += " Bazı tablolar okunamadı.";
  return s;
}

}  // namespace

std::string OpeningsText(const OpeningsReport& r) {
  std::string out =
      "Devir değerleri denetimi, " + r.fromYear + " → " + r.toYear + ", " + r.date + "\n";
  for (const CompanyOpenings& c : r.companies) {
    out += "\n" + title(c) + ", " + linkText(c) + "\n";
    for (const OpeningDifference& d : c.differences) {
      out += "  FARKLI  " + d.section + " " + d.code + " " + d.what + ": yeni yılda " + d.found +
             ", bugün devredilecek " + d.expected + ", fark " + FormatNumber(d.difference, true);
      const std::string note = noteText(d);
      if (!note.empty()) out += " [" + note + "]";
      out += " (" + std::string(StaleCauseText(d.cause)) + ")\n";
    }
    for (const std::string& n : c.notes) out += "  not: " + n + "\n";
    for (const OpeningTotal& t : c.totals)
      out += "  toplam " + t.label + ": önce " + FormatNumber(t.before) + ", sonra " +
             FormatNumber(t.after) + ", fark " + FormatNumber(t.after - t.before) + "\n";
    out += c.agrees() ? "  Devir değerleri uyuyor.\n" : "";
  }
  if (!r.notes.empty()) out += "\n";
  for (const std::string& n : r.notes) out += "not: " + n + "\n";
  out += "\n" + summary(r) + "\n";
  return out;
}

std::string OpeningsCsv(const OpeningsReport& r) {
  std::string out = "\xEF\xBB\xBF";
  out +=
      "Tarih;Eski şirket;Yeni şirket;Kısa adı;Bölüm;Kod;Değer;Yeni yılda;Bugün devredilecek;"
      "Fark;Taraf değişti;Not;Neden\r\n";
  auto emit = [&out](std::initializer_list<std::string> fields) {
    bool first = true;
    for (const std::string& f : fields) {
      if (!first) out += ";";
      out += CsvField(f);
      first = false;
    }
    out += "\r\n";
  };
  for (const CompanyOpenings& c : r.companies) {
    for (const OpeningDifference& d : c.differences)
      emit({r.date, c.oldCode, c.newCode, c.shortName, d.section, d.code, d.what, d.found,
            d.expected, FormatNumber(d.difference, true), d.sideChanged ? "evet" : "", d.note,
            StaleCauseText(d.cause)});
    for (const OpeningTotal& t : c.totals)
      emit({r.date, c.oldCode, c.newCode, c.shortName, "Toplam", "", t.label,
            FormatNumber(t.before), FormatNumber(t.after), FormatNumber(t.after - t.before), "", "",
            ""});
    for (const std::string& n : c.notes)
      emit({r.date, c.oldCode, c.newCode, c.shortName, "Not", "", "", "", "", "", "", n, ""});
  }
  for (const std::string& n : r.notes)
    emit({r.date, "", "", "", "Not", "", "", "", "", "", "", n, ""});
  return out;
}

std::string OpeningsHtml(const OpeningsReport& r) {
  std::string out =
      "<!DOCTYPE html>\n<html lang=\"tr\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<title>Devir değerleri denetimi " +
      HtmlEscaped(r.date) +
      "</title>\n<style>\n"
      "@page { size: A4; margin: 14mm 12mm; }\n"
      "body { font-family: 'DejaVu Sans', Arial, sans-serif; font-size: 9pt; }\n"
      "h1 { font-size: 14pt; margin: 0 0 4pt; } h2 { font-size: 12pt; margin: 0 0 6pt; }\n"
      "section { page-break-after: always; break-after: page; }\n"
      "section:last-of-type { page-break-after: auto; break-after: auto; }\n"
      "table { border-collapse: collapse; width: 100%; margin-bottom: 8pt; }\n"
      "th, td { border: 1px solid #888; padding: 2pt 4pt; vertical-align: top; }\n"
      "th { background: #e8e8e8; text-align: left; } td.n { text-align: right; white-space: "
      "nowrap; }\n"
      "tr.differs td { background: #ffd6d6; } tr.side td { background: #ffb0b0; font-weight: "
      "bold; }\n"
      "p.summary.differs { color: #a00000; font-weight: bold; }\n"
      "</style>\n</head>\n<body>\n";
  for (const CompanyOpenings& c : r.companies) {
    out += "<section>\n<h1>Devir değerleri denetimi " + HtmlEscaped(r.fromYear + " → " + r.toYear) +
           "</h1>\n<p>" + HtmlEscaped(r.date) + " &middot; " + HtmlEscaped(linkText(c)) +
           "</p>\n<h2>" + HtmlEscaped(title(c)) + "</h2>\n";
    if (!c.differences.empty()) {
      out +=
          "<table>\n<thead><tr><th>Bölüm</th><th>Kod</th><th>Değer</th><th>Yeni yılda</th>"
          "<th>Bugün devredilecek</th><th>Fark</th><th>Not</th><th>Neden</th></tr></thead>\n"
          "<tbody>\n";
      for (const OpeningDifference& d : c.differences)
        out += std::string("<tr class=\"") + (d.sideChanged ? "side" : "differs") + "\"><td>" +
               HtmlEscaped(d.section) + "</td><td>" + HtmlEscaped(d.code) + "</td><td>" +
               HtmlEscaped(d.what) + "</td><td class=\"n\">" + HtmlEscaped(d.found) +
               "</td><td class=\"n\">" + HtmlEscaped(d.expected) + "</td><td class=\"n\">" +
               HtmlEscaped(FormatNumber(d.difference, true)) + "</td><td>" +
               HtmlEscaped(noteText(d)) + "</td><td>" + HtmlEscaped(StaleCauseText(d.cause)) +
               "</td></tr>\n";
      out += "</tbody>\n</table>\n";
    } else if (c.agrees()) {
      out += "<p>Devir değerleri uyuyor.</p>\n";
    }
    out +=
        "<table>\n<thead><tr><th>Toplam</th><th>Önce (yeni yılda)</th><th>Sonra (bugün)</th>"
        "<th>Fark</th></tr></thead>\n<tbody>\n";
    for (const OpeningTotal& t : c.totals)
      out += "<tr><td>" + HtmlEscaped(t.label) + "</td><td class=\"n\">" +
             HtmlEscaped(FormatNumber(t.before)) + "</td><td class=\"n\">" +
             HtmlEscaped(FormatNumber(t.after)) + "</td><td class=\"n\">" +
             HtmlEscaped(FormatNumber(t.after - t.before)) + "</td></tr>\n";
    out += "</tbody>\n</table>\n";
    for (const std::string& n : c.notes) out += "<p>Not: " + HtmlEscaped(n) + "</p>\n";
    out += "</section>\n";
  }
  for (const std::string& n : r.notes) out += "<p>Not: " + HtmlEscaped(n) + "</p>\n";
  out += std::string("<p class=\"summary") + (r.agrees() ? "" : " differs") + "\">" +
         HtmlEscaped(summary(r)) + "</p>\n</body>\n</html>\n";
  return out;
}

std::string OpeningsFileBase(const OpeningsReport& r) {
  std::string name = "Devir Değerleri Denetimi " + r.date;
  name.erase(std::remove(name.begin(), name.end(), ':'), name.end());
  return name + " " + r.fromYear + "-" + r.toYear;
}

SavedReport SaveOpeningsReport(const OpeningsReport& r, const platform::TypedPath& folder) {
  return SaveReportFiles(folder, OpeningsFileBase(r), OpeningsHtml(r), OpeningsCsv(r));
}

}  // namespace report
