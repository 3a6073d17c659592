// Cheques and notes, instalments and production movements of a new company.
#include "carry/record.h"
#include "carry/steps.h"
#include "jobs/amountfield.h"
#include "jobs/runhost.h"
#include "jobs/runoptions.h"
#include "jobs/workspace.h"

namespace {

// Deletes every record that passes `expression`, then shows all records
// again with the cursor on the first one. The gauge counts the deletions.
void deleteMatching(RunHost& host, TTable& t, const std::string& expression) {
  t.setFiltered(false);
  t.setFilter(expression);
  t.setFiltered(true);
  host.setGaugeMax(static_cast<int>(t.recordCount()));
  while (!t.eof()) {
    host.advanceGauge();
    t.remove();
  }
  t.setFiltered(false);
  t.setFilter("");
  t.close();
  t.open();
}

// Converts one amount field of every record, in table order.
void convertAll(RunHost& host, const RunOptions& run, TTable& t, const char* fieldName,
                const std::string& status) {
  host.setGaugePosition(0);
  host.setGaugeMax(static_cast<int>(t.recordCount()));
  host.setStatusText(status);
  TField amount = t.field(fieldName);
  t.first();
  while (!t.eof()) {
    t.edit();
    ConvertAmountField(run, amount);
    t.post();
    t.next();
    host.advanceGauge();
  }
}

}  // namespace

void CarryCheques(RunHost& host, const RunOptions& run, Workspace& ws) {
  TTable& t = ws.DM.CeksenPravex_T;
  const std::string name = ws.RxSirket.text("KISA_AD");
  host.setGaugePosition(0);
  host.setStatusText(name + " şirketinin çek senet kayıtları devrediliyor");
  // A blank state compares as the empty text, so a document without a state
  // is deleted.
  deleteMatching(host, t,
                 "EVRAKDURUM <> 'Bankada' and EVRAKDURUM <> 'Kasada' and EVRAKDURUM <> 'Ödenmedi'");
  if (run.ytl)
    convertAll(host, run, t, "KTUTAR", name + " şirketinin çek senet kayıtları düzenleniyor");
  // Flushed after the production step.
}

void CarryInstalments(RunHost& host, const RunOptions& run, Workspace& ws) {
  TTable& t = ws.DM.CharPravex;
  const std::string name = ws.RxSirket.text("KISA_AD");
  host.setGaugePosition(0);
  host.setStatusText(name + " şirketinin ödenmeyen taksit kayıtları devrediliyor");
  // A blank logical compares as false: a movement whose TAKSIT is blank is
  // deleted, an instalment whose ODEDI is blank is kept as unpaid.
  deleteMatching(host, t, "TAKSIT <> TRUE OR ODEDI=TRUE");
  if (run.ytl)
    convertAll(host, run, t, "TUTAR", name + " şirketinin taksit kayıtları düzenleniyor");
  // Flushed here like every other changed table, so that nothing of this
  // company waits for the table's closing to reach the disk.
  t.flushBuffers();
}

void CarryProduction(RunHost& host, const RunOptions& run, Workspace& ws) {
  TDM& dm = ws.DM;
  if (run.ytl) {
    TTable& t = dm.UretimPravex_T;
    host.setGaugePosition(0);  // the gauge does not move in this step
    host.setStatusText(ws.RxSirket.text("KISA_AD") + " şirketinin uretim kayıtları düzenleniyor");
    t.close();
    t.setDatabaseName(dm.CariPravex_T.databaseName());
    t.open();
    TField price = t.field("KFIYAT");
    t.first();
    while (!t.eof()) {
      t.edit();
      ConvertAmountField(run, price);
      t.post();
      t.next();
    }
    t.flushBuffers();
  }
  dm.CeksenPravex_T.flushBuffers();
  // The openings are all written and on disk now: the record of this carry
  // goes beside the reports, for the openings check.
  WriteCarryRecord(host, run, ws);
}
