#include "upgrade/upgrade.h"

#include <exception>

#include "data/failuretext.h"
#include "jobs/datainuse.h"
#include "jobs/filesetcopy.h"
#include "jobs/runhost.h"
#include "jobs/workspace.h"
#include "upgrade/phases.h"

bool RunEditionUpgrade(RunHost& host, Workspace& ws) {
  const std::string oldDir = host.oldDataDirectory();
  const std::string newDir = host.newDataDirectory();
  TTable& registry = ws.DM.SirketOrLumex_T;
  // Nothing is written while another program has the data open.
  if (!CheckUpgradeDataInUse(host, ws)) return false;

  // Phase 0: the older registry must open and hold at least one company.
  try {
    registry.close();
    registry.setDatabaseName(oldDir);
    registry.open();
  } catch (const std::exception& e) {
    std::string text = "KMX Orvan veya Lumex'a ait şirket bilgileri alınamadı";
    if (std::string cause = UnreadableTableText(oldDir, e); !cause.empty()) text += "\r\n" + cause;
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
  const std::string backup = KeepReplacedFiles(host, ws);
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
  CopyCompanies(host, ws);
  UpdateCompanies(host, ws);
  RecodeMovements(host, ws);
  RecodeInvoices(host, ws);
  MakeUpgradeDurable(host, ws, dataFiles, backup);
  return true;
}
