// Running another program to its end, within a time limit (POSIX).
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace platform {

struct ProcessEnd {
  enum Kind {
    kExited,      // `code` is the exit status
    kNotStarted,  // `code` is the errno of the failed start
    kTimedOut,    // the limit passed; the process group was killed
    kSignalled,   // `code` is the signal that ended it
  };
  Kind kind;
  int code;
};

// Starts `argv[0]` (looked up in PATH) with `argv`, the caller's environment
// with `environment` ("NAME=VALUE" entries, replacing variables of the same
// name) and standard input and output on /dev/null, in a process group of
// its own. Waits until it ends or `limit` has passed; in the second case
// kills the whole group and reaps the process, so nothing it started in
// that group stays behind.
ProcessEnd runProgram(const std::vector<std::string>& argv,
                      const std::vector<std::string>& environment, std::chrono::milliseconds limit);

}  // namespace platform
