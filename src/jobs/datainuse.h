// No run while another program has the data open.
//
// The database engine creates PDOXUSRS.LCK and PARADOX.LCK in every
// directory whose tables it opens and holds them open while its session
// lives; a crash leaves them behind, so their presence alone proves nothing.
// Before a job writes, every lock file of the directories it reads or
// writes, and every table file it reads or writes, is asked of the system
// (platform/inuse.h): one that another program holds open stops the run.
// A lock file nobody holds is neither a stop nor removed.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/typedpath.h"

class RunHost;
struct RunOptions;
struct Workspace;

// One directory a job reads or writes and the masks of the tables it reads
// or writes there. Every lock file of it counts.
struct TouchedDirectory {
  platform::TypedPath dir;
  std::vector<std::string> tableMasks;
};

// The edition upgrade's directories: the older data directory (every table),
// the newest one (the registry and the namesakes of the older one's files),
// the template, and each company of the older registry in both data
// directories (every table). An older registry that cannot be read adds no
// company: the upgrade stops on it by itself.
std::vector<TouchedDirectory> UpgradeTouches(const RunOptions& run, Workspace& ws);
// The carry-forward's: the newest data directory (the registry), the
// template (every table) and each selected company of ws.RxSirket (its
// carry-forward file set).
std::vector<TouchedDirectory> CarryTouches(const RunOptions& run, Workspace& ws);

// What the system says about the touched directories.
struct DataInUse {
  std::string stop;  // the message that stops the run; empty when it may go on
  // A directory on a network file system that holds lock files: who holds
  // them on other computers cannot be seen. Empty when there is none.
  std::string unseen;
  std::vector<std::string> leftoverLocks;  // lock files nobody holds, as typed
};

// Asks about every lock file and touched table file at once. Directories
// that do not exist are passed over. This process's own open files count on
// Windows (close them first); on Linux they never do.
DataInUse FindDataInUse(const std::vector<TouchedDirectory>& touched);

// The question a run asks when FindDataInUse cannot see other computers:
// true when the user confirms that the product is closed on every one. The
// window asks it in a question box; the command line answers it with
// --confirm-closed. Without one installed the answer is no.
using ClosedQuestion = std::function<bool(const std::string& question)>;

// Installs `ask` for as long as the object lives (the previous one after).
class ScopedClosedQuestion {
 public:
  explicit ScopedClosedQuestion(ClosedQuestion ask);
  ~ScopedClosedQuestion();
  ScopedClosedQuestion(const ScopedClosedQuestion&) = delete;
  ScopedClosedQuestion& operator=(const ScopedClosedQuestion&) = delete;

 private:
  ClosedQuestion m_previous;
};

// The command line's --confirm-closed: the question is answered yes for the
// rest of the process (unless a ScopedClosedQuestion replaces it).
void ConfirmClosedForThisProcess();

// The check of a job, before its first write: closes the workspace's table
// handles for the question and opens again those that were open (on Windows
// a handle of ours would answer "in use"), asks FindDataInUse, and on a stop
// shows its message through host.infoBox and returns false. A directory
// whose holders cannot be seen asks the ClosedQuestion; no gives a message
// and false. Lock files nobody holds are added to `leftoverLocks` when given.
bool CheckUpgradeDataInUse(RunHost& host, const RunOptions& run, Workspace& ws,
                           std::vector<std::string>* leftoverLocks = nullptr);
bool CheckCarryDataInUse(RunHost& host, const RunOptions& run, Workspace& ws,
                         std::vector<std::string>* leftoverLocks = nullptr);

// The same check for any job's directories (the opening update's, a
// withdrawal's, the restore of an upgrade's).
bool CheckDataInUse(RunHost& host, Workspace& ws, const std::vector<TouchedDirectory>& touched,
                    std::vector<std::string>* leftoverLocks = nullptr);

// Right before the newest registry is rewritten (a new company registered):
// its table files and the data directory's lock files asked again, as
// above; what cannot be seen was answered before the job began.
bool CheckRegistryBeforeRewrite(RunHost& host, const RunOptions& run, Workspace& ws);
