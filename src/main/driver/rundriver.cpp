#include "main/driver/rundriver.h"

#include <algorithm>
#include <exception>
#include <optional>

#include "carry/carryforward.h"
#include "carry/staging.h"
#include "data/failuretext.h"
#include "jobs/filesetcopy.h"
#include "jobs/runhost.h"
#include "jobs/runoptions.h"
#include "jobs/workspace.h"
#include "platform/leftovers.h"
#include "platform/paths.h"
#include "platform/productcheck/productwindow.h"
#include "platform/runlock.h"
#include "refresh/commit.h"
#include "upgrade/restore.h"
#include "upgrade/upgrade.h"
#include "withdraw/withdrawal.h"

namespace {

const char* const kDone = "İşlem tamamlandı";

// Passes everything to the window and remembers the last information box, so
// that the driver can tell how a job ended without the jobs reporting it.
class WatchingHost final : public ForwardingRunHost {
 public:
  explicit WatchingHost(RunHost& inner) : ForwardingRunHost(inner) {}
  const std::string& lastInfo() const { return m_lastInfo; }
  int infoCount() const { return m_infoCount; }

  void infoBox(const std::string& text) override {
    m_lastInfo = text;
    ++m_infoCount;
    ForwardingRunHost::infoBox(text);
  }

 private:
  std::string m_lastInfo;
  int m_infoCount = 0;
};

// The check for "empty or blanks only": control characters count as blanks.
bool isBlank(const std::string& text) {
  for (unsigned char c : text)
    if (c > ' ') return false;
  return true;
}

RunEnd stop(RunHost& host, const std::string& message) {
  InfoBox(host, message);
  return RunEnd::kStopped;
}

bool isNumber(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

// a <= b for two digit texts of any length.
bool notAfter(std::string a, std::string b) {
  auto strip = [](std::string& s) { s.erase(0, std::min(s.find_first_not_of('0'), s.size())); };
  strip(a);
  strip(b);
  return a.size() != b.size() ? a.size() < b.size() : a <= b;
}

// The message of a run that finds the data directory taken by another run.
std::string runInProgressText(const std::string& dataDir, const platform::RunLockHolder& h) {
  auto orUnknown = [](const std::string& s) { return s.empty() ? std::string("?") : s; };
  return dataDir + " dizininde başka bir Upgrade-Devir işlemi çalışıyor.\r\n" +
         "Bilgisayar: " + orUnknown(h.host) + ", kullanıcı: " + orUnknown(h.user) +
         ", işlem no: " + (h.pid ? std::to_string(h.pid) : std::string("?")) +
         ", başlangıç: " + orUnknown(h.started) + "\r\nO işlem bitince yeniden deneyiniz.";
}

// Takes the run lock of the newest data directory; an empty result when the
// run may go on, else the message that stops it.
std::optional<std::string> lockDataDirectory(platform::RunLock& lock,
                                             const platform::TypedPath& data) {
  const std::optional<std::filesystem::path>& where = data.location();
  if (!where) return std::nullopt;  // the existence check has passed; nothing to lock
  switch (lock.acquire(*where)) {
    case platform::RunLock::Result::kTaken:
      return std::nullopt;
    case platform::RunLock::Result::kHeld:
      return runInProgressText(data.text(), lock.holder());
    case platform::RunLock::Result::kFailed:
      break;
  }
  return FileFailureText("Çalışma kilidi alınamadı", data.textOf(platform::kRunLockFileName),
                         CauseText(lock.error()));
}

RunEnd runChecksAndJobs(WatchingHost& host, const RunOptions& run, Workspace& ws,
                        const ProductCheck& productRunning, const RunJobs& jobs,
                        const AloneJob& alone) {
  if (productRunning) {
    const platform::ProductStatus product = productRunning();
    if (product.state == platform::ProductState::kRunning)
      return stop(host,
                  "Devir işlemini başlatmadan önce açık olan tüm KMX programlarını kapatınız");
    if (product.state == platform::ProductState::kUnknown)
      return stop(host, "Açık KMX programı olup olmadığı denetlenemedi (" + product.reason +
                            ").\r\nWine ile açık olan tüm programları kapatıp yeniden deneyiniz");
  }
  if (run.upgrade) {
    if (isBlank(run.oldData.text()))
      return stop(host,
                  "Lütfen kullanmakta olduğunuz KMX Orvan veya Lumex versiyonunun kullandığı\r\n"
                  "DATA dizininin tam yolunu giriniz");
    if (!run.oldData.isDirectory())
      return stop(host, "KMX Orvan veya Lumex versiyonu için belirttiğiniz DATA dizini bulunamadı");
  }
  const platform::TypedPath& data = run.newData;
  if (isBlank(data.text()))
    return stop(host, "Pravex versiyonunun kullandığı DATA dizininin tam yolunu giriniz");
  if (!data.isDirectory())
    return stop(host, "Pravex versiyonu için belirttiğiniz DATA dizini bulunamadı");
  // A carry into the same or an earlier year would convert amounts that are
  // already converted and give the new companies the old year.
  if (run.devir && isNumber(run.sourceYear) && isNumber(run.targetYear) &&
      notAfter(run.targetYear, run.sourceYear))
    return stop(host, "Devir yapılacak yıl (" + run.targetYear + ") devri yapılan yıldan (" +
                          run.sourceYear + ") büyük olmalıdır");
  // One run at a time per data directory, held until the run ends. A run
  // that only plans takes no lock (it would create the lock file) but does
  // not plan over a directory another run is changing.
  platform::RunLock lock;
  if (!jobs.write) {
    if (data.location())
      if (std::optional<platform::RunLockHolder> other =
              platform::RunLock::heldBy(*data.location()))
        return stop(host, runInProgressText(data.text(), *other));
  } else {
    if (std::optional<std::string> refused = lockDataDirectory(lock, data))
      return stop(host, *refused);
    if (data.location()) platform::removeCopyLeftovers(*data.location());
    // A withdrawal cut off is finished or undone before anything looks at
    // the registry or the company directories.
    withdraw::TidyWithdrawals(host, data);
    // A restore of an upgrade that was cut off is finished before anything
    // else reads the directory.
    FinishInterruptedRestore(host, data);
    // An opening update a killed run committed is finished, one it did not
    // is removed, before anything else reads the companies.
    refresh::TidyUnfinishedUpdates(host, data);
  }
  if (alone) return alone(host, run, ws);

  if (run.upgrade) {
    if (jobs.write) TidyBeforeRegistryIsReplaced(host, run, ws);
    if (!jobs.upgrade(host, run, ws)) return RunEnd::kStopped;
  }
  if (!run.devir) {
    InfoBox(host, kDone);
    return RunEnd::kCompleted;
  }
  int before = host.infoCount();
  jobs.carryForward(host, run, ws);
  // The carry-forward reports its own end; no message at all means that the
  // user cancelled the selection.
  if (host.infoCount() == before) return RunEnd::kCancelled;
  return host.lastInfo() == kDone ? RunEnd::kCompleted : RunEnd::kStopped;
}

}  // namespace

void StreamErrors::errorBox(const std::string& text) {
  reported = true;
  m_err << "upgrade-devir: " << text << '\n';
}

std::string ErrorReportText(const std::string& text) {
  if (text.empty()) return text;
  // The first byte of the last UTF-8 character decides; every non-ASCII
  // character sorts after ".".
  std::size_t last = text.size() - 1;
  while (last > 0 && (static_cast<unsigned char>(text[last]) & 0xC0) == 0x80) --last;
  return static_cast<unsigned char>(text[last]) > '.' ? text + "." : text;
}

namespace {

RunEnd runGuarded(RunHost& host, const RunOptions& run, Workspace& ws, ErrorReport& errors,
                  const ProductCheck& productRunning, const RunJobs& jobs, const AloneJob& alone) {
  ws.NewCompanySequence = 1;
  WatchingHost watching(host);
  RunEnd end = RunEnd::kFailed;
  try {
    end = runChecksAndJobs(watching, run, ws, productRunning, jobs, alone);
  } catch (const std::exception& e) {
    errors.errorBox(ErrorReportText(FailureText(e)));
  } catch (...) {
    errors.errorBox("Unknown failure.");
  }
  // The run leaves no table open behind it. After a failure that was
  // reported, closing can only repeat it; otherwise a table whose changes
  // could not be made durable is a failure of the run.
  try {
    ws.DM.closeAll();
  } catch (const std::exception& e) {
    if (end != RunEnd::kFailed) errors.errorBox(ErrorReportText(FailureText(e)));
    end = RunEnd::kFailed;
  }
  return end;
}

}  // namespace

RunEnd Button1Click(RunHost& host, const RunOptions& run, Workspace& ws, ErrorReport& errors,
                    const ProductCheck& productRunning, const RunJobs& jobs) {
  return runGuarded(host, run, ws, errors, productRunning, jobs, nullptr);
}

RunEnd RunAlone(RunHost& host, const RunOptions& run, Workspace& ws, ErrorReport& errors,
                const ProductCheck& productRunning, bool write, const AloneJob& job) {
  RunJobs jobs;
  jobs.write = write;
  return runGuarded(host, run, ws, errors, productRunning, jobs, job);
}

RunJobs RunJobs::real() {
  return {RunEditionUpgrade, RunCarryForward};
}

platform::ProductStatus CheckProduct() {
  return platform::productStatus();
}
