// Withdrawing a carry-forward as a run (withdraw/withdrawal.h): the run's
// checks (product closed, data directory found), the run lock (the next
// lines come after the driver's tidying of cut-off withdrawals), the
// data-in-use check of the registry and the named companies, then the plan;
// a plan that cannot go ahead is shown and nothing is written; otherwise the
// confirmation, the withdrawal and its final message.
//
//   upgrade-devir --withdraw-carry --data DIR --to N+1 --companies CODES|all
//                 [--dry-run] [--confirm-closed]
//
// Exit status: 0 withdrawn (or, with --dry-run, planned and possible), 1 a
// check stopped the run or a company cannot be withdrawn (nothing written),
// 2 an unexpected failure, 3 bad arguments.
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "main/driver/rundriver.h"
#include "withdraw/withdrawal.h"

class RunHost;

enum class WithdrawalEnd {
  kWithdrawn,  // the final message was shown
  kPlanned,    // a dry run: the plan was shown, it could go ahead
  kRefused,    // a company cannot be withdrawn: the plan's text was shown
  kStopped,    // a check stopped the run with its message
  kCancelled,  // the confirmation was answered no
  kFailed,     // an unexpected failure went to `errors`
};

// The run through `host`. `confirm` is asked with a plan that can go ahead
// (the window's question box; the command line answers yes); with `dryRun`
// the plan is shown instead and nothing is written (no lock is taken).
WithdrawalEnd RunCarryWithdrawal(
    RunHost& host, ErrorReport& errors, const ProductCheck& productRunning,
    const withdraw::WithdrawalRequest& request, bool dryRun,
    const std::function<bool(const withdraw::WithdrawalPlan&)>& confirm);

// The arguments (without the program name, holding "--withdraw-carry").
// Nothing when they are not valid: the reason and the usage go to `err`.
struct WithdrawalArguments {
  std::string dataDirectory, targetYear;
  bool allCompanies = false;
  std::vector<std::string> companies;
  bool dryRun = false;
};
std::optional<WithdrawalArguments> ParseWithdrawalArguments(const std::vector<std::string>& args,
                                                            std::ostream& err);

// The command line of the withdrawal; returns the exit status.
int RunWithdrawCarryCommand(const std::vector<std::string>& args, std::ostream& out,
                            std::ostream& err, const ProductCheck& productRunning);

const char* WithdrawCarryUsage();
