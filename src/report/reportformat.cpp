#include "report/reportformat.h"

#include <algorithm>

#include "report/numbers.h"
#include "report/presentation.h"

namespace report {

namespace {

// Width on a terminal: one column per UTF-8 character.
std::size_t columns(const std::string& s) {
  std::size_t n = 0;
  for (unsigned char c : s) n += (c & 0xC0) != 0x80;
  return n;
}

std::string padRight(const std::string& s, std::size_t width) {
  const std::size_t w = columns(s);
  return w >= width ? s : s + std::string(width - w, ' ');
}

std::string padLeft(const std::string& s, std::size_t width) {
  const std::size_t w = columns(s);
  return w >= width ? s : std::string(width - w, ' ') + s;
}

std::string conversionText(const ReconcileOptions& o) {
  if (!o.ytl) return "YTL dönüşümü yok";
  static const char* const kModes[] = {"Otomatik Yuvarla", "Aşağı Yuvarla", "Yukarı Yuvarla"};
  const int mode = std::clamp(o.roundingMode, 0, 2);
  return std::string("YTL dönüşümü, ") + kModes[mode] + ", " + std::to_string(o.digits) +
         " basamak";
}

std::string companyTitle(const CompanyReport& c) {
  return c.shortName + " (" + c.oldCode + " → " + c.newCode + ")";
}

// The fields behind a line, small and grey under its name, for support.
std::string detailHtml(const ReportLine& l) {
  return l.detail.empty() ? std::string()
                          : "<br><span class=\"detail\">" + HtmlEscaped(l.detail) + "</span>";
}

}  // namespace

std::string CsvField(const std::string& s) {
  if (s.find_first_of(";\"\r\n") == std::string::npos) return s;
  std::string out = "\"";
  for (char c : s) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  return out + "\"";
}

std::string HtmlEscaped(const std::string& s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out.push_back(c);
    }
  }
  return out;
}

std::string MarkText(const ReportLine& line) {
  if (line.kind == LineKind::kInfo) return "bilgi";
  return line.agrees ? "uyuyor" : "FARKLI";
}

std::string LabelWithDetail(const ReportLine& l) {
  return l.detail.empty() ? l.label : l.label + " (" + l.detail + ")";
}

LineTexts ColumnTexts(const ReportLine& l) {
  if (l.kind == LineKind::kText) return {l.oldText, l.expectedText, l.foundText, ""};
  const auto format = [&l](double v) { return l.isCount() ? FormatNumber(v) : FormatAmount(v); };
  LineTexts t{format(l.old), format(l.expected), format(l.found), format(l.difference())};
  if (l.kind == LineKind::kInfo) {
    t.found.clear();
    if (l.old == 0) t.old.clear(), t.difference.clear();
  }
  return t;
}

std::string PlainTextReport(const RunReport& r) {
  std::string out = "Devir mutabakat raporu, " + r.date + ", " + conversionText(r.options) + "\n";
  const std::size_t kLabel = 58, kNumber = 20;
  for (const CompanyReport& c : r.companies) {
    out += "\n" + companyTitle(c) + "\n";
    out += padRight("Satır", kLabel) + padLeft("Eski", kNumber) + padLeft("Beklenen", kNumber) +
           padLeft("Yeni", kNumber) + padLeft("Fark", kNumber) + "  Durum\n";
    for (const ReportLine* l : LinesDifferencesFirst(c)) {
      const LineTexts t = ColumnTexts(*l);
      out += padRight(l->section + ": " + LabelWithDetail(*l), kLabel) + padLeft(t.old, kNumber) +
             padLeft(t.expected, kNumber) + padLeft(t.found, kNumber) +
             padLeft(t.difference, kNumber) + "  " + MarkText(*l) + "\n";
      for (const ItemDifference& i : l->items) out += "    " + ItemText(i) + "\n";
      if (l->differingItems > l->items.size())
        out +=
            "    ... ve " + std::to_string(l->differingItems - l->items.size()) + " kayıt daha\n";
    }
  }
  out += "\n" + SummaryText(r) + "\n";
  return out;
}

std::string CsvReport(const RunReport& r) {
  std::string out = "\xEF\xBB\xBF";
  out +=
      "Tarih;Eski şirket;Yeni şirket;Kısa adı;Bölüm;Satır;Eski;Beklenen;Yeni;Fark;Durum;"
      "Farklı kayıt sayısı\r\n";
  for (const CompanyReport& c : r.companies) {
    for (const ReportLine& l : c.lines) {
      const LineTexts t = ColumnTexts(l);
      const std::string fields[] = {r.date,       c.oldCode,   c.newCode,
                                    c.shortName,  l.section,   LabelWithDetail(l),
                                    t.old,        t.expected,  t.found,
                                    t.difference, MarkText(l), std::to_string(l.differingItems)};
      bool firstField = true;
      for (const std::string& f : fields) {
        if (!firstField) out += ";";
        out += CsvField(f);
        firstField = false;
      }
      out += "\r\n";
    }
  }
  return out;
}

std::string HtmlReport(const RunReport& r) {
  std::string out =
      "<!DOCTYPE html>\n<html lang=\"tr\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<title>Devir mutabakat raporu " +
      HtmlEscaped(r.date) +
      "</title>\n<style>\n"
      "@page { size: A4; margin: 14mm 12mm; }\n"
      "body { font-family: 'DejaVu Sans', Arial, sans-serif; font-size: 9pt; color: #000; }\n"
      "h1 { font-size: 14pt; margin: 0 0 4pt; }\n"
      "h2 { font-size: 12pt; margin: 0 0 6pt; }\n"
      "p.meta { margin: 0 0 10pt; }\n"
      "section { page-break-after: always; break-after: page; }\n"
      "section:last-of-type { page-break-after: auto; break-after: auto; }\n"
      "table { border-collapse: collapse; width: 100%; }\n"
      "th, td { border: 1px solid #888; padding: 2pt 4pt; vertical-align: top; }\n"
      "th { background: #e8e8e8; text-align: left; }\n"
      "td.n { text-align: right; white-space: nowrap; }\n"
      "tr { page-break-inside: avoid; }\n"
      "tr.differs td { background: #ffd6d6; font-weight: bold; }\n"
      "tr.info td { color: #444; }\n"
      "tr.items td { background: #fff0f0; font-weight: normal; font-size: 8pt; }\n"
      "p.summary.differs { color: #a00000; font-weight: bold; }\n"
      "th.n { text-align: right; }\n"
      "span.detail { color: #666; font-size: 7pt; font-weight: normal; }\n"
      "@media print { body { font-size: 7.5pt; } th, td { padding: 1pt 3pt; } }\n"
      "</style>\n</head>\n<body>\n";
  for (const CompanyReport& c : r.companies) {
    out += "<section>\n<h1>Devir mutabakat raporu</h1>\n<p class=\"meta\">" + HtmlEscaped(r.date) +
           " &middot; " + HtmlEscaped(conversionText(r.options)) + "</p>\n<h2>" +
           HtmlEscaped(companyTitle(c)) + "</h2>\n";
    out +=
        "<table>\n<thead><tr><th>Bölüm</th><th>Satır</th><th class=\"n\">Eski</th>"
        "<th class=\"n\">Beklenen</th><th class=\"n\">Yeni</th><th class=\"n\">Fark</th>"
        "<th>Durum</th></tr></thead>\n<tbody>\n";
    for (const ReportLine* l : LinesDifferencesFirst(c)) {
      const LineTexts t = ColumnTexts(*l);
      const char* cls = !l->agrees                   ? " class=\"differs\""
                        : l->kind == LineKind::kInfo ? " class=\"info\""
                                                     : "";
      out += std::string("<tr") + cls + "><td>" + HtmlEscaped(l->section) + "</td><td>" +
             HtmlEscaped(l->label) + detailHtml(*l) + "</td><td class=\"n\">" + HtmlEscaped(t.old) +
             "</td><td class=\"n\">" + HtmlEscaped(t.expected) + "</td><td class=\"n\">" +
             HtmlEscaped(t.found) + "</td><td class=\"n\">" + HtmlEscaped(t.difference) +
             "</td><td>" + HtmlEscaped(MarkText(*l)) + "</td></tr>\n";
      if (!l->items.empty()) {
        out += "<tr class=\"items\"><td></td><td colspan=\"6\">" + HtmlEscaped(ItemsHeading(*l)) +
               "<br>";
        for (const ItemDifference& i : l->items) out += HtmlEscaped(ItemText(i)) + "<br>";
        out += "</td></tr>\n";
      }
    }
    out += "</tbody>\n</table>\n</section>\n";
  }
  out += std::string("<p class=\"summary") + (r.agrees() ? "" : " differs") + "\">" +
         HtmlEscaped(SummaryText(r)) + "</p>\n</body>\n</html>\n";
  return out;
}

}  // namespace report
