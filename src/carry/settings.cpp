// The new company's registry record and settings.
#include "carry/staging.h"
#include "carry/steps.h"
#include "data/datadirectories.h"
#include "data/registry.h"
#include "jobs/runhost.h"
#include "jobs/runoptions.h"
#include "jobs/workspace.h"

void FillRegistryRow(const RunOptions& run, Workspace& ws) {
  TTable& registry = ws.DM.SirketPravex_T;
  const CompanyList& row = ws.RxSirket;
  const std::string& year = run.targetYear;
  registry.append();
  CopyListRowToRegistry(registry, row);
  registry.field("SIRKET_KOD").setAsString(row.text("YENI_SIRKET_KOD"));
  registry.field("KISA_AD").setAsString(row.text("KISA_AD") + " " + year);  // cut at 30
  registry.field("NUMBER1").setAsString(year);  // an empty text leaves it blank
}

void RegisterNewCompany(Workspace& ws) {
  TTable& registry = ws.DM.SirketPravex_T;
  registry.post();
  registry.flushBuffers();
}

void CarrySettings(const RunOptions& run, Workspace& ws) {
  TDM& dm = ws.DM;
  const CompanyList& row = ws.RxSirket;
  const platform::TypedPath& dataDir = run.newData;
  TTable& oldSettings = dm.AyarPravexT;
  TTable& newSettings = dm.AyarPravexDevir_T;
  oldSettings.close();
  newSettings.close();
  oldSettings.setDatabaseName(CompanyDirectory(dataDir, row.text("SIRKET_KOD")));
  newSettings.setDatabaseName(WorkingDirectory(dataDir, row.text("YENI_SIRKET_KOD")));
  oldSettings.open();
  newSettings.open();

  newSettings.edit();  // on an empty table this starts a new record
  CopyRowByName(newSettings, oldSettings);
  if (run.ytl) {
    newSettings.field("PARABIRIMI").setAsString(run.currencyName);
    newSettings.field("PARASIMGE").setAsString(run.currencySymbol);
    newSettings.field("ALPHA3").setAsString(run.subUnitName);
    newSettings.field("ALPHA1").setAsString(run.subUnitSymbol);
    newSettings.field("PRBRHASSAS").setAsString("2");
    newSettings.field("ALPHA2").setAsString("1/100");
  }
  newSettings.post();
  newSettings.flushBuffers();
}
