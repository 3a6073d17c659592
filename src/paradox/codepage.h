// Code pages of the texts stored in Paradox tables, and their conversion to
// and from UTF-8.
//
// Conversion is lossless for every byte: toUtf8 never fails and fromUtf8 of
// its result gives the original bytes back. A byte the code page leaves
// undefined decodes to U+0000+byte when the page uses that code point nowhere
// else (the C1 controls, as Windows does for 0x81 in 1252/1254), otherwise to
// the private-use code point U+F700+byte. In GBK, a byte that does not start
// a valid pair decodes to U+F700+byte and the next byte is decoded on its own.
//
// Supported: 1254 (Turkish, the product's), 1250, 1251, 1252, 1253, 1257,
// 1255, 437, 737, 850, 852, 857, 860, 861, 862, 863, 865, 866, 936 (GBK) and HP Roman-8 under
// the pseudo id kCodePageHpRoman8 (it has no number of its own; tables in it
// carry code page 0 and the BLROM800 language driver). The single-byte tables
// and the GBK table are generated data (codepage_gen.py).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pdx {

inline constexpr int kCodePageHpRoman8 = 0x10000 + 8;
inline constexpr int kCodePageGbk = 936;

class CodePage {
 public:
  // The code page with this id. Throws EDBEngineError(kUnsupported) for a
  // code page we do not know. The object lives as long as the program.
  static const CodePage& forId(int codePage);

  int id() const { return m_id; }
  // The conventional codec name ("cp1254", "cp936", "hp_roman8").
  std::string_view codecName() const { return m_codecName; }
  // True for pages where one character can take two bytes (GBK).
  bool isDoubleByte() const { return m_singleByte == nullptr; }

  // Decodes bytes in this code page; never fails (see above).
  std::string toUtf8(std::string_view bytes) const;
  // Encodes UTF-8 into this code page: the exact inverse of toUtf8.
  // Characters the page lacks and malformed UTF-8 bytes become '?'.
  std::string fromUtf8(std::string_view utf8) const;

  // The longest prefix of `encoded` (bytes in this code page) that is at most
  // maxBytes long and does not end in the middle of a two-byte character.
  std::size_t fitPrefix(std::string_view encoded, std::size_t maxBytes) const;

  CodePage(const CodePage&) = delete;
  CodePage& operator=(const CodePage&) = delete;

 private:
  CodePage(int id, std::string_view codecName, const char16_t* singleByte)
      : m_id(id), m_codecName(codecName), m_singleByte(singleByte) {}
  friend struct CodePageRegistry;

  int m_id;
  std::string_view m_codecName;
  const char16_t* m_singleByte;  // 256 code points; nullptr for GBK
};

// The code page a language driver (sort order name in the table header)
// implies, for headers that carry none or carry 0: "BLROM800" gives
// kCodePageHpRoman8, "ANTURK" 1254, "intl850" 850. Unknown names give 437,
// the DOS page Paradox itself defaults to. Letter case does not matter.
int codePageForLanguageDriver(std::string_view driverName);

}  // namespace pdx
