// Finding a table's data file from a directory text and a table name.
#pragma once

#include <filesystem>
#include <string>

// The data file of table `tableName` in `directory` (a path text as typed:
// "\" or "/" separate, letter case ignored). A name without an extension
// means its .DB file. Throws EDBEngineError(kNotFound) naming the table when
// the directory or the file does not exist.
std::filesystem::path ResolveTableFile(const std::string& directory, const std::string& tableName);
