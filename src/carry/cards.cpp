// Opening balances of the current-account cards and opening stock of the
// stock cards of a new company.
#include "carry/steps.h"
#include "jobs/amountfield.h"
#include "jobs/runhost.h"
#include "jobs/runoptions.h"
#include "jobs/workspace.h"

namespace {

// One currency group of a current-account card: the total balance and its
// side become the opening figures on that side; the movements become 0.
struct BalanceGroup {
  TField totalDebit, openingBalance, openingDebit;  // xTBRC, xDBKY, xDBRC
  TField totalCredit, openingCredit, openingSide;   // xTALC, xDALC, xDBTR
  TField totalBalance, totalSide;                   // xTBKY, xTBTR

  BalanceGroup(TTable& t, char c)
      : totalDebit(t.field(std::string(1, c) + "TBRC")),
        openingBalance(t.field(std::string(1, c) + "DBKY")),
        openingDebit(t.field(std::string(1, c) + "DBRC")),
        totalCredit(t.field(std::string(1, c) + "TALC")),
        openingCredit(t.field(std::string(1, c) + "DALC")),
        openingSide(t.field(std::string(1, c) + "DBTR")),
        totalBalance(t.field(std::string(1, c) + "TBKY")),
        totalSide(t.field(std::string(1, c) + "TBTR")) {}

  void carry() {
    // Compared exactly: "Borç", blank, "alacak" or any other text is debit.
    if (totalSide.asString() == "Alacak") {
      totalCredit.setAsFloat(totalBalance.asFloat());
      openingBalance.setAsFloat(totalBalance.asFloat());
      openingCredit.setAsFloat(totalBalance.asFloat());
      openingSide.setAsString("Alacak");
    } else {
      totalDebit.setAsFloat(totalBalance.asFloat());
      openingBalance.setAsFloat(totalBalance.asFloat());
      openingDebit.setAsFloat(totalBalance.asFloat());
      openingSide.setAsString("Borç");
    }
  }
};

}  // namespace

void CarryCurrentAccounts(RunHost& host, const RunOptions& run, Workspace& ws) {
  TTable& t = ws.DM.CariPravex_T;
  host.setGaugeMax(static_cast<int>(t.recordCount()));
  host.setGaugePosition(0);
  host.setStatusText(ws.RxSirket.text("KISA_AD") + " şirketinin cari kartları devrediliyor");

  static const char* const kZeroed[] = {"KDBRC", "KHBRC", "KTBRC", "KDALC", "KHALC",
                                        "KTALC", "DDBRC", "DHBRC", "DTBRC", "DDALC",
                                        "DHALC", "DTALC", "KHBKY", "DHBKY"};
  std::vector<TField> zeroed;
  for (const char* name : kZeroed) zeroed.push_back(t.field(name));
  TField creditLimit = t.field("KLIMKPB");
  BalanceGroup local(t, 'K');
  BalanceGroup foreign(t, 'D');

  t.first();
  while (!t.eof()) {
    t.edit();
    for (TField& f : zeroed) f.setAsFloat(0);
    const bool ytl = run.ytl;
    if (ytl) ConvertAmountField(run, creditLimit);
    if (ytl) ConvertAmountField(run, local.totalBalance);
    local.carry();
    foreign.carry();  // the card's foreign currency is never converted
    t.post();
    host.advanceGauge();
    t.next();
  }
  t.flushBuffers();
}

void CarryStock(RunHost& host, const RunOptions& run, Workspace& ws) {
  TTable& t = ws.DM.StokPravex_T;
  host.setGaugeMax(static_cast<int>(t.recordCount()));
  host.setGaugePosition(0);
  host.setStatusText(ws.RxSirket.text("KISA_AD") + " şirketinin Stok kartları devrediliyor");

  static const char* const kZeroed[] = {"MIKGIR", "MIKCIK", "TUTDEV", "TUTGIR", "TUTCIK",
                                        "TUTKAL", "DOVDEV", "DOVGIR", "DOVCIK", "DOVKAL"};
  static const char* const kPrices[] = {"KALF", "KSAT1", "KSAT2", "KSAT3", "KSAT4"};
  std::vector<TField> zeroed, prices;
  for (const char* name : kZeroed) zeroed.push_back(t.field(name));
  for (const char* name : kPrices) prices.push_back(t.field(name));
  TField mikdev = t.field("MIKDEV"), mikkal = t.field("MIKKAL");
  TField tutdev = t.field("TUTDEV"), tutkal = t.field("TUTKAL");
  TField dovdev = t.field("DOVDEV"), dovkal = t.field("DOVKAL");
  TField kalf = t.field("KALF"), dalf = t.field("DALF");

  t.first();
  while (!t.eof()) {
    t.edit();
    for (TField& f : zeroed) f.setAsFloat(0);
    if (run.ytl)
      for (TField& f : prices) ConvertAmountField(run, f);
    mikdev.setAsFloat(0);
    mikdev.setAsFloat(mikkal.asFloat());
    // Products stored as they come, without rounding.
    tutdev.setAsFloat(kalf.asFloat() * mikkal.asFloat());
    dovdev.setAsFloat(dalf.asFloat() * mikkal.asFloat());
    tutkal.setAsFloat(kalf.asFloat() * mikkal.asFloat());
    dovkal.setAsFloat(dalf.asFloat() * mikkal.asFloat());
    t.post();
    host.advanceGauge();
    t.next();
  }
  t.flushBuffers();
  host.setGaugePosition(0);
}
