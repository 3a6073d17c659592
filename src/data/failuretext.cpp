#include "data/failuretext.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "paradox/errors.h"
#include "platform/paths.h"

std::string TableFaultText(TableFault fault, const std::string& file) {
  const std::size_t dot = file.rfind('.');
  const bool memo = dot != std::string::npos && file.size() == dot + 3 &&
                    (file[dot + 1] == 'm' || file[dot + 1] == 'M') &&
                    (file[dot + 2] == 'b' || file[dot + 2] == 'B');
  switch (fault) {
    case TableFault::kNone:
      return "";
    case TableFault::kMissing:
      return memo ? "tablonun not dosyası bulunamadı" : "tablo bulunamadı";
    case TableFault::kNotATable:
      return "Paradox tablosu değil";
    case TableFault::kDamaged:
      return "tablo bozuk";
    case TableFault::kIndex:
      return "tablonun dizin dosyası verilerle uyuşmuyor";
    case TableFault::kMemo:
      return "tablonun not dosyası bozuk";
    case TableFault::kEncrypted:
      return "tablo şifreli";
    case TableFault::kUnsupported:
      return "tablo bu programın işleyemediği bir özellik kullanıyor";
  }
  return "";
}

namespace {

const char* actionText(TableAction action) {
  switch (action) {
    case TableAction::kOpen:
      return "Tablo açılamadı";
    case TableAction::kRead:
      return "Tablo okunamadı";
    case TableAction::kWrite:
      return "Tablo yazılamadı";
    case TableAction::kCopy:
      return "Dosya kopyalanamadı";
  }
  return "Tablo yazılamadı";
}

// Our words for an errno value; empty where we have none.
std::string errnoWords(int error) {
  switch (error) {
    case ENOSPC:
      return "diskte yer kalmadı";
#ifdef EDQUOT
    case EDQUOT:
      return "disk kotası doldu";
#endif
    case EFBIG:
      return "dosya boyu sınırı aşıldı";
    case EACCES:
    case EPERM:
      return "erişim izni yok";
    case EROFS:
      return "disk salt okunur";
    case EBUSY:
#ifdef ETXTBSY
    case ETXTBSY:
#endif
    case EAGAIN:
      return "dosya başka bir program tarafından kullanılıyor";
    case ENOENT:
      return "dosya bulunamadı";
    case EIO:
      return "disk okuma/yazma hatası";
    case EMFILE:
    case ENFILE:
      return "açık dosya sınırı aşıldı";
    default:
      return "";
  }
}

std::string causeText(const FailureCause& cause) {
  if (cause.damaged) return TableFaultText(TableFault::kDamaged, "");
  if (cause.osError == 0) return "bilinmeyen neden";
  std::string words = errnoWords(cause.osError);
  if (!words.empty()) return words;
  return std::string("sistem hatası ") + std::to_string(cause.osError) + ": " +
         std::strerror(cause.osError);
}

// True when `text` is already one of our failure texts.
bool isWorded(const std::string& text) {
  for (TableAction a :
       {TableAction::kOpen, TableAction::kRead, TableAction::kWrite, TableAction::kCopy}) {
    const std::string head = std::string(actionText(a)) + ": ";
    if (text.compare(0, head.size(), head) == 0) return true;
  }
  return false;
}

}  // namespace

std::string describeTableFailure(const std::string& typedPath, TableAction action,
                                 const FailureCause& cause) {
  return std::string(actionText(action)) + ": " + typedPath + " (" + causeText(cause) + ")";
}

std::string describeTableFailure(const std::string& typedPath, const EDBEngineError& e) {
  using Code = EDBEngineError::Code;
  const TableFault fault = e.fault();
  if (fault != TableFault::kNone) {
    // Finding, recognising and decrypting a table happen at its opening.
    const bool opening = fault == TableFault::kMissing || fault == TableFault::kNotATable ||
                         fault == TableFault::kEncrypted;
    const TableAction action = opening             ? TableAction::kOpen
                               : e.cause().writing ? TableAction::kWrite
                                                   : TableAction::kRead;
    return std::string(actionText(action)) + ": " + typedPath + " (" +
           TableFaultText(fault, e.cause().file) + ")" + kSupportDetail + e.what();
  }
  TableAction action = e.cause().writing ? TableAction::kWrite : TableAction::kRead;
  if (e.code() == Code::kReadOnly) {
    // The engine gives the reason a file cannot be written (a read-only
    // disk, no permission); without one the file itself is read-only.
    action = TableAction::kWrite;
    if (e.cause().osError == 0)
      return std::string(actionText(action)) + ": " + typedPath + " (" + kFileReadOnlyText + ")";
  }
  return describeTableFailure(typedPath, action, FailureCause{e.cause().osError, false});
}

std::string WriteRefusalText(platform::WriteRefusal refusal) {
  switch (refusal) {
    case platform::WriteRefusal::kNone:
      return "";
    case platform::WriteRefusal::kFileReadOnly:
      return kFileReadOnlyText;
    case platform::WriteRefusal::kDiskReadOnly:
      return errnoWords(EROFS);
    case platform::WriteRefusal::kNoPermission:
      return errnoWords(EACCES);
  }
  return "";
}

std::string visibleFileName(const std::string& fileName) {
  std::string name = fileName;
  if (name.size() > 1 && name[0] == '.') {  // a working file: the file it stands for
    name.erase(0, 1);
    for (const char* suffix : {".new~", ".ix~"}) {
      const std::size_t n = std::strlen(suffix);
      if (name.size() > n && name.compare(name.size() - n, n, suffix) == 0) {
        name.erase(name.size() - n);
        break;
      }
    }
  }
  return name;
}

std::string typedFilePath(const std::string& typedDirectory, const std::string& fileName) {
  const std::string name = visibleFileName(fileName);
  const bool slashOnly = typedDirectory.find('/') != std::string::npos &&
                         typedDirectory.find('\\') == std::string::npos;
  std::string path = typedDirectory;
  if (!path.empty() && path.back() != '\\' && path.back() != '/') path += slashOnly ? '/' : '\\';
  return path + name;
}

std::string CauseText(const std::error_code& error) {
  // A Windows error code reaches our words through its portable condition.
  const std::error_condition c = error.default_error_condition();
  if (c.category() == std::generic_category()) {
    std::string words = errnoWords(c.value());
    if (!words.empty()) return words;
  }
  return error.message();
}

std::string FileFailureText(const std::string& what, const std::string& typedPath,
                            const std::string& cause) {
  std::string text = what + ": " + typedPath;
  if (!cause.empty()) text += " (" + cause + ")";
  return text;
}

std::string SizeText(std::uintmax_t bytes) {
  static const char* const kUnits[] = {"bayt", "KB", "MB", "GB", "TB"};
  double value = static_cast<double>(bytes);
  int unit = 0;
  while (value >= 1024 && unit < 4) {
    value /= 1024;
    ++unit;
  }
  char buffer[32];
  if (unit == 0)
    std::snprintf(buffer, sizeof buffer, "%ju %s", bytes, kUnits[0]);
  else
    std::snprintf(buffer, sizeof buffer, "%.1f %s", value, kUnits[unit]);
  std::string text = buffer;
  for (char& ch : text)
    if (ch == '.') ch = ',';  // Turkish decimal comma
  return text;
}

std::string FailureText(const std::exception& failure) {
  if (const auto* fs = dynamic_cast<const platform::FileSystemError*>(&failure))
    if (fs->cause()) {
      // A directory that could not be listed (platform::listFiles).
      const std::string what = fs->what();
      if (what.rfind("Directory not found", 0) == 0)
        return FileFailureText("Dizin bulunamadı", fs->path(), "");
      if (what.rfind("Cannot list directory", 0) == 0)
        return FileFailureText("Dizin okunamadı", fs->path(), CauseText(fs->cause()));
      return FileFailureText(fs->writing() ? "Dosya yazılamadı" : "Dosya okunamadı", fs->path(),
                             CauseText(fs->cause()));
    }
  // An engine error that no table handle has worded (an opening): the file
  // as the user would type it.
  if (const auto* engine = dynamic_cast<const EDBEngineError*>(&failure)) {
    if (!engine->cause().file.empty() && !isWorded(engine->what()))
      return describeTableFailure(platform::typedPath(engine->cause().file), *engine);
    // A table handle that finds no table names it as typed after "File: "
    // (data/tablepath.h).
    const std::string what = engine->what();
    const std::size_t named = what.find("\nFile: ");
    if (engine->fault() == TableFault::kMissing && named != std::string::npos)
      return describeTableFailure(what.substr(named + 7), *engine);
  }
  return failure.what();
}

std::string TableFailureText(const std::string& typedPath, const std::exception& failure) {
  if (const auto* engine = dynamic_cast<const EDBEngineError*>(&failure))
    if (!isWorded(engine->what())) return describeTableFailure(typedPath, *engine);
  return FailureText(failure);
}

std::string UnreadableTableText(const std::string& typedDirectory, const std::exception& failure) {
  const auto* engine = dynamic_cast<const EDBEngineError*>(&failure);
  if (!engine || engine->code() != EDBEngineError::Code::kIo) return {};
  const FileCause& cause = engine->cause();
  if (cause.osError == 0 || cause.osError == ENOENT || cause.file.empty()) return {};
  const std::string name = cause.file.substr(cause.file.find_last_of("/\\") + 1);
  return describeTableFailure(typedFilePath(typedDirectory, visibleFileName(name)), *engine);
}
