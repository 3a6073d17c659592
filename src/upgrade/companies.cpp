// Phases 2 and 3: company directories and their completion; and the end of
// the run, when what the upgrade wrote is made durable.
#include "data/datadirectories.h"
#include "data/names.h"
#include "jobs/filelist.h"
#include "jobs/filesetcopy.h"
#include "jobs/runhost.h"
#include "jobs/runoptions.h"
#include "jobs/workspace.h"
#include "platform/paths.h"
#include "upgrade/phases.h"

namespace {

// Replaces a company's table by the template's, the data file and its
// validity file together ("ayar2.db" -> "ayar2.Db", "ayar2.val" ->
// "ayar2.Val"), as a whole (ReplaceTableFiles); a template file that is
// missing is passed over.
void replaceFromTemplate(const platform::TypedPath& newDir, const std::string& code,
                         const std::string& table, const std::string& companyTable) {
  const platform::TypedPath templateDir = TemplateDirectory(newDir);
  const platform::TypedPath company = CompanyDirectory(newDir, code);
  ReplaceTableFiles({{templateDir.below(table + ".db"), company.below(companyTable + ".Db")},
                     {templateDir.below(table + ".val"), company.below(companyTable + ".Val")}});
}

// The settings table rebuilt from the template: one new row filled by name
// from the older table's first row, placed before the template's rows.
void rebuildSettings(Workspace& ws, const platform::TypedPath& newDir, const std::string& code) {
  TTable& newest = ws.DM.AyarPravexT;
  newest.close();
  replaceFromTemplate(newDir, code, "ayar", "ayar");
  newest.setDatabaseName(CompanyDirectory(newDir, code));
  newest.open();
  newest.insert();
  CopyRowByName(newest, ws.DM.AyarOrLumex_T);
  newest.post();
  newest.flushBuffers();
}

}  // namespace

void CopyCompanies(RunHost& host, const RunOptions& run, Workspace& ws) {
  const platform::TypedPath& oldDir = run.oldData;
  const platform::TypedPath& newDir = run.newData;
  TTable& registry = ws.DM.SirketOrLumex_T;
  TField code = registry.field("SIRKET_KOD");
  TField name = registry.field("KISA_AD");
  for (registry.first(); !registry.eof(); registry.next()) {
    const platform::TypedPath oldCompany = CompanyDirectory(oldDir, code.asString());
    const platform::TypedPath newCompany = CompanyDirectory(newDir, code.asString());
    if (!oldCompany.isDirectory()) {
      InfoBox(host, name.asString() + " şirketine ait " + oldCompany.text() +
                        " dizini bulunamadı.\r\nBu şirketin upgrade işlemi yapılmayacak");
      continue;
    }
    ws.FileListBox1.setDirectory(oldCompany);
    platform::createDirectories(newCompany);
    host.setGaugePosition(0);
    host.setGaugeMax(static_cast<int>(ws.FileListBox1.items().size()));
    host.setStatusText(name.asString() + " şirketi kopyalanıyor...");
    host.repaint();
    CopyFileSet(host, ws.FileListBox1.items(), oldCompany, newCompany, true);
  }
}

void UpdateCompanies(RunHost& host, const RunOptions& run, Workspace& ws) {
  const platform::TypedPath& oldDir = run.oldData;
  const platform::TypedPath& newDir = run.newData;
  const platform::TypedPath templateDir = TemplateDirectory(newDir);
  TDM& dm = ws.DM;
  TTable& registry = dm.SirketOrLumex_T;
  TField code = registry.field("SIRKET_KOD");
  TField name = registry.field("KISA_AD");
  for (registry.first(); !registry.eof(); registry.next()) {
    const std::string c = code.asString();
    const platform::TypedPath newCompany = CompanyDirectory(newDir, c);
    if (!newCompany.isDirectory()) continue;

    ws.FileListBox1.setDirectory(templateDir);
    host.setGaugePosition(0);
    host.setGaugeMax(static_cast<int>(ws.FileListBox1.items().size()));
    host.setStatusText(name.asString() + " şirketi güncelleniyor");
    host.repaint();
    CopyFileSet(host, ws.FileListBox1.items(), templateDir, newCompany, false);

    dm.AyarOrLumex_T.close();
    dm.AyarOrLumex_T.setDatabaseName(CompanyDirectory(oldDir, c));
    dm.AyarOrLumex_T.open();
    dm.AyarPravexT.close();
    dm.AyarPravexT.setDatabaseName(templateDir);
    dm.AyarPravexT.open();

    replaceFromTemplate(newDir, c, "ayar2", "ayar2");

    if (dm.AyarOrLumex_T.fieldCount() != dm.AyarPravexT.fieldCount())
      rebuildSettings(ws, newDir, c);
  }
}

void MakeUpgradeDurable(const RunOptions& run, Workspace& ws,
                        const std::vector<std::string>& dataFiles, UpgradeBackup& backup) {
  UpgradeList& list = backup.list;
  list.files.clear();
  list.registry.clear();
  // Each file written, replaced when the backup holds its old self.
  auto add = [&](const std::string& dir, const std::vector<std::string>& names,
                 const platform::TypedPath& where, bool before) {
    for (UpgradeList::File& f : ListedFiles(dir, names, FingerprintDirectory(where))) {
      f.replaced = before && BelowPath(backup.folder, f.path).isFile();
      list.files.push_back(std::move(f));
    }
  };
  TTable& registry = ws.DM.SirketOrLumex_T;
  TField code = registry.field("SIRKET_KOD");
  std::vector<std::string> seen;
  for (registry.first(); !registry.eof(); registry.next()) {
    const std::string c = code.asString();
    const platform::TypedPath company = CompanyDirectory(run.newData, c);
    if (c.empty() || !company.isDirectory()) continue;
    bool again = false;
    for (const std::string& s : seen) again = again || sameName(s, c);
    if (again) continue;
    seen.push_back(c);
    if (company.location()) SyncBeforePublishing(*company.location());
    bool before = false;
    for (const std::string& d : list.directoriesBefore) before = before || sameName(d, c);
    FileListBox files;
    files.setDirectory(company);
    add(company.name(), files.items(), company, before);
  }
  SyncFilesIn(run.newData, dataFiles);
  std::vector<std::string> written;
  for (const std::string& name : dataFiles)
    if (run.newData.below(name).isFile()) written.push_back(name);
  add("", written, run.newData, true);
  // The registry as the upgrade leaves it: the older edition's.
  TTable newest("UpgradeRegistry", "sirket.db", nullptr);
  newest.setDatabaseName(run.newData);
  newest.setReadOnly(true);
  newest.open();
  const std::optional<TField> newCode = newest.findField("SIRKET_KOD");
  const std::optional<TField> year = newest.findField("NUMBER1");
  for (newest.first(); newCode && !newest.eof(); newest.next())
    list.registry.push_back({newCode->asString(), year ? year->asString() : ""});
  newest.close();
  list.complete = true;
  WriteUpgradeList(backup.folder, list);
}
