// libFuzzer target for the command line's parsers: the input is split at
// each '\0' into arguments (at most 64) and given to the run's parser and to
// the openings check's. Findings besides crashes, sanitizer reports, leaks
// and hangs: an exception escaping, a refusal that names no reason, and an
// accepted line whose options break what the run relies on (a job ticked,
// years of at most four digits, blank ones left to the run's own check as
// the window leaves them, a rounding mode 0 to 2, codes that are neither
// empty nor hold a comma).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "main/driver/headless.h"
#include "main/driver/openingscheck.h"

namespace {

constexpr std::size_t kMaxArguments = 64;

bool isYear(const std::string& text) {
  return text.size() <= 4 && text.find_first_not_of("0123456789") == std::string::npos;
}

bool usable(const HeadlessOptions& o) {
  if (!isYear(o.fromYear) || !isYear(o.toYear) || o.rounding < 0 || o.rounding > 2) return false;
  if (o.allCompanies) return o.companies.empty();
  if (o.companies.empty()) return false;
  for (const std::string& code : o.companies)
    if (code.empty() || code.find(',') != std::string::npos) return false;
  return true;
}

bool refusedWithReason(const std::ostringstream& err) {
  return err.str().rfind("upgrade-devir: ", 0) == 0 && err.str().size() > 16;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> args;
  while (!input.empty() && args.size() < kMaxArguments) {
    const std::size_t end = input.find('\0');
    args.emplace_back(input.substr(0, end));
    input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
  }
  {
    std::ostringstream err;
    const auto o = ParseHeadlessArguments(args, err);
    if (!o && !refusedWithReason(err)) std::abort();
    if (o && (!err.str().empty() || !(o->devir || o->upgrade) || !usable(*o))) std::abort();
  }
  for (const bool refresh : {false, true}) {  // the check's and the opening update's
    std::ostringstream err;
    const auto o = ParseOpeningsArguments(args, err, refresh);
    if (!o && !refusedWithReason(err)) std::abort();
    if (o && (!err.str().empty() || o->options.dataDirectory.empty() ||
              o->options.fromYear.empty() || o->options.toYear.empty() || !usable(o->options)))
      std::abort();
    if (o && !refresh && (o->options.dryRun || o->confirmClosed)) std::abort();
  }
  return 0;
}
