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
}

// A table that is there but cannot be read is named with its cause; one
// that is missing, or anything not the system's refusal, gives nothing.
TEST(FailureText, OnlyAnUnreadableTableAddsItsCause) {
  const std::string dir = "C:\\ZEFIRTAK\\KMX3\\DATA";
  const std::string file = "/home/u/.wine/dosdevices/c:/ZEFIRTAK/KMX3/DATA/sirket.PX";
  auto io = [&](int error) {
    return EDBEngineError::io(file, std::system_error(error, std::generic_category()), false);
  };
  EXPECT_EQ(UnreadableTableText(dir, io(EIO)),
            "Tablo okunamadı: " + dir + "\\sirket.PX (disk okuma/yazma hatası)");
  EXPECT_EQ(UnreadableTableText(dir, io(ENOENT)), "");
  EXPECT_EQ(UnreadableTableText(dir, EDBEngineError(EDBEngineError::Code::kNotFound, "no table")),
            "");
  EXPECT_EQ(UnreadableTableText(dir, std::runtime_error("other")), "");
}

// Each fault of a table's files in its own words (its kind follows the file
// it is in), the engine's text kept after them for support; a refused write
// by its real cause.
TEST(FailureText, EngineFaultsAreWordedByKind) {
  using Code = EDBEngineError::Code;
  const std::string kDetail = "\r\nAyrıntı (destek için): engine text";
  struct Case {
    Code code;
    const char* file;
    int error;
    std::string text;
  } cases[] = {
      {Code::kCorrupt, "/d/sirket.db", 0, "okunamadı: %s (tablo bozuk)" + kDetail},
      {Code::kCorrupt, "/d/sirket.PX", 0,
       "okunamadı: %s (tablonun dizin dosyası verilerle uyuşmuyor)" + kDetail},
      {Code::kCorrupt, "/d/sirket.y0a", 0,
       "okunamadı: %s (tablonun dizin dosyası verilerle uyuşmuyor)" + kDetail},
      {Code::kCorrupt, "/d/sirket.mb", 0, "okunamadı: %s (tablonun not dosyası bozuk)" + kDetail},
      {Code::kNotATable, "/d/sirket.db", 0, "açılamadı: %s (Paradox tablosu değil)" + kDetail},
      {Code::kNotFound, "/d/sirket.db", 0, "açılamadı: %s (tablo bulunamadı)" + kDetail},
      {Code::kEncrypted, "/d/sirket.db", 0, "açılamadı: %s (tablo şifreli)" + kDetail},
      {Code::kReadOnly, "/d/sirket.db", 0, "yazılamadı: %s (dosya salt okunur)"},
      {Code::kReadOnly, "/d/sirket.db", EROFS, "yazılamadı: %s (disk salt okunur)"},
      {Code::kReadOnly, "/d/sirket.db", EACCES, "yazılamadı: %s (erişim izni yok)"},
  };
  for (const Case& c : cases) {
    std::string want = "Tablo " + c.text;
    want.replace(want.find("%s"), 2, kTyped);
    const EDBEngineError e(c.code, "engine text", FileCause{c.file, c.error, false});
    EXPECT_EQ(describeTableFailure(kTyped, e), want);
  }
  EXPECT_EQ(WriteRefusalText(platform::WriteRefusal::kFileReadOnly), "dosya salt okunur");
}

// An engine error that no table handle worded is worded once, never twice.
TEST(FailureText, AnUnwordedEngineErrorIsWordedOnce) {
  const EDBEngineError raw(EDBEngineError::Code::kCorrupt, "loops", FileCause{"/d/Cari.DB"});
  const std::string worded = TableFailureText("C:\\DATA\\Cari.DB", raw);
  EXPECT_EQ(worded,
            "Tablo okunamadı: C:\\DATA\\Cari.DB (tablo bozuk)\r\nAyrıntı (destek için): loops");
  EXPECT_EQ(FailureText(EDBEngineError(raw.code(), worded, raw.cause())), worded);
  EXPECT_EQ(FailureText(raw).rfind("Tablo okunamadı: /d/Cari.DB (tablo bozuk)", 0), 0u);
  const EDBEngineError missing(EDBEngineError::Code::kNotFound,
                               "Table does not exist.\nFile: C:\\DATA\\Stok.DB");
  EXPECT_EQ(FailureText(missing).rfind("Tablo açılamadı: C:\\DATA\\Stok.DB (tablo bulunamadı)", 0),
            0u);
}

TEST(FailureText, PathsStayAsTypedAndWorkingFilesNameTheirTable) {
  EXPECT_EQ(typedFilePath("C:\\ZEFIRTAK\\KMX3\\DATA", ".sirket.db.new~"), kTyped);
  EXPECT_EQ(typedFilePath("C:\\ZEFIRTAK\\KMX3\\DATA\\", ".sirket.db.ix~"), kTyped);
  EXPECT_EQ(typedFilePath("/srv/kmx/DATA", "SIRKET.PX"), "/srv/kmx/DATA/SIRKET.PX");
  EXPECT_EQ(typedFilePath("D:/kmx\\DATA", "sirket.X02"), "D:/kmx\\DATA\\sirket.X02");
}

}  // namespace
