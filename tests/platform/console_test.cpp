// Redirected output on Windows: the bytes written for a text in the
// console's code page, decoded back by the system as `type` would.
#include "platform/console.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include "platform/wintext.h"

namespace {

// Every Turkish letter, the arrow of the plan and an ellipsis.
constexpr const char* kText = "İşlem tamamlandı: ÇĞİÖŞÜ çğıöşü → 2006_001…";

TEST(ConsoleRedirected, WritesTheConsolesCodePageWithDefinedStandIns) {
  const struct {
    unsigned codePage;
    const char* bytes;
    const char* decoded;  // as the code page reads back
  } cases[] = {
      // The Turkish console's default: letters in place, the arrow as "->".
      {857,
       "\x98\x9Flem tamamland\x8D: \x80\xA6\x98\x99\x9E\x9A \x87\xA7\x8D\x94\x9F\x81 -> 2006_001?",
       "İşlem tamamlandı: ÇĞİÖŞÜ çğıöşü -> 2006_001?"},
      // UTF-8: the text as it is.
      {65001, kText, kText},
      // A code page without the Turkish letters: "?", never a look-alike.
      {437, "??lem tamamland?: \x80??\x99?\x9A \x87??\x94?\x81 -> 2006_001?",
       "??lem tamamland?: Ç??Ö?Ü ç??ö?ü -> 2006_001?"},
  };
  for (const auto& c : cases) {
    const std::string bytes = platform::redirectedBytes(kText, c.codePage);
    EXPECT_EQ(bytes, c.bytes) << c.codePage;
    std::wstring wide(bytes.size(), L'\0');
    wide.resize(static_cast<std::size_t>(
        ::MultiByteToWideChar(c.codePage, 0, bytes.data(), static_cast<int>(bytes.size()),
                              wide.data(), static_cast<int>(wide.size()))));
    EXPECT_EQ(platform::narrow(wide), c.decoded) << c.codePage;
  }
}

}  // namespace
#endif
