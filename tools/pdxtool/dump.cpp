#include "dump.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "paradox/codepage.h"
#include "paradox/coding.h"
#include "paradox/errors.h"
#include "paradox/header.h"
#include "paradox/memo.h"
#include "paradox/table_impl.h"
#include "paradox/values.h"
#include "sha256.h"

using namespace pdx;

std::string pythonFloat(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Infinity" : "-Infinity";
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
  std::string sci(buf, res.ptr);
  const std::size_t e = sci.find('e');
  std::string mant = sci.substr(0, e);
  const int exp = std::stoi(sci.substr(e + 1));
  std::string sign;
  if (mant[0] == '-') {
    sign = "-";
    mant.erase(0, 1);
  }
  std::string digits;
  for (char c : mant)
    if (c != '.') digits += c;
  if (exp >= -4 && exp < 16) {
    std::string out;
    if (exp < 0) {
      out = "0." + std::string(static_cast<std::size_t>(-exp - 1), '0') + digits;
    } else if (static_cast<int>(digits.size()) <= exp + 1) {
      out = digits + std::string(static_cast<std::size_t>(exp + 1) - digits.size(), '0') + ".0";
    } else {
      out = digits.substr(0, static_cast<std::size_t>(exp + 1)) + "." +
            digits.substr(static_cast<std::size_t>(exp + 1));
    }
    return sign + out;
  }
  std::string out = digits.substr(0, 1);
  if (digits.size() > 1) out += "." + digits.substr(1);
  std::snprintf(buf, sizeof buf, "e%c%02d", exp < 0 ? '-' : '+', std::abs(exp));
  return sign + out + buf;
}

std::string jsonString(const std::string& utf8) {
  std::string out = "\"";
  for (char ch : utf8) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += ch;
        }
    }
  }
  return out + "\"";
}

namespace {

std::string isoDate(std::int64_t day) {
  std::int64_t y;
  int m, d;
  civilFromDay(day, y, m, d);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04lld-%02d-%02d", static_cast<long long>(y), m, d);
  return buf;
}

bool inCalendar(std::int64_t day) {
  return day >= 1 && day <= dayFromCivil(9999, 12, 31);
}

std::string valueJson(const FieldInfo& f, const std::uint8_t* p, const CodePage& cp,
                      const MemoFile& memo) {
  if (f.type != FieldType::kBytes && valueIsBlank(f, p)) return "null";
  switch (f.type) {
    case FieldType::kAlpha:
      return jsonString(cp.toUtf8(valueToText(f, p)));
    case FieldType::kShort:
    case FieldType::kLong:
    case FieldType::kAutoInc:
    case FieldType::kTime:
      return std::to_string(decodeInt(p, f.width));
    case FieldType::kMoney:
    case FieldType::kNumber:
      return pythonFloat(decodeDouble(p));
    case FieldType::kLogical:
      return p[0] == 0x81 ? "true" : "false";
    case FieldType::kDate: {
      const std::int64_t day = decodeInt(p, 4);
      return inCalendar(day) ? "\"" + isoDate(day) + "\"" : std::to_string(day);
    }
    case FieldType::kTimestamp: {
      const double ms = decodeDouble(p);
      if (!(std::fabs(ms) < 1e17)) return pythonFloat(ms);
      const auto day = static_cast<std::int64_t>(std::floor(ms / kMsPerDay));
      if (!inCalendar(day)) return pythonFloat(ms);
      auto rest =
          static_cast<std::int64_t>(std::llround(ms - static_cast<double>(day) * kMsPerDay));
      char buf[32];
      std::snprintf(buf, sizeof buf, "T%02lld:%02lld:%02lld.%03lld",
                    static_cast<long long>(rest / 3600000),
                    static_cast<long long>(rest / 60000 % 60),
                    static_cast<long long>(rest / 1000 % 60), static_cast<long long>(rest % 1000));
      return "\"" + isoDate(day) + buf + "\"";
    }
    case FieldType::kBcd:
      return "\"" + bcdToText(p, f.size) + "\"";
    case FieldType::kBytes: {
      if (allZero(p, f.width)) return "null";
      std::string hex;
      char buf[3];
      for (int i = 0; i < f.width; ++i) {
        std::snprintf(buf, sizeof buf, "%02x", p[i]);
        hex += buf;
      }
      return "\"" + hex + "\"";
    }
    default: {  // memo and blob fields
      const BlobPointer ptr = BlobPointer::decode(p, f.width);
      try {
        const std::string value = memo.read(p, f.width);
        return "{\"length\": " + std::to_string(value.size()) + ", \"sha256\": \"" +
               sha256Hex(value) + "\"}";
      } catch (const EDBEngineError& e) {
        if (e.code() != EDBEngineError::Code::kNotFound) throw;
        return "{\"length\": " + std::to_string(ptr.length) + ", \"sha256\": null}";
      }
    }
  }
}

}  // namespace

void dumpTable(const std::filesystem::path& table, const std::string& shownName, int codePage,
               std::ostream& out) {
  const TableHeader h = readHeader(table);
  const bool modern = h.versionId >= 5;
  int cpId = h.codePage != 0 ? h.codePage : codePage;
  if (cpId == 0) cpId = codePageForLanguageDriver(h.sortOrder);
  const CodePage& cp = CodePage::forId(cpId);
  out << "{\n \"file\": " << jsonString(shownName) << ",\n";
  out << " \"version_id\": " << h.versionId << ",\n";
  out << " \"file_type\": " << h.fileType << ",\n";
  out << " \"block_size\": " << h.blockSize << ",\n";
  out << " \"code_page\": " << (modern ? std::to_string(h.codePage) : "null") << ",\n";
  out << " \"text_codec\": " << jsonString(std::string(cp.codecName())) << ",\n";
  out << " \"encrypted\": " << (h.encrypted ? "true" : "false") << ",\n";
  out << " \"key_fields\": " << h.keyFields << ",\n";
  out << " \"auto_inc\": " << (modern ? std::to_string(h.autoInc) : "null") << ",\n";
  out << " \"fields\": [\n";
  for (std::size_t i = 0; i < h.fields.size(); ++i) {
    const FieldInfo& f = h.fields[i];
    out << "  {\"name\": " << jsonString(cp.toUtf8(h.rawNames[i])) << ", \"type\": \""
        << static_cast<char>(f.type) << "\", \"size\": " << f.size << "}"
        << (i + 1 < h.fields.size() ? ",\n" : "\n");
  }
  out << " ],\n";
  if (h.encrypted) {
    out << " \"rows\": null\n}\n";
    return;
  }
  OpenOptions options;
  options.readOnly = true;
  options.fallbackCodePage = codePage;
  auto t = Table::open(table, options);
  auto& impl = dynamic_cast<TableImpl&>(*t);
  MemoFile memo(companionFile(impl.path(), ".mb"), false);
  out << " \"rows\": [\n";
  bool firstRow = true;
  for (t->first(); !t->eof(); t->next()) {
    if (!firstRow) out << ",\n";
    firstRow = false;
    const std::uint8_t* rec = impl.recordBytes();
    out << "  [";
    for (std::size_t i = 0; i < h.fields.size(); ++i) {
      if (i) out << ", ";
      out << valueJson(h.fields[i], rec + h.fields[i].offset, cp, memo);
    }
    out << "]";
  }
  out << (firstRow ? " ]\n}\n" : "\n ]\n}\n");
}
