#include "carry/precheck.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <future>
#include <map>
#include <set>

#include "data/datadirectories.h"
#include "data/failuretext.h"
#include "data/names.h"
#include "data/schemas.h"
#include "data/ttable.h"
#include "jobs/filesetcopy.h"
#include "jobs/runhost.h"
#include "jobs/runoptions.h"
#include "jobs/workspace.h"
#include "paradox/check.h"
#include "paradox/errors.h"
#include "paradox/header.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/rawfile.h"
#include "platform/runlock.h"
#include "platform/wildcard.h"

namespace fs = std::filesystem;

namespace {

std::string upper(std::string text) {
  for (char& c : text) c = asciiUpper(c);
  return text;
}

// The tables the steps open through the engine.
const char* const kOpenedTables[] = {"Cari.DB", "Stok.DB",  "ceksen.DB",
                                     "Char.DB", "urhar.db", "ayar.db"};
// Of those, the one read from the old company only (its settings).
const char* const kOldSettingsTable = "ayar.db";

std::string extensionOf(const std::string& name) {
  const auto dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : upper(name.substr(dot + 1));
}

std::string baseOf(const std::string& name) {
  const auto dot = name.rfind('.');
  return upper(dot == std::string::npos ? name : name.substr(0, dot));
}

// True for the files the engine keeps beside a .DB: .PX, .Xnn/.Ynn,
// .XGn/.YGn, .MB, .VAL.
bool isCompanion(const std::string& ext) {
  if (ext == "PX" || ext == "MB" || ext == "VAL") return true;
  return ext.size() == 3 && (ext[0] == 'X' || ext[0] == 'Y') &&
         std::isxdigit(static_cast<unsigned char>(ext[2])) &&
         (std::isxdigit(static_cast<unsigned char>(ext[1])) || ext[1] == 'G');
}

// The space a file takes on disk: its size rounded up to the 4 KiB
// clusters most file systems allocate, so that a company of many small
// tables is not underestimated.
std::uintmax_t sizeOf(const platform::TypedPath& file) {
  constexpr std::uintmax_t kCluster = 4096;
  const std::optional<fs::path>& p = file.location();
  std::error_code ec;
  const std::uintmax_t n = p ? fs::file_size(*p, ec) : 0;
  return ec ? 0 : (n + kCluster - 1) / kCluster * kCluster;
}

// The files of one table (one base name) in a carry-forward file set.
struct TableFamily {
  std::vector<std::string> files;
  bool keyed = false;  // its .DB has a primary key
};

// What is wrong with a family; empty when it is whole.
std::string FamilyProblem(const TableFamily& family) {
  bool db = false, px = false;
  for (const std::string& f : family.files) {
    const std::string ext = extensionOf(f);
    db = db || ext == "DB";
    px = px || ext == "PX";
  }
  const std::string base = family.files.front().substr(0, family.files.front().rfind('.'));
  if (!db) return base + ".DB dosyası yok, tablonun diğer dosyaları var";
  if (family.keyed && !px) return base + ".PX (birincil indeks) dosyası yok";
  return {};
}

// The space a carry-forward needs: the files copied into the new companies
// plus the largest working copy a table change makes beside a table.
struct SpaceNeed {
  std::uintmax_t copied = 0;
  std::uintmax_t largestWorkingCopy = 0;
  std::uintmax_t total() const { return copied + largestWorkingCopy; }
};

platform::TypedPath pathOf(const FileSource& f) {
  return f.from.below(f.name);
}

class Checker {
 public:
  Checker(RunHost& host, const RunOptions& run, Workspace& ws, const DirectoryAfterUpgrade* after)
      : m_host(host), m_run(run), m_ws(ws), m_dataDir(run.newData), m_after(after) {}

  bool run() {
    if (const std::string problem = TemplateDirectoryProblem(m_dataDir); !problem.empty())
      return stop(problem);
    if (!checkRegistryWritable()) return false;
    const std::vector<FileSource>& templateFiles = listing(TemplateDirectory(m_dataDir));
    CompanyList& list = m_ws.RxSirket;
    const std::size_t current = list.currentRow();
    for (list.first(); !list.eof(); list.next()) {
      if (!list.selected()) continue;
      const std::string name = list.text("KISA_AD");
      const platform::TypedPath oldDir = CompanyDirectory(m_dataDir, list.text("SIRKET_KOD"));
      if (m_run.ytl && !checkCurrency(name, oldDir)) return false;
      const std::vector<FileSource> carried = carriedFiles(oldDir);
      if (!checkFamilies(name, oldDir, carried)) return false;
      if (!checkOpenedTables(name, oldDir, carried)) return false;
      addSpace(templateFiles, carried);
    }
    list.moveTo(current);
    return checkSpace();
  }

 private:
  bool stop(const std::string& message) {
    InfoBox(m_host, message);
    return false;
  }
  static std::string missingTable(const std::string& typed) {
    return describeTableFailure(
        typed, EDBEngineError(EDBEngineError::Code::kNotFound, "Table does not exist: " + typed,
                              FileCause{typed, ENOENT, false}));
  }

  // `text` says what is wrong with which table (data/failuretext.h).
  bool tableProblem(const std::string& name, const std::string& text) {
    return stop(name + " adlı şirketin verileri açılamadı\r\n" + text);
  }

  // The registry gets a row per new company: every file of its table, and
  // the data directory its changes are renamed in, must take writes. A file
  // the upgrade of the same run puts in place is its copy, which we may
  // always write.
  bool checkRegistryWritable() {
    const std::string registry = "sirket.db";
    // typed, where its bytes are
    std::vector<std::pair<std::string, platform::TypedPath>> probes;
    probes.emplace_back(m_dataDir.text(), m_dataDir);
    for (const FileSource& f : listing(m_dataDir))
      if (baseOf(f.name) == baseOf(registry) && IsTableFile(f.name) && f.from == m_dataDir)
        probes.emplace_back(m_dataDir.textOf(f.name), pathOf(f));
    for (const auto& [typed, where] : probes) {
      const std::optional<fs::path>& p = where.location();
      const platform::WriteRefusal refusal =
          p ? platform::writeRefusal(*p) : platform::WriteRefusal::kNone;
      if (refusal != platform::WriteRefusal::kNone)
        return stop(FileFailureText("Şirket kayıt tablosuna yeni şirket yazılamaz", typed,
                                    WriteRefusalText(refusal)) +
                    "\r\nHiçbir şirket oluşturulmadı.");
    }
    return true;
  }

  // The directory's entry in the upgrade's outcome; null when the upgrade
  // leaves it as it is (or there is no upgrade).
  const DirectoryAfterUpgrade::Company* plannedCompany(const platform::TypedPath& dir) const {
    if (!m_after) return nullptr;
    for (const DirectoryAfterUpgrade::Company& c : m_after->companies)
      if (dir.text() == m_dataDir.textOf(c.code)) return &c;
    return nullptr;
  }
  const std::vector<FileSource>* plannedFiles(const platform::TypedPath& dir) const {
    if (m_after && dir == m_dataDir) return &m_after->dataFiles;
    const DirectoryAfterUpgrade::Company* c = plannedCompany(dir);
    return c ? &c->files : nullptr;
  }

  // The plain files of a directory as the run would find it, in the order
  // FileListBox1 lists them; listed once per check (nothing changes them
  // meanwhile), as each opened table's family is sized from it.
  const std::vector<FileSource>& listing(const platform::TypedPath& dir) {
    auto [it, added] = m_listings.try_emplace(dir.text());
    std::vector<FileSource>& files = it->second;
    if (!added) return files;
    if (const std::vector<FileSource>* planned = plannedFiles(dir)) {
      files = *planned;
      std::sort(files.begin(), files.end(), [](const FileSource& a, const FileSource& b) {
        return platform::lessNoCase(a.name, b.name);
      });
      return files;
    }
    m_ws.FileListBox1.setMask("*.*");
    m_ws.FileListBox1.setDirectory(dir);
    for (const std::string& f : m_ws.FileListBox1.items()) files.push_back({f, dir});
    return files;
  }

  // The company's carry-forward file set, as KMXList builds it.
  std::vector<FileSource> carriedFiles(const platform::TypedPath& dir) {
    std::vector<FileSource> carried;
    if (plannedFiles(dir)) {
      const std::vector<FileSource>& files = listing(dir);
      for (const char* mask : kCarryForwardMasks)
        for (const FileSource& f : files)
          if (platform::matchesMask(f.name, mask)) carried.push_back(f);
      return carried;
    }
    KMXList(m_ws, dir);
    for (const std::string& f : m_ws.ListBoxCopy) carried.push_back({f, dir});
    return carried;
  }

  bool checkCurrency(const std::string& name, const platform::TypedPath& oldDir) {
    // Read-only: an open for writing would finish what a killed change left.
    platform::TypedPath from = oldDir;
    const DirectoryAfterUpgrade::Company* planned = plannedCompany(oldDir);
    if (planned)
      for (const FileSource& f : planned->files)
        if (sameName(f.name, "ayar.db")) from = f.from;
    // Rebuilt settings take the template's layout, so the table they come
    // from is read by field name only.
    const bool byName = planned && planned->settingsRebuilt;
    TTable settings("AyarPravexT", "ayar.db", byName ? nullptr : &schema::Ayar());
    settings.setReadOnly(true);
    std::string currency, symbol;
    try {
      settings.setDatabaseName(from);
      settings.open();
      settings.first();
      if (!settings.eof()) {
        auto text = [&](const char* field) {
          if (!byName) return settings.field(field).asString();
          std::optional<TField> f = settings.findField(field);
          return f ? f->asString() : std::string();
        };
        currency = text("PARABIRIMI");
        symbol = text("PARASIMGE");
      }
      settings.close();
    } catch (const std::exception& e) {
      settings.close();
      return tableProblem(name, TableFailureText(oldDir.textOf("ayar.db"), e));
    }
    auto trimmed = [](std::string s) {
      while (!s.empty() && s.back() == ' ') s.pop_back();
      return s;
    };
    if (trimmed(currency) == m_run.currencyName || trimmed(symbol) == m_run.currencySymbol)
      return stop(name +
                  " şirketinin tutarları zaten Yeni Türk Lirası'na çevrilmiş; ikinci kez "
                  "çevrilemez.\r\nYTL seçeneğini kaldırarak devir yapınız.");
    return true;
  }

  bool checkFamilies(const std::string& name, const platform::TypedPath& oldDir,
                     const std::vector<FileSource>& carried) {
    std::map<std::string, TableFamily> families;
    std::set<std::string> seen;
    for (const FileSource& source : carried) {
      const std::string& file = source.name;
      if (!seen.insert(upper(file)).second) continue;  // tssabit.* is listed twice
      const std::string ext = extensionOf(file);
      if (ext != "DB" && !isCompanion(ext)) continue;  // a plain file of the product
      TableFamily& family = families[baseOf(file)];
      family.files.push_back(file);
      if (ext != "DB") continue;
      try {
        const pdx::TableHeader header = pdx::readHeader(*pathOf(source).location());
        family.keyed = header.keyFields > 0;
      } catch (const std::exception&) {
        // A table that is only copied is not judged by its content; the
        // opened ones are checked below.
      }
    }
    for (const auto& [base, family] : families) {
      const std::string problem = FamilyProblem(family);
      if (!problem.empty())
        return tableProblem(name, oldDir.textOf(family.files.front()) + ": " + problem);
    }
    return true;
  }

  bool checkOpenedTables(const std::string& name, const platform::TypedPath& oldDir,
                         const std::vector<FileSource>& carried) {
    const platform::TypedPath templateDir = TemplateDirectory(m_dataDir);
    // What to check, in table order, up to the first table found missing;
    // the checks then run side by side (each reads its own files) and the
    // first problem in table order stops the run, as one by one would.
    struct Checked {
      platform::TypedPath dir;
      std::string file, typed;
      std::string missing;  // the stop for a table that is not there
      std::future<std::vector<pdx::FileProblem>> problems;
    };
    std::vector<Checked> tables;
    for (const char* table : kOpenedTables) {
      auto own = std::find_if(carried.begin(), carried.end(),
                              [&](const FileSource& f) { return sameName(f.name, table); });
      const bool inCompany = own != carried.end();
      // The settings are read from the old company itself, never from the
      // template: a company without them cannot be carried.
      const bool companyOnly = sameName(table, kOldSettingsTable);
      if (!inCompany && companyOnly) {
        tables.push_back({{}, {}, {}, missingTable(oldDir.textOf(table)), {}});
        break;
      }
      if (!inCompany && !m_templateChecked.insert(table).second) continue;
      const platform::TypedPath& dir = inCompany ? oldDir : templateDir;
      const FileSource source = inCompany ? *own : FileSource{table, templateDir};
      const std::string typed = dir.textOf(source.name);
      const std::optional<fs::path> file = pathOf(source).location();
      std::error_code ec;
      if (!file || !fs::is_regular_file(*file, ec)) {
        if (!inCompany) continue;  // the open reports a table missing everywhere
        tables.push_back({{}, {}, {}, missingTable(typed), {}});
        break;
      }
      tables.push_back(
          {dir, source.name, typed, {}, std::async(platform::sideBySide(), [f = *file] {
             return pdx::checkTableFiles(f);
           })});
    }
    for (Checked& t : tables) {
      if (!t.missing.empty()) return tableProblem(name, t.missing);
      try {
        const std::vector<pdx::FileProblem> problems = t.problems.get();
        if (!problems.empty()) {
          // The first problem, worded by the file it is in: data, blob or index.
          const pdx::FileProblem& first = problems.front();
          return tableProblem(
              name, describeTableFailure(t.typed,
                                         EDBEngineError(EDBEngineError::Code::kCorrupt, first.text,
                                                        FileCause{first.file.string(), 0, false})));
        }
      } catch (const std::exception& e) {
        return tableProblem(name, TableFailureText(t.typed, e));
      }
      m_space.largestWorkingCopy = std::max(m_space.largestWorkingCopy, familySize(t.dir, t.file));
    }
    return true;
  }

  // The table and its companions in `dir`: what a change rewrites beside
  // the table.
  std::uintmax_t familySize(const platform::TypedPath& dir, const std::string& table) {
    const std::string base = baseOf(table);
    std::uintmax_t total = 0;
    for (const FileSource& f : listing(dir))
      if (baseOf(f.name) == base) total += sizeOf(pathOf(f));
    return total;
  }

  void addSpace(const std::vector<FileSource>& templateFiles,
                const std::vector<FileSource>& carried) {
    std::map<std::string, std::uintmax_t> files;  // by name, letter case ignored
    for (const FileSource& f : templateFiles) files[upper(f.name)] = sizeOf(pathOf(f));
    for (const FileSource& f : carried) files[upper(f.name)] = sizeOf(pathOf(f));
    for (const auto& [file, size] : files) m_space.copied += size;
  }

  bool checkSpace() {
    // The registry grows by a row per company and is rewritten beside
    // itself when it does.
    m_space.largestWorkingCopy =
        std::max(m_space.largestWorkingCopy, familySize(m_dataDir, "sirket.db"));
    const std::optional<fs::path>& root = m_dataDir.location();
    std::optional<std::uintmax_t> free = root ? platform::freeSpace(*root) : std::nullopt;
    if (free && m_after) *free -= std::min(*free, m_after->bytesWritten);
    if (!free || *free >= m_space.total()) return true;
    return stop("Diskte yeterli boş yer yok: " + m_dataDir.text() + "\r\nDevir için gereken " +
                SizeText(m_space.total()) + ", boş " + SizeText(*free) + ".");
  }

  RunHost& m_host;
  const RunOptions& m_run;
  Workspace& m_ws;
  platform::TypedPath m_dataDir;
  const DirectoryAfterUpgrade* m_after;                       // null: the directory as it is
  std::map<std::string, std::vector<FileSource>> m_listings;  // by directory
  std::set<std::string> m_templateChecked;
  SpaceNeed m_space;
};

}  // namespace

bool CheckBeforeWriting(RunHost& host, const RunOptions& run, Workspace& ws) {
  return Checker(host, run, ws, nullptr).run();
}

bool CheckBeforeWriting(RunHost& host, const RunOptions& run, Workspace& ws,
                        const DirectoryAfterUpgrade& after) {
  return Checker(host, run, ws, &after).run();
}
