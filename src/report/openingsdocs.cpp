// The openings check's documents: the cheques and notes and the instalments
// the carry kept (by the record, else the new company's documents that the
// old company has) against those the carry would keep today, by record
// number.
#include <algorithm>
#include <cstdlib>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "report/numbers.h"
#include "report/openings_internal.h"
#include "report/rules.h"

namespace report::openings_detail {

namespace {

// Where one kind of document lives and which fields decide that it is kept.
struct DocumentKind {
  const char* section;
  const char* table;
  const char* keyField;
  const char* amountField;
  const char* rule1;
  const char* rule2;
  bool cheque;
};

// Reads the new company's documents (keys and amounts), then streams the old
// company's, so that only the new year's table is held.
void documents(const Context& c, const DocumentKind& k, const platform::TypedPath& oldDir,
               const platform::TypedPath& newDir) {
  std::unordered_map<std::string, double> inNew;
  OpeningTotal total{std::string(k.section) + " tutarı (" + k.amountField + ")", 0, 0};
  {
    Reader r(newDir, k.table);
    const int key = r.field(k.keyField), amount = r.field(k.amountField);
    for (; !r.eof(); r.next()) inNew.emplace(r.key(key), r.number(amount));
  }
  const std::unordered_map<std::string, double>* recorded =
      c.record ? (k.cheque ? &c.record->cheques : &c.record->instalments) : nullptr;
  std::unordered_set<std::string> seenInOld;
  auto line = [&](const std::string& key, std::string found, std::string expected, double diff,
                  std::string note, StaleCause cause) {
    c.out.differences.push_back({k.section, std::string(k.keyField) + " " + key, k.amountField,
                                 std::move(found), std::move(expected), diff, false,
                                 std::move(note), cause});
  };
  const bool haveRecord = recorded != nullptr;
  static const std::unordered_map<std::string, double> kNone;
  const std::unordered_map<std::string, double>& kept = recorded ? *recorded : kNone;
  {
    Reader r(oldDir, k.table);
    const int key = r.field(k.keyField), amount = r.field(k.amountField), f1 = r.field(k.rule1),
              f2 = r.field(k.rule2);
    for (; !r.eof(); r.next()) {
      const bool keptNow =
          k.cheque ? KeepsCheque(r.text(f1)) : KeepsInstalment(r.flag(f1), r.flag(f2));
      const std::string id = r.key(key);
      const auto carriedIt = kept.find(id);
      const auto newIt = inNew.find(id);
      const bool wasKept = recorded ? carriedIt != kept.end() : newIt != inNew.end();
      if (!wasKept && !keptNow) continue;
      seenInOld.insert(id);
      const double expected = keptNow ? c.convert(r.number(amount)) : 0;
      if (keptNow) total.after += expected;
      if (newIt != inNew.end()) total.before += newIt->second;
      if (wasKept && !keptNow) {
        const std::string state = k.cheque ? r.text(f1) : "ödendi";
        line(id, newIt != inNew.end() ? FormatNumber(newIt->second, true) : "yok", "yok",
             newIt != inNew.end() ? -newIt->second : 0,
             "eski yılda kapanmış (" + (state.empty() ? std::string("durum boş") : state) + ")",
             causeOf(haveRecord, true, recorded && newIt == inNew.end()));
      } else if (!wasKept) {
        line(id, newIt != inNew.end() ? FormatNumber(newIt->second, true) : "yok",
             FormatNumber(expected, true), expected, "eski yılda açık, devredilmemiş",
             causeOf(haveRecord, true, false));
      } else if (newIt == inNew.end()) {
        line(id, "yok", FormatNumber(expected, true), expected, "yeni yılda silinmiş",
             causeOf(haveRecord, haveRecord && carriedIt->second != expected, true));
      } else if (newIt->second != expected) {
        const bool late = haveRecord && carriedIt->second != expected;
        const bool edited = haveRecord && carriedIt->second != newIt->second;
        line(id, FormatNumber(newIt->second, true), FormatNumber(expected, true),
             expected - newIt->second, "tutar farklı", causeOf(haveRecord, late, edited));
      }
    }
  }
  // Kept by the carry, gone from the old year since; in record number order,
  // so that the report reads the same wherever it is made.
  if (recorded) {
    std::vector<std::pair<long long, std::string>> gone;
    for (const auto& entry : *recorded)
      if (!seenInOld.count(entry.first))
        gone.emplace_back(std::strtoll(entry.first.c_str(), nullptr, 10), entry.first);
    std::sort(gone.begin(), gone.end());
    for (const auto& [number, id] : gone) {
      const auto newIt = inNew.find(id);
      if (newIt != inNew.end()) total.before += newIt->second;
      line(id, newIt != inNew.end() ? FormatNumber(newIt->second, true) : "yok", "yok",
           newIt != inNew.end() ? -newIt->second : 0, "eski yılda silinmiş",
           causeOf(true, true, newIt == inNew.end()));
    }
  }
  c.out.totals.push_back(total);
}

}  // namespace

void cheques(const Context& c, const platform::TypedPath& oldDir,
             const platform::TypedPath& newDir) {
  static const DocumentKind kCheques{"Çek ve senetler", "ceksen.DB",  "KAYIT", "KTUTAR",
                                     "EVRAKDURUM",      "EVRAKDURUM", true};
  documents(c, kCheques, oldDir, newDir);
}

void instalments(const Context& c, const platform::TypedPath& oldDir,
                 const platform::TypedPath& newDir) {
  static const DocumentKind kInstalments{"Taksitler", "Char.DB", "BCHKOD", "TUTAR",
                                         "TAKSIT",    "ODEDI",   false};
  documents(c, kInstalments, oldDir, newDir);
}

}  // namespace report::openings_detail
