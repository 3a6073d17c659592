// Finding a table's data file from a directory text and a table name.
#pragma once

#include <filesystem>
#include <string>

#include "platform/typedpath.h"

// The data file of table `tableName` in `directory` (letter case ignored). A name without an
// extension means its .DB file. Throws EDBEngineError(kNotFound) naming the table when the
// directory or the file does not exist.
std::filesystem::path ResolveTableFile(const platform::TypedPath& directory,
                                       const std::string& tableName);

// Where the data file `existing` of a table elsewhere goes in `directory` under its own file name:
// an existing file of that name in another letter case is the place, as a copy would replace it.
// Throws EDBEngineError(kNotFound) when the directory does not exist.
std::filesystem::path ResolveNewTableFile(const platform::TypedPath& directory,
                                          const std::filesystem::path& existing);
