// Edition upgrade of one large older company, beside `cp -r` of its
// directory (goal: at most 1.2 times the copy followed by `sync -f`).
//
//   jobs_upgrade [--movements N] [--invoices N]
#include <cstdio>

#include "bench/jobs_common.h"
#include "jobs/workspace.h"
#include "support/company_fixture.h"
#include "support/product_layouts.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"
#include "upgrade/upgrade.h"

using namespace bench;

int main(int argc, char** argv) {
  const std::uint64_t movements = arg(argc, argv, "--movements", 1000000);
  const std::uint64_t invoices = arg(argc, argv, "--invoices", 200000);
  fixture::TempDir tmp;
  const fs::path older = tmp.path() / "OLD";
  const fs::path newest = tmp.path() / "NEW";
  const fs::path company = older / "1001";

  const auto genStart = std::chrono::steady_clock::now();
  fixture::DataDir(newest).blockSizeKiB(4).write();  // the small tables as the product keeps them
  fs::create_directories(company);
  const fixture::TableOptions small{.keyFields = 1, .blockKiB = 4};
  fixture::writeRows(older / "sirket.DB", schema::SirketOld(),
                     {{{"SIRKET_KOD", fixture::txt("1001")}, {"KISA_AD", fixture::txt("Büyük")}}},
                     small);
  fixture::writeRows(company / "ayar.db", fixture::layout::AyarOld(60), {fixture::Row{}},
                     {.val = true, .blockKiB = 4});
  {
    const auto& L = schema::Char();
    const int date = column(L, "TARIH"), amount = column(L, "TUTAR"), kind = column(L, "IS_TUR"),
              alpha3 = column(L, "ALPHA3");
    static const char* const kKinds[] = {
        "Kendi Çekim", "Kendi Senedim", "Müşteri Çeki", "Müşteri Senedi", "", "Nakit"};
    streamTable(company / "Char.DB", L, movements, [&](std::uint64_t i, std::vector<Variant>& r) {
      r[date] = Variant{Variant::DateTime{38000.0 + static_cast<double>(i % 365)}};
      r[amount] = Variant{static_cast<double>(i % 1000000)};
      r[kind] = Variant{std::string("Çek")};
      r[alpha3] = Variant{std::string(kKinds[i % 6])};
    });
  }
  {
    const auto& L = fixture::layout::Fatura();
    const int no = column(L, "FATNO"), amount = column(L, "GENELTOPLAM");
    streamTable(company / "Fatura.DB", L, invoices, [&](std::uint64_t i, std::vector<Variant>& r) {
      r[no] = Variant{"F" + std::to_string(i)};
      r[amount] = Variant{static_cast<double>(i % 777777)};
    });
  }
  const double genSeconds = seconds(std::chrono::steady_clock::now() - genStart);

  const double copySeconds = timeCopy(company, tmp.path() / "copy");
  fs::remove_all(tmp.path() / "copy");
  const double durableCopySeconds = timeCopy(company, tmp.path() / "copy", true);
  fs::remove_all(tmp.path() / "copy");

  const ChildResult job = runInChild([&] {
    TimingHost host;
    host.upgrade = true;
    host.oldDir = older.string();
    host.newDir = newest.string();
    Workspace ws;
    return RunEditionUpgrade(host, host.options(), ws) && host.infos.empty() ? 0 : 1;
  });

  std::printf("older company: %llu movements, %llu invoices (generated in %.2f s)\n",
              static_cast<unsigned long long>(movements), static_cast<unsigned long long>(invoices),
              genSeconds);
  printJobAgainstCopies("edition upgrade:", job, copySeconds, durableCopySeconds);
  printGoal("upgrade / synced copy:", job.seconds / durableCopySeconds, 1.2);
  std::printf("%-31s %s\n", "load average:", loadAverages().c_str());
  return job.status;
}
