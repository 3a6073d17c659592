// Hands a web address or a mailto: link to the desktop's default program.
#pragma once

#include <string>

namespace platform {

// Starts the desktop's handler for the target (xdg-open on Linux, the shell
// on Windows) without waiting for it. Returns false when it could not be
// started; the handler's own failures are not seen.
bool openInShell(const std::string& target);

}  // namespace platform
