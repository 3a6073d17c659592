// pdxtool: look at Paradox tables before and after a run.
//   pdxtool dump TABLE [--codepage N]   the table as JSON
//   pdxtool check TABLE                 exit 0 sound, 1 problems (one per line), 2 unreadable
//   pdxtool delete TABLE --filter EXPR  delete the records the filter lets through
#include <cstdlib>
#include <iostream>
#include <string>

#include "dump.h"
#include "paradox/check.h"
#include "paradox/errors.h"
#include "paradox/table.h"

namespace {

int usage() {
  std::cerr << "usage: pdxtool dump TABLE [--codepage N]\n"
               "       pdxtool check TABLE\n"
               "       pdxtool delete TABLE --filter EXPR\n";
  return 2;
}

int runDelete(const std::string& table, const std::string& filter) {
  auto t = pdx::Table::open(table);
  t->setFilter(filter);
  t->setFiltered(true);
  std::uint64_t deleted = 0;
  while (!t->eof()) {
    t->remove();
    ++deleted;
  }
  t->setFiltered(false);
  t->flush();
  std::cout << deleted << " records deleted\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return usage();
  const std::string command = argv[1];
  const std::string table = argv[2];
  int codePage = 0;
  std::string filter;
  bool haveFilter = false;
  for (int i = 3; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--codepage" && i + 1 < argc) {
      codePage = std::atoi(argv[++i]);
    } else if (arg == "--filter" && i + 1 < argc) {
      filter = argv[++i];
      haveFilter = true;
    } else {
      return usage();
    }
  }
  try {
    if (command == "dump") {
      dumpTable(table, table, codePage, std::cout);
      return 0;
    }
    if (command == "check") {
      const auto problems = pdx::checkTable(table);
      for (const auto& p : problems) std::cout << p << "\n";
      return problems.empty() ? 0 : 1;
    }
    if (command == "delete" && haveFilter) return runDelete(table, filter);
  } catch (const EDatabaseError& e) {
    std::cerr << "pdxtool: " << e.what() << "\n";
    return 2;
  } catch (const std::exception& e) {
    std::cerr << "pdxtool: " << e.what() << "\n";
    return 2;
  }
  return usage();
}
