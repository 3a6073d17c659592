// libFuzzer target for the run lock's description: the input is the bytes of
// the lock file, which a crash can leave half-written and a person can edit.
// Findings besides crashes, sanitizer reports, leaks and hangs: a field read
// that could garble the message naming the holder (not printable UTF-8,
// longer than 256 bytes, a negative pid), and a holder that, described again,
// does not read back as itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/runlock.h"
#include "platform/text.h"

namespace {

bool showable(const std::string& field) {
  return field.size() <= 256 && platform::isPrintableUtf8(field);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const platform::RunLockHolder h = platform::parseRunLockDescription(text);
  if (!showable(h.host) || !showable(h.user) || !showable(h.started) || h.pid < 0) std::abort();
  const std::string described = platform::describeRunLock(h);
  if (described.find("\nend=1\n") == std::string::npos) std::abort();
  const platform::RunLockHolder again = platform::parseRunLockDescription(described);
  if (again.host != h.host || again.user != h.user || again.started != h.started ||
      again.pid != h.pid)
    std::abort();
  return 0;
}
