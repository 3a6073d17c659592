// Carry-forward of one large company, beside `cp -r` of its directory, and
// the reconciliation report that follows it. Goals: the carry-forward at
// most 1.0 times the synced copy (`cp -r` then `sync -f`), with the report
// at most 1.2, its anonymous memory under 32 MiB whatever the table sizes.
//
//   jobs_carry [--cards N] [--movements N] [--cheques N] [--stock N] [--keep]
//
// Prints the generation, copy and carry-forward times and the job's peak
// resident memory (measured in a child process that runs only the job).
// With --keep the scratch directory stays for a look at the files; with
// --again DIR only the job runs, once more on a kept directory (for a
// profiler, on a copy of a directory kept by --generate-only, which keeps
// the company before the carry-forward and runs nothing); with
// --report-again DIR only the report of 2006_001 runs on a kept directory.
#include <cstdio>

#include "bench/jobs_common.h"
#include "carry/carryforward.h"
#include "data/fingerprint.h"
#include "jobs/workspace.h"
#include "report/reconciliation.h"
#include "support/company_fixture.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

using namespace bench;

namespace {

ChildResult runJob(const fs::path& data) {
  return runInChild([&] {
    TimingHost host;
    host.newDir = data.string();
    host.fromYear = "2005";
    host.toYear = "2006";
    host.ytl = true;
    Workspace ws;
    RunCarryForward(host, host.options(), ws);
    return host.infos == std::vector<std::string>{"İşlem tamamlandı"} ? 0 : 1;
  });
}

// The report of the company just carried, read from disk; status 1 when a
// line differs.
ChildResult runReport(const fs::path& data) {
  return runInChild([&] {
    report::ReconcileOptions options;
    options.dataDirectory = platform::TypedPath::resolve(data.string());
    options.ytl = true;
    options.currencyName = "Yeni Türk Lirası";
    options.currencySymbol = "YTL";
    options.subUnitName = "Yeni Kuruş";
    options.subUnitSymbol = "YKr";
    const report::RunReport r =
        report::ReconcileRun(options, {{"2005_001", "2006_001", "Büyük Şirket"}});
    return r.agrees() ? 0 : 1;
  });
}

// The fingerprints the carry-forward keeps of the company it publishes
// (data/fingerprint.h), taken again of the published company: the share of
// the carry that they cost.
ChildResult runFingerprints(const fs::path& data) {
  return runInChild([&] {
    return FingerprintDirectory(platform::TypedPath::resolve((data / "2006_001").string())).empty()
               ? 1
               : 0;
  });
}

}  // namespace

int main(int argc, char** argv) {
  const std::uint64_t cards = arg(argc, argv, "--cards", 100000);
  const std::uint64_t movements = arg(argc, argv, "--movements", 1000000);
  const std::uint64_t cheques = arg(argc, argv, "--cheques", 200000);
  const std::uint64_t stock = arg(argc, argv, "--stock", 20000);
  for (int i = 1; i + 1 < argc; ++i)
    if (std::string(argv[i]) == "--again") return runJob(fs::path(argv[i + 1]) / "DATA").status;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::string(argv[i]) == "--report-again") {
      const ChildResult r = runReport(fs::path(argv[i + 1]) / "DATA");
      std::printf(
          "reconciliation report: %.3f s, %.3f s in the process, %.3f s in the kernel (load %s)\n",
          r.seconds, r.userSeconds, r.systemSeconds, loadAverages().c_str());
      return r.status;
    }
  fixture::TempDir tmp;
  const bool keep = flag(argc, argv, "--keep");
  const fs::path data = tmp.path() / "DATA";
  const fs::path company = data / "2005_001";

  const auto genStart = std::chrono::steady_clock::now();
  fixture::DataDir newest(data);
  newest.blockSizeKiB(4);  // the small tables as the product keeps them
  newest.registry().company("2005_001", "Büyük Şirket", 2005);
  newest.write();
  fs::create_directories(company);
  {
    const auto& L = schema::Cari();
    const int code = column(L, "CARIKODU"), bky = column(L, "KTBKY"), btr = column(L, "KTBTR"),
              lim = column(L, "KLIMKPB");
    streamTable(company / "Cari.DB", L, cards, [&](std::uint64_t i, std::vector<Variant>& r) {
      r[code] = Variant{"120." + std::to_string(i)};
      r[bky] = Variant{static_cast<double>(i * 1234567 % 900000000)};
      r[btr] = Variant{std::string(i % 3 ? "Borç" : "Alacak")};
      r[lim] = Variant{5000000.0};
    });
  }
  {
    const auto& L = schema::Stok();
    const int code = column(L, "STOKKODU"), kal = column(L, "MIKKAL"), alf = column(L, "KALF");
    streamTable(company / "Stok.DB", L, stock, [&](std::uint64_t i, std::vector<Variant>& r) {
      r[code] = Variant{"S" + std::to_string(i)};
      r[kal] = Variant{static_cast<double>(i % 50)};
      r[alf] = Variant{static_cast<double>(1000 + i)};
    });
  }
  {
    const auto& L = schema::Ceksen();
    const int state = column(L, "EVRAKDURUM"), amount = column(L, "KTUTAR");
    static const char* const kStates[] = {"Ödendi",      "Ciro Edildi", "Tahsil Edildi", "Ödendi",
                                          "Karşılıksız", "Ödendi",      "Tahsil Edildi", "Bankada",
                                          "Kasada",      "Ödenmedi"};
    streamTable(company / "ceksen.DB", L, cheques, [&](std::uint64_t i, std::vector<Variant>& r) {
      r[state] = Variant{std::string(kStates[i % 10])};
      r[amount] = Variant{static_cast<double>(i * 7919 % 50000000)};
    });
  }
  {
    const auto& L = schema::Char();
    const int date = column(L, "TARIH"), amount = column(L, "TUTAR"), kind = column(L, "IS_TUR"),
              taksit = column(L, "TAKSIT"), odedi = column(L, "ODEDI");
    streamTable(company / "Char.DB", L, movements, [&](std::uint64_t i, std::vector<Variant>& r) {
      r[date] = Variant{Variant::DateTime{38353.0 + static_cast<double>(i % 365)}};
      r[amount] = Variant{static_cast<double>(i * 104729 % 90000000)};
      r[kind] = Variant{std::string("Fatura")};
      r[taksit] = Variant{i % 10 == 0};
      r[odedi] = Variant{i % 20 == 0};
    });
  }
  // Settings, production and invoices from a small company of the fixture.
  fixture::CompanyDir("small", fixture::Edition::kNewest)
      .write(tmp.path() / "small", "ascii", nullptr, 4);
  for (const auto& e : fs::directory_iterator(tmp.path() / "small")) {
    const std::string stem = e.path().stem().string();
    if (stem == "Fatura" || stem == "urhar" || stem == "ayar" || stem == "ayar2")
      fs::copy_file(e.path(), company / e.path().filename());
  }
  const double genSeconds = seconds(std::chrono::steady_clock::now() - genStart);
  if (flag(argc, argv, "--generate-only")) {
    const fs::path kept = tmp.path().string() + "-kept";
    fs::rename(tmp.path(), kept);
    fs::create_directory(tmp.path());
    std::printf("kept: %s\n", kept.c_str());
    return 0;
  }

  const double copySeconds = timeCopy(company, tmp.path() / "copy");
  fs::remove_all(tmp.path() / "copy");
  const double durableCopySeconds = timeCopy(company, tmp.path() / "copy", true);
  fs::remove_all(tmp.path() / "copy");

  const std::string loadBefore = loadAverages();
  const ChildResult job = runJob(data);
  const ChildResult check = job.status == 0 ? runReport(data) : ChildResult{};
  const ChildResult prints = job.status == 0 ? runFingerprints(data) : ChildResult{};

  std::printf(
      "company: %llu cards, %llu stock, %llu cheques, %llu movements (generated in %.2f s)\n",
      static_cast<unsigned long long>(cards), static_cast<unsigned long long>(stock),
      static_cast<unsigned long long>(cheques), static_cast<unsigned long long>(movements),
      genSeconds);
  printJobAgainstCopies("carry-forward with YTL:", job, copySeconds, durableCopySeconds);
  std::printf("%-31s %.3f s (%.0f%% of the carry-forward; target 30%%), peak RSS %.1f MiB%s\n",
              "reconciliation report:", check.seconds, 100.0 * check.seconds / job.seconds,
              check.peakMiB, check.status == 0 ? ", every line agrees" : "  [LINES DIFFER]");
  std::printf("%-31s %.3f s (%.1f%% of the carry-forward, which takes them)\n",
              "  of it the fingerprints:", prints.seconds, 100.0 * prints.seconds / job.seconds);
  // On a shared machine the wall times wander; the CPU times do much less.
  const double jobCpu = job.userSeconds + job.systemSeconds;
  const double checkCpu = check.userSeconds + check.systemSeconds;
  std::printf("%-31s %.3f s (%.0f%% of the carry-forward's %.3f s)\n", "  CPU time:", checkCpu,
              100.0 * checkCpu / jobCpu, jobCpu);
  printGoal("carry-forward / synced copy:", job.seconds / durableCopySeconds, 1.0);
  printGoal("with the report / synced copy:", (job.seconds + check.seconds) / durableCopySeconds,
            1.2);
  std::printf("%-31s %.1f MiB (goal under 32, flat in the table size; peak RSS %.1f MiB)%s\n",
              "peak private memory:", job.peakPrivateMiB, job.peakMiB,
              job.peakPrivateMiB < 32 ? "" : "  [ABOVE GOAL]");
  std::printf("%-31s %s before the carry-forward, %s after the report\n",
              "load average:", loadBefore.c_str(), loadAverages().c_str());
  if (keep) {
    const fs::path kept = tmp.path().string() + "-kept";
    fs::rename(tmp.path(), kept);
    fs::create_directory(tmp.path());
    std::printf("kept: %s\n", kept.c_str());
  }
  return job.status;
}
