#include "carry/carryforward.h"

#include "carry/precheck.h"
#include "carry/staging.h"
#include "carry/steps.h"
#include "jobs/datainuse.h"
#include "jobs/filesetcopy.h"
#include "jobs/runhost.h"
#include "jobs/workspace.h"

namespace {

// The per-company sequence; false when a step stopped the run. The company
// is built aside and registered last (carry/staging.h), so the settings come
// before the registry row; a failure removes what was built.
bool carryCompany(RunHost& host, Workspace& ws) {
  try {
    if (!CreateNewCompany(host, ws)) {
      DiscardNewCompany(host, ws);
      return false;
    }
    CarryCurrentAccounts(host, ws);
    CarryStock(host, ws);
    CarryCheques(host, ws);
    CarryInstalments(host, ws);
    CarryProduction(host, ws);
    CarrySettings(host, ws);
    // The registry is rewritten next: no other program may hold it now.
    if (!CheckRegistryBeforeRewrite(host, ws)) {
      DiscardNewCompany(host, ws);
      return false;
    }
    CompleteNewCompany(host, ws);
  } catch (...) {
    DiscardNewCompany(host, ws);
    throw;
  }
  return true;
}

}  // namespace

void RunCarryForward(RunHost& host, Workspace& ws) {
  try {
    if (!BuildCompanyList(host, ws)) return;
  } catch (const CarryStop& stop) {
    InfoBox(host, stop.what());
    return;
  }

  ws.SelectionConfirmed = false;
  ws.SelectionConfirmed = host.selectCompanies(ws.RxSirket);
  if (!ws.SelectionConfirmed) return;
  if (!CheckBeforeWriting(host, ws)) return;
  if (!CheckCarryDataInUse(host, ws)) return;

  host.setStatusVisible(true);
  host.setGaugeVisible(true);
  CompanyList& list = ws.RxSirket;
  TDM& dm = ws.DM;
  for (list.first(); !list.eof();) {
    if (list.selected() && !carryCompany(host, ws)) return;
    list.next();
    dm.CariPravex_T.close();
    dm.StokPravex_T.close();
    dm.CeksenPravex_T.close();
  }
  host.setGaugeVisible(false);
  host.setStatusVisible(false);
  InfoBox(host, "İşlem tamamlandı");
}
