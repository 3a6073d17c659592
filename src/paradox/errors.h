// Exceptions raised by the table engine and by field binding.
//
// EDatabaseError: a database-level failure the caller can name, such as a
// field that is not in the table ("Field 'X' not found") or one of another
// type. EDBEngineError: the engine itself failed (file missing, not a Paradox
// table, corrupt structure, encrypted table, write refused, key violation).
// Both carry the text shown to the user; the run driver reports it as is.
// An engine error about a file also carries its cause (FileCause): the file
// as the engine resolved it and the operating system's error, from which
// the table layer words its own message with the path as the user typed it
// (data/failuretext.h).
#pragma once

#include <stdexcept>
#include <string>
#include <system_error>

// Which file an engine failure concerns and why.
struct FileCause {
  std::string file;      // as resolved: a table, an index, a blob file or a working copy
  int osError = 0;       // errno value; 0 when the file's content is at fault
  bool writing = false;  // the failed call was changing the file
};

class EDatabaseError : public std::runtime_error {
 public:
  explicit EDatabaseError(const std::string& message) : std::runtime_error(message) {}
};

class EDBEngineError : public EDatabaseError {
 public:
  enum class Code {
    kNotFound,      // file or directory missing
    kNotATable,     // not a Paradox data file
    kCorrupt,       // structure inconsistent with itself or the file size
    kEncrypted,     // password-protected table: refused, never misread
    kReadOnly,      // asked to write a table opened or stored read-only
    kKeyViolation,  // duplicate key on post
    kUnsupported,   // a feature we cannot handle safely (e.g. a sort order)
    kIo,            // the operating system refused a read or write
    kFilter,        // a filter expression outside the grammar
    kState,         // an operation in the wrong cursor state
  };
  EDBEngineError(Code code, const std::string& message) : EDatabaseError(message), m_code(code) {}
  EDBEngineError(Code code, const std::string& message, FileCause cause)
      : EDatabaseError(message), m_code(code), m_cause(std::move(cause)) {}
  Code code() const { return m_code; }
  // The file and the cause; file empty when the failure concerns no file.
  const FileCause& cause() const { return m_cause; }

  // kIo: "Cannot read|write <file>: <the system's text>".
  static EDBEngineError io(const std::string& file, const std::system_error& e, bool writing) {
    return EDBEngineError(
        Code::kIo,
        std::string(writing ? "Cannot write " : "Cannot read ") + file + ": " + e.code().message(),
        FileCause{file, e.code().value(), writing});
  }

 private:
  Code m_code;
  FileCause m_cause;
};
