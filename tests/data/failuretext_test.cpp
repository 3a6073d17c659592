// The Turkish failure texts: each cause and action worded once, the path as
// typed, working files named by the table they belong to.
#include "data/failuretext.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <system_error>

#include "paradox/errors.h"

namespace {

const std::string kTyped = "C:\\ZEFIRTAK\\KMX3\\DATA\\sirket.db";

TEST(FailureText, EachCauseIsWordedOnce) {
  struct Case {
    TableAction action;
    FailureCause cause;
    const char* text;
  } cases[] = {
      {TableAction::kWrite, {ENOSPC}, "Tablo yazılamadı: %s (diskte yer kalmadı)"},
      {TableAction::kWrite, {EFBIG}, "Tablo yazılamadı: %s (dosya boyu sınırı aşıldı)"},
      {TableAction::kWrite, {EACCES}, "Tablo yazılamadı: %s (erişim izni yok)"},
      {TableAction::kWrite, {EROFS}, "Tablo yazılamadı: %s (disk salt okunur)"},
      {TableAction::kRead, {EIO}, "Tablo okunamadı: %s (disk okuma/yazma hatası)"},
      {TableAction::kOpen,
       {EBUSY},
       "Tablo açılamadı: %s (dosya başka bir program tarafından kullanılıyor)"},
      {TableAction::kRead, {0, true}, "Tablo okunamadı: %s (tablo bozuk)"},
      {TableAction::kCopy, {ENOSPC}, "Dosya kopyalanamadı: %s (diskte yer kalmadı)"},
  };
  for (const Case& c : cases) {
    std::string want = c.text;
    want.replace(want.find("%s"), 2, kTyped);
    EXPECT_EQ(describeTableFailure(kTyped, c.action, c.cause), want);
  }
}

TEST(FailureText, AnEngineErrorGivesItsActionAndCause) {
  const auto full = EDBEngineError::io("/home/u/.wine/dosdevices/c:/ZEFIRTAK/KMX3/DATA/sirket.db",
                                       std::system_error(ENOSPC, std::generic_category()), true);
  EXPECT_EQ(describeTableFailure(kTyped, full),
            "Tablo yazılamadı: " + kTyped + " (diskte yer kalmadı)");
  const EDBEngineError damaged(EDBEngineError::Code::kCorrupt, "Corrupt table x: block 3 loops",
                               FileCause{"x", 0, false});
  EXPECT_EQ(describeTableFailure(kTyped, damaged), "Tablo okunamadı: " + kTyped + " (tablo bozuk)");
}

TEST(FailureText, PathsStayAsTypedAndWorkingFilesNameTheirTable) {
  EXPECT_EQ(typedFilePath("C:\\ZEFIRTAK\\KMX3\\DATA", ".sirket.db.new~"), kTyped);
  EXPECT_EQ(typedFilePath("C:\\ZEFIRTAK\\KMX3\\DATA\\", ".sirket.db.ix~"), kTyped);
  EXPECT_EQ(typedFilePath("/srv/kmx/DATA", "SIRKET.PX"), "/srv/kmx/DATA/SIRKET.PX");
  EXPECT_EQ(typedFilePath("D:/kmx\\DATA", "sirket.X02"), "D:/kmx\\DATA\\sirket.X02");
}

}  // namespace
