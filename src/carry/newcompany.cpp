#include <exception>

#include "carry/staging.h"
#include "carry/steps.h"
#include "data/datadirectories.h"
#include "data/failuretext.h"
#include "jobs/filesetcopy.h"
#include "jobs/runhost.h"
#include "jobs/workspace.h"

bool CreateNewCompany(RunHost& host, Workspace& ws) {
  const CompanyList& row = ws.RxSirket;
  const std::string name = row.text("KISA_AD");
  const std::string dataDir = host.newDataDirectory();
  const std::string templateDir = TemplateDirectory(dataDir);
  const std::string oldDir = CompanyDirectory(dataDir, row.text("SIRKET_KOD"));
  // Built aside; the company takes its code once complete (carry/staging.h).
  // Nothing there is synced before that: the copies are made durable
  // together, just before the rename that publishes them.
  const std::string newDir = WorkingDirectory(dataDir, row.text("YENI_SIRKET_KOD"));

  host.setStatusText(name + " şirketi devir için hazırlanıyor");
  host.repaint();
  StartNewCompany(host, ws);
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
  CopyFileSet(host, ws.ListBoxCopy, oldDir, newDir, true, true);

  TDM& dm = ws.DM;
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
    if (opening) cause = oldDir + "\\" + opening->tableName() + ": " + cause;
    InfoBox(host, name + " adlı şirketin verileri açılamadı\r\n" + cause);
    host.setGaugeVisible(false);
    host.setStatusVisible(false);
    return false;
  }
  return true;
}
