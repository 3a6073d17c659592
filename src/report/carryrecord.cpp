#include "report/carryrecord.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <initializer_list>

#include "platform/text.h"
#include "platform/typedpath.h"

namespace report {

namespace {


std::optional<std::string> readWhole(const platform::TypedPath& file) {
  const std::optional<std::filesystem::path>& path = file.location();
  if (!path) return std::nullopt;
  std::ifstream in(*path, std::ios::binary | std::ios::ate);
  if (!in) return std::nullopt;
  std::string text(static_cast<std::size_t>(in.tellg()), '\0');
  in.seekg(0);
  if (!in.read(text.data(), static_cast<std::streamsize>(text.size()))) return std::nullopt;
  return text;
}

bool toNumber(const std::string& s, double& out) {
  if (s.empty()) {
    out = 0;
    return true;
  }
  const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
  // "nan" and "inf" read as numbers but are no amount a carry writes, and a
  // NaN would compare unequal to everything.
  return r.ec == std::errc() && r.ptr == s.data() + s.size() && std::isfinite(out);
}

// A refusal: nothing, with the reason in `why` when asked for.
std::optional<CarryRecordData> refuse(std::string* why, const std::string& reason) {
  if (why) *why = reason;
  return std::nullopt;
}

std::string rowText(std::size_t row, const std::string& what) {
  return std::to_string(row) + ". satır: " + what;
}

// The first of `fields` that is not a number, named.
std::string notANumber(std::size_t row, std::initializer_list<std::string> fields) {
  for (const std::string& s : fields) {
    double ignored = 0;
    if (!toNumber(s, ignored))
      return rowText(row, "sayı değil: '" + platform::printableExcerpt(s) + "'");
  }
  return rowText(row, "sayı değil");
}

// How many fields a row of `kind` has (0: a kind this version does not know).
std::size_t fieldsOf(const std::string& kind) {
  if (kind == "şirket" || kind == "stok" || kind == kStockBaseRow) return 6;
  if (kind == "seçenek") return 7;
  if (kind == "cari" || kind == kCardBaseRow) return 11;
  if (kind == "çek" || kind == "taksit") return 3;
  if (kind == kUpdateCountRow) return 2;
  if (kind == "sicil") return 3;
  if (kind == "tablo" || kind == "dosya") return 4;
  return 0;
}

bool isHash(const std::string& s) {
  if (s.size() != 32) return false;
  for (char c : s)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  return true;
}

// A count as the record writes it: decimal digits only.
bool toCount(const std::string& s, std::uint64_t& out) {
  const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
  return !s.empty() && s[0] != '-' && r.ec == std::errc() && r.ptr == s.data() + s.size();
}

// The "seçenek" row as every build has written it; false for anything else,
// so that a hand-edited option is refused rather than read as another one.
bool readOptions(const std::vector<std::string>& f, CarryRecordData& r) {
  if (f[1] != "ytl" || f[3] != "yuvarlama" || f[5] != "basamak") return false;
  if (f[2] != "evet" && f[2] != "hayır") return false;
  if (f[4] != "auto" && f[4] != "down" && f[4] != "up") return false;
  if (f[6].size() > 1 || (f[6].size() == 1 && (f[6][0] < '0' || f[6][0] > '9'))) return false;
  r.ytl = f[2] == "evet";
  r.roundingMode = f[4] == "down" ? 1 : f[4] == "up" ? 2 : 0;
  r.digits = f[6].empty() ? 2 : f[6][0] - '0';
  return true;
}

}  // namespace

std::optional<CarryRecordData> ParseCarryRecord(const std::string& text, bool headerOnly,
                                                std::string* why) {
  std::size_t at = text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
  std::vector<std::string> f;
  if (!platform::nextCsvRow(text, at, f) || f.size() != 2 || f[0] != "Upgrade-Devir devir kaydı")
    return refuse(why, "ilk satır bir devir kaydı başlığı değil");
  if (f[1] != "1")
    return refuse(why, "bilinmeyen kayıt sürümü: '" + platform::printableExcerpt(f[1]) + "'");
  CarryRecordData r;
  // The bases an update moved, applied over what the carry wrote once every
  // row is read (a later row of one code wins).
  std::unordered_map<std::string, RecordedOpening> cardBases, stockBases;
  std::size_t rows = 1;
  bool ended = false, haveCompany = false;
  while (!ended && platform::nextCsvRow(text, at, f)) {
    const std::string& kind = f[0];
    const std::size_t row = rows + 1;
    if (kind == "son") {
      double n = 0;
      if (f.size() != 2 || !toNumber(f[1], n) || n != static_cast<double>(rows))
        return refuse(why,
                      rowText(row, "son satırı " + std::to_string(rows) +
                                       " satır saymalı (kayıt yarım ya da elle değiştirilmiş)"));
      ended = true;
      continue;
    }
    ++rows;
    const std::size_t need = fieldsOf(kind);
    if (need > 0 && f.size() < need)
      return refuse(why, rowText(row, "'" + kind + "' satırında " + std::to_string(f.size()) +
                                          " alan var, " + std::to_string(need) + " olmalı"));
    // A known row with more fields is read by the fields this version knows.
    if (kind == "şirket") {
      // The header names the pair by the first one; a second would put its
      // figures under another pair.
      if (haveCompany) return refuse(why, rowText(row, "ikinci şirket satırı"));
      r.oldCode = f[1], r.newCode = f[2], r.fromYear = f[3], r.toYear = f[4];
      r.shortName = f[5];
      haveCompany = true;
      if (headerOnly) break;
    } else if (kind == "seçenek") {
      if (!readOptions(f, r)) return refuse(why, rowText(row, "seçenekler tanınmıyor"));
    } else if (kind == "cari" || kind == kCardBaseRow) {
      const bool base = kind == kCardBaseRow;
      RecordedOpening& o = base ? cardBases[f[1]] : r.cards[f[1]];
      o.key = f[2];
      o.figures.assign(2, {});
      bool ok = true;
      for (int g = 0; g < 2; ++g) {
        RecordedFigure& fig = o.figures[static_cast<std::size_t>(g)];
        const std::size_t b = 3 + 4 * static_cast<std::size_t>(g);
        fig.side = f[b + 1];
        ok = ok && toNumber(f[b], fig.value) && toNumber(f[b + 2], fig.debit) &&
             toNumber(f[b + 3], fig.credit);
      }
      if (!ok) return refuse(why, notANumber(row, {f[3], f[5], f[6], f[7], f[9], f[10]}));
      if (!base) ++o.count;
    } else if (kind == "stok" || kind == kStockBaseRow) {
      const bool base = kind == kStockBaseRow;
      RecordedOpening& o = base ? stockBases[f[1]] : r.stock[f[1]];
      o.key = f[2];
      o.figures.assign(3, {});
      for (std::size_t i = 0; i < 3; ++i)
        if (!toNumber(f[3 + i], o.figures[i].value))
          return refuse(why, notANumber(row, {f[3], f[4], f[5]}));
      if (!base) ++o.count;
    } else if (kind == kUpdateCountRow) {
      double n = 0;
      if (!toNumber(f[1], n) || n < 0 || n > 1e9 || n != std::floor(n))
        return refuse(why, notANumber(row, {f[1]}));
      r.updates = static_cast<int>(n);
    } else if (kind == "çek" || kind == "taksit") {
      double amount = 0;
      if (!toNumber(f[2], amount)) return refuse(why, notANumber(row, {f[2]}));
      (kind == "çek" ? r.cheques : r.instalments)[f[1]] = amount;
    } else if (kind == "tablo" || kind == "dosya") {
      FileFingerprint file{f[1], kind == "tablo", 0, f[3]};
      if (!toCount(f[2], file.count))
        return refuse(why, rowText(row, "sayı değil: '" + platform::printableExcerpt(f[2]) + "'"));
      if (!isHash(f[3])) return refuse(why, rowText(row, "parmak izi değil"));
      r.files.push_back(std::move(file));
    } else if (kind == "sicil") {
      if (!isHash(f[2])) return refuse(why, rowText(row, "parmak izi değil"));
      if (!r.registryRow.empty()) return refuse(why, rowText(row, "ikinci sicil satırı"));
      r.registryRow = f[2];
    }
    // Any other row is one of a later minor addition: skipped.
  }
  if (!haveCompany) return refuse(why, "şirket satırı yok");
  if (!headerOnly && !ended) return refuse(why, "kayıt yarım kalmış: son satırı yok");
  auto applyBases = [](std::unordered_map<std::string, RecordedOpening>& bases,
                       std::unordered_map<std::string, RecordedOpening>& openings) {
    for (auto& [code, base] : bases) {
      RecordedOpening& o = openings[code];
      o.key = std::move(base.key);
      o.figures = std::move(base.figures);
      o.count = std::max(o.count, 1);
    }
  };
  applyBases(cardBases, r.cards);
  applyBases(stockBases, r.stock);
  return r;
}

std::vector<std::vector<std::string>> CarryRecordRows(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::size_t at = text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
  std::vector<std::string> f;
  while (platform::nextCsvRow(text, at, f) && f[0] != "son") rows.push_back(f);
  return rows;
}

std::optional<std::string> ReadCarryRecordText(const platform::TypedPath& file) {
  return readWhole(file);
}

std::optional<CarryRecordData> ReadCarryRecordHeader(const platform::TypedPath& file,
                                                     std::string* why) {
  const auto text = readWhole(file);
  return text ? ParseCarryRecord(*text, true, why) : refuse(why, "dosya okunamadı");
}

std::optional<CarryRecordData> ReadCarryRecord(const platform::TypedPath& file, std::string* why) {
  const auto text = readWhole(file);
  return text ? ParseCarryRecord(*text, false, why) : refuse(why, "dosya okunamadı");
}

std::optional<CarryRecordData> ReadCarryRecordHeader(const std::string& file, std::string* why) {
  return ReadCarryRecordHeader(platform::TypedPath::resolve(file), why);
}

std::optional<CarryRecordData> ReadCarryRecord(const std::string& file, std::string* why) {
  return ReadCarryRecord(platform::TypedPath::resolve(file), why);
}

}  // namespace report
