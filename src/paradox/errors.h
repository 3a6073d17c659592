// Exceptions raised by the table engine and by field binding.
//
// EDatabaseError: a database-level failure the caller can name, such as a
// field that is not in the table ("Field 'X' not found") or one of another
// type. EDBEngineError: the engine itself failed (file missing, not a Paradox
// table, corrupt structure, encrypted table, write refused, key violation).
// Both carry the text shown to the user; the run driver reports it as is.
#pragma once

#include <stdexcept>
#include <string>

class EDatabaseError : public std::runtime_error {
 public:
  explicit EDatabaseError(const std::string& message) : std::runtime_error(message) {}
};

class EDBEngineError : public EDatabaseError {
 public:
  enum class Code {
    kNotFound,       // file or directory missing
    kNotATable,      // not a Paradox data file
    kCorrupt,        // structure inconsistent with itself or the file size
    kEncrypted,      // password-protected table: refused, never misread
    kReadOnly,       // asked to write a table opened or stored read-only
    kKeyViolation,   // duplicate key on post
    kUnsupported,    // a feature we cannot handle safely (e.g. a sort order)
    kIo,             // the operating system refused a read or write
    kFilter,         // a filter expression outside the grammar
    kState,          // an operation in the wrong cursor state
  };
  EDBEngineError(Code code, const std::string& message)
      : EDatabaseError(message), m_code(code) {}
  Code code() const { return m_code; }

 private:
  Code m_code;
};
