#include "carry/record.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <system_error>

#include "data/failuretext.h"
#include "jobs/runhost.h"
#include "jobs/workspace.h"
#include "platform/paths.h"

namespace {

constexpr const char* kFolderName = "Devir Raporları";

std::string quoted(const std::string& field) {
  if (field.find_first_of(";\"\r\n") == std::string::npos) return field;
  std::string q = "\"";
  for (char c : field) {
    if (c == '"') q += '"';
    q += c;
  }
  return q + "\"";
}

class RecordText {
 public:
  void row(std::initializer_list<std::string> fields) {
    bool first = true;
    for (const std::string& f : fields) {
      if (!first) m_text += ';';
      m_text += quoted(f);
      first = false;
    }
    m_text += '\n';
    ++m_rows;
  }
  std::string finish() {
    row({"son", std::to_string(m_rows)});
    return m_text;
  }

 private:
  std::string m_text = "\xEF\xBB\xBF";
  std::size_t m_rows = 0;
};

std::string number(TTable& t, const char* name) {
  return RecordNumber(t.field(name).asFloat());
}

const char* roundingName(int mode) {
  return mode == 1 ? "down" : mode == 2 ? "up" : "auto";
}

std::string recordText(RunHost& host, Workspace& ws) {
  const CompanyList& row = ws.RxSirket;
  RecordText r;
  r.row({"Upgrade-Devir devir kaydı", "1"});
  r.row({"şirket", row.text("SIRKET_KOD"), row.text("YENI_SIRKET_KOD"), host.sourceYear(),
         host.targetYear(), row.text("KISA_AD")});
  r.row({"seçenek", "ytl", host.ytlTicked() ? "evet" : "hayır", "yuvarlama",
         roundingName(host.roundingMode()), "basamak", std::to_string(host.precisionDigits())});

  TDM& dm = ws.DM;
  TTable& cards = dm.CariPravex_T;
  for (cards.first(); !cards.eof(); cards.next())
    r.row({"cari", cards.field("CARIKODU").asString(), cards.field("BCRKOD").asString(),
           number(cards, "KDBKY"), cards.field("KDBTR").asString(), number(cards, "KDBRC"),
           number(cards, "KDALC"), number(cards, "DDBKY"), cards.field("DDBTR").asString(),
           number(cards, "DDBRC"), number(cards, "DDALC")});
  TTable& stock = dm.StokPravex_T;
  for (stock.first(); !stock.eof(); stock.next())
    r.row({"stok", stock.field("STOKKODU").asString(), stock.field("BSTKOD").asString(),
           number(stock, "MIKDEV"), number(stock, "TUTDEV"), number(stock, "DOVDEV")});
  TTable& cheques = dm.CeksenPravex_T;
  for (cheques.first(); !cheques.eof(); cheques.next())
    r.row({"çek", cheques.field("KAYIT").asString(), number(cheques, "KTUTAR")});
  TTable& movements = dm.CharPravex;
  for (movements.first(); !movements.eof(); movements.next())
    r.row({"taksit", movements.field("BCHKOD").asString(), number(movements, "TUTAR")});
  return r.finish();
}

// Writes beside the target and renames over it, so that a record is whole or
// absent. False on any failure, with `cause` set.
bool writeWhole(const std::filesystem::path& target, const std::string& content,
                std::error_code& cause) {
  namespace fs = std::filesystem;
  // Built as paths: on Windows a narrow file name would pass through the
  // ANSI code page, which has no "ı".
  fs::path aside = target.parent_path() / ".";
  aside += target.filename();
  aside += ".yaziliyor";
  {
    std::ofstream out(aside, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();
    if (!out) {
      std::error_code ignored;
      fs::remove(aside, ignored);
      cause = std::make_error_code(std::errc::io_error);
      return false;
    }
  }
  fs::rename(aside, target, cause);
  if (cause) {
    // Some file systems refuse to rename over an existing file.
    std::error_code ignored;
    fs::remove(target, ignored);
    cause.clear();
    fs::rename(aside, target, cause);
  }
  if (cause) {
    std::error_code ignored;
    fs::remove(aside, ignored);
    return false;
  }
  return true;
}

}  // namespace

std::string CarryRecordFolder(const std::string& dataDirectory) {
  return dataDirectory + "\\" + kFolderName;
}

std::string CarryRecordFileName(const std::string& oldCode, const std::string& newCode) {
  return "Devir Kaydı " + oldCode + "-" + newCode + ".csv";
}

std::string RecordNumber(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

void WriteCarryRecord(RunHost& host, Workspace& ws) {
  const std::string content = recordText(host, ws);
  const std::string folder = CarryRecordFolder(host.newDataDirectory());
  const std::string file =
      folder + "\\" +
      CarryRecordFileName(ws.RxSirket.text("SIRKET_KOD"), ws.RxSirket.text("YENI_SIRKET_KOD"));
  std::error_code cause;
  const auto target = platform::resolvePath(file);
  if (!platform::createDirectories(folder) || !target) {
    cause = std::make_error_code(std::errc::no_such_file_or_directory);
  } else if (writeWhole(*target, content, cause)) {
    return;
  }
  InfoBox(host, FileFailureText("Devir kaydı yazılamadı", file, CauseText(cause)) +
                    "\r\nDevir sürüyor; devir değerleri denetimi bu şirket için kaydı "
                    "kullanamayacak.");
}
