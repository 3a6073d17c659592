// Exceptions raised by the table engine and by field binding.
//
// EDatabaseError: a database-level failure the caller can name, such as a
// field that is not in the table ("Field 'X' not found") or one of another
// type. EDBEngineError: the engine itself failed (file missing, not a Paradox
// table, corrupt structure, encrypted table, write refused, key violation).
// Both carry a technical text (English, for support). An engine error about
// a file also carries its cause (FileCause): the file as the engine
// resolved it and the operating system's error; with the error's kind of
// fault (TableFault, from the code and the file) the table layer words the
// user's Turkish message, with the path as the user typed it, and keeps the
// technical text after it (data/failuretext.h).
#pragma once

#include <cctype>
#include <stdexcept>
#include <string>
#include <system_error>

// What an engine failure says about a table, so that the user can be told in
// words of their own (data/failuretext.h), one wording per kind.
enum class TableFault {
  kNone,         // not about the table's files (a refused write, a state, a filter)
  kMissing,      // the table or a file it needs is not there
  kNotATable,    // the file is not a Paradox data file
  kDamaged,      // the data file contradicts itself or its size
  kIndex,        // an index file is damaged or does not agree with the data
  kMemo,         // the blob file (.MB) is damaged
  kEncrypted,    // a password-protected table
  kUnsupported,  // a feature of the table that cannot be handled safely
};

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
  // The kind of fault, from the code and, for damage, the file it names:
  // an index (.PX, .Xnn, .Ynn, .XGn, .YGn) or the blob file (.MB).
  TableFault fault() const {
    switch (m_code) {
      case Code::kNotFound:
        return TableFault::kMissing;
      case Code::kNotATable:
        return isIndexFile(m_cause.file) ? TableFault::kIndex : TableFault::kNotATable;
      case Code::kEncrypted:
        return TableFault::kEncrypted;
      case Code::kUnsupported:
        return TableFault::kUnsupported;
      case Code::kCorrupt:
        if (isIndexFile(m_cause.file)) return TableFault::kIndex;
        return extensionOf(m_cause.file) == "MB" ? TableFault::kMemo : TableFault::kDamaged;
      default:
        return TableFault::kNone;
    }
  }

  // kIo: "Cannot read|write <file>: <the system's text>".
  static EDBEngineError io(const std::string& file, const std::system_error& e, bool writing) {
    return EDBEngineError(
        Code::kIo,
        std::string(writing ? "Cannot write " : "Cannot read ") + file + ": " + e.code().message(),
        FileCause{file, e.code().value(), writing});
  }

 private:
  // The upper-cased extension of a file name, without the dot.
  static std::string extensionOf(const std::string& file) {
    const std::size_t slash = file.find_last_of("/\\");
    const std::size_t dot = file.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string ext = file.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return ext;
  }
  static bool isIndexFile(const std::string& file) {
    const std::string ext = extensionOf(file);
    if (ext == "PX") return true;
    return ext.size() == 3 && (ext[0] == 'X' || ext[0] == 'Y') &&
           std::isxdigit(static_cast<unsigned char>(ext[2])) &&
           (std::isxdigit(static_cast<unsigned char>(ext[1])) || ext[1] == 'G');
  }

  Code m_code;
  FileCause m_cause;
};
