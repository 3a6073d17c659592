#include "report/plan.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>

#include "data/companylist.h"
#include "data/datadirectories.h"
#include "data/failuretext.h"
#include "data/tablepath.h"
#include "jobs/filelist.h"
#include "jobs/filesetcopy.h"
#include "jobs/runhost.h"
#include "jobs/runoptions.h"
#include "paradox/table.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/wildcard.h"
#include "report/numbers.h"
#include "report/rules.h"
#include "report/tables.h"

namespace report {

namespace {

constexpr int kLastCompanyNumber = 999;

// The plain files of a directory with their sizes; empty when it does not
// exist.
PlannedDirectory listing(const platform::TypedPath& directory) {
  PlannedDirectory files;
  if (!directory.isDirectory()) return files;
  for (const std::string& name : platform::listFiles(directory, "*.*")) {
    if (IsEngineControlFile(name)) continue;  // never copied (jobs/filelist.h)
    std::uintmax_t size = 0;
    if (auto path = directory.locate(name)) {
      std::error_code ec;
      size = std::filesystem::file_size(*path, ec);
      if (ec) size = 0;
    }
    files.push_back({name, size, directory});
  }
  return files;
}

PlannedFile* find(PlannedDirectory& dir, const std::string& name) {
  for (PlannedFile& f : dir)
    if (platform::sameNameNoCase(f.name, name)) return &f;
  return nullptr;
}

// Copies `files` into `target` as CopyFileSet would, counting into `plan`.
void copyInto(PlannedDirectory& target, const PlannedDirectory& files, bool overwrite,
              FilePlan& plan) {
  for (const PlannedFile& f : files) {
    PlannedFile* existing = find(target, f.name);
    if (!existing) {
      target.push_back(f);
      ++plan.copied;
      plan.bytes += f.size;
    } else if (overwrite) {
      if (f.size > existing->size) plan.bytes += f.size - existing->size;
      existing->size = f.size;
      existing->from = f.from;
      ++plan.overwritten;
    } else {
      ++plan.kept;
    }
  }
}

// A table of a planned directory, opened read-only where its file would come
// from; nothing when the directory would have no such table.
std::unique_ptr<pdx::Table> openPlanned(const PlannedDirectory& dir, const std::string& base) {
  for (const PlannedFile& f : dir) {
    if (!platform::sameNameNoCase(f.name, base + ".db")) continue;
    pdx::OpenOptions options;
    options.readOnly = true;
    auto table = pdx::Table::open(ResolveTableFile(f.from, f.name), options);
    table->first();
    return table;
  }
  return nullptr;
}

std::size_t countOf(const PlannedDirectory& dir, const std::string& base) {
  auto t = openPlanned(dir, base);
  return t ? static_cast<std::size_t>(t->recordCount()) : 0;
}

const PlannedDirectory* upgraded(const DryRunPlan& plan, const std::string& code) {
  for (const auto& [c, dir] : plan.companiesAfterUpgrade)
    if (platform::sameNameNoCase(c, code)) return &dir;
  return nullptr;
}

TablePlan tablePlan(const PlannedDirectory& dir, const std::string& base, bool ytl, bool converts) {
  TablePlan p;
  p.table = base;
  auto t = openPlanned(dir, base);
  if (!t) {
    p.missing = true;
    return p;
  }
  p.records = static_cast<std::size_t>(t->recordCount());
  if (base == "ceksen") {
    const int state = t->findField("EVRAKDURUM");
    for (; !t->eof(); t->next())
      p.carried += KeepsCheque(state < 0 ? std::string() : t->asString(state));
  } else if (base == "Char") {
    const int instalment = t->findField("TAKSIT"), paid = t->findField("ODEDI");
    for (; !t->eof(); t->next())
      p.carried += KeepsInstalment(instalment >= 0 && t->asBoolean(instalment),
                                   paid >= 0 && t->asBoolean(paid));
  } else {
    p.carried = p.records;
  }
  p.removed = p.records - p.carried;
  p.converted = ytl && converts ? p.carried : 0;
  return p;
}

}  // namespace

bool PlanUpgrade(RunHost& host, const RunOptions& run, DryRunPlan& plan) {
  const platform::TypedPath& oldDir = run.oldData;
  const platform::TypedPath& newDir = run.newData;
  std::vector<RegistryRow> registry;
  try {
    registry = ReadRegistry(oldDir, "sirket.DB");
  } catch (const std::exception& e) {
    std::string text = "KMX Orvan veya Lumex'a ait şirket bilgileri alınamadı";
    if (std::string cause = UnreadableTableText(oldDir.text(), e); !cause.empty())
      text += "\r\n" + cause;
    InfoBox(host, text);
    return false;
  }
  if (registry.empty()) {
    InfoBox(host, "KMX Orvan veya Lumex'da hiç şirket kaydı bulunamadı");
    return false;
  }
  UpgradePlan up;
  plan.dataFilesAfterUpgrade = listing(newDir);
  copyInto(plan.dataFilesAfterUpgrade, listing(oldDir), true, up.dataFiles);

  const platform::TypedPath templateDir = TemplateDirectory(newDir);
  const PlannedDirectory templateFiles = listing(templateDir);
  for (const RegistryRow& row : registry) {
    UpgradeCompanyPlan c;
    c.code = row.code;
    c.shortName = row.shortName;
    const platform::TypedPath oldCompany = CompanyDirectory(oldDir, row.code);
    if (!oldCompany.isDirectory()) {
      c.missing = true;
      up.companies.push_back(c);
      continue;
    }
    PlannedDirectory dir = listing(CompanyDirectory(newDir, row.code));
    copyInto(dir, listing(oldCompany), true, c.copy);
    copyInto(dir, templateFiles, false, c.completion);
    // ayar2 is replaced by the template's; ayar rebuilt when its layout differs.
    PlannedDirectory replaced;
    for (const PlannedFile& f : templateFiles)
      if (platform::sameNameNoCase(f.name, "ayar2.db") ||
          platform::sameNameNoCase(f.name, "ayar2.val"))
        replaced.push_back(f);
    copyInto(dir, replaced, true, c.completion);
    {
      auto oldSettings = openPlanned(listing(oldCompany), "ayar");
      auto templateSettings = openPlanned(templateFiles, "ayar");
      c.settingsRebuilt = oldSettings && templateSettings &&
                          oldSettings->fieldCount() != templateSettings->fieldCount();
    }
    c.movementsRecoded = countOf(dir, "Char");
    c.invoicesFlagged = countOf(dir, "Fatura");
    plan.companiesAfterUpgrade.emplace_back(row.code, dir);
    up.companies.push_back(c);
  }
  for (const UpgradeCompanyPlan& c : up.companies)
    plan.bytesNeeded += c.copy.bytes + c.completion.bytes;
  plan.bytesNeeded += up.dataFiles.bytes;
  plan.upgrade = std::move(up);
  return true;
}

bool PlanCarryForward(RunHost& host, const RunOptions& run, DryRunPlan& plan,
                      const SelectionCheck& check) {
  const platform::TypedPath& dataDir = run.newData;
  const std::string &from = run.sourceYear, &to = run.targetYear;
  // The registry as the upgrade would leave it: the older one copied over.
  platform::TypedPath registryDir = dataDir;
  if (plan.upgrade)
    for (const PlannedFile& f : plan.dataFilesAfterUpgrade)
      if (platform::sameNameNoCase(f.name, "sirket.db")) registryDir = f.from;
  std::vector<RegistryRow> registry;
  try {
    registry = ReadRegistry(registryDir);
  } catch (const std::exception& e) {
    std::string text =
        "Pravex programının şirket bilgilerine ulaşılamadı.\r\nData dizininin yolunu kontrol "
        "ediniz.";
    if (std::string cause = UnreadableTableText(registryDir.text(), e); !cause.empty())
      text += "\r\n" + cause;
    InfoBox(host, text);
    return false;
  }

  // The company list with the new codes, as the job hands them out.
  CompanyList list;
  int sequence = 1;
  auto codeFor = [&](int number) {
    std::string digits = std::to_string(number);
    digits.insert(digits.begin(), 3 - std::min<std::size_t>(3, digits.size()), '0');
    return to + "_" + digits;
  };
  auto codeTaken = [&](const std::string& code) {
    if (CompanyDirectory(dataDir, code).isDirectory() || upgraded(plan, code)) return true;
    return std::any_of(registry.begin(), registry.end(), [&](const RegistryRow& r) {
      return platform::sameNameNoCase(r.code, code);
    });
  };
  auto taken = [&](int number) { return codeTaken(codeFor(number)); };
  const std::string noCodeLeft = to + " yılı için yeni şirket kodu verilemiyor: " + to +
                                 "_001 ile " + to + "_999 arasındaki tüm kodlar kullanılmış.";
  for (const RegistryRow& row : registry) {
    if (row.year != from) continue;
    list.append();
    list.setValue("SIRKET_KOD", Variant{row.code});
    list.setValue("KISA_AD", Variant{row.shortName});
    // Carried already: offered unselected and without a code, as the job
    // offers it; its number stays free for the others.
    const std::string carriedName = FirstCharacters(row.shortName + " " + to, 30);
    const auto carried = std::find_if(registry.begin(), registry.end(), [&](const RegistryRow& r) {
      return r.year == to && r.shortName == carriedName;
    });
    if (carried != registry.end()) {
      list.setValue("DEVIR", Variant{false});
      list.setNote(row.code + " zaten " + carried->code + " koduyla " + to + " yılına devredilmiş");
      continue;
    }
    int n = sequence;
    while (n <= kLastCompanyNumber && taken(n)) ++n;
    if (n > kLastCompanyNumber) {
      InfoBox(host, noCodeLeft);
      return false;
    }
    sequence = n + 1;
    list.setValue("YENI_SIRKET_KOD", Variant{codeFor(n)});
    list.setValue("DEVIR", Variant{true});
  }
  // Ticked again, a company carried already draws its code as the job's list
  // draws it.
  list.setCodeDrawer([&](const CompanyList& companies, std::size_t row) {
    return NextFreeCompanyCode(companies, row, to, codeTaken);
  });
  list.first();
  if (!host.selectCompanies(list)) return false;
  if (!list.drawCodes()) {
    InfoBox(host, noCodeLeft);
    return false;
  }
  if (check && !check(list)) return false;

  CarryPlan carry;
  carry.fromYear = from;
  carry.toYear = to;
  carry.ytl = run.ytl;
  const PlannedDirectory templateFiles = listing(TemplateDirectory(dataDir));
  for (list.first(); !list.eof(); list.next()) {
    if (!list.selected()) continue;
    CarryCompanyPlan c;
    c.oldCode = list.text("SIRKET_KOD");
    c.newCode = list.text("YENI_SIRKET_KOD");
    c.shortName = list.text("KISA_AD");
    c.newShortName = FirstCharacters(c.shortName + " " + to, 30);
    const PlannedDirectory* up = upgraded(plan, c.oldCode);
    const PlannedDirectory oldFiles = up ? *up : listing(CompanyDirectory(dataDir, c.oldCode));
    PlannedDirectory dir;
    copyInto(dir, templateFiles, true, c.templateFiles);
    PlannedDirectory carried;
    for (const char* mask : kCarryForwardMasks)
      for (const PlannedFile& f : oldFiles)
        if (platform::matchesMask(f.name, mask) && !find(carried, f.name)) carried.push_back(f);
    copyInto(dir, carried, true, c.carryFiles);
    c.tables.push_back(tablePlan(dir, "Cari", carry.ytl, true));
    c.tables.push_back(tablePlan(dir, "Stok", carry.ytl, true));
    c.tables.push_back(tablePlan(dir, "ceksen", carry.ytl, true));
    c.tables.push_back(tablePlan(dir, "Char", carry.ytl, true));
    c.tables.push_back(tablePlan(dir, "urhar", carry.ytl, true));
    c.settingsCurrency = carry.ytl;
    plan.bytesNeeded += c.templateFiles.bytes + c.carryFiles.bytes;
    carry.companies.push_back(std::move(c));
  }
  plan.carry = std::move(carry);
  return true;
}

namespace {

std::string files(const FilePlan& f) {
  std::string s = std::to_string(f.copied) + " yeni";
  if (f.overwritten) s += ", " + std::to_string(f.overwritten) + " üzerine yazılacak";
  if (f.kept) s += ", " + std::to_string(f.kept) + " olduğu gibi kalacak";
  return s;
}

std::string size(std::uintmax_t bytes) {
  double amount = static_cast<double>(bytes) / (1024.0 * 1024.0);
  const char* unit = " MB";
  if (amount >= 1024) amount /= 1024, unit = " GB";
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.1f", amount);
  std::string s = buffer;
  std::replace(s.begin(), s.end(), '.', ',');
  return s + unit;
}

const char* tableTitle(const std::string& base) {
  if (base == "Cari") return "Cari kartlar (Cari)";
  if (base == "Stok") return "Stok kartları (Stok)";
  if (base == "ceksen") return "Çek ve senetler (ceksen)";
  if (base == "Char") return "Cari hareketler / taksitler (Char)";
  return "Üretim hareketleri (urhar)";
}

}  // namespace

std::string PlanText(const DryRunPlan& plan) {
  std::string out = "Deneme çalıştırması: hiçbir dosya yazılmadı ve oluşturulmadı.\n";
  if (plan.upgrade) {
    out +=
        "\nSürüm yükseltme\n  Veri dizininin kendi dosyaları: " + files(plan.upgrade->dataFiles) +
        "\n";
    for (const UpgradeCompanyPlan& c : plan.upgrade->companies) {
      out += "  " + c.code + " " + c.shortName + ": ";
      if (c.missing) {
        out += "eski dizini yok, atlanacak\n";
        continue;
      }
      out += "şirket dosyaları " + files(c.copy) + "; şablondan " + files(c.completion) +
             (c.settingsRebuilt ? "; ayar tablosu yeniden kurulacak" : "") + "; " +
             std::to_string(c.movementsRecoded) + " cari hareket yeniden kodlanacak, " +
             std::to_string(c.invoicesFlagged) + " fatura işaretlenecek\n";
    }
  }
  if (plan.carry) {
    out += "\nYeni yıla devir " + plan.carry->fromYear + " → " + plan.carry->toYear +
           (plan.carry->ytl ? ", YTL dönüşümü ile" : "") + "\n";
    if (plan.carry->companies.empty()) out += "  Devredilecek şirket yok\n";
    for (const CarryCompanyPlan& c : plan.carry->companies) {
      out += "  " + c.oldCode + " " + c.shortName + " → " + c.newCode + " \"" + c.newShortName +
             "\"\n";
      out += "    Dosyalar: şablondan " + files(c.templateFiles) + "; devir dosyaları " +
             files(c.carryFiles) + "\n";
      for (const TablePlan& t : c.tables) {
        out += "    " + std::string(tableTitle(t.table)) + ": ";
        if (t.missing) {
          out += "tablo yok\n";
          continue;
        }
        out += std::to_string(t.carried) + " kayıt devredilecek, " + std::to_string(t.converted) +
               " dönüştürülecek, " + std::to_string(t.removed) + " silinecek\n";
      }
      out += std::string("    Ayarlar: 1 kayıt yazılacak") +
             (c.settingsCurrency ? ", para birimi YTL olacak" : "") + "\n";
    }
  }
  out += "\nGereken disk alanı: " + size(plan.bytesNeeded);
  if (plan.bytesFree) {
    out += ", boş alan: " + size(*plan.bytesFree);
    if (*plan.bytesFree < plan.bytesNeeded) out += " (YETERSİZ)";
  }
  return out + "\n";
}

}  // namespace report
