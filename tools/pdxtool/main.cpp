// pdxtool: look at Paradox tables before and after a run.
//   pdxtool dump TABLE [--codepage N]   the table as JSON
//   pdxtool check TABLE                 exit 0 sound (notes: "note: ..."), 1 problems (one per
//                                       line: the user's words, then the technical text),
//                                       2 unreadable
//   pdxtool delete TABLE --filter EXPR  delete the records the filter lets through
//   pdxtool set TABLE --filter EXPR FIELD=NUMBER...
//                                       set number fields of the records the filter lets
//                                       through (a late entry in a test's old year)
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "data/failuretext.h"
#include "dump.h"
#include "paradox/check.h"
#include "paradox/errors.h"
#include "paradox/names.h"
#include "paradox/table.h"

namespace {

int usage() {
  std::cerr << "usage: pdxtool dump TABLE [--codepage N]\n"
               "       pdxtool check TABLE\n"
               "       pdxtool delete TABLE --filter EXPR\n"
               "       pdxtool set TABLE --filter EXPR FIELD=NUMBER...\n";
  return 2;
}

// A failure about a file in the words the table handles use, the path as
// given on the command line.
std::string worded(const std::string& table, const EDBEngineError& e) {
  if (e.cause().file.empty()) return e.what();
  const std::size_t cut = table.find_last_of("/\\");
  const std::string dir = cut == std::string::npos ? "" : table.substr(0, cut);
  const std::string given = cut == std::string::npos ? table : table.substr(cut + 1);
  const std::string name =
      visibleFileName(std::filesystem::path(e.cause().file).filename().string());
  const bool sameTable = pdx::sameName(name, given) || pdx::sameName(name, given + ".db");
  if (sameTable) return describeTableFailure(table, e);
  return describeTableFailure(dir.empty() ? name : typedFilePath(dir, name), e);
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

int runSet(const std::string& table, const std::string& filter,
           const std::vector<std::string>& assignments) {
  auto t = pdx::Table::open(table);
  std::vector<std::pair<int, double>> values;
  for (const std::string& a : assignments) {
    const std::size_t eq = a.find('=');
    const int field = eq == std::string::npos ? -1 : t->findField(a.substr(0, eq));
    if (field < 0) return usage();
    values.emplace_back(field, std::strtod(a.c_str() + eq + 1, nullptr));
  }
  t->setFilter(filter);
  t->setFiltered(true);
  std::uint64_t changed = 0;
  for (t->first(); !t->eof(); t->next(), ++changed) {
    t->edit();
    for (const auto& [field, value] : values) t->setFloat(field, value);
    t->post();
  }
  t->setFiltered(false);
  t->flush();
  std::cout << changed << " records changed\n";
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
  std::vector<std::string> assignments;
  for (int i = 3; i < argc; ++i) {
    const std::string arg = argv[i];
    if (command == "set" && arg.find('=') != std::string::npos) {
      assignments.push_back(arg);
    } else if (arg == "--codepage" && i + 1 < argc) {
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
      std::vector<std::string> notes;
      const auto problems = pdx::checkTableFiles(table, &notes);
      for (const auto& p : problems) {
        const EDBEngineError fault(EDBEngineError::Code::kCorrupt, p.text,
                                   FileCause{p.file.string(), 0, false});
        std::cout << TableFaultText(fault.fault(), p.file.string()) << ": " << p.text << "\n";
      }
      for (const auto& n : notes) std::cout << "note: " << n << "\n";
      return problems.empty() ? 0 : 1;
    }
    if (command == "delete" && haveFilter) return runDelete(table, filter);
    if (command == "set" && haveFilter && !assignments.empty())
      return runSet(table, filter, assignments);
  } catch (const EDBEngineError& e) {
    std::cerr << "pdxtool: " << worded(table, e) << "\n";
    return 2;
  } catch (const EDatabaseError& e) {
    std::cerr << "pdxtool: " << e.what() << "\n";
    return 2;
  } catch (const std::exception& e) {
    std::cerr << "pdxtool: " << e.what() << "\n";
    return 2;
  }
  return usage();
}
