#include "data/failuretext.h"

#include <cerrno>
#include <cstdio>

#include "platform/paths.h"

std::string FailureCause(const std::error_code& error) {
  if (error.category() == std::generic_category() || error.category() == std::system_category()) {
    const std::error_condition c = error.default_error_condition();
    if (c == std::errc::no_space_on_device) return "diskte yer kalmadı";
    if (c == std::errc::permission_denied || c == std::errc::operation_not_permitted)
      return "erişim izni yok";
    if (c == std::errc::read_only_file_system) return "disk yalnızca okunabilir";
    if (c == std::errc::file_too_large) return "dosya boyutu sınırı aşıldı";
    if (c == std::errc::device_or_resource_busy || c == std::errc::text_file_busy ||
        c == std::errc::resource_unavailable_try_again)
      return "dosya başka bir program tarafından kullanılıyor";
    if (c == std::errc::io_error) return "disk okuma/yazma hatası";
    if (c == std::errc::no_such_file_or_directory) return "dosya bulunamadı";
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
  for (char& c : text)
    if (c == '.') c = ',';  // Turkish decimal comma
  return text;
}

std::string FailureText(const std::exception& failure) {
  if (const auto* fs = dynamic_cast<const platform::FileSystemError*>(&failure))
    if (fs->cause())
      return FileFailureText(fs->writing() ? "Dosya yazılamadı" : "Dosya okunamadı", fs->path(),
                             FailureCause(fs->cause()));
  return failure.what();
}
