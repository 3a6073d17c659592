// The stand-in file share (ud-share, beside this file) from a test: mounts a
// scratch directory at a second place through FUSE for the test's lifetime,
// every call asked of the directory behind it, with faults on demand.
//
//   fixture::StandInShare share(source);        // skip when !share.usable()
//   share.fail("read", "ayar.db", 2, "EIO");     // the third read on fails
//   ...run the job on share.mount()...
//   share.heal();
//
// The share ends (unmounted, the server gone) with the object, and also when
// the test process dies (the server sees the end of its input).
#pragma once

#include <sys/types.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace fixture {

class StandInShare {
 public:
  // Mounts `source` (an existing directory) at a new directory beside it.
  // `delayUs`: how long every call waits first (a slow server).
  explicit StandInShare(const std::filesystem::path& source, long delayUs = 0);
  ~StandInShare();
  StandInShare(const StandInShare&) = delete;
  StandInShare& operator=(const StandInShare&) = delete;

  // False, with the reason in whyNot(), when no share could be set up here
  // (no /dev/fuse, no ud-share program, the mount refused).
  bool usable() const { return m_server > 0; }
  const std::string& whyNot() const { return m_whyNot; }
  const std::filesystem::path& mount() const { return m_mount; }

  // The server's commands (ud_share.cpp); each throws std::runtime_error
  // when the server refuses it.
  void delay(long us);
  void fail(const std::string& op, const std::string& name, long after, const std::string& error);
  void shrink(const std::string& name, long after, long long bytes);
  long count(const std::string& op, const std::string& name);
  void heal();
  // Any command of the server ("counts" among them); its answer after "ok".
  std::string ask(const std::string& line);

  // True when /dev/fuse can be opened here; otherwise `why` says why not.
  static bool fuseAvailable(std::string& why);

 private:
  void stop();

  std::filesystem::path m_mount;
  std::string m_whyNot;
  pid_t m_server = 0;
  std::FILE* m_toServer = nullptr;
  std::FILE* m_fromServer = nullptr;
};

}  // namespace fixture
