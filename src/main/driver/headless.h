// The command line: the same runs as the window's run button, without a
// display.
//
//   upgrade-devir --devir --data DIR --from YEAR --to YEAR [--ytl]
//                 [--rounding auto|down|up] [--companies all|CODE,CODE...]
//                 [--upgrade --old DIR] [--report-dir DIR] [--dry-run]
//   upgrade-devir --help | --version
//
// --help (also -h, /?) prints the Turkish usage text (every option, the exit
// statuses, an example) on standard output, --version the about box's
// program name and version; both end with status 0 wherever they stand.
//
// With --dry-run the run's checks are made and the plan of the ticked jobs is
// printed (new companies, records carried, converted and removed per table,
// files copied, overwritten and kept, disk space); nothing is written.
//
// Exit status: 0 normal end ("İşlem tamamlandı"), 1 a job or check stopped
// the run with its message (or the selection chose nothing: no company of
// the source year, all of them carried already, an unknown code), 2 an
// unexpected failure (its text on standard error), 3 bad arguments (the
// reason, e.g. "Bilinmeyen seçenek: --xyz", and the synopsis on standard
// error), 4 the run ended normally but the reconciliation report that
// follows a carry-forward found a line that differs.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "main/driver/consolehost.h"
#include "main/driver/rundriver.h"

// The arguments the commands share: a year of at most four digits (`empty`
// allowed only where the caller checks for a missing year itself), and a
// comma-separated list of company codes (empty entries dropped).
bool IsYearArgument(const std::string& text, bool empty = false);
std::vector<std::string> SplitCompanyCodes(const std::string& text);

inline constexpr int kExitCompleted = 0;
inline constexpr int kExitStopped = 1;
inline constexpr int kExitFailed = 2;
inline constexpr int kExitUsage = 3;
inline constexpr int kExitReportDiffers = 4;

// Parses the arguments (without the program name). Returns nothing and writes
// the reason to `err` when they are not valid.
std::optional<HeadlessOptions> ParseHeadlessArguments(const std::vector<std::string>& args,
                                                      std::ostream& err);

// Runs the driver with the options and returns the exit status. With
// "--log FILE" anywhere on the line every text written to `out` and `err`
// also goes to that file (main/driver/runlog.h); a file that cannot be
// written stops before anything else with status 1.
int RunHeadless(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                const ProductCheck& productRunning, const RunJobs& jobs = RunJobs::real());

// The Turkish usage text of --help, and its first lines alone (the synopsis
// that follows a bad argument).
const char* HeadlessUsage();
const char* HeadlessSynopsis();

// "KMX Devir-Upgrade s2.04.02" and a newline: the about box's name and version.
std::string HeadlessVersion();
