// Phases 4 and 5: the newest edition's coding of movement kinds and invoice
// flags.
#include <optional>

#include "data/datadirectories.h"
#include "jobs/runhost.h"
#include "jobs/runoptions.h"
#include "jobs/workspace.h"
#include "platform/paths.h"
#include "upgrade/phases.h"

namespace {

struct KindCode {
  const char* name;  // as the older editions store it
  const char* code;  // as the newest edition stores it
};

constexpr KindCode kKindCodes[] = {
    {"Kendi Çekim", "1"},
    {"Kendi Senedim", "2"},
    {"Müşteri Çeki", "3"},
    {"Müşteri Senedi", "4"},
};

// Opens `table` on every upgraded company in turn, calls `bind` at its first
// record (to look its fields up once) and `work` on every record.
template <typename Bind, typename Work>
void forEachUpgradedCompany(RunHost& host, const RunOptions& run, Workspace& ws, TTable& table,
                            const std::string& suffix, Bind bind, Work work) {
  TTable& registry = ws.DM.SirketOrLumex_T;
  TField code = registry.field("SIRKET_KOD");
  TField name = registry.field("KISA_AD");
  for (registry.first(); !registry.eof(); registry.next()) {
    const platform::TypedPath company = CompanyDirectory(run.newData, code.asString());
    if (!company.isDirectory()) continue;
    table.close();
    table.setDatabaseName(company);
    table.open();
    host.setGaugePosition(0);
    host.setGaugeMax(static_cast<int>(table.recordCount()));
    host.setStatusText(name.asString() + suffix);
    host.repaint();
    bool bound = false;  // at the first record, where a missing field is found
    for (table.first(); !table.eof();) {
      table.edit();
      if (!bound) bind();
      bound = true;
      work();
      table.post();
      table.next();
      host.advanceGauge();
    }
    table.flushBuffers();
  }
  table.close();
}

}  // namespace

void RecodeMovements(RunHost& host, const RunOptions& run, Workspace& ws) {
  TTable& movements = ws.DM.CharPravex_T;
  std::optional<TField> kind;
  forEachUpgradedCompany(
      host, run, ws, movements, " şirketinin cari hareketleri düzenleniyor",
      [&] { kind = movements.field("ALPHA3"); },
      [&] {
        // A record gets at most one code (no code equals a kind name), so
        // the field is read once.
        const std::string stored = kind->asString();
        for (const KindCode& k : kKindCodes)
          if (stored == k.name) {
            kind->setAsString(k.code);
            break;
          }
      });
}

void RecodeInvoices(RunHost& host, const RunOptions& run, Workspace& ws) {
  TTable& invoices = ws.DM.FaturaPravex_T;
  std::optional<TField> flag3, flag4;
  forEachUpgradedCompany(
      host, run, ws, invoices, " şirketinin fatura hareketleri düzenleniyor",
      [&] {
        flag3 = invoices.field("LOJIK3");
        flag4 = invoices.field("LOJIK4");
      },
      [&] {
        flag3->setAsBoolean(true);
        flag4->setAsBoolean(true);
      });
  host.setStatusVisible(false);
  host.setGaugeVisible(false);
}
