// The one place that words a failed table or file operation for the user,
// in Turkish, with the path as the user typed it. Texts are UTF-8.
//
//   describeTableFailure("C:\\ZEFIRTAK\\KMX3\\DATA\\sirket.db", TableAction::kWrite,
//                        FailureCause{ENOSPC})
//     -> "Tablo yazılamadı: C:\ZEFIRTAK\KMX3\DATA\sirket.db (diskte yer kalmadı)"
//
// The engine knows only the resolved path and the cause (EDBEngineError::
// cause()); the table handles, which know the directory as typed, call this,
// and so do the jobs, the run driver and pdxtool, so that one failure reads
// the same everywhere.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <system_error>

class EDBEngineError;

enum class TableAction {
  kOpen,   // "Tablo açılamadı"
  kRead,   // "Tablo okunamadı"
  kWrite,  // "Tablo yazılamadı"
  kCopy,   // "Dosya kopyalanamadı"
};

struct FailureCause {
  int osError = 0;       // errno value; 0 when not the system's refusal
  bool damaged = false;  // the file's content is inconsistent ("tablo bozuk")
};

// "<action>: <typedPath> (<cause>)". The path is used exactly as given.
std::string describeTableFailure(const std::string& typedPath, TableAction action,
                                 const FailureCause& cause);

// The same for an engine error: the action is writing or reading as the
// error's cause says (opening for kNotFound, kNotATable, kEncrypted), the
// cause its errno, or damage for kCorrupt. `typedPath` names the file the
// error's cause names, as typed (see typedFilePath).
std::string describeTableFailure(const std::string& typedPath, const EDBEngineError& e);

// The typed form of a file in a typed directory: `typedDirectory`, "\" (or
// "/" when the directory text uses only "/") and `fileName`, a working file
// (".sirket.db.new~", ".sirket.db.ix~") standing for the file it belongs to.
std::string typedFilePath(const std::string& typedDirectory, const std::string& fileName);

// The working file's own name for a working file (".sirket.db.new~" ->
// "sirket.db"), else `fileName` unchanged.
std::string visibleFileName(const std::string& fileName);

// The cause of an operating-system failure in a few Turkish words (the same
// words as describeTableFailure); the system's own text for causes without a
// wording of ours.
std::string CauseText(const std::error_code& error);

// "<what>: <typed path> (<cause>)" for any file or directory a run could not
// use; without a cause the parenthesis is left out.
std::string FileFailureText(const std::string& what, const std::string& typedPath,
                            const std::string& cause);

// A byte count as a user reads it: "1,5 MB", "240 KB", "3,2 GB".
std::string SizeText(std::uintmax_t bytes);

// The text a run shows for a failure it did not expect: for a file the
// operating system refused (platform::FileSystemError with a cause), the
// Turkish FileFailureText naming the file as typed; otherwise what() (engine
// errors reach the jobs already worded by describeTableFailure).
std::string FailureText(const std::exception& failure);
