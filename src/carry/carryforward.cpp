#include "carry/carryforward.h"

#include "carry/precheck.h"
#include "carry/staging.h"
#include "carry/steps.h"
#include "jobs/datainuse.h"
#include "jobs/filesetcopy.h"
#include "jobs/runhost.h"
#include "jobs/runoptions.h"
#include "jobs/workspace.h"

namespace {

// The per-company sequence; false when a step stopped the run. The company
// is built aside and registered last (carry/staging.h), so the settings come
// before the registry row; a failure removes what was built.
bool carryCompany(RunHost& host, const RunOptions& run, Workspace& ws) {
  try {
    if (!CreateNewCompany(host, run, ws)) {
      DiscardNewCompany(host, run, ws);
      return false;
    }
    CarryCurrentAccounts(host, run, ws);
    CarryStock(host, run, ws);
    CarryCheques(host, run, ws);
    CarryInstalments(host, run, ws);
    CarryProduction(host, run, ws);
    CarrySettings(run, ws);
    // The registry is rewritten next: no other program may hold it now.
    if (!CheckRegistryBeforeRewrite(host, run, ws)) {
      DiscardNewCompany(host, run, ws);
      return false;
    }
    CompleteNewCompany(host, run, ws);
  } catch (...) {
    DiscardNewCompany(host, run, ws);
    throw;
  }
  return true;
}

}  // namespace

void RunCarryForward(RunHost& host, const RunOptions& run, Workspace& ws) {
  try {
    if (!BuildCompanyList(host, run, ws)) return;
  } catch (const CarryStop& stop) {
    InfoBox(host, stop.what());
    return;
  }

  ws.SelectionConfirmed = false;
  ws.SelectionConfirmed = host.selectCompanies(ws.RxSirket);
  if (!ws.SelectionConfirmed) return;
  // A company carried already and selected again (ticked in the dialog, or
  // named on the command line) draws its code now, if the dialog did not.
  if (!ws.RxSirket.drawCodes()) {
    InfoBox(host, NoCodeLeftMessage(run.targetYear));
    return;
  }
  if (!CheckBeforeWriting(host, run, ws)) return;
  if (!CheckCarryDataInUse(host, run, ws)) return;

  host.setStatusVisible(true);
  host.setGaugeVisible(true);
  CompanyList& list = ws.RxSirket;
  TDM& dm = ws.DM;
  for (list.first(); !list.eof();) {
    if (list.selected() && !carryCompany(host, run, ws)) return;
    list.next();
    dm.CariPravex_T.close();
    dm.StokPravex_T.close();
    dm.CeksenPravex_T.close();
  }
  host.setGaugeVisible(false);
  host.setStatusVisible(false);
  InfoBox(host, "İşlem tamamlandı");
}
