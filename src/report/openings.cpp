// The openings of one pair of companies: cards and stock, paired by code.
// The kept documents are in openingsdocs.cpp, the pairing of companies and
// the whole run in openingsrun.cpp.
#include "report/openings.h"

#include <exception>
#include <unordered_map>

#include "data/datadirectories.h"
#include "data/failuretext.h"
#include "jobs/currency.h"
#include "report/numbers.h"
#include "report/openings_internal.h"

namespace report {

namespace {

using namespace openings_detail;

const char* const kCredit = "Alacak";

using Figures = std::vector<RecordedFigure>;

// A balance carried to the opening side: only the exact "Alacak" is credit.
RecordedFigure carried(double balance, const std::string& side) {
  if (side == kCredit) return {balance, kCredit, 0, balance};
  return {balance, "Borç", balance, 0};
}

double signedValue(const RecordedFigure& f) {
  return f.side == kCredit ? -f.value : f.value;
}

std::string shown(const RecordedFigure& f) {
  return FormatNumber(f.value, true) + (f.side.empty() ? "" : " " + f.side);
}

bool allZero(const Figures& figures) {
  for (const RecordedFigure& f : figures)
    if (f.value != 0 || f.debit != 0 || f.credit != 0) return false;
  return true;
}

// One card or stock item: today's openings from the old company and the new
// company's, kept once per code in old-table order, with how often each
// company holds the code.
struct Entry {
  std::string code;
  Figures expected, found;
  int oldCount = 0, newCount = 0;
  std::string unit;  // a card's foreign currency
};

class Pairing {
 public:
  Entry& old(const std::string& code) { return at(code, true); }
  Entry& fresh(const std::string& code) { return at(code, false); }
  const std::vector<Entry>& entries() const { return m_entries; }

 private:
  Entry& at(const std::string& code, bool fromOld) {
    auto [it, added] = m_index.emplace(code, m_entries.size());
    if (added) m_entries.push_back({code, {}, {}, 0, 0, {}});
    Entry& e = m_entries[it->second];
    ++(fromOld ? e.oldCount : e.newCount);
    return e;
  }
  std::vector<Entry> m_entries;
  std::unordered_map<std::string, std::size_t> m_index;
};

// The differences of one paired kind (cards or stock).
void compare(const Context& c, const Pairing& pairs, const char* section,
             const std::unordered_map<std::string, RecordedOpening>* recorded,
             const std::vector<std::string>& labels, const std::string& newOnlyNote) {
  std::size_t newWithoutOpening = 0;
  for (const Entry& e : pairs.entries()) {
    if (e.oldCount > 1 || e.newCount > 1) {
      OpeningDifference d{section,
                          e.code,
                          "kod",
                          std::to_string(e.newCount) + " kart",
                          std::to_string(e.oldCount) + " kart",
                          0,
                          false,
                          {},
                          StaleCause::kUnknown};
      d.note = "kod birden çok kartta: eşleştirilmedi";
      c.out.differences.push_back(std::move(d));
      continue;
    }
    const RecordedOpening* r = nullptr;
    if (recorded) {
      auto it = recorded->find(e.code);
      if (it != recorded->end() && it->second.count == 1) r = &it->second;
    }
    const bool haveRecord = c.record.has_value();
    if (e.newCount == 0 || e.oldCount == 0) {
      const bool inOld = e.oldCount == 1;
      if (!inOld && allZero(e.found)) {
        ++newWithoutOpening;
        continue;
      }
      const Figures& figures = inOld ? e.expected : e.found;
      for (std::size_t g = 0; g < figures.size(); ++g) {
        // A currency group with nothing in it is no line of its own.
        if (g > 0 && allZero({figures[g]})) continue;
        OpeningDifference d;
        d.section = section;
        d.code = e.code;
        d.what = labels[g] == "@" ? e.unit + " bakiyesi" : labels[g];
        d.found = inOld ? "yok" : shown(figures[g]);
        d.expected = inOld ? shown(figures[g]) : "yok";
        d.difference = inOld ? signedValue(figures[g]) : -signedValue(figures[g]);
        d.note = inOld ? "yalnız eski yılda" : newOnlyNote;
        // In the record: the carry wrote it, so the other side changed since.
        d.cause = causeOf(haveRecord, inOld ? !r : r != nullptr, inOld ? r != nullptr : !r);
        c.out.differences.push_back(std::move(d));
      }
      continue;
    }
    for (std::size_t g = 0; g < e.expected.size(); ++g) {
      const RecordedFigure& want = e.expected[g];
      const RecordedFigure& have = e.found[g];
      if (want == have) continue;
      OpeningDifference d;
      d.section = section;
      d.code = e.code;
      d.what = labels[g] == "@" ? e.unit + " bakiyesi" : labels[g];
      d.found = shown(have);
      d.expected = shown(want);
      d.difference = signedValue(want) - signedValue(have);
      d.sideChanged = want.side != have.side;
      const RecordedFigure* wrote = r ? &r->figures[g] : nullptr;
      d.cause = causeOf(haveRecord, !wrote || !(*wrote == want), !wrote || !(*wrote == have));
      if (haveRecord && !wrote) d.note = "devir kaydında yok";
      c.out.differences.push_back(std::move(d));
    }
  }
  if (newWithoutOpening)
    c.out.notes.push_back(std::string(section) + ": yalnız yeni yılda olan, devir değeri " +
                          "olmayan " + std::to_string(newWithoutOpening) +
                          " kayıt (fark sayılmaz)");
}

void cards(const Context& c, const platform::TypedPath& oldDir, const platform::TypedPath& newDir) {
  Pairing pairs;
  const std::string local = c.ytl ? currency::kSymbol : "TL";
  struct Sums {
    double debit = 0, credit = 0;
  };
  std::vector<std::pair<std::string, Sums>> before, after;  // by currency, in first-seen order
  auto add = [](std::vector<std::pair<std::string, Sums>>& sums, const std::string& unit,
                const RecordedFigure& f) {
    auto it = sums.begin();
    while (it != sums.end() && it->first != unit) ++it;
    if (it == sums.end()) it = sums.insert(sums.end(), {unit, {}});
    it->second.debit += f.debit;
    it->second.credit += f.credit;
  };
  for (TodaysOpening& t : TodaysCardOpenings(oldDir, c.ytl, c.rounding, c.digits)) {
    Entry& e = pairs.old(t.code);
    e.expected = std::move(t.figures);
    e.unit = std::move(t.unit);
    add(after, local, e.expected[0]);
    add(after, e.unit.empty() ? "döviz" : e.unit, e.expected[1]);
  }
  {
    Reader r(newDir, "Cari");
    const int code = r.field("CARIKODU"), unit = r.field("DVZBRM");
    int f[2][4];
    for (int g = 0; g < 2; ++g) {
      const std::string p(1, g == 0 ? 'K' : 'D');
      f[g][0] = r.field((p + "DBKY").c_str());
      f[g][1] = r.field((p + "DBTR").c_str());
      f[g][2] = r.field((p + "DBRC").c_str());
      f[g][3] = r.field((p + "DALC").c_str());
    }
    for (; !r.eof(); r.next()) {
      Entry& e = pairs.fresh(r.text(code));
      e.found.clear();
      for (auto& g : f)
        e.found.push_back({r.number(g[0]), r.text(g[1]), r.number(g[2]), r.number(g[3])});
      if (e.unit.empty()) e.unit = r.text(unit);
      add(before, local, e.found[0]);
      add(before, e.unit.empty() ? "döviz" : e.unit, e.found[1]);
    }
  }
  if (c.record)
    compare(c, pairs, "Cari hesaplar", &c.record->cards, {local + " bakiyesi", "@"},
            "yalnız yeni yılda");
  else
    compare(c, pairs, "Cari hesaplar", nullptr, {local + " bakiyesi", "@"}, "yalnız yeni yılda");
  // Totals per currency and side; a currency nobody holds anything in is left out.
  for (const auto& [unit, a] : after) {
    Sums b;
    for (const auto& [u, s] : before)
      if (u == unit) b = s;
    if (a.debit == 0 && a.credit == 0 && b.debit == 0 && b.credit == 0) continue;
    c.out.totals.push_back({"Cari " + unit + " borç", b.debit, a.debit});
    c.out.totals.push_back({"Cari " + unit + " alacak", b.credit, a.credit});
  }
  for (const auto& [unit, b] : before) {
    bool seen = false;
    for (const auto& [u, s] : after) seen = seen || u == unit;
    if (seen || (b.debit == 0 && b.credit == 0)) continue;
    c.out.totals.push_back({"Cari " + unit + " borç", b.debit, 0});
    c.out.totals.push_back({"Cari " + unit + " alacak", b.credit, 0});
  }
}

void stock(const Context& c, const platform::TypedPath& oldDir, const platform::TypedPath& newDir) {
  Pairing pairs;
  OpeningTotal value{"Stok değeri (TUTDEV)", 0, 0};
  for (TodaysOpening& t : TodaysStockOpenings(oldDir, c.ytl, c.rounding, c.digits)) {
    Entry& e = pairs.old(t.code);
    e.expected = std::move(t.figures);
    value.after += e.expected[1].value;
  }
  {
    Reader r(newDir, "Stok.DB");
    const int code = r.field("STOKKODU"), q = r.field("MIKDEV"), v = r.field("TUTDEV"),
              fv = r.field("DOVDEV");
    for (; !r.eof(); r.next()) {
      Entry& e = pairs.fresh(r.text(code));
      e.found = {{r.number(q), {}, 0, 0}, {r.number(v), {}, 0, 0}, {r.number(fv), {}, 0, 0}};
      value.before += e.found[1].value;
    }
  }
  compare(c, pairs, "Stok", c.record ? &c.record->stock : nullptr,
          {"miktar (MIKDEV)", "değer (TUTDEV)", "döviz değeri (DOVDEV)"}, "yalnız yeni yılda");
  c.out.totals.push_back(value);
}

template <typename Step>
void guarded(CompanyOpenings& out, const char* section, Step step) {
  try {
    step();
  } catch (const std::exception& e) {
    out.failed = true;
    out.notes.push_back(std::string(section) + ": tablolar okunamadı: " + FailureText(e));
  }
}

// The YTL state of a pair carried without a record: the new company's
// currency is the new lira and the old one's is not.
bool convertedBySettings(const platform::TypedPath& oldDir, const platform::TypedPath& newDir) {
  auto symbol = [](const platform::TypedPath& dir) {
    Reader r(dir, "ayar.db");
    return r.eof() ? std::string() : r.text(r.field("PARASIMGE"));
  };
  return symbol(newDir) == currency::kSymbol && symbol(oldDir) != currency::kSymbol;
}

}  // namespace

std::vector<TodaysOpening> TodaysCardOpenings(const platform::TypedPath& oldDir, bool ytl,
                                              int rounding, int digits) {
  std::vector<TodaysOpening> out;
  Reader r(oldDir, "Cari");
  const int code = r.field("CARIKODU"), bal = r.field("KTBKY"), side = r.field("KTBTR"),
            fBal = r.field("DTBKY"), fSide = r.field("DTBTR"), unit = r.field("DVZBRM");
  for (; !r.eof(); r.next()) {
    const double local = r.number(bal);
    out.push_back({r.text(code),
                   {carried(ytl ? ConvertAmount(local, rounding, digits) : local, r.text(side)),
                    carried(r.number(fBal), r.text(fSide))},
                   r.text(unit)});
  }
  return out;
}

std::vector<TodaysOpening> TodaysStockOpenings(const platform::TypedPath& oldDir, bool ytl,
                                               int rounding, int digits) {
  std::vector<TodaysOpening> out;
  Reader r(oldDir, "Stok.DB");
  const int code = r.field("STOKKODU"), q = r.field("MIKKAL"), price = r.field("KALF"),
            fPrice = r.field("DALF");
  for (; !r.eof(); r.next()) {
    const double quantity = r.number(q);
    const double cost = ytl ? ConvertAmount(r.number(price), rounding, digits) : r.number(price);
    // Products as the carry stores them, unrounded.
    out.push_back({r.text(code),
                   {{quantity, {}, 0, 0},
                    {cost * quantity, {}, 0, 0},
                    {r.number(fPrice) * quantity, {}, 0, 0}},
                   {}});
  }
  return out;
}

const char* StaleCauseText(StaleCause cause) {
  switch (cause) {
    case StaleCause::kLateEntry:
      return "eski yıl devirden sonra değişti";
    case StaleCause::kEditedInNew:
      return "yeni yılda elle değiştirilmiş";
    case StaleCause::kBoth:
      return "ikisi de: eski yıl değişti, yeni yılda da değiştirilmiş";
    case StaleCause::kUnknown:
      break;
  }
  return "bilinmiyor (devir kaydı yok)";
}

CompanyOpenings CheckCompanyOpenings(const platform::TypedPath& dataDirectory,
                                     const std::string& oldCode, const std::string& newCode,
                                     const std::string& shortName,
                                     const platform::TypedPath& recordFile, int roundingMode) {
  CompanyOpenings out;
  out.oldCode = oldCode;
  out.newCode = newCode;
  out.shortName = shortName;
  const platform::TypedPath oldDir = CompanyDirectory(dataDirectory, oldCode);
  const platform::TypedPath newDir = CompanyDirectory(dataDirectory, newCode);
  std::optional<CarryRecordData> record;
  if (!recordFile.empty()) {
    std::string why;
    record = ReadCarryRecord(recordFile, &why);
    if (!record)
      out.notes.push_back("devir kaydı okunamadı: " + recordFile.text() + " (" + why + ")");
  }
  out.linkedByRecord = record.has_value();
  out.roundingMode = record ? record->roundingMode : roundingMode;
  const int digits = record ? record->digits : 2;
  if (record) {
    out.ytl = record->ytl;
  } else {
    guarded(out, "Ayarlar", [&] { out.ytl = convertedBySettings(oldDir, newDir); });
  }
  const Context c{record, out.ytl, out.roundingMode, digits, out};
  guarded(out, "Cari hesaplar", [&] { cards(c, oldDir, newDir); });
  guarded(out, "Stok", [&] { stock(c, oldDir, newDir); });
  guarded(out, "Çek ve senetler", [&] { cheques(c, oldDir, newDir); });
  guarded(out, "Taksitler", [&] { instalments(c, oldDir, newDir); });
  return out;
}

bool OpeningsReport::agrees() const {
  for (const CompanyOpenings& c : companies)
    if (!c.agrees()) return false;
  return true;
}

}  // namespace report
