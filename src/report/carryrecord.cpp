#include "report/carryrecord.h"

#include <charconv>
#include <fstream>

#include "platform/typedpath.h"

namespace report {

namespace {

// One row's fields; quoted fields may hold ";", '"' (doubled) and line breaks.
// False at the end of the text.
bool nextRow(const std::string& text, std::size_t& at, std::vector<std::string>& fields) {
  fields.clear();
  if (at >= text.size()) return false;
  std::string field;
  bool quoted = false;
  for (; at < text.size(); ++at) {
    const char c = text[at];
    if (quoted) {
      if (c != '"') {
        field += c;
      } else if (at + 1 < text.size() && text[at + 1] == '"') {
        field += '"';
        ++at;
      } else {
        quoted = false;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ';') {
      fields.push_back(std::move(field));
      field.clear();
    } else if (c == '\n') {
      ++at;
      break;
    } else if (c != '\r') {
      field += c;
    }
  }
  fields.push_back(std::move(field));
  return true;
}

bool toNumber(const std::string& s, double& out) {
  if (s.empty()) {
    out = 0;
    return true;
  }
  const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
  return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

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

std::optional<CarryRecordData> parse(const std::string& text, bool headerOnly) {
  std::size_t at = text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
  std::vector<std::string> f;
  if (!nextRow(text, at, f) || f.size() != 2 || f[0] != "Upgrade-Devir devir kaydı" || f[1] != "1")
    return std::nullopt;
  CarryRecordData r;
  std::size_t rows = 1;
  bool ended = false, haveCompany = false;
  while (!ended && nextRow(text, at, f)) {
    const std::string& kind = f[0];
    if (kind == "son") {
      double n = 0;
      if (f.size() != 2 || !toNumber(f[1], n) || n != static_cast<double>(rows))
        return std::nullopt;
      ended = true;
      continue;
    }
    ++rows;
    if (kind == "şirket" && f.size() == 6) {
      r.oldCode = f[1], r.newCode = f[2], r.fromYear = f[3], r.toYear = f[4];
      r.shortName = f[5];
      haveCompany = true;
      if (headerOnly) break;
    } else if (kind == "seçenek" && f.size() == 7) {
      r.ytl = f[2] == "evet";
      r.roundingMode = f[4] == "down" ? 1 : f[4] == "up" ? 2 : 0;
      r.digits = f[6].empty() ? 2 : f[6][0] - '0';
    } else if (kind == "cari" && f.size() == 11) {
      RecordedOpening& o = r.cards[f[1]];
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
      if (!ok) return std::nullopt;
      ++o.count;
    } else if (kind == "stok" && f.size() == 6) {
      RecordedOpening& o = r.stock[f[1]];
      o.key = f[2];
      o.figures.assign(3, {});
      for (std::size_t i = 0; i < 3; ++i)
        if (!toNumber(f[3 + i], o.figures[i].value)) return std::nullopt;
      ++o.count;
    } else if ((kind == "çek" || kind == "taksit") && f.size() == 3) {
      double amount = 0;
      if (!toNumber(f[2], amount)) return std::nullopt;
      (kind == "çek" ? r.cheques : r.instalments)[f[1]] = amount;
    } else if (kind != "seçenek" && kind != "şirket") {
      continue;  // a row of a later minor addition: skipped
    } else {
      return std::nullopt;
    }
  }
  if (!haveCompany || (!headerOnly && !ended)) return std::nullopt;
  return r;
}

}  // namespace

std::optional<CarryRecordData> ReadCarryRecordHeader(const platform::TypedPath& file) {
  const auto text = readWhole(file);
  return text ? parse(*text, true) : std::nullopt;
}

std::optional<CarryRecordData> ReadCarryRecord(const platform::TypedPath& file) {
  const auto text = readWhole(file);
  return text ? parse(*text, false) : std::nullopt;
}

std::optional<CarryRecordData> ReadCarryRecordHeader(const std::string& file) {
  return ReadCarryRecordHeader(platform::TypedPath::resolve(file));
}

std::optional<CarryRecordData> ReadCarryRecord(const std::string& file) {
  return ReadCarryRecord(platform::TypedPath::resolve(file));
}

}  // namespace report
