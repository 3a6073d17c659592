#include "data/failuretext.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "paradox/errors.h"
#include "platform/paths.h"

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
  if (cause.damaged) return "tablo bozuk";
  if (cause.osError == 0) return "bilinmeyen neden";
  std::string words = errnoWords(cause.osError);
  if (!words.empty()) return words;
  return std::string("sistem hatası ") + std::to_string(cause.osError) + ": " +
         std::strerror(cause.osError);
}

}  // namespace

std::string describeTableFailure(const std::string& typedPath, TableAction action,
                                 const FailureCause& cause) {
  return std::string(actionText(action)) + ": " + typedPath + " (" + causeText(cause) + ")";
}

std::string describeTableFailure(const std::string& typedPath, const EDBEngineError& e) {
  using Code = EDBEngineError::Code;
  FailureCause cause{e.cause().osError, e.code() == Code::kCorrupt};
  TableAction action = e.cause().writing ? TableAction::kWrite : TableAction::kRead;
  switch (e.code()) {
    case Code::kNotFound:
      action = TableAction::kOpen;
      if (cause.osError == 0) cause.osError = ENOENT;
      break;
    case Code::kNotATable:
    case Code::kEncrypted:
      action = TableAction::kOpen;
      cause.damaged = e.code() == Code::kNotATable;
      break;
    case Code::kReadOnly:
      action = TableAction::kWrite;
      if (cause.osError == 0) cause.osError = EROFS;
      break;
    default:
      break;
  }
  if (e.code() == Code::kEncrypted)
    return std::string(actionText(action)) + ": " + typedPath + " (tablo şifreli)";
  return describeTableFailure(typedPath, action, cause);
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
    if (fs->cause())
      return FileFailureText(fs->writing() ? "Dosya yazılamadı" : "Dosya okunamadı", fs->path(),
                             CauseText(fs->cause()));
  return failure.what();
}
