#include "upgrade/upgrade.h"

#include <exception>

#include "data/failuretext.h"
#include "jobs/datainuse.h"
#include "jobs/filesetcopy.h"
#include "jobs/runhost.h"
#include "jobs/runoptions.h"
#include "jobs/workspace.h"
#include "upgrade/phases.h"

bool RunEditionUpgrade(RunHost& host, const RunOptions& run, Workspace& ws) {
  const platform::TypedPath& oldDir = run.oldData;
  const platform::TypedPath& newDir = run.newData;
  TTable& registry = ws.DM.SirketOrLumex_T;
  // Nothing is written while another program has the data open.
  if (!CheckUpgradeDataInUse(host, run, ws)) return false;

  // Phase 0: the older registry must open and hold at least one company.
  try {
    registry.close();
    registry.setDatabaseName(oldDir);
    registry.open();
  } catch (const std::exception& e) {
    std::string text = "KMX Orvan veya Lumex'a ait şirket bilgileri alınamadı";
    if (std::string cause = UnreadableTableText(oldDir.text(), e); !cause.empty())
      text += "\r\n" + cause;
    InfoBox(host, text);
    return false;
  }
  if (registry.isEmpty()) {
    InfoBox(host, "KMX Orvan veya Lumex'da hiç şirket kaydı bulunamadı");
    return false;
  }
  // Every company is completed from the template: without it nothing is
  // written.
  if (const std::string problem = TemplateDirectoryProblem(newDir); !problem.empty()) {
    InfoBox(host, problem);
    return false;
  }
  UpgradeBackup backup = KeepReplacedFiles(host, run, ws);
  registry.close();

  // Phase 1: the data directory's own files, the older registry among them,
  // replace their namesakes in the newest data directory.
  ws.FileListBox1.setDirectory(oldDir);
  ws.FileListBox1.setMask("*.*");
  host.setGaugeMax(static_cast<int>(ws.FileListBox1.items().size()));
  host.setGaugePosition(0);
  host.setGaugeVisible(true);
  host.setStatusText("Yeni veritabanı oluşturuluyor...");
  host.setStatusVisible(true);
  host.repaint();
  const std::vector<std::string> dataFiles = ws.FileListBox1.items();
  CopyFileSet(host, dataFiles, oldDir, newDir, true);

  registry.open();
  CopyCompanies(host, run, ws);
  UpdateCompanies(host, run, ws);
  RecodeMovements(host, run, ws);
  RecodeInvoices(host, run, ws);
  MakeUpgradeDurable(run, ws, dataFiles, backup);
  return true;
}
