#include "paradox/codepage.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "paradox/errors.h"

namespace pdx {
namespace {

struct SingleByteTable {
  int id;
  const char* codec;
  char16_t map[256];
};

const SingleByteTable kSingleByte[] = {
#include "paradox/codepage_single.inc"
};

constexpr int kGbkTrails = 0xFF - 0x40;  // trail bytes 0x40..0xFE
const char16_t kGbk[(0xFF - 0x81) * kGbkTrails] = {
#include "paradox/codepage_gbk.inc"
};

constexpr char32_t kEscapeBase = 0xF700;

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Decodes one UTF-8 sequence at `pos`; returns false (and consumes one byte)
// for a malformed, overlong or surrogate sequence.
bool nextUtf8(std::string_view s, std::size_t& pos, char32_t& cp) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char b0 = byte(pos);
  int extra;
  char32_t min;
  if (b0 < 0x80) {
    cp = b0;
    ++pos;
    return true;
  } else if ((b0 & 0xE0) == 0xC0) {
    extra = 1, min = 0x80, cp = b0 & 0x1F;
  } else if ((b0 & 0xF0) == 0xE0) {
    extra = 2, min = 0x800, cp = b0 & 0x0F;
  } else if ((b0 & 0xF8) == 0xF0) {
    extra = 3, min = 0x10000, cp = b0 & 0x07;
  } else {
    ++pos;
    return false;
  }
  if (pos + extra >= s.size()) {
    ++pos;
    return false;
  }
  for (int i = 1; i <= extra; ++i) {
    const unsigned char b = byte(pos + i);
    if ((b & 0xC0) != 0x80) {
      ++pos;
      return false;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++pos;
    return false;
  }
  pos += extra + 1;
  return true;
}

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

// Owns the code page objects and their reverse maps, built on first use.
struct CodePageRegistry {
  using Reverse = std::unordered_map<char32_t, std::uint16_t>;
  std::vector<std::unique_ptr<CodePage>> pages;
  std::vector<Reverse> reverse;
  std::vector<std::once_flag> built;

  CodePageRegistry() : reverse(std::size(kSingleByte) + 1), built(std::size(kSingleByte) + 1) {
    for (const SingleByteTable& t : kSingleByte) {
      pages.emplace_back(new CodePage(t.id, t.codec, t.map));
    }
    pages.emplace_back(new CodePage(kCodePageGbk, "cp936", nullptr));
  }

  static CodePageRegistry& instance() {
    static CodePageRegistry registry;
    return registry;
  }

  const Reverse& reverseOf(const CodePage& page) {
    std::size_t index = 0;
    while (pages[index].get() != &page) ++index;
    std::call_once(built[index], [&] {
      Reverse& map = reverse[index];
      if (page.m_singleByte != nullptr) {
        for (int b = 0; b < 256; ++b)
          map.emplace(page.m_singleByte[b], static_cast<std::uint16_t>(b));
      } else {
        for (std::size_t i = 0; i < std::size(kGbk); ++i) {
          if (kGbk[i] == 0) continue;
          const std::size_t lead = 0x81 + i / kGbkTrails, trail = 0x40 + i % kGbkTrails;
          map.emplace(kGbk[i], static_cast<std::uint16_t>(lead << 8 | trail));
        }
      }
    });
    return reverse[index];
  }
};

const CodePage& CodePage::forId(int codePage) {
  for (const auto& page : CodePageRegistry::instance().pages) {
    if (page->m_id == codePage) return *page;
  }
  throw EDBEngineError(EDBEngineError::Code::kUnsupported,
                       "Code page " + std::to_string(codePage) + " is not supported");
}

std::string CodePage::toUtf8(std::string_view bytes) const {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {
      // Every supported page is ASCII in its lower half.
      out.push_back(static_cast<char>(b));
    } else if (m_singleByte != nullptr) {
      appendUtf8(out, m_singleByte[b]);
    } else {
      char32_t cp = 0;
      if (b >= 0x81 && b <= 0xFE && i + 1 < bytes.size()) {
        const unsigned char t = static_cast<unsigned char>(bytes[i + 1]);
        if (t >= 0x40 && t <= 0xFE) cp = kGbk[(b - 0x81) * kGbkTrails + (t - 0x40)];
      }
      if (cp != 0) {
        ++i;
      } else {
        cp = kEscapeBase + b;
      }
      appendUtf8(out, cp);
    }
  }
  return out;
}

std::string CodePage::fromUtf8(std::string_view utf8) const {
  const auto& reverse = CodePageRegistry::instance().reverseOf(*this);
  std::string out;
  out.reserve(utf8.size());
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    char32_t cp = 0;
    if (!nextUtf8(utf8, pos, cp)) {
      out.push_back('?');
      continue;
    }
    int code = -1;
    if (cp < 0x80) {
      code = static_cast<int>(cp);
    } else if (const auto it = reverse.find(cp); it != reverse.end()) {
      code = it->second;
    } else if (m_singleByte == nullptr && cp >= kEscapeBase + 0x80 && cp <= kEscapeBase + 0xFF) {
      code = static_cast<int>(cp - kEscapeBase);  // a stray byte in GBK text
    }
    if (code < 0) {
      out.push_back('?');
    } else if (code > 0xFF) {
      out.push_back(static_cast<char>(code >> 8));
      out.push_back(static_cast<char>(code & 0xFF));
    } else {
      out.push_back(static_cast<char>(code));
    }
  }
  return out;
}

std::size_t CodePage::fitPrefix(std::string_view encoded, std::size_t maxBytes) const {
  if (encoded.size() <= maxBytes) return encoded.size();
  if (m_singleByte != nullptr) return maxBytes;
  // Walk characters as toUtf8 would, so a pair is never split.
  std::size_t i = 0;
  while (i < maxBytes) {
    const unsigned char b = static_cast<unsigned char>(encoded[i]);
    std::size_t len = 1;
    if (b >= 0x81 && b <= 0xFE && i + 1 < encoded.size()) {
      const unsigned char t = static_cast<unsigned char>(encoded[i + 1]);
      if (t >= 0x40 && t <= 0xFE && kGbk[(b - 0x81) * kGbkTrails + (t - 0x40)] != 0) len = 2;
    }
    if (i + len > maxBytes) break;
    i += len;
  }
  return i;
}

int codePageForLanguageDriver(std::string_view driverName) {
  struct Driver {
    const char* name;  // lower case
    int codePage;
  };
  static const Driver kDrivers[] = {
      {"ascii", 437},     {"intl", 437},      {"swedfin", 437},
      {"spanish", 437},   {"thai", 437},      {"intl850", 850},
      {"nordan", 865},    {"nordan40", 865},  {"iceland", 861},
      {"turk", 857},      {"cyrr", 866},      {"czech", 852},
      {"hun852dc", 852},  {"polish", 852},    {"slovene", 852},
      {"grcp437", 737},   {"db437gr0", 737},  {"hebrew", 862},
      {"dbhebrew", 862},  {"china", 936},     {"anturk", 1254},
      {"ancyrr", 1251},   {"angreek1", 1253}, {"anczech", 1250},
      {"anhundc", 1250},  {"anpolish", 1250}, {"ansislov", 1250},
      {"anhebrew", 1255}, {"anthai", 1252},   {"orawe850", 850},
      {"sydc437", 437},   {"sydc850", 850},   {"blrom800", kCodePageHpRoman8},
  };
  const std::string name = lower(driverName);
  for (const Driver& d : kDrivers) {
    if (name == d.name) return d.codePage;
  }
  // BDE driver families: "DB437US0", "DB850DE0", "DBWINUS0", the Borland
  // Latin-1 drivers "BLLT1DE0" and the ANSI (Windows Latin-1) Paradox drivers
  // "ANSIINTL", "ANSII850", "ANSISPAN".
  if (name.rfind("dbwin", 0) == 0 || name.rfind("ansi", 0) == 0 || name.rfind("bllt1", 0) == 0) {
    return 1252;
  }
  if (name.size() > 5 && name.rfind("db", 0) == 0) {
    int page = 0;
    const auto [end, ec] = std::from_chars(name.data() + 2, name.data() + 5, page);
    if (ec == std::errc() && end == name.data() + 5) {
      for (const auto& p : CodePageRegistry::instance().pages) {
        if (p->id() == page) return page;
      }
    }
  }
  return 437;
}

}  // namespace pdx
