// libFuzzer target for the carry record reader: the input is the bytes of a
// "Devir Kaydı ...csv" file, which a person can open in a spreadsheet, edit
// and save. Findings besides crashes, sanitizer reports, leaks and hangs:
//   - a refusal without a printable Turkish reason;
//   - the header and the whole record disagreeing about the "şirket" row;
//   - a record that reads back, written again with the writer's own row
//     encoding (codes in order, one row each), reading as other values or
//     not writing the same bytes a second time.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "carry/record.h"
#include "platform/text.h"
#include "report/carryrecord.h"

namespace {

template <typename Map>
std::vector<typename Map::key_type> sortedKeys(const Map& map) {
  std::vector<typename Map::key_type> keys;
  for (const auto& entry : map) keys.push_back(entry.first);
  std::sort(keys.begin(), keys.end());
  return keys;
}

// The record as a carry writes it (carry/record.h), from what was read.
std::string write(const report::CarryRecordData& r) {
  std::vector<std::vector<std::string>> rows;
  rows.push_back({"Upgrade-Devir devir kaydı", "1"});
  rows.push_back({"şirket", r.oldCode, r.newCode, r.fromYear, r.toYear, r.shortName});
  const char* rounding = r.roundingMode == 1 ? "down" : r.roundingMode == 2 ? "up" : "auto";
  rows.push_back({"seçenek", "ytl", r.ytl ? "evet" : "hayır", "yuvarlama", rounding, "basamak",
                  std::to_string(r.digits)});
  for (const std::string& code : sortedKeys(r.cards)) {
    const report::RecordedOpening& o = r.cards.at(code);
    std::vector<std::string> row{"cari", code, o.key};
    for (const report::RecordedFigure& f : o.figures) {
      row.insert(row.end(),
                 {RecordNumber(f.value), f.side, RecordNumber(f.debit), RecordNumber(f.credit)});
    }
    rows.push_back(row);
  }
  for (const std::string& code : sortedKeys(r.stock)) {
    const report::RecordedOpening& o = r.stock.at(code);
    std::vector<std::string> row{"stok", code, o.key};
    for (const report::RecordedFigure& f : o.figures) row.push_back(RecordNumber(f.value));
    rows.push_back(row);
  }
  for (const std::string& number : sortedKeys(r.cheques))
    rows.push_back({"çek", number, RecordNumber(r.cheques.at(number))});
  for (const std::string& number : sortedKeys(r.instalments))
    rows.push_back({"taksit", number, RecordNumber(r.instalments.at(number))});
  for (const FileFingerprint& f : r.files)
    rows.push_back({f.table ? "tablo" : "dosya", f.name, std::to_string(f.count), f.hash});
  if (r.hasFingerprints()) rows.push_back({"sicil", r.newCode, r.registryRow});
  std::string text = "\xEF\xBB\xBF";
  for (const auto& row : rows) text += CarryRecordRow(row);
  return text + CarryRecordRow({"son", std::to_string(rows.size())});
}

bool sameOpenings(const std::unordered_map<std::string, report::RecordedOpening>& a,
                  const std::unordered_map<std::string, report::RecordedOpening>& b) {
  if (a.size() != b.size()) return false;
  for (const auto& [code, o] : a) {
    const auto other = b.find(code);
    if (other == b.end() || other->second.key != o.key || other->second.figures != o.figures)
      return false;
  }
  return true;
}

bool same(const report::CarryRecordData& a, const report::CarryRecordData& b) {
  return a.oldCode == b.oldCode && a.newCode == b.newCode && a.fromYear == b.fromYear &&
         a.toYear == b.toYear && a.shortName == b.shortName && a.ytl == b.ytl &&
         a.roundingMode == b.roundingMode && a.digits == b.digits &&
         sameOpenings(a.cards, b.cards) && sameOpenings(a.stock, b.stock) &&
         a.cheques == b.cheques && a.instalments == b.instalments && a.files == b.files &&
         a.registryRow == b.registryRow;
}

bool refusedWithReason(const std::string& why) {
  return !why.empty() && platform::isPrintableUtf8(why);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::string why;
  const auto header = report::ParseCarryRecord(text, true, &why);
  if (!header && !refusedWithReason(why)) std::abort();
  why.clear();
  const auto record = report::ParseCarryRecord(text, false, &why);
  if (!record) {
    if (!refusedWithReason(why)) std::abort();
    return 0;
  }
  if (!header || header->oldCode != record->oldCode || header->newCode != record->newCode ||
      header->fromYear != record->fromYear || header->toYear != record->toYear)
    std::abort();
  const std::string written = write(*record);
  const auto again = report::ParseCarryRecord(written, false, &why);
  if (!again || !same(*record, *again) || write(*again) != written) std::abort();
  return 0;
}
