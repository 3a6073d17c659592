// Injecting file-call faults through the seam of platform/rawfile.h, for
// tests (after leveldb's fault-injecting Env).
//
//   fixture::FaultPlan plan = fixture::FaultPlan::failAt(7, ENOSPC);
//   { fixture::ScopedFaults on(plan); ...work...; }
//   plan.fired()  // whether call 7 came
//
// Calls are counted over all kinds, from 1. A failure makes the one call
// fail with its errno without touching the disk; a crash makes that call
// and every later one fail (EIO), which leaves the files as a process
// killed there would leave them.
#pragma once

#include <cerrno>
#include <filesystem>

#include "platform/rawfile.h"

namespace fixture {

class FaultPlan final : public platform::FileFaults {
 public:
  static FaultPlan counting() { return FaultPlan(0, 0, false); }
  // `error` 0: the typical error of the call's kind (typicalError).
  static FaultPlan failAt(int call, int error = 0) { return FaultPlan(call, error, false); }
  static FaultPlan crashAt(int call) { return FaultPlan(call, EIO, true); }
  // The `nth` call of kind `op` fails with `error`.
  static FaultPlan failAt(platform::FileOp op, int nth, int error) {
    FaultPlan plan(nth, error, false);
    plan.m_kind = op;
    plan.m_onlyKind = true;
    return plan;
  }

  // The errno a call of this kind typically fails with.
  static int typicalError(platform::FileOp op) {
    using platform::FileOp;
    switch (op) {
      case FileOp::kWrite:
      case FileOp::kCreate:
        return ENOSPC;
      case FileOp::kResize:
        return EFBIG;
      case FileOp::kOpen:
      case FileOp::kRename:
      case FileOp::kExchange:
      case FileOp::kRemove:
        return EACCES;
      case FileOp::kMap:
        return ENOMEM;
      default:
        return EIO;
    }
  }

  // Syncs that are not to fail are reported done without syncing.
  FaultPlan& skippingSyncs() {
    m_skipSyncs = true;
    return *this;
  }

  // Only the calls that change files (create, write, resize, rename,
  // exchange, remove) are counted; the others go ahead until the crash.
  FaultPlan& countingChangesOnly() {
    m_changesOnly = true;
    return *this;
  }

  int before(platform::FileOp op, const std::filesystem::path&) override {
    if (m_onlyKind && op != m_kind) return 0;
    const int pass = m_skipSyncs && op == platform::FileOp::kSync ? platform::kSkipSync : 0;
    using platform::FileOp;
    if (m_changesOnly && (op == FileOp::kOpen || op == FileOp::kRead || op == FileOp::kSync ||
                          op == FileOp::kMap))
      return m_crash && m_fired ? m_error : pass;
    ++m_calls;
    if (m_at == 0 || m_calls < m_at) return pass;
    if (m_calls == m_at) {
      m_firedOp = op;
      m_fired = true;
      if (m_error == 0) m_error = typicalError(op);
      return m_error;
    }
    return m_crash ? m_error : pass;
  }

  int calls() const { return m_calls; }  // of kind op only, for failAt(op, ...)
  bool fired() const { return m_fired; }
  platform::FileOp firedOp() const { return m_firedOp; }

 private:
  FaultPlan(int at, int error, bool crash) : m_at(at), m_error(error), m_crash(crash) {}
  int m_at;
  int m_error;
  bool m_crash;
  bool m_skipSyncs = false;
  bool m_onlyKind = false;
  bool m_changesOnly = false;
  platform::FileOp m_kind = platform::FileOp::kOpen;
  int m_calls = 0;
  bool m_fired = false;
  platform::FileOp m_firedOp = platform::FileOp::kOpen;
};

// Installs a fault source for its lifetime.
class ScopedFaults {
 public:
  explicit ScopedFaults(platform::FileFaults& faults) : m_previous(platform::g_fileFaults) {
    platform::g_fileFaults = &faults;
  }
  ~ScopedFaults() { platform::g_fileFaults = m_previous; }
  ScopedFaults(const ScopedFaults&) = delete;
  ScopedFaults& operator=(const ScopedFaults&) = delete;

 private:
  platform::FileFaults* m_previous;
};

}  // namespace fixture
