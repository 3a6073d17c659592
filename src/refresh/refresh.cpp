// The rule of the opening update and its run over the linked pairs; the
// commit is in commit.cpp, the checks before writing and the staged edits in
// stage.cpp.
#include "refresh/refresh.h"

#include <array>
#include <cmath>
#include <exception>
#include <optional>
#include <set>
#include <unordered_map>

#include "data/datadirectories.h"
#include "data/failuretext.h"
#include "jobs/currency.h"
#include "jobs/runhost.h"
#include "refresh/commit.h"
#include "refresh/stage.h"
#include "report/numbers.h"
#include "report/tables.h"

namespace refresh {

namespace {

using report::RecordedFigure;

const char* const kCredit = "Alacak";
const char* const kCards = "Cari hesaplar";
const char* const kStock = "Stok";

bool nearlyEqual(double a, double b) {
  return std::fabs(a - b) < 0.005;
}

std::string shownGroup(const RecordedFigure& f) {
  return report::FormatNumber(f.value, true) + (f.side.empty() ? "" : " " + f.side);
}

std::string shownItem(const std::vector<RecordedFigure>& f) {
  return "miktar " + report::FormatNumber(f[0].value, true) + ", değer " +
         report::FormatNumber(f[1].value, true) + ", döviz " +
         report::FormatNumber(f[2].value, true);
}

bool same(const std::vector<RecordedFigure>& a, const std::vector<RecordedFigure>& b) {
  return a == b;
}

// A card's currency group in the new company: its opening (C) and the sums
// it must add up to.
struct GroupNow {
  RecordedFigure opening;                  // xDBKY, xDBTR, xDBRC, xDALC
  double movedDebit = 0, movedCredit = 0;  // xHBRC, xHALC
  double totalDebit = 0, totalCredit = 0;  // xTBRC, xTALC
  double totalBalance = 0;                 // xTBKY
  std::string totalSide;                   // xTBTR
};

struct CardNow {
  std::string name, unit;
  GroupNow group[2];
  int count = 0;
};

struct ItemNow {
  std::string name;
  std::vector<RecordedFigure> opening;  // MIKDEV, TUTDEV, DOVDEV
  double moved[3][2] = {};              // xGIR, xCIK of quantity, value, foreign value
  double remaining[3] = {};             // MIKKAL, TUTKAL, DOVKAL
  int count = 0;
};

// Why a card group's sums do not add up; empty when they do.
std::string cardSumsProblem(const GroupNow& g, char p) {
  const std::string x(1, p);
  if (!nearlyEqual(g.totalDebit, g.opening.debit + g.movedDebit))
    return x + "TBRC ≠ " + x + "DBRC + " + x + "HBRC";
  if (!nearlyEqual(g.totalCredit, g.opening.credit + g.movedCredit))
    return x + "TALC ≠ " + x + "DALC + " + x + "HALC";
  const double balance =
      g.totalSide == kCredit ? g.totalCredit - g.totalDebit : g.totalDebit - g.totalCredit;
  if (!nearlyEqual(g.totalBalance, balance)) return x + "TBKY ≠ " + x + "TBRC - " + x + "TALC";
  return {};
}

std::string itemSumsProblem(const ItemNow& i) {
  static const char* const kNames[] = {"MIK", "TUT", "DOV"};
  for (int k = 0; k < 3; ++k)
    if (!nearlyEqual(i.remaining[k], i.opening[k].value + i.moved[k][0] - i.moved[k][1])) {
      const std::string n = kNames[k];
      return n + "KAL ≠ " + n + "DEV + " + n + "GIR - " + n + "CIK";
    }
  return {};
}

// A card group carried over: the new opening and totals.
GroupWrite carriedGroup(const GroupNow& g, const RecordedFigure& today) {
  GroupWrite w;
  w.opening = today;
  w.totalDebit = g.totalDebit + (today.debit - g.opening.debit);
  w.totalCredit = g.totalCredit + (today.credit - g.opening.credit);
  const bool wasCredit = g.totalSide == kCredit;
  w.totalSide = g.totalSide;
  // The side is written only when the balance moves between the sides.
  if (w.totalCredit > w.totalDebit && !wasCredit) w.totalSide = kCredit;
  if (w.totalDebit > w.totalCredit && wasCredit) w.totalSide = "Borç";
  w.totalBalance =
      w.totalSide == kCredit ? w.totalCredit - w.totalDebit : w.totalDebit - w.totalCredit;
  return w;
}

class CompanyUpdate {
 public:
  CompanyUpdate(RunHost& host, const RefreshOptions& options, const report::CompanyPair& pair,
                CompanyRefresh& out)
      : m_host(host),
        m_options(options),
        m_pair(pair),
        m_out(out),
        m_data(options.openings.dataDirectory),
        m_oldDir(CompanyDirectory(m_data, pair.oldCode)),
        m_newDir(CompanyDirectory(m_data, pair.newCode)) {}

  void run() {
    // What the check says before the update: the lines this update leaves
    // are taken from it.
    const report::CompanyOpenings checked =
        report::CheckCompanyOpenings(m_data, m_pair.oldCode, m_pair.newCode, m_pair.shortName,
                                     m_pair.recordFile, m_options.openings.roundingMode);
    m_out.ytl = checked.ytl;
    m_out.roundingMode = checked.roundingMode;
    m_out.linkedByRecord = checked.linkedByRecord;
    if (!checked.linkedByRecord) {
      m_out.notes.push_back("devir kaydı yok: açılışlar güncellenmedi");
      leave(checked, false);
      return;
    }
    std::string why;
    m_record = report::ReadCarryRecord(m_pair.recordFile, &why);
    if (!m_record) {
      m_out.failure = "devir kaydı okunamadı: " + why;
      return;
    }
    m_text = report::ReadCarryRecordText(m_pair.recordFile).value_or("");
    cards();
    stock();
    leave(checked, true);
    if (m_options.dryRun || (m_plan.cards.empty() && m_plan.items.empty() && !m_baseMoved)) return;
    write();
  }

 private:
  // The check's lines of what this update does not handle.
  void leave(const report::CompanyOpenings& checked, bool linked) {
    for (const report::OpeningDifference& d : checked.differences) {
      const bool unit = d.section == kCards || d.section == kStock;
      if (linked && unit && m_handled.count(d.section + "\n" + d.code)) continue;
      std::string line = d.section + " " + d.code + " " + d.what + ": yeni yılda " + d.found +
                         ", bugün devredilecek " + d.expected;
      if (!d.note.empty()) line += " [" + d.note + "]";
      m_out.left.push_back(line);
    }
    for (const std::string& n : checked.notes) m_out.notes.push_back(n);
    if (checked.failed) m_out.failure = "tablolar okunamadı";
  }

  void cards() {
    const std::string local = m_record->ytl ? currency::kSymbol : "TL";
    std::unordered_map<std::string, CardNow> now;
    std::vector<std::string> order;
    {
      report::TableReader r(m_newDir, "Cari");
      const int code = r.field("CARIKODU"), name = r.field("UNVAN"), unit = r.field("DVZBRM");
      int f[2][10];
      static const char* const kFields[] = {"DBKY", "DBTR", "DBRC", "DALC", "HBRC",
                                            "HALC", "TBRC", "TALC", "TBKY", "TBTR"};
      for (int g = 0; g < 2; ++g)
        for (int k = 0; k < 10; ++k)
          f[g][k] = r.field((std::string(1, g == 0 ? 'K' : 'D') + kFields[k]).c_str());
      for (; !r.eof(); r.next()) {
        const std::string c = r.text(code);
        CardNow& card = now[c];
        if (card.count++ == 0) order.push_back(c);
        card.name = r.text(name);
        card.unit = r.text(unit);
        for (int g = 0; g < 2; ++g) {
          GroupNow& x = card.group[g];
          x.opening = {r.number(f[g][0]), r.text(f[g][1]), r.number(f[g][2]), r.number(f[g][3])};
          x.movedDebit = r.number(f[g][4]);
          x.movedCredit = r.number(f[g][5]);
          x.totalDebit = r.number(f[g][6]);
          x.totalCredit = r.number(f[g][7]);
          x.totalBalance = r.number(f[g][8]);
          x.totalSide = r.text(f[g][9]);
        }
      }
    }
    std::unordered_map<std::string, std::pair<std::vector<RecordedFigure>, int>> today;
    for (report::TodaysOpening& t : report::TodaysCardOpenings(
             m_oldDir, m_record->ytl, m_record->roundingMode, m_record->digits)) {
      auto& [figures, count] = today[t.code];
      figures = std::move(t.figures);
      ++count;
    }
    Totals totals;
    for (const std::string& code : order) {
      const CardNow& card = now[code];
      std::vector<RecordedFigure> after{card.group[0].opening, card.group[1].opening};
      auto base = m_record->cards.find(code);
      auto o = today.find(code);
      if (card.count == 1 && base != m_record->cards.end() && base->second.count == 1 &&
          o != today.end() && o->second.second == 1) {
        m_handled.insert(std::string(kCards) + "\n" + code);
        CardWrite write;
        bool moved = false;
        for (int g = 0; g < 2; ++g) {
          const std::string what = g == 0 ? local + " bakiyesi"
                                          : (card.unit.empty() ? "döviz" : card.unit) + " bakiyesi";
          RecordedFigure& b = base->second.figures[static_cast<std::size_t>(g)];
          const RecordedFigure& of = o->second.first[static_cast<std::size_t>(g)];
          const GroupNow& c = card.group[g];
          const auto decided =
              decide(kCards, code, card.name, what, b == of, c.opening == b, c.opening == of,
                     shownGroup(b), shownGroup(of), shownGroup(c.opening),
                     [&] { return cardSumsProblem(c, g == 0 ? 'K' : 'D'); });
          if (decided == Outcome::kCarriedOver) {
            write.group[g] = carriedGroup(c, of);
            after[static_cast<std::size_t>(g)] = of;
          }
          if (decided == Outcome::kCarriedOver || decided == Outcome::kAlreadyCorrected) {
            b = of;
            moved = true;
          }
        }
        if (write.group[0] || write.group[1]) m_plan.cards.emplace(code, write);
        if (moved) m_cardBases.push_back(code);
      }
      totals.add(local, card.group[0].opening, after[0]);
      totals.add(card.unit.empty() ? "döviz" : card.unit, card.group[1].opening, after[1]);
      m_out.balances.push_back({code, card.name, card.unit, after[0], after[1]});
    }
    totals.emit(m_out.totals);
  }

  void stock() {
    std::unordered_map<std::string, ItemNow> now;
    std::vector<std::string> order;
    {
      report::TableReader r(m_newDir, "Stok.DB");
      const int code = r.field("STOKKODU"), name = r.field("CINS");
      static const char* const kNames[] = {"MIK", "TUT", "DOV"};
      int f[3][4];
      for (int k = 0; k < 3; ++k) {
        const std::string n = kNames[k];
        f[k][0] = r.field((n + "DEV").c_str());
        f[k][1] = r.field((n + "GIR").c_str());
        f[k][2] = r.field((n + "CIK").c_str());
        f[k][3] = r.field((n + "KAL").c_str());
      }
      for (; !r.eof(); r.next()) {
        const std::string c = r.text(code);
        ItemNow& item = now[c];
        if (item.count++ == 0) order.push_back(c);
        item.name = r.text(name);
        item.opening.assign(3, {});
        for (int k = 0; k < 3; ++k) {
          item.opening[k].value = r.number(f[k][0]);
          item.moved[k][0] = r.number(f[k][1]);
          item.moved[k][1] = r.number(f[k][2]);
          item.remaining[k] = r.number(f[k][3]);
        }
      }
    }
    std::unordered_map<std::string, std::pair<std::vector<RecordedFigure>, int>> today;
    for (report::TodaysOpening& t : report::TodaysStockOpenings(
             m_oldDir, m_record->ytl, m_record->roundingMode, m_record->digits)) {
      auto& [figures, count] = today[t.code];
      figures = std::move(t.figures);
      ++count;
    }
    report::OpeningTotal value{"Stok değeri (TUTDEV)", 0, 0};
    for (const std::string& code : order) {
      const ItemNow& item = now[code];
      double after = item.opening[1].value;
      auto base = m_record->stock.find(code);
      auto o = today.find(code);
      if (item.count == 1 && base != m_record->stock.end() && base->second.count == 1 &&
          o != today.end() && o->second.second == 1) {
        m_handled.insert(std::string(kStock) + "\n" + code);
        std::vector<RecordedFigure>& b = base->second.figures;
        const std::vector<RecordedFigure>& of = o->second.first;
        const auto decided =
            decide(kStock, code, item.name, "stok", same(b, of), same(item.opening, b),
                   same(item.opening, of), shownItem(b), shownItem(of), shownItem(item.opening),
                   [&] { return itemSumsProblem(item); });
        if (decided == Outcome::kCarriedOver) {
          ItemWrite w;
          for (int k = 0; k < 3; ++k) {
            w.opening[k] = of[k].value;
            w.remaining[k] = item.remaining[k] + (of[k].value - item.opening[k].value);
          }
          m_plan.items.emplace(code, w);
          after = of[1].value;
        }
        if (decided == Outcome::kCarriedOver || decided == Outcome::kAlreadyCorrected) {
          b = of;
          m_stockBases.push_back(code);
        }
      }
      value.before += item.opening[1].value;
      value.after += after;
    }
    m_out.totals.push_back(value);
  }

  // The rule for one unit; lists it when its values are not all equal.
  template <typename SumsProblem>
  std::optional<Outcome> decide(const char* section, const std::string& code,
                                const std::string& name, const std::string& what, bool todayIsBase,
                                bool nowIsBase, bool nowIsToday, const std::string& b,
                                const std::string& o, const std::string& c,
                                SumsProblem sumsProblem) {
    UnitChange u{section, code, name, what, Outcome::kConflict, b, o, c, c, {}};
    if (todayIsBase) {
      if (nowIsBase) return std::nullopt;  // all equal: nothing to list
      u.outcome = Outcome::kKeptEdit;
    } else if (nowIsToday) {
      u.outcome = Outcome::kAlreadyCorrected;
      m_baseMoved = true;
    } else if (nowIsBase) {
      const std::string problem = sumsProblem();
      if (problem.empty()) {
        u.outcome = Outcome::kCarriedOver;
        u.after = o;
        m_baseMoved = true;
      } else {
        u.reason = "toplamlar tutmuyor (" + problem + ")";
      }
    } else {
      u.reason = "ikisi de değişti: eski yıl devirden sonra, açılış yeni yılda";
    }
    const Outcome outcome = u.outcome;
    m_out.changes.push_back(std::move(u));
    return outcome;
  }

  void write() {
    m_host.setStatusText(m_pair.shortName + " şirketinin açılışları güncelleniyor");
    if (!CheckCompanyBeforeWriting(m_data, m_pair.shortName, m_oldDir, m_newDir, m_pair.recordFile,
                                   m_out.failure))
      return;
    if (StagingDirectory(m_data, m_pair.newCode).isDirectory()) {
      m_out.failure = "önceki bir güncelleme tamamlanamamış: " +
                      StagingDirectory(m_data, m_pair.newCode).text();
      return;
    }
    m_plan.record = RewrittenRecord(m_text, *m_record, m_cardBases, m_stockBases);
    try {
      m_out.backupFolder = PutUpdateInPlace(m_data, m_pair.newCode, m_pair.recordFile, m_plan);
      m_out.written = true;
    } catch (const std::exception& e) {
      m_out.failure = FailureText(e);
    }
  }

  // Totals per currency and side, before and after.
  class Totals {
   public:
    void add(const std::string& unit, const RecordedFigure& before, const RecordedFigure& after) {
      auto it = m_sums.begin();
      while (it != m_sums.end() && it->first != unit) ++it;
      if (it == m_sums.end()) it = m_sums.insert(m_sums.end(), {unit, {}});
      it->second[0] += before.debit;
      it->second[1] += before.credit;
      it->second[2] += after.debit;
      it->second[3] += after.credit;
    }
    void emit(std::vector<report::OpeningTotal>& out) const {
      for (const auto& [unit, s] : m_sums) {
        if (s[0] == 0 && s[1] == 0 && s[2] == 0 && s[3] == 0) continue;
        out.push_back({"Cari " + unit + " borç", s[0], s[2]});
        out.push_back({"Cari " + unit + " alacak", s[1], s[3]});
      }
    }

   private:
    std::vector<std::pair<std::string, std::array<double, 4>>> m_sums;
  };

  RunHost& m_host;
  const RefreshOptions& m_options;
  const report::CompanyPair& m_pair;
  CompanyRefresh& m_out;
  platform::TypedPath m_data, m_oldDir, m_newDir;
  std::optional<report::CarryRecordData> m_record;
  std::string m_text;  // the record's bytes
  StagedWrites m_plan;
  std::vector<std::string> m_cardBases, m_stockBases;  // codes whose base moved
  std::set<std::string> m_handled;                     // section "\n" code
  bool m_baseMoved = false;
};

}  // namespace

const char* OutcomeText(Outcome outcome) {
  switch (outcome) {
    case Outcome::kCarriedOver:
      return "güncellendi (eski yıldaki geç kayıt devredildi)";
    case Outcome::kAlreadyCorrected:
      return "zaten düzeltilmiş (yazılmadı)";
    case Outcome::kKeptEdit:
      return "yeni yılda değiştirilmiş: korundu";
    case Outcome::kConflict:
      break;
  }
  return "çakışma: dokunulmadı";
}

std::size_t CompanyRefresh::count(Outcome o) const {
  std::size_t n = 0;
  for (const UnitChange& c : changes) n += c.outcome == o ? 1 : 0;
  return n;
}

bool RefreshReport::staleLeft() const {
  for (const CompanyRefresh& c : companies)
    if (c.staleLeft()) return true;
  return false;
}

std::vector<std::string> CompaniesToRefresh(const RefreshOptions& options) {
  return report::CompaniesOfBothYears(options.openings);
}

RefreshOutcome RefreshOpenings(RunHost& host, const RefreshOptions& options) {
  RefreshOutcome outcome;
  RefreshReport& r = outcome.report;
  r.fromYear = options.openings.fromYear;
  r.toYear = options.openings.toYear;
  r.date = report::LocalDateTime();
  r.dryRun = options.dryRun;
  if (!options.dryRun) TidyUnfinishedUpdates(host, options.openings.dataDirectory);
  report::CompanyPairing pairing = report::PairCompanies(options.openings);
  if (!pairing.stop.empty()) {
    outcome.stop = std::move(pairing.stop);
    return outcome;
  }
  r.notes = std::move(pairing.notes);
  host.setGaugeVisible(true);
  host.setGaugeMax(static_cast<int>(pairing.pairs.size()));
  host.setGaugePosition(0);
  for (const report::CompanyPair& pair : pairing.pairs) {
    CompanyRefresh& c = r.companies.emplace_back();
    c.oldCode = pair.oldCode;
    c.newCode = pair.newCode;
    c.shortName = pair.shortName;
    host.setStatusText(pair.shortName + " şirketinin açılışları karşılaştırılıyor");
    try {
      CompanyUpdate(host, options, pair, c).run();
    } catch (const std::exception& e) {
      c.failure = FailureText(e);
    }
    host.advanceGauge();
  }
  return outcome;
}

}  // namespace refresh
