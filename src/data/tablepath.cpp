#include "data/tablepath.h"

#include <cerrno>
#include <optional>
#include <system_error>

#include "paradox/errors.h"
#include "platform/paths.h"

namespace fs = std::filesystem;

fs::path ResolveTableFile(const platform::TypedPath& directory, const std::string& tableName) {
  std::string file = tableName;
  if (fs::path(file).extension().empty()) file += ".DB";
  const std::string shown = directory.textOf(file);
  std::optional<fs::path> found = directory.locate(file);
  std::error_code ec;
  if (!found || !fs::is_regular_file(*found, ec))
    throw EDBEngineError(EDBEngineError::Code::kNotFound, "Table does not exist.\nFile: " + shown,
                         FileCause{shown, ENOENT, false});
  return *found;
}

fs::path ResolveNewTableFile(const platform::TypedPath& directory, const fs::path& existing) {
  const std::string name = platform::typedName(existing);
  const std::string shown = directory.textOf(name);
  std::optional<fs::path> found = directory.locate(name);
  std::error_code ec;
  if (!found || !fs::is_directory(found->parent_path(), ec))
    throw EDBEngineError(EDBEngineError::Code::kNotFound,
                         "Directory does not exist.\nFile: " + shown,
                         FileCause{shown, ENOENT, false});
  return *found;
}
