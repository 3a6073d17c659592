// The cost of the "data in use" check on a local data directory of 200
// companies (the registry, the template and each company's carry-forward
// file set with its lock files), asked of this computer's processes; beside
// it, one run of the Wine helper against a running prefix, which a run pays
// on top when a wineserver runs for the prefix.
//
//   datainuse_bench [ud-findwindow.exe]   (the helper: WINEPREFIX must name a
//                                          prefix whose server runs)
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "jobs/datainuse.h"
#include "jobs/filesetcopy.h"
#include "platform/inuse.h"
#include "platform/productcheck/wineinuse.h"

namespace fs = std::filesystem;

namespace {

constexpr int kCompanies = 200;

double seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

template <typename F>
double medianOf5(F&& work) {
  std::vector<double> times;
  for (int i = 0; i < 5; ++i) {
    const auto start = std::chrono::steady_clock::now();
    work();
    times.push_back(seconds(std::chrono::steady_clock::now() - start));
  }
  std::sort(times.begin(), times.end());
  return times[2];
}

void touch(const fs::path& file) {
  std::ofstream(file) << "x";
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path root =
      fs::temp_directory_path() / ("ud-bench-inuse-" + std::to_string(::getpid()));
  const fs::path data = root / "DATA";
  fs::create_directories(data / "DBBACKUP");
  std::vector<TouchedDirectory> touched = {
      {platform::TypedPath::resolve(data.string()), {"sirket.*"}},
      {platform::TypedPath::resolve((data / "DBBACKUP").string()), {"*.*"}}};
  touch(data / "sirket.db");
  touch(data / "sirket.px");
  std::vector<std::string> masks(kCarryForwardMasks.begin(), kCarryForwardMasks.end());
  std::size_t files = 2;
  for (int c = 1; c <= kCompanies; ++c) {
    char code[16];
    std::snprintf(code, sizeof code, "2005_%03d", c);
    const fs::path dir = data / code;
    fs::create_directories(dir);
    for (const char* mask : kCarryForwardMasks) {
      const std::string base = std::string(mask).substr(0, std::string(mask).find('.'));
      for (const char* ext : {".DB", ".PX"}) touch(dir / (base + ext));
      if (c == 1) touch(data / "DBBACKUP" / (base + ".DB"));
    }
    touch(dir / "PDOXUSRS.LCK");
    touch(dir / "PARADOX.LCK");
    touch(dir / "fatura.db");
    files += static_cast<std::size_t>(
        std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
    touched.push_back({platform::TypedPath::resolve(dir.string()), masks});
  }
  // No prefix to ask for the check itself.
  setenv("WINEPREFIX", (root / "no-prefix").c_str(), 1);
  std::size_t leftovers = 0;
  const double check = medianOf5([&] { leftovers = FindDataInUse(touched).leftoverLocks.size(); });
  std::vector<fs::path> all;
  for (const auto& e : fs::recursive_directory_iterator(data))
    if (e.is_regular_file()) all.push_back(e.path());
  const double procScan = medianOf5([&] { platform::heldOpenElsewhere(all); });
  std::printf("data in use, %d companies, %zu files (%zu lock files nobody holds):\n", kCompanies,
              files, leftovers);
  std::printf("  whole check (listing, /proc)   %8.3f s\n", check);
  std::printf("  /proc scan of %zu files alone  %8.3f s\n", all.size(), procScan);

  const char* prefix = argc > 1 ? std::getenv("UD_BENCH_WINEPREFIX") : nullptr;
  if (argc > 1 && prefix && platform::wineServerRunning(prefix)) {
    const double wine = medianOf5([&] {
      platform::askWineInUse({prefix, argv[1], std::chrono::milliseconds(10000)}, all);
    });
    std::printf("  Wine helper, one run, %zu files %8.3f s\n", all.size(), wine);
  } else {
    std::printf(
        "  Wine helper: not measured (give the helper and UD_BENCH_WINEPREFIX, a prefix "
        "whose wineserver runs)\n");
  }
  std::error_code ec;
  fs::remove_all(root, ec);
  return 0;
}
