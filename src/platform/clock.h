// The local time of day, as the texts of a run show it.
#pragma once

#include <string>

namespace platform {

// The local time now, formatted by std::strftime with `format`
// ("%Y-%m-%d %H:%M:%S"); empty when the format gives more than 63 bytes.
std::string localTimeText(const char* format);

}  // namespace platform
