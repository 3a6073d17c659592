#include "report/reconciliation.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <future>
#include <map>
#include <memory>
#include <optional>
#include <unordered_map>

#include "data/datadirectories.h"
#include "data/failuretext.h"
#include "data/tablepath.h"
#include "jobs/amount.h"
#include "paradox/table.h"
#include "platform/rawfile.h"
#include "report/numbers.h"
#include "report/rules.h"
#include "report/tables.h"

namespace report {

namespace {

// The records of one amount line: expected values from the old table,
// found values from the new one, matched by code. The new table is the old
// one's copy, changed in place and thinned out, so its records come in the
// old order: each is first tried against the next expected record, and only
// a record out of that order is looked up by its code (repeated codes match
// in order). Totals are summed in one order (the old table's, then records
// only the new table has) so that equal records give equal totals to the
// last digit.
class Tally {
 public:
  void expect(const std::string& code, double oldValue, double expected) {
    m_items.push_back({code, expected, std::nullopt, true});
    ++m_expected;
    m_old += oldValue;
  }
  void find(const std::string& code, double found) {
    while (m_cursor < m_expected && m_items[m_cursor].found) ++m_cursor;
    if (m_cursor < m_expected && m_items[m_cursor].code == code) {
      m_items[m_cursor++].found = found;
      return;
    }
    if (!m_indexed) {
      for (std::size_t i = 0; i < m_expected; ++i)
        if (!m_items[i].found) m_index.emplace(m_items[i].code, i);
      m_indexed = true;
    }
    for (auto [it, last] = m_index.equal_range(code); it != last; ++it) {
      Item& item = m_items[it->second];
      if (item.found) continue;
      item.found = found;
      m_cursor = std::max(m_cursor, it->second + 1);
      m_index.erase(it);
      return;
    }
    m_items.push_back({code, 0, found, false});
  }
  std::size_t expectedCount() const { return m_expected; }

  ReportLine line(std::string section, std::string label, std::string detail) const {
    ReportLine l;
    l.section = std::move(section);
    l.label = std::move(label);
    l.detail = std::move(detail);
    l.kind = LineKind::kAmount;
    l.old = m_old;
    for (const Item& i : m_items) {
      if (i.hasExpected) l.expected += i.expected;
      if (i.found) l.found += *i.found;
      const bool same = i.hasExpected && i.found && sameValue(i.expected, *i.found);
      if (same) continue;
      ++l.differingItems;
      if (l.items.size() < kMaxItemsShown)
        l.items.push_back({i.code, i.hasExpected ? FormatAmount(i.expected, true) : "yok",
                           i.found ? FormatAmount(*i.found, true) : "yok"});
    }
    l.agrees = l.differingItems == 0 && sameValue(l.expected, l.found);
    return l;
  }

 private:
  static bool sameValue(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }
  struct Item {
    std::string code;
    double expected;
    std::optional<double> found;
    bool hasExpected;
  };
  std::vector<Item> m_items;
  std::size_t m_expected = 0;  // the first m_expected items are the old table's
  std::size_t m_cursor = 0;
  bool m_indexed = false;
  std::unordered_multimap<std::string, std::size_t> m_index;
  double m_old = 0;
};

// The rounding of one converted amount family: the exact quotients against
// the rounded amounts.
class Rounding {
 public:
  void add(const std::string& code, double oldValue, double converted) {
    const long double exact = static_cast<long double>(oldValue) / 1000000.0L;
    m_exact += exact;
    m_rounded += converted;
    if (oldValue <= 0) {
      ++m_zeroed;
      return;
    }
    const long double diff = static_cast<long double>(converted) - exact;
    m_sum += diff;
    if (!m_largestCode || std::fabs(diff) > std::fabs(m_largest)) {
      m_largest = diff;
      m_largestCode = code;
    }
  }

  void appendLines(std::vector<ReportLine>& out, const std::string& section) const {
    ReportLine effect;
    effect.section = section;
    effect.kind = LineKind::kInfo;
    effect.label = "dönüşüm etkisi: eski toplam / 1.000.000 → yuvarlanmış";
    effect.old = static_cast<double>(m_exact);
    effect.expected = m_rounded;
    effect.found = m_rounded;
    out.push_back(effect);

    // The rounding figures: nothing old to compare, the figure itself shown.
    auto figure = [&](std::string label, double value, bool isCount = false) {
      ReportLine line = effect;
      line.label = std::move(label);
      line.infoIsCount = isCount;
      line.old = 0;
      line.expected = line.found = value;
      out.push_back(line);
    };
    figure("yuvarlama farkı toplamı", static_cast<double>(m_sum));
    figure("en büyük tek yuvarlama farkı" +
               (m_largestCode ? " (" + *m_largestCode + ")" : std::string()),
           static_cast<double>(m_largest));
    figure("0 veya eksi olduğu için 0 yazılan tutar sayısı", static_cast<double>(m_zeroed), true);
  }

 private:
  long double m_exact = 0;
  double m_rounded = 0;
  long double m_sum = 0;
  long double m_largest = 0;
  std::optional<std::string> m_largestCode;
  std::size_t m_zeroed = 0;
};

ReportLine countLine(std::string section, std::string label, double old, double expected,
                     double found) {
  ReportLine l;
  l.section = std::move(section);
  l.label = std::move(label);
  l.kind = LineKind::kCount;
  l.old = old;
  l.expected = expected;
  l.found = found;
  l.agrees = expected == found;
  return l;
}

ReportLine failureLine(const std::string& section, const std::exception& e) {
  ReportLine l;
  l.section = section;
  l.label = "tablolar okunamadı";
  l.kind = LineKind::kText;
  l.foundText = FailureText(e);
  l.agrees = false;
  return l;
}

// The carry-forward's conversion of one old amount, as the report expects it.
struct Converter {
  const ReconcileOptions& o;
  double operator()(double oldValue) const {
    return o.ytl ? ConvertAmount(oldValue, o.roundingMode, o.digits) : oldValue;
  }
};

const char* const kCredit = "Alacak";

void currentAccounts(const ReconcileOptions& o, const platform::TypedPath& oldDir,
                     const platform::TypedPath& newDir, std::vector<ReportLine>& out) {
  const std::string section = "Cari hesaplar";
  const Converter convert{o};
  Tally debit, credit;
  Rounding rounding;
  struct Currency {
    Tally debit, credit;
  };
  std::map<std::string, Currency> currencies;
  std::size_t oldCount = 0, newCount = 0;
  {
    TableReader r(oldDir, "Cari");
    const int code = r.field("CARIKODU"), balance = r.field("KTBKY"), side = r.field("KTBTR"),
              fBalance = r.field("DTBKY"), fSide = r.field("DTBTR"), unit = r.field("DVZBRM");
    for (; !r.eof(); r.next()) {
      ++oldCount;
      const std::string c = r.code(code);
      const double amount = r.number(balance);
      const double converted = convert(amount);
      if (o.ytl) rounding.add(c, amount, converted);
      // Only the exact text "Alacak" is the credit side.
      (r.text(side) == kCredit ? credit : debit).expect(c, amount, converted);
      const double foreign = r.number(fBalance);
      Currency& cur = currencies[r.text(unit)];
      (r.text(fSide) == kCredit ? cur.credit : cur.debit).expect(c, foreign, foreign);
    }
  }
  {
    TableReader r(newDir, "Cari");
    const int code = r.field("CARIKODU"), balance = r.field("KDBKY"), side = r.field("KDBTR"),
              fBalance = r.field("DDBKY"), fSide = r.field("DDBTR"), unit = r.field("DVZBRM");
    for (; !r.eof(); r.next()) {
      ++newCount;
      const std::string c = r.code(code);
      (r.text(side) == kCredit ? credit : debit).find(c, r.number(balance));
      Currency& cur = currencies[r.text(unit)];
      (r.text(fSide) == kCredit ? cur.credit : cur.debit).find(c, r.number(fBalance));
    }
  }
  const double n = static_cast<double>(oldCount);
  out.push_back(countLine(section, "kart sayısı", n, n, static_cast<double>(newCount)));
  out.push_back(debit.line(section, "borç bakiyeleri toplamı", "KTBKY → KDBKY"));
  out.push_back(credit.line(section, "alacak bakiyeleri toplamı", "KTBKY → KDBKY"));
  for (const auto& [unit, cur] : currencies) {
    ReportLine d = cur.debit.line(
        section, "döviz " + (unit.empty() ? "(birimsiz)" : unit) + " borç bakiyeleri",
        "DTBKY → DDBKY");
    ReportLine c = cur.credit.line(
        section, "döviz " + (unit.empty() ? "(birimsiz)" : unit) + " alacak bakiyeleri",
        "DTBKY → DDBKY");
    // A currency nobody holds an amount in is no line of its own.
    const bool empty =
        d.agrees && c.agrees && d.old == 0 && c.old == 0 && d.found == 0 && c.found == 0;
    if (empty) continue;
    out.push_back(std::move(d));
    out.push_back(std::move(c));
  }
  if (o.ytl) rounding.appendLines(out, section);
}

void stock(const ReconcileOptions& o, const platform::TypedPath& oldDir,
           const platform::TypedPath& newDir, std::vector<ReportLine>& out) {
  const std::string section = "Stok";
  const Converter convert{o};
  Tally quantity, value;
  std::size_t oldCount = 0, newCount = 0;
  {
    TableReader r(oldDir, "Stok.DB");
    const int code = r.field("STOKKODU"), remaining = r.field("MIKKAL"), price = r.field("KALF");
    for (; !r.eof(); r.next()) {
      ++oldCount;
      const std::string c = r.code(code);
      const double q = r.number(remaining);
      const double p = r.number(price);
      quantity.expect(c, q, q);
      // The value is the converted price times the quantity, unrounded.
      value.expect(c, p * q, convert(p) * q);
    }
  }
  {
    TableReader r(newDir, "Stok.DB");
    const int code = r.field("STOKKODU"), carried = r.field("MIKDEV"), opening = r.field("TUTDEV");
    for (; !r.eof(); r.next()) {
      ++newCount;
      const std::string c = r.code(code);
      quantity.find(c, r.number(carried));
      value.find(c, r.number(opening));
    }
  }
  const double n = static_cast<double>(oldCount);
  out.push_back(countLine(section, "kart sayısı", n, n, static_cast<double>(newCount)));
  out.push_back(quantity.line(section, "devreden miktar", "MIKKAL → MIKDEV"));
  out.push_back(value.line(section, "devreden değer", "KALF × MIKKAL → TUTDEV"));
}

// Shared by cheques and instalments: which old records stay, their amount,
// and the new table's records.
struct DocumentRule {
  const char* section;
  const char* table;
  const char* codeField;
  const char* amountField;
  const char* what;  // "evrak", "taksit"
  bool (*keeps)(const TableReader&, int, int);
  const char* ruleField1;
  const char* ruleField2;
};

bool keepsCheque(const TableReader& r, int state, int) {
  return KeepsCheque(r.text(state));
}

bool keepsInstalment(const TableReader& r, int instalment, int paid) {
  return KeepsInstalment(r.flag(instalment), r.flag(paid));
}

void documents(const ReconcileOptions& o, const DocumentRule& rule,
               const platform::TypedPath& oldDir, const platform::TypedPath& newDir,
               std::vector<ReportLine>& out) {
  const Converter convert{o};
  Tally amounts;
  Rounding rounding;
  std::size_t oldCount = 0, newCount = 0;
  {
    TableReader r(oldDir, rule.table);
    const int code = r.field(rule.codeField), amount = r.field(rule.amountField),
              f1 = r.field(rule.ruleField1), f2 = r.field(rule.ruleField2);
    for (; !r.eof(); r.next()) {
      ++oldCount;
      // Most old records are not kept: their codes are never read.
      if (!rule.keeps(r, f1, f2)) continue;
      const std::string c = r.code(code);
      const double a = r.number(amount);
      const double converted = convert(a);
      if (o.ytl) rounding.add(c, a, converted);
      amounts.expect(c, a, converted);
    }
  }
  {
    TableReader r(newDir, rule.table);
    const int code = r.field(rule.codeField), amount = r.field(rule.amountField);
    for (; !r.eof(); r.next()) {
      ++newCount;
      amounts.find(r.code(code), r.number(amount));
    }
  }
  const double kept = static_cast<double>(amounts.expectedCount());
  const double all = static_cast<double>(oldCount);
  const std::string what = rule.what;
  out.push_back(countLine(rule.section, "devreden " + what + " sayısı", all, kept,
                          static_cast<double>(newCount)));
  out.push_back(amounts.line(rule.section, "devreden tutar", rule.amountField));
  out.push_back(countLine(rule.section, "silinen " + what + " sayısı", all, all - kept,
                          all - static_cast<double>(newCount)));
  if (o.ytl) rounding.appendLines(out, rule.section);
}

void production(const ReconcileOptions& o, const platform::TypedPath& oldDir,
                const platform::TypedPath& newDir, std::vector<ReportLine>& out) {
  const std::string section = "Üretim";
  const Converter convert{o};
  Tally prices;
  std::size_t oldCount = 0, newCount = 0;
  {
    TableReader r(oldDir, "urhar.db");
    const int code = r.field("BURHKOD"), price = r.field("KFIYAT");
    for (; !r.eof(); r.next(), ++oldCount) {
      const double p = r.number(price);
      prices.expect(r.code(code), p, convert(p));
    }
  }
  {
    TableReader r(newDir, "urhar.db");
    const int code = r.field("BURHKOD"), price = r.field("KFIYAT");
    for (; !r.eof(); r.next(), ++newCount) prices.find(r.code(code), r.number(price));
  }
  const double n = static_cast<double>(oldCount);
  out.push_back(countLine(section, "üretim hareketi sayısı", n, n, static_cast<double>(newCount)));
  out.push_back(prices.line(section, "fiyatlar toplamı", "KFIYAT"));
}

void settings(const ReconcileOptions& o, const platform::TypedPath& oldDir,
              const platform::TypedPath& newDir, std::vector<ReportLine>& out) {
  const std::string section = "Ayarlar";
  struct Setting {
    const char* field;
    const char* name;  // what the field holds
    const std::string* ytlValue;
    std::string fixed;
  };
  const Setting fields[] = {
      {"PARABIRIMI", "para biriminin adı", &o.currencyName, {}},
      {"PARASIMGE", "para biriminin simgesi", &o.currencySymbol, {}},
      {"ALPHA3", "alt birimin adı", &o.subUnitName, {}},
      {"ALPHA1", "alt birimin simgesi", &o.subUnitSymbol, {}},
      {"PRBRHASSAS", "tutarların ondalık basamak sayısı", nullptr, "2"},
      {"ALPHA2", "alt birimin para birimine oranı", nullptr, "1/100"},
  };
  TableReader oldTable(oldDir, "ayar.db");
  TableReader newTable(newDir, "ayar.DB");
  for (const Setting& s : fields) {
    ReportLine l;
    l.section = section;
    l.label = s.name;
    l.detail = s.field;
    l.kind = LineKind::kText;
    l.oldText = oldTable.eof() ? std::string() : oldTable.text(oldTable.field(s.field));
    l.foundText = newTable.eof() ? std::string() : newTable.text(newTable.field(s.field));
    l.expectedText = !o.ytl ? l.oldText : s.ytlValue ? *s.ytlValue : s.fixed;
    l.agrees = l.expectedText == l.foundText;
    if (!l.agrees) {
      l.differingItems = 1;
      l.items.push_back({s.field, l.expectedText, l.foundText});
    }
    out.push_back(std::move(l));
  }
}

// A section's lines, or the line that says why it could not be read.
template <typename Step>
std::vector<ReportLine> guarded(const std::string& section, Step step) {
  std::vector<ReportLine> lines;
  try {
    step(lines);
  } catch (const std::exception& e) {
    lines.clear();
    lines.push_back(failureLine(section, e));
  }
  return lines;
}

}  // namespace

bool CompanyReport::agrees() const {
  for (const ReportLine& l : lines)
    if (!l.agrees) return false;
  return true;
}

bool RunReport::agrees() const {
  return differingLines() == 0;
}

std::size_t RunReport::differingLines() const {
  std::size_t n = 0;
  for (const CompanyReport& c : companies)
    for (const ReportLine& l : c.lines) n += !l.agrees;
  return n;
}

CompanyReport ReconcileCompany(const ReconcileOptions& o, const CarriedCompany& company) {
  CompanyReport r{company.oldCode, company.newCode, company.shortName, {}};
  const platform::TypedPath oldDir = CompanyDirectory(o.dataDirectory, company.oldCode);
  const platform::TypedPath newDir = CompanyDirectory(o.dataDirectory, company.newCode);
  static const DocumentRule kCheques{"Çek ve senetler", "ceksen.DB", "KAYIT",      "KTUTAR",
                                     "evrak",           keepsCheque, "EVRAKDURUM", "EVRAKDURUM"};
  static const DocumentRule kInstalments{"Taksitler", "Char.DB",       "BCHKOD", "TUTAR",
                                         "taksit",    keepsInstalment, "TAKSIT", "ODEDI"};
  // The sections read their own tables, each on a thread of its own (the
  // engine's table handles share nothing), and are reported in this order.
  std::vector<std::future<std::vector<ReportLine>>> sections;
  auto section = [&](const std::string& name, auto step) {
    sections.push_back(
        std::async(platform::sideBySide(), [name, step] { return guarded(name, step); }));
  };
  section("Cari hesaplar", [&](auto& out) { currentAccounts(o, oldDir, newDir, out); });
  section("Stok", [&](auto& out) { stock(o, oldDir, newDir, out); });
  section(kCheques.section, [&](auto& out) { documents(o, kCheques, oldDir, newDir, out); });
  section(kInstalments.section,
          [&](auto& out) { documents(o, kInstalments, oldDir, newDir, out); });
  section("Üretim", [&](auto& out) { production(o, oldDir, newDir, out); });
  section("Ayarlar", [&](auto& out) { settings(o, oldDir, newDir, out); });
  for (auto& f : sections)
    for (ReportLine& l : f.get()) r.lines.push_back(std::move(l));
  return r;
}

RunReport ReconcileRun(const ReconcileOptions& options,
                       const std::vector<CarriedCompany>& companies) {
  RunReport run;
  run.options = options;
  run.date = LocalDateTime();
  for (const CarriedCompany& c : companies) run.companies.push_back(ReconcileCompany(options, c));
  return run;
}

std::vector<const ReportLine*> LinesDifferencesFirst(const CompanyReport& company) {
  std::vector<const ReportLine*> lines;
  for (const ReportLine& l : company.lines)
    if (!l.agrees) lines.push_back(&l);
  for (const ReportLine& l : company.lines)
    if (l.agrees) lines.push_back(&l);
  return lines;
}

}  // namespace report
