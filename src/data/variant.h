// A field value held outside a table: what the in-memory company list stores
// and what whole-row copies move between tables.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

// Null (blank), text (UTF-8), float, integer, boolean, date-time (days since
// 1899-12-30, the product's date value) or raw bytes (memo and blob values).
struct Variant {
  struct DateTime {
    double days = 0;
    bool operator==(const DateTime&) const = default;
  };
  struct Bytes {
    std::string data;
    bool operator==(const Bytes&) const = default;
  };
  std::variant<std::monostate, std::string, double, std::int64_t, bool, DateTime, Bytes> value;

  bool isNull() const { return std::holds_alternative<std::monostate>(value); }
  bool operator==(const Variant&) const = default;
};
