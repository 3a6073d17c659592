#include "platform/text.h"

namespace platform {
namespace {

// The length of the printable UTF-8 character at the start of `s`, 0 when
// there is none.
std::size_t printableCharacter(std::string_view s) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return lead >= 0x20 && lead != 0x7F ? 1 : 0;
  std::size_t length = 0;
  char32_t code = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, code = lead & 0x07;
  } else {
    return 0;
  }
  if (s.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(i) & 0x3F);
  }
  const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < least[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  if (code >= 0x80 && code < 0xA0) return 0;  // the C1 controls
  return length;
}

}  // namespace

bool isPrintableUtf8(std::string_view text) {
  while (!text.empty()) {
    const std::size_t n = printableCharacter(text);
    if (n == 0) return false;
    text.remove_prefix(n);
  }
  return true;
}

std::string printableExcerpt(std::string_view text, std::size_t maxBytes) {
  std::string out;
  while (!text.empty()) {
    const std::size_t n = printableCharacter(text);
    if (out.size() + (n ? n : 1) > maxBytes) return out + "...";
    if (n == 0) {
      out += '?';
      text.remove_prefix(1);
    } else {
      out.append(text.substr(0, n));
      text.remove_prefix(n);
    }
  }
  return out;
}

void appendCsvField(std::string& text, std::string_view field) {
  if (field.find_first_of(";\"\r\n") == std::string_view::npos) {
    text += field;
    return;
  }
  text += '"';
  for (char c : field) {
    if (c == '"') text += '"';
    text += c;
  }
  text += '"';
}

std::string csvRow(const std::vector<std::string>& fields) {
  std::string text;
  for (const std::string& field : fields) {
    if (&field != &fields.front()) text += ';';
    appendCsvField(text, field);
  }
  return text + '\n';
}

bool nextCsvRow(std::string_view text, std::size_t& at, std::vector<std::string>& fields) {
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

}  // namespace platform
