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

#include "paradox/errors.h"
#include "platform/files.h"

// Between what the user is told and the engine's own technical text, which
// stays for support: "<words>\r\nAyrıntı (destek için): <technical text>".
inline constexpr const char* kSupportDetail = "\r\nAyrıntı (destek için): ";
// A file marked read-only (its attribute or mode), on a disk that is not.
inline constexpr const char* kFileReadOnlyText = "dosya salt okunur";

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

// The same for an engine error. A fault of the table's files (e.fault())
// is worded by its kind, one wording each ("tablo bulunamadı", "Paradox
// tablosu değil", "tablo bozuk", "tablonun dizin dosyası verilerle
// uyuşmuyor", "tablonun not dosyası bozuk", "tablo şifreli", ...) and
// followed by kSupportDetail and the engine's text; the action is opening
// for a table missing, not a table or encrypted, else reading or writing as
// the cause says. Other failures give their errno's words; a write refused
// without one is "dosya salt okunur". `typedPath` names the table (or the
// file the error's cause names), as typed (see typedFilePath):
//   "Tablo okunamadı: C:\DATA\2005_001\Cari.DB (tablo bozuk)\r\n"
//   "Ayrıntı (destek için): Corrupt table ...: blocks hold 7 records, ..."
std::string describeTableFailure(const std::string& typedPath, const EDBEngineError& e);

// The words for a fault of a table's files, one wording per kind; empty for
// kNone. `file` is the file the fault names (the blob file's own words).
std::string TableFaultText(TableFault fault, const std::string& file);

// Why a file or directory cannot be written, in the words of the causes
// above ("dosya salt okunur", "disk salt okunur", "erişim izni yok"); empty
// for kNone.
std::string WriteRefusalText(platform::WriteRefusal refusal);

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
// Turkish FileFailureText naming the file as typed; for an engine error about
// a file that no table handle has worded yet (an opening), describeTableFailure
// with the file as typed (platform::typedPath); otherwise what() (engine
// errors from an open table handle come worded already).
std::string FailureText(const std::exception& failure);

// The same for a failure while using the table `typedPath` names (as typed):
// an engine error not yet worded is worded for that table; anything else as
// FailureText words it.
std::string TableFailureText(const std::string& typedPath, const std::exception& failure);

// For a table of `typedDirectory` that could not be opened: the worded
// failure when the system refused to read a file that is there (a disk or a
// share failing: "Tablo okunamadı: ...\sirket.db (disk okuma/yazma
// hatası)"), else empty, so that a missing or damaged table keeps the
// caller's own words.
std::string UnreadableTableText(const std::string& typedDirectory, const std::exception& failure);
