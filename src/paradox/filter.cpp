#include "paradox/filter.h"

#include <cctype>
#include <cstring>

#include "paradox/errors.h"
#include "paradox/names.h"
#include "paradox/values.h"

namespace pdx {
namespace {

bool isNameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' ||
         static_cast<unsigned char>(c) >= 0x80;
}

struct Lexer {
  const std::string& text;
  std::size_t pos = 0;

  void skipSpace() {
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos]))) ++pos;
  }
  bool atEnd() {
    skipSpace();
    return pos >= text.size();
  }
  // A bare word (field name or keyword) or a [bracketed] name; "" if none.
  std::string word() {
    skipSpace();
    if (pos < text.size() && text[pos] == '[') {
      const std::size_t close = text.find(']', pos + 1);
      if (close == std::string::npos) return {};
      std::string name = text.substr(pos + 1, close - pos - 1);
      pos = close + 1;
      return name;
    }
    const std::size_t start = pos;
    while (pos < text.size() && isNameChar(text[pos])) ++pos;
    return text.substr(start, pos - start);
  }
};

}  // namespace

Filter Filter::parse(const std::string& expression, const std::vector<FieldInfo>& fields,
                     const CodePage& codePage, const std::string& fileName) {
  Filter f;
  auto fail = [&](const std::string& why) {
    throw EDBEngineError(
        EDBEngineError::Code::kFilter,
        "Invalid filter expression \"" + expression + "\" on " + fileName + ": " + why);
  };
  Lexer lx{expression};
  if (lx.atEnd()) return f;  // no expression: every record passes
  f.m_any.emplace_back();
  for (;;) {
    Comparison c;
    const std::string name = lx.word();
    if (name.empty()) fail("field name expected at position " + std::to_string(lx.pos + 1));
    for (const FieldInfo& fi : fields)
      if (!c.bound && sameName(fi.name, name)) {
        c.field = fi;
        c.bound = true;
      }
    if (!c.bound) fail("unknown field '" + name + "'");
    lx.skipSpace();
    if (expression.compare(lx.pos, 2, "<>") == 0) {
      c.notEqual = true;
      lx.pos += 2;
    } else if (lx.pos < expression.size() && expression[lx.pos] == '=') {
      lx.pos += 1;
    } else {
      fail("'=' or '<>' expected after " + name);
    }
    lx.skipSpace();
    if (lx.pos < expression.size() && expression[lx.pos] == '\'') {
      std::string value;
      ++lx.pos;
      for (;;) {
        if (lx.pos >= expression.size()) fail("unterminated quoted text");
        const char ch = expression[lx.pos++];
        if (ch == '\'') {
          if (lx.pos < expression.size() && expression[lx.pos] == '\'') {
            value += '\'';
            ++lx.pos;
            continue;
          }
          break;
        }
        value += ch;
      }
      c.bytes = c.field.type == FieldType::kAlpha ? codePage.fromUtf8(value) : value;
    } else {
      const std::string constant = lx.word();
      if (!sameName(constant, "TRUE")) fail("quoted text or TRUE expected after " + name);
      if (c.field.type != FieldType::kLogical) fail("field " + name + " is not logical");
      c.isTrue = true;
    }
    f.m_any.back().push_back(std::move(c));
    if (lx.atEnd()) break;
    const std::string joiner = lx.word();
    if (sameName(joiner, "or"))
      f.m_any.emplace_back();
    else if (!sameName(joiner, "and"))
      fail("'and' or 'or' expected at position " + std::to_string(lx.pos + 1));
  }
  return f;
}

bool Filter::test(const Comparison& c, const std::uint8_t* record) {
  const FieldInfo& fi = c.field;
  const std::uint8_t* p = record + fi.offset;
  bool equal;
  if (c.isTrue) {
    equal = p[0] == 0x81;  // a blank logical is false
  } else if (fi.type == FieldType::kAlpha) {
    // The stored text ends at the first NUL or at the field's end.
    const std::size_t n = c.bytes.size();
    const auto width = static_cast<std::size_t>(fi.width);
    // Texts a filter names are short: a loop here costs less than a call
    // for every record of a pass.
    equal = n <= width && (n == width || p[n] == 0);
    for (std::size_t i = 0; equal && i < n; ++i)
      equal = p[i] == static_cast<std::uint8_t>(c.bytes[i]);
  } else {
    equal = valueToText(fi, p) == c.bytes;
  }
  return equal != c.notEqual;
}

bool Filter::matches(const std::uint8_t* record) const {
  if (m_any.empty()) return true;
  for (const auto& all : m_any) {
    bool pass = true;
    for (const Comparison& c : all)
      if (!test(c, record)) {
        pass = false;
        break;
      }
    if (pass) return true;
  }
  return false;
}

}  // namespace pdx
