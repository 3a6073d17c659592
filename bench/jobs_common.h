// Shared pieces of the job benchmarks: streaming large tables, timing a plain
// copy, and running a job in a child process to measure its peak memory.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "data/schemas.h"
#include "data/variant.h"
#include "support/paradox_builder.h"
#include "support/recording_host.h"

namespace bench {

namespace fs = std::filesystem;

inline double seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

// Streams `count` rows of a declared layout keyed on its first field (an
// auto-increment number), each made by `make(i, row)` on a blank row.
inline void streamTable(const fs::path& file, const std::vector<FieldSpec>& layout,
                        std::uint64_t count,
                        const std::function<void(std::uint64_t, std::vector<Variant>&)>& make) {
  fixture::TableWriter w(fixture::TableBuilder::fromSchema(layout).keyed(1).blockSizeKiB(32).spec(),
                         file);
  std::vector<Variant> row(layout.size());
  for (std::uint64_t i = 0; i < count; ++i) {
    for (Variant& v : row) v = Variant{};
    row[0] = Variant{static_cast<std::int64_t>(i + 1)};
    make(i, row);
    w.append(row);
  }
  w.finish();
}

// The system's load averages (1, 5, 15 minutes) as /proc/loadavg gives
// them, "?" where there is none: times taken on a busy machine say less.
inline std::string loadAverages() {
  std::FILE* f = std::fopen("/proc/loadavg", "r");
  if (!f) return "?";
  double one = 0, five = 0, fifteen = 0;
  const bool read = std::fscanf(f, "%lf %lf %lf", &one, &five, &fifteen) == 3;
  std::fclose(f);
  if (!read) return "?";
  char text[64];
  std::snprintf(text, sizeof text, "%.2f %.2f %.2f", one, five, fifteen);
  return text;
}

inline int column(const std::vector<FieldSpec>& layout, const std::string& name) {
  for (std::size_t i = 0; i < layout.size(); ++i)
    if (layout[i].name == name) return static_cast<int>(i);
  std::fprintf(stderr, "no column %s\n", name.c_str());
  std::exit(2);
}

// Seconds that `cp -r from to` takes; with `durable`, followed by `sync -f`
// on the target, so the copy is on disk as the job's flushed tables are.
inline double timeCopy(const fs::path& from, const fs::path& to, bool durable = false) {
  std::system("sync");  // start both measurements from a clean page cache state
  const auto start = std::chrono::steady_clock::now();
  std::string cmd = "cp -r '" + from.string() + "' '" + to.string() + "'";
  if (durable) cmd += " && sync -f '" + to.string() + "'";
  if (std::system(cmd.c_str()) != 0) {
    std::fprintf(stderr, "copy failed\n");
    std::exit(2);
  }
  return seconds(std::chrono::steady_clock::now() - start);
}

struct ChildResult {
  double seconds = 0;
  double userSeconds = 0, systemSeconds = 0;  // CPU time in the process and in the kernel
  double peakMiB = 0;                         // resident (file pages mapped or read in count too)
  double peakPrivateMiB = 0;  // anonymous memory (RssAnon), sampled while the job runs
  int status = 0;
};

// One ratio beside its goal ("at most"), with a mark when it misses it.
inline void printGoal(const char* label, double ratio, double goal) {
  std::printf("%-31s %.2f (goal at most %.1f)%s\n", label, ratio, goal,
              ratio <= goal ? "" : "  [ABOVE GOAL]");
}

// The anonymous resident memory of process `pid` in MiB, 0 when unknown.
inline double privateMiB(pid_t pid) {
  char path[64];
  std::snprintf(path, sizeof path, "/proc/%d/status", static_cast<int>(pid));
  std::FILE* f = std::fopen(path, "r");
  if (!f) return 0;
  char line[256];
  double kib = 0;
  while (std::fgets(line, sizeof line, f))
    if (std::sscanf(line, "RssAnon: %lf", &kib) == 1) break;
  std::fclose(f);
  return kib / 1024.0;
}

// Prints the copy times and the job's line: time, ratios to both copies,
// peak memory, and whether the run failed.
inline void printJobAgainstCopies(const char* label, const ChildResult& job, double copySeconds,
                                  double durableCopySeconds) {
  std::printf("cp -r of the company directory: %.3f s (%.3f s with sync -f)\n", copySeconds,
              durableCopySeconds);
  std::printf(
      "%-31s %.3f s (%.2f x the copy, %.2f x the synced copy), peak private %.1f MiB, "
      "peak RSS %.1f MiB%s\n",
      label, job.seconds, job.seconds / copySeconds, job.seconds / durableCopySeconds,
      job.peakPrivateMiB, job.peakMiB, job.status == 0 ? "" : "  [RUN FAILED]");
  std::printf("%-31s %.3f s in the process, %.3f s in the kernel\n", "  CPU time:", job.userSeconds,
              job.systemSeconds);
}

// Runs `job` in a child process; its wall time and peak resident memory.
// The kernel keeps no peak of anonymous memory, so it is sampled every two
// milliseconds while the child runs (a shorter peak may pass unseen).
inline ChildResult runInChild(const std::function<int()>& job) {
  std::fflush(nullptr);
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    const int rc = job();
    std::fflush(nullptr);
    _exit(rc);
  }
  int status = 0;
  rusage usage{};
  double peakPrivate = 0;
  while (wait4(pid, &status, WNOHANG, &usage) == 0) {
    peakPrivate = std::max(peakPrivate, privateMiB(pid));
    usleep(2000);
  }
  ChildResult r;
  r.peakPrivateMiB = peakPrivate;
  r.seconds = seconds(std::chrono::steady_clock::now() - start);
  r.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
  r.userSeconds = static_cast<double>(usage.ru_utime.tv_sec) + usage.ru_utime.tv_usec / 1e6;
  r.systemSeconds = static_cast<double>(usage.ru_stime.tv_sec) + usage.ru_stime.tv_usec / 1e6;
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
  return r;
}

inline std::uint64_t arg(int argc, char** argv, const std::string& name, std::uint64_t fallback) {
  for (int i = 1; i + 1 < argc; ++i)
    if (argv[i] == name) return std::strtoull(argv[i + 1], nullptr, 10);
  return fallback;
}

inline bool flag(int argc, char** argv, const std::string& name) {
  for (int i = 1; i < argc; ++i)
    if (argv[i] == name) return true;
  return false;
}

// Prints each status text with the time since the previous one, so that a
// slow step shows itself.
class TimingHost : public RecordingHost {
 public:
  ~TimingHost() override {
    if (!m_last.empty())
      std::printf("  %7.3f s  %s\n", seconds(std::chrono::steady_clock::now() - m_at),
                  m_last.c_str());
  }
  void setStatusText(const std::string& text) override {
    const auto now = std::chrono::steady_clock::now();
    if (m_last.empty())  // the checks before writing
      std::printf("  %7.3f s  (before the first step)\n", seconds(now - m_at));
    if (!m_last.empty()) std::printf("  %7.3f s  %s\n", seconds(now - m_at), m_last.c_str());
    m_last = text;
    m_at = now;
    RecordingHost::setStatusText(text);
  }
  void infoBox(const std::string& text) override {
    setStatusText(text);
    RecordingHost::infoBox(text);
  }

 private:
  std::string m_last;
  std::chrono::steady_clock::time_point m_at = std::chrono::steady_clock::now();
};

}  // namespace bench
