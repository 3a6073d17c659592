// The one place that words a failed table or file operation for the user,
// in Turkish, with the path as the user typed it.
//
//   describeTableFailure("C:\\ZEFIRTAK\\KMX3\\DATA\\sirket.db", TableAction::kWrite,
//                        FailureCause{ENOSPC})
//     -> "Tablo yazılamadı: C:\ZEFIRTAK\KMX3\DATA\sirket.db (diskte yer kalmadı)"
//
// The engine knows only the resolved path and the cause (EDBEngineError::
// cause()); the table handles, which know the directory as typed, call
// this, and so do the file-set copy and pdxtool, so that one failure reads
// the same everywhere. Texts are UTF-8.
#pragma once

#include <string>

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
