#include "carry/carryforward.h"

#include "carry/steps.h"
#include "jobs/filesetcopy.h"
#include "jobs/runhost.h"
#include "jobs/workspace.h"

namespace {

// The per-company sequence; false when a step stopped the run.
bool carryCompany(RunHost& host, Workspace& ws) {
  if (!CreateNewCompany(host, ws)) return false;
  CarryCurrentAccounts(host, ws);
  CarryStock(host, ws);
  CarryCheques(host, ws);
  CarryInstalments(host, ws);
  CarryProduction(host, ws);
  RegisterNewCompany(host, ws);
  CarrySettings(host, ws);
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
