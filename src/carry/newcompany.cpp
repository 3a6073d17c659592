#include <algorithm>
#include <exception>

#include "carry/staging.h"
#include "carry/steps.h"
#include "data/datadirectories.h"
#include "data/failuretext.h"
#include "data/names.h"
#include "jobs/filesetcopy.h"
#include "jobs/runhost.h"
#include "jobs/runoptions.h"
#include "jobs/workspace.h"

bool CreateNewCompany(RunHost& host, const RunOptions& run, Workspace& ws) {
  const CompanyList& row = ws.RxSirket;
  const std::string name = row.text("KISA_AD");
  const platform::TypedPath& dataDir = run.newData;
  const platform::TypedPath templateDir = TemplateDirectory(dataDir);
  const platform::TypedPath oldDir = CompanyDirectory(dataDir, row.text("SIRKET_KOD"));
  // Built aside; the company takes its code once complete (carry/staging.h).
  // Nothing there is synced before that: the copies are made durable
  // together, just before the rename that publishes them.
  const platform::TypedPath newDir = WorkingDirectory(dataDir, row.text("YENI_SIRKET_KOD"));

  host.setStatusText(name + " şirketi devir için hazırlanıyor");
  host.repaint();
  StartNewCompany(run, ws);
  ws.FileListBox1.setMask("*.*");
  ws.FileListBox1.setDirectory(templateDir);

  host.setStatusText(name + " şirketi oluşturuluyor.");
  host.setGaugeMax(static_cast<int>(ws.FileListBox1.items().size()));
  host.setGaugePosition(0);
  host.repaint();
  CopyFileSet(host, ws.FileListBox1.items(), templateDir, newDir, true, true);

  KMXList(ws, oldDir);
  host.setStatusText(name + " şirketi devir dosyaları kopyalanıyor");
  host.setGaugeMax(static_cast<int>(ws.ListBoxCopy.size()));
  host.setGaugePosition(0);
  host.repaint();
  // The cheques and the movements lose most of their records in the steps
  // that follow: their tables are written then, from the old company's,
  // with only the records they keep (the same files as a copy would give
  // after the same deletes).
  TDM& dm = ws.DM;
  std::vector<std::string> writtenLater;
  std::vector<TTable*> fromOld;
  for (TTable* t : {&dm.CeksenPravex_T, &dm.CharPravex}) {
    const auto listed =
        std::find_if(ws.ListBoxCopy.begin(), ws.ListBoxCopy.end(),
                     [&](const std::string& n) { return sameName(n, t->tableName()); });
    if (listed == ws.ListBoxCopy.end()) continue;
    writtenLater.push_back(*listed);
    fromOld.push_back(t);
  }
  CopyFileSet(host, ws.ListBoxCopy, oldDir, newDir, true, true, writtenLater);

  const TTable* opening = nullptr;  // the table being opened, for the message
  try {
    dm.CariPravex_T.close();
    dm.StokPravex_T.close();
    dm.CeksenPravex_T.close();
    dm.CharPravex.close();
    dm.CariPravex_T.setDatabaseName(newDir);
    dm.StokPravex_T.setDatabaseName(dm.CariPravex_T.databaseName());
    dm.CeksenPravex_T.setDatabaseName(dm.CariPravex_T.databaseName());
    dm.CharPravex.setDatabaseName(dm.CariPravex_T.databaseName());
    // Set for both, every time: an origin left from a company whose opening
    // failed must not reach the next one.
    for (TTable* t : {&dm.CeksenPravex_T, &dm.CharPravex})
      t->setOrigin(std::find(fromOld.begin(), fromOld.end(), t) != fromOld.end()
                       ? std::optional(oldDir)
                       : std::nullopt);
    opening = &dm.CariPravex_T;
    dm.CariPravex_T.open();
    opening = &dm.StokPravex_T;
    dm.StokPravex_T.open();
    opening = &dm.CeksenPravex_T;
    dm.CeksenPravex_T.open();
    opening = &dm.CharPravex;
    dm.CharPravex.open();
  } catch (const std::exception& e) {
    // The cause on a line of its own: which table (named where the user
    // knows it, in the old company), and why.
    std::string cause = FailureText(e);
    if (opening) cause = oldDir.textOf(opening->tableName()) + ": " + cause;
    InfoBox(host, name + " adlı şirketin verileri açılamadı\r\n" + cause);
    host.setGaugeVisible(false);
    host.setStatusVisible(false);
    return false;
  }
  return true;
}
