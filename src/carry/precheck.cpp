#include "carry/precheck.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <map>
#include <set>

#include "data/datadirectories.h"
#include "data/failuretext.h"
#include "data/names.h"
#include "jobs/filesetcopy.h"
#include "jobs/runhost.h"
#include "jobs/workspace.h"
#include "paradox/check.h"
#include "paradox/header.h"
#include "platform/paths.h"
#include "platform/runlock.h"

namespace fs = std::filesystem;

namespace {

std::string upper(std::string text) {
  for (char& c : text) c = asciiUpper(c);
  return text;
}

// The tables the steps open through the engine.
const char* const kOpenedTables[] = {"Cari.DB", "Stok.DB",  "ceksen.DB",
                                     "Char.DB", "urhar.db", "ayar.db"};

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
std::uintmax_t sizeOf(const std::string& typed) {
  constexpr std::uintmax_t kCluster = 4096;
  std::optional<fs::path> p = platform::resolvePath(typed);
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

class Checker {
 public:
  Checker(RunHost& host, Workspace& ws)
      : m_host(host), m_ws(ws), m_dataDir(host.newDataDirectory()) {}

  bool run() {
    m_ws.FileListBox1.setMask("*.*");
    m_ws.FileListBox1.setDirectory(TemplateDirectory(m_dataDir));
    const std::vector<std::string> templateFiles = m_ws.FileListBox1.items();
    CompanyList& list = m_ws.RxSirket;
    const std::size_t current = list.currentRow();
    for (list.first(); !list.eof(); list.next()) {
      if (!list.selected()) continue;
      const std::string name = list.text("KISA_AD");
      const std::string oldDir = CompanyDirectory(m_dataDir, list.text("SIRKET_KOD"));
      if (m_host.ytlTicked() && !checkCurrency(name, oldDir)) return false;
      KMXList(m_ws, oldDir);
      const std::vector<std::string> carried = m_ws.ListBoxCopy;
      if (!checkFamilies(name, oldDir, carried)) return false;
      if (!checkOpenedTables(name, oldDir, carried)) return false;
      addSpace(templateFiles, oldDir, carried);
    }
    list.moveTo(current);
    return checkSpace();
  }

 private:
  bool stop(const std::string& message) {
    InfoBox(m_host, message);
    return false;
  }
  bool tableProblem(const std::string& name, const std::string& file, const std::string& problem) {
    return stop(name + " adlı şirketin verileri açılamadı\r\n" + file + ": " + problem);
  }

  bool checkCurrency(const std::string& name, const std::string& oldDir) {
    TTable& settings = m_ws.DM.AyarPravexT;
    std::string currency, symbol;
    try {
      settings.close();
      settings.setDatabaseName(oldDir);
      settings.open();
      settings.first();
      if (!settings.eof()) {
        currency = settings.field("PARABIRIMI").asString();
        symbol = settings.field("PARASIMGE").asString();
      }
      settings.close();
    } catch (const std::exception& e) {
      settings.close();
      return tableProblem(name, oldDir + "\\ayar.db", e.what());
    }
    auto trimmed = [](std::string s) {
      while (!s.empty() && s.back() == ' ') s.pop_back();
      return s;
    };
    if (trimmed(currency) == m_host.currencyName() || trimmed(symbol) == m_host.currencySymbol())
      return stop(name +
                  " şirketinin tutarları zaten Yeni Türk Lirası'na çevrilmiş; ikinci kez "
                  "çevrilemez.\r\nYTL seçeneğini kaldırarak devir yapınız.");
    return true;
  }

  bool checkFamilies(const std::string& name, const std::string& oldDir,
                     const std::vector<std::string>& carried) {
    std::map<std::string, TableFamily> families;
    std::set<std::string> seen;
    for (const std::string& file : carried) {
      if (!seen.insert(upper(file)).second) continue;  // tssabit.* is listed twice
      const std::string ext = extensionOf(file);
      if (ext != "DB" && !isCompanion(ext)) continue;  // a plain file of the product
      TableFamily& family = families[baseOf(file)];
      family.files.push_back(file);
      if (ext != "DB") continue;
      try {
        const pdx::TableHeader header =
            pdx::readHeader(*platform::resolvePath(oldDir + "\\" + file));
        family.keyed = header.keyFields > 0;
      } catch (const std::exception&) {
        // A table that is only copied is not judged by its content; the
        // opened ones are checked below.
      }
    }
    for (const auto& [base, family] : families) {
      const std::string problem = FamilyProblem(family);
      if (!problem.empty())
        return tableProblem(name, oldDir + "\\" + family.files.front(), problem);
    }
    return true;
  }

  bool checkOpenedTables(const std::string& name, const std::string& oldDir,
                         const std::vector<std::string>& carried) {
    for (const char* table : kOpenedTables) {
      auto own = std::find_if(carried.begin(), carried.end(),
                              [&](const std::string& f) { return sameName(f, table); });
      const std::string typed =
          own != carried.end() ? oldDir + "\\" + *own : TemplateDirectory(m_dataDir) + "\\" + table;
      if (own == carried.end() && !m_templateChecked.insert(table).second) continue;
      std::optional<fs::path> file = platform::resolvePath(typed);
      std::error_code ec;
      if (!file || !fs::is_regular_file(*file, ec)) {
        if (own == carried.end()) continue;  // the open reports a table missing everywhere
        return tableProblem(name, typed, "dosya bulunamadı");
      }
      std::vector<std::string> problems;
      try {
        problems = pdx::checkTable(*file);
      } catch (const std::exception& e) {
        problems = {e.what()};
      }
      if (!problems.empty()) return tableProblem(name, typed, problems.front());
      m_space.largestWorkingCopy = std::max(m_space.largestWorkingCopy, familySize(typed));
    }
    return true;
  }

  // The .DB and its companions: what a change rewrites beside the table.
  std::uintmax_t familySize(const std::string& typedDb) {
    const std::string dir = typedDb.substr(0, typedDb.rfind('\\'));
    const std::string base = baseOf(typedDb.substr(typedDb.rfind('\\') + 1));
    std::uintmax_t total = 0;
    m_ws.FileListBox1.setMask("*.*");
    m_ws.FileListBox1.setDirectory(dir);
    for (const std::string& f : m_ws.FileListBox1.items())
      if (baseOf(f) == base) total += sizeOf(dir + "\\" + f);
    return total;
  }

  void addSpace(const std::vector<std::string>& templateFiles, const std::string& oldDir,
                const std::vector<std::string>& carried) {
    std::map<std::string, std::uintmax_t> files;  // by name, letter case ignored
    for (const std::string& f : templateFiles)
      files[upper(f)] = sizeOf(TemplateDirectory(m_dataDir) + "\\" + f);
    for (const std::string& f : carried) files[upper(f)] = sizeOf(oldDir + "\\" + f);
    for (const auto& [file, size] : files) m_space.copied += size;
  }

  bool checkSpace() {
    // The registry grows by a row per company and is rewritten beside
    // itself when it does.
    m_space.largestWorkingCopy =
        std::max(m_space.largestWorkingCopy, familySize(m_dataDir + "\\sirket.db"));
    std::optional<fs::path> root = platform::resolvePath(m_dataDir);
    std::optional<std::uintmax_t> free = root ? platform::freeSpace(*root) : std::nullopt;
    if (!free || *free >= m_space.total()) return true;
    return stop("Diskte yeterli boş yer yok: " + m_dataDir + "\r\nDevir için gereken " +
                SizeText(m_space.total()) + ", boş " + SizeText(*free) + ".");
  }

  RunHost& m_host;
  Workspace& m_ws;
  std::string m_dataDir;
  std::set<std::string> m_templateChecked;
  SpaceNeed m_space;
};

}  // namespace

bool CheckBeforeWriting(RunHost& host, Workspace& ws) {
  return Checker(host, ws).run();
}
