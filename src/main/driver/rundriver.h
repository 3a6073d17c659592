// Button1Click: one run of the utility, from the checks to the last message.
#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "platform/productcheck/productwindow.h"

class RunHost;
struct RunOptions;
struct Workspace;

// Where the driver hands a failure that no job caught: the program's default
// error report (caption "Upgrade-Devir", error icon, OK).
class ErrorReport {
 public:
  virtual ~ErrorReport() = default;
  virtual void errorBox(const std::string& text) = 0;
};

// The error report of a command: "upgrade-devir: <text>" on `err`.
class StreamErrors final : public ErrorReport {
 public:
  explicit StreamErrors(std::ostream& err) : m_err(err) {}
  void errorBox(const std::string& text) override;
  bool reported = false;  // something was reported

 private:
  std::ostream& m_err;
};

// Is the accounting product running (a top-level window of its main window
// class exists)? Running, closed, or cannot tell (with the reason). The
// window and the command line pass the real detection; tests pass their own
// answer.
using ProductCheck = std::function<platform::ProductStatus()>;

// How a run ended, for front ends that report it (the command line's exit
// status); the window ignores it.
enum class RunEnd {
  kCompleted,  // "İşlem tamamlandı" was the last message
  kStopped,    // a check or a job stopped the run with its own message
  kCancelled,  // the company selection was cancelled: no message at all
  kFailed,     // an unexpected failure went to the error report
};

// The failure's text as the error report shows it: a full stop is appended
// when the last character sorts after "." (letters and digits do).
std::string ErrorReportText(const std::string& text);

// The two jobs the driver runs; tests replace them.
struct RunJobs {
  std::function<bool(RunHost&, const RunOptions&, Workspace&)> upgrade;  // false: stopped
  std::function<void(RunHost&, const RunOptions&, Workspace&)> carryForward;
  // False for jobs that only plan (the dry run): the run then takes no lock,
  // removes no leftovers and writes nothing itself, and stops when another
  // run holds the data directory.
  bool write = true;
  // RunEditionUpgrade and RunCarryForward.
  static RunJobs real();
};

// Runs the checks and the ticked jobs of `run` in order, as the window's run
// button does, handing `run` to every job. Sets ws.NewCompanySequence to 1
// first. A product check that cannot
// tell stops the run as a running product does, with a message that gives
// the reason. After the directory checks a carry-forward whose years are both
// numbers needs a later target year, and the run takes the lock of the newest
// data directory (platform/runlock.h) for its whole length, stopping with a
// message naming the run that holds it; then the temporaries of killed copies
// there are removed and withdrawals of a carry-forward that a killed run
// left are finished or undone (withdraw/withdrawal.h). Every message goes through host.infoBox; a
// std::exception from a job ends the run and its text goes to `errors` (the
// progress display stays as it was).
RunEnd Button1Click(RunHost& host, const RunOptions& run, Workspace& ws, ErrorReport& errors,
                    const ProductCheck& productRunning, const RunJobs& jobs = RunJobs::real());

// A job of its own (the restore of an upgrade) as a run: the checks and
// the lock of Button1Click (none with `write` clear, as for a dry run), then
// `job` instead of the ticked jobs; it tells how the run ended.
using AloneJob = std::function<RunEnd(RunHost&, const RunOptions&, Workspace&)>;
RunEnd RunAlone(RunHost& host, const RunOptions& run, Workspace& ws, ErrorReport& errors,
                const ProductCheck& productRunning, bool write, const AloneJob& job);

// The real product check (platform::productStatus).
platform::ProductStatus CheckProduct();
