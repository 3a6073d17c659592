// make-sample-data: writes the sample data directories the tests, the
// benchmarks and a newcomer's first run use.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "sample_data.h"

namespace {

void usage() {
  std::fprintf(stderr,
               "usage: make-sample-data [--newest DIR] [--older DIR] [--variant DIR]\n"
               "                        [--large DIR [--cards N] [--movements N] [--cheques N]"
               " [--stock N]]\n"
               "                        [--office DIR [--companies N]]\n"
               "                        [--sort-order ascii|ANTURK]\n");
}

}  // namespace

int main(int argc, char** argv) {
  std::string newest, older, variant, large, office, sortOrder = "ascii";
  samples::LargeCounts counts;
  std::uint32_t companies = 30;
  bool countsGiven = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) {
      usage();
      return 2;
    }
    const std::string value = argv[++i];
    const auto number = [&]() -> std::uint32_t {
      char* end = nullptr;
      const unsigned long n = std::strtoul(value.c_str(), &end, 10);
      if (end == value.c_str() || *end != '\0' || n > 10'000'000) {
        throw std::invalid_argument(arg + " needs a count up to 10000000");
      }
      return static_cast<std::uint32_t>(n);
    };
    try {
      if (arg == "--newest") {
        newest = value;
      } else if (arg == "--older") {
        older = value;
      } else if (arg == "--variant") {
        variant = value;
      } else if (arg == "--large") {
        large = value;
      } else if (arg == "--office") {
        office = value;
      } else if (arg == "--companies") {
        companies = number();
      } else if (arg == "--cards") {
        counts.cards = number();
        countsGiven = true;
      } else if (arg == "--movements") {
        counts.movements = number();
        countsGiven = true;
      } else if (arg == "--cheques") {
        counts.cheques = number();
        countsGiven = true;
      } else if (arg == "--stock") {
        counts.stock = number();
        countsGiven = true;
      } else if (arg == "--sort-order") {
        if (value != "ascii" && value != "ANTURK") {
          throw std::invalid_argument("--sort-order takes ascii or ANTURK");
        }
        sortOrder = value;
      } else {
        usage();
        return 2;
      }
    } catch (const std::exception& e) {
      std::fprintf(stderr, "make-sample-data: %s\n", e.what());
      return 2;
    }
  }
  if (newest.empty() && older.empty() && variant.empty() && large.empty() && office.empty()) {
    usage();
    return 2;
  }
  if (counts.cards == 0) counts.cards = 1;
  try {
    if (!newest.empty()) samples::writeNewest(newest, nullptr, sortOrder);
    if (!older.empty()) samples::writeOlder(older, nullptr, sortOrder);
    if (!variant.empty()) samples::writeVariant(variant);
    if (!large.empty()) samples::writeLarge(large, counts, sortOrder);
    if (!office.empty())
      samples::writeOffice(office, companies, countsGiven ? counts : samples::officeCounts(),
                           sortOrder);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make-sample-data: %s\n", e.what());
    return 1;
  }
  return 0;
}
