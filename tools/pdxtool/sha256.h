// SHA-256 of a byte string, as lowercase hex (FIPS 180-4).
#pragma once

#include <string>
#include <string_view>

std::string sha256Hex(std::string_view data);
