// The rule of the opening update and its run over the linked pairs; the
// commit is in commit.cpp, the checks before writing and the staged edits in
// stage.cpp.
#include "refresh/refresh.h"

#include <array>
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
#include "refresh/units.h"
#include "report/numbers.h"
#include "report/tables.h"

namespace refresh {

namespace {

using report::RecordedFigure;

const char* const kCards = "Cari hesaplar";
const char* const kStock = "Stok";

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
    const UnitsNow<CardNow> now = ReadCardsNow(m_newDir);
    std::unordered_map<std::string, std::pair<std::vector<RecordedFigure>, int>> today;
    for (report::TodaysOpening& t : report::TodaysCardOpenings(
             m_oldDir, m_record->ytl, m_record->roundingMode, m_record->digits)) {
      auto& [figures, count] = today[t.code];
      figures = std::move(t.figures);
      ++count;
    }
    Totals totals;
    for (const std::string& code : now.order) {
      const CardNow& card = now.byCode.at(code);
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
                     [&] { return CardSumsProblem(c, g == 0 ? 'K' : 'D'); });
          if (decided == Outcome::kCarriedOver) {
            write.group[g] = CarriedGroup(c, of);
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
    const UnitsNow<ItemNow> now = ReadItemsNow(m_newDir);
    std::unordered_map<std::string, std::pair<std::vector<RecordedFigure>, int>> today;
    for (report::TodaysOpening& t : report::TodaysStockOpenings(
             m_oldDir, m_record->ytl, m_record->roundingMode, m_record->digits)) {
      auto& [figures, count] = today[t.code];
      figures = std::move(t.figures);
      ++count;
    }
    report::OpeningTotal value{"Stok değeri (TUTDEV)", 0, 0};
    for (const std::string& code : now.order) {
      const ItemNow& item = now.byCode.at(code);
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
                   [&] { return ItemSumsProblem(item); });
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
