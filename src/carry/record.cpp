#include "carry/record.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <system_error>
#include <vector>

#include "data/failuretext.h"
#include "data/fingerprint.h"
#include "jobs/runhost.h"
#include "jobs/runoptions.h"
#include "jobs/workspace.h"
#include "platform/paths.h"
#include "platform/rawfile.h"
#include "platform/text.h"

namespace {

constexpr const char* kFolderName = "Devir Raporları";

// An amount in its shortest exact form (RecordNumber).
struct Number {
  double value;
};

Number number(const TField& f) {
  return Number{f.asFloat()};
}

// The record's lines, written to `out` as they come, so that memory does not
// grow with the tables; a field with a separator, a quote or a line break
// goes in quotes.
class RecordText {
 public:
  explicit RecordText(std::ostream& out) : m_out(out) {
    m_text.reserve(kChunk + 4096);
    m_text += "\xEF\xBB\xBF";
  }
  template <typename... Fields>
  void row(const Fields&... fields) {
    bool first = true;
    ((put(fields, first), first = false), ...);
    m_text += '\n';
    ++m_rows;
    if (m_text.size() >= kChunk) flush();
  }
  void finish() {
    row("son", std::to_string(m_rows));
    flush();
  }

 private:
  static constexpr std::size_t kChunk = 1 << 16;
  void put(std::string_view field, bool first) {
    if (!first) m_text += ';';
    platform::appendCsvField(m_text, field);
  }
  void put(Number n, bool first) {
    if (!first) m_text += ';';
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, n.value);
    m_text.append(buffer, result.ptr);
  }
  void flush() {
    m_out.write(m_text.data(), static_cast<std::streamsize>(m_text.size()));
    m_text.clear();
  }

  std::ostream& m_out;
  std::string m_text;  // not yet written
  std::size_t m_rows = 0;
};

const char* roundingName(int mode) {
  return mode == 1 ? "down" : mode == 2 ? "up" : "auto";
}

// The fields of `t` named in `names`, looked up once for every record.
std::vector<TField> bind(TTable& t, std::initializer_list<const char*> names) {
  std::vector<TField> fields;
  for (const char* name : names) fields.push_back(t.field(name));
  return fields;
}

void writeRecord(const RunOptions& run, Workspace& ws, std::ostream& out) {
  const CompanyList& row = ws.RxSirket;
  RecordText r(out);
  r.row("Upgrade-Devir devir kaydı", "1");
  r.row("şirket", row.text("SIRKET_KOD"), row.text("YENI_SIRKET_KOD"), run.sourceYear,
        run.targetYear, row.text("KISA_AD"));
  r.row("seçenek", "ytl", run.ytl ? "evet" : "hayır", "yuvarlama", roundingName(run.rounding),
        "basamak", std::to_string(run.digits));

  TDM& dm = ws.DM;
  TTable& cards = dm.CariPravex_T;
  const std::vector<TField> c = bind(cards, {"CARIKODU", "BCRKOD", "KDBKY", "KDBTR", "KDBRC",
                                             "KDALC", "DDBKY", "DDBTR", "DDBRC", "DDALC"});
  for (cards.first(); !cards.eof(); cards.next())
    r.row("cari", c[0].asString(), c[1].asString(), number(c[2]), c[3].asString(), number(c[4]),
          number(c[5]), number(c[6]), c[7].asString(), number(c[8]), number(c[9]));
  TTable& stock = dm.StokPravex_T;
  const std::vector<TField> s = bind(stock, {"STOKKODU", "BSTKOD", "MIKDEV", "TUTDEV", "DOVDEV"});
  for (stock.first(); !stock.eof(); stock.next())
    r.row("stok", s[0].asString(), s[1].asString(), number(s[2]), number(s[3]), number(s[4]));
  TTable& cheques = dm.CeksenPravex_T;
  const std::vector<TField> q = bind(cheques, {"KAYIT", "KTUTAR"});
  for (cheques.first(); !cheques.eof(); cheques.next()) r.row("çek", q[0].asString(), number(q[1]));
  TTable& movements = dm.CharPravex;
  const std::vector<TField> m = bind(movements, {"BCHKOD", "TUTAR"});
  for (movements.first(); !movements.eof(); movements.next())
    r.row("taksit", m[0].asString(), number(m[1]));
  r.finish();
}

// Writes beside the target and renames over it, so that a record is whole or
// absent. False on any failure, with `cause` set.
bool writeWhole(const std::filesystem::path& target,
                const std::function<void(std::ostream&)>& content, std::error_code& cause) {
  namespace fs = std::filesystem;
  // Built as paths: on Windows a narrow file name would pass through the
  // ANSI code page, which has no "ı".
  fs::path aside = target.parent_path() / ".";
  aside += target.filename();
  aside += ".yaziliyor";
  {
    std::ofstream out(aside, std::ios::binary | std::ios::trunc);
    try {
      content(out);
    } catch (...) {  // a table that cannot be read: no half record is left
      out.close();
      std::error_code ignored;
      fs::remove(aside, ignored);
      throw;
    }
    out.close();
    if (!out) {
      std::error_code ignored;
      fs::remove(aside, ignored);
      cause = std::make_error_code(std::errc::io_error);
      return false;
    }
  }
  // On the disk before its name can show it, and the name after it: an
  // opening update trusts the record as the base of what it writes.
  try {
#ifdef _WIN32
    platform::RawFile(aside, platform::RawFile::Mode::kReadWrite).sync();
#else
    platform::RawFile(aside, platform::RawFile::Mode::kRead).sync();
#endif
  } catch (const std::system_error& e) {
    std::error_code ignored;
    fs::remove(aside, ignored);
    cause = e.code();
    return false;
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
  platform::syncDirectory(target.parent_path());
  return true;
}

}  // namespace

std::string CarryRecordFolder(const std::string& dataDirectory) {
  return dataDirectory + "\\" + kFolderName;
}

platform::TypedPath CarryRecordFolder(const platform::TypedPath& dataDirectory) {
  return dataDirectory.below(kFolderName);
}

std::string CarryRecordFileName(const std::string& oldCode, const std::string& newCode) {
  return "Devir Kaydı " + oldCode + "-" + newCode + ".csv";
}

std::string CarryRecordRow(const std::vector<std::string>& fields) {
  return platform::csvRow(fields);
}

std::string RecordNumber(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

void WriteCarryRecord(RunHost& host, const RunOptions& run, Workspace& ws) {
  const platform::TypedPath folder = CarryRecordFolder(run.newData);
  const platform::TypedPath file = folder.below(
      CarryRecordFileName(ws.RxSirket.text("SIRKET_KOD"), ws.RxSirket.text("YENI_SIRKET_KOD")));
  std::error_code cause;
  const std::optional<std::filesystem::path>& target = file.location();
  if (!platform::createDirectories(folder) || !target) {
    cause = std::make_error_code(std::errc::no_such_file_or_directory);
  } else if (writeWhole(
                 *target, [&](std::ostream& out) { writeRecord(run, ws, out); }, cause)) {
    return;
  }
  InfoBox(host, FileFailureText("Devir kaydı yazılamadı", file.text(), CauseText(cause)) +
                    "\r\nDevir sürüyor; devir değerleri denetimi bu şirket için kaydı "
                    "kullanamayacak.");
}

void AddFingerprintsToCarryRecord(RunHost& host, const RunOptions& run, Workspace& ws,
                                  const std::vector<FileFingerprint>& files,
                                  const std::string& registryRow) {
  namespace fs = std::filesystem;
  const platform::TypedPath folder = CarryRecordFolder(run.newData);
  const std::string newCode = ws.RxSirket.text("YENI_SIRKET_KOD");
  const platform::TypedPath file =
      folder.below(CarryRecordFileName(ws.RxSirket.text("SIRKET_KOD"), newCode));
  const std::optional<fs::path>& target = file.location();
  std::error_code cause;
  if (!target || !fs::is_regular_file(*target, cause)) return;  // its failure was shown
  // The last row counts the rows before it: the new rows go in front of it.
  // Only the file's end is read here; the rest is copied as it streams, so
  // that memory does not grow with the tables.
  std::ifstream in(*target, std::ios::binary | std::ios::ate);
  const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : 0;
  std::string tail(static_cast<std::size_t>(std::min<std::streamoff>(size, 64)), '\0');
  in.seekg(size - static_cast<std::streamoff>(tail.size()));
  if (!in || !in.read(tail.data(), static_cast<std::streamsize>(tail.size())))
    cause = std::make_error_code(std::errc::io_error);
  const std::size_t last = tail.size() < 2 ? 0 : tail.rfind('\n', tail.size() - 2) + 1;
  std::size_t rows = 0;
  bool whole = tail.size() >= last + 6 && tail.back() == '\n' && tail.compare(last, 4, "son;") == 0;
  if (whole) {
    const char* end = tail.data() + tail.size() - 1;
    const auto parsed = std::from_chars(tail.data() + last + 4, end, rows);
    whole = parsed.ec == std::errc() && parsed.ptr == end && last > 0;
  }
  if (!cause && !whole) cause = std::make_error_code(std::errc::invalid_argument);
  if (!cause) {
    const std::streamoff kept = size - static_cast<std::streamoff>(tail.size() - last);
    std::string added;
    for (const FileFingerprint& f : files) {
      added +=
          CarryRecordRow({f.table ? "tablo" : "dosya", f.name, std::to_string(f.count), f.hash});
      ++rows;
    }
    added += CarryRecordRow({"sicil", newCode, registryRow});
    added += CarryRecordRow({"son", std::to_string(rows + 1)});
    if (writeWhole(
            *target,
            [&](std::ostream& out) {
              in.clear();
              in.seekg(0);
              std::vector<char> buffer(1 << 16);
              for (std::streamoff left = kept; left > 0 && in && out;) {
                const std::streamsize n =
                    static_cast<std::streamsize>(std::min<std::streamoff>(left, 1 << 16));
                if (!in.read(buffer.data(), n)) break;
                out.write(buffer.data(), n);
                left -= n;
              }
              const bool copied = static_cast<bool>(in);
              in.close();  // before the rename over it: Windows refuses to replace an open file
              if (!copied) out.setstate(std::ios::failbit);  // a failed copy, not a short record
              out.write(added.data(), static_cast<std::streamsize>(added.size()));
            },
            cause)) {
      return;  // written whole, synced before and after its rename
    }
  }
  InfoBox(host, FileFailureText("Devir kaydı yazılamadı", file.text(), CauseText(cause)) +
                    "\r\nDevir sürüyor; bu şirketin devri sonradan geri alınamayacak.");
}
