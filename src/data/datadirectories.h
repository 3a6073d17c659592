// Paths of the product's data directories, joined exactly as typed: the
// directory text, "\" and a fixed name; nothing is trimmed or normalised (a
// trailing "\" in the directory gives two separators in a row).
#pragma once

#include <string>

#include "platform/typedpath.h"

// data directory + "\" + company code
std::string CompanyDirectory(const std::string& dataDir, const std::string& companyCode);
// newest data directory + "\DBBACKUP"
std::string TemplateDirectory(const std::string& newestDataDir);
// newest data directory + "\DBBACKUP\" + file ("ayar.db", "ayar.val", ...)
std::string TemplateFile(const std::string& newestDataDir, const std::string& file);
// newest data directory + "\" + code + "\" + file ("ayar.Db", "ayar2.Val", ...)
std::string CompanyFile(const std::string& newestDataDir, const std::string& companyCode,
                        const std::string& file);

// The same directories as values below a data directory's (each a look-up
// of its last name only).
platform::TypedPath CompanyDirectory(const platform::TypedPath& dataDir,
                                     const std::string& companyCode);
platform::TypedPath TemplateDirectory(const platform::TypedPath& newestDataDir);
