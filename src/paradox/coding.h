// Byte-order helpers. File and block headers are little-endian; values in
// records and index entries are big-endian with the sign bit flipped (see
// FORMAT.md, "Field values").
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace pdx {

// `v` with its bytes in big-endian order (the identity on a big-endian host).
inline std::uint64_t byteSwapIfLittle(std::uint64_t v) {
  if constexpr (std::endian::native == std::endian::little) return __builtin_bswap64(v);
  return v;
}

inline std::uint16_t getU16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t getU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline void putU16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void putU32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Big-endian words through one load or store each: these run for every
// value of every record a pass reads or writes.
inline std::uint64_t getBE64(const std::uint8_t* p) {
  std::uint64_t v;
  std::memcpy(&v, p, 8);
  return byteSwapIfLittle(v);
}
inline void putBE64(std::uint8_t* p, std::uint64_t v) {
  v = byteSwapIfLittle(v);
  std::memcpy(p, &v, 8);
}

inline std::uint64_t getBE(const std::uint8_t* p, int n) {
  if (n == 8) return getBE64(p);
  std::uint64_t v = 0;
  for (int i = 0; i < n; ++i) v = (v << 8) | p[i];
  return v;
}
inline void putBE(std::uint8_t* p, int n, std::uint64_t v) {
  if (n == 8) {
    putBE64(p, v);
    return;
  }
  for (int i = n - 1; i >= 0; --i) {
    p[i] = static_cast<std::uint8_t>(v);
    v >>= 8;
  }
}

inline bool allZero(const std::uint8_t* p, int n) {
  std::uint64_t w;
  for (; n >= 8; n -= 8, p += 8) {
    std::memcpy(&w, p, 8);
    if (w != 0) return false;
  }
  for (int i = 0; i < n; ++i)
    if (p[i] != 0) return false;
  return true;
}

}  // namespace pdx
