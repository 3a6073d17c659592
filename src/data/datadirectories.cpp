#include "data/datadirectories.h"

std::string CompanyDirectory(const std::string& dataDir, const std::string& companyCode) {
  return dataDir + "\\" + companyCode;
}

std::string TemplateDirectory(const std::string& newestDataDir) {
  return newestDataDir + "\\DBBACKUP";
}

std::string TemplateFile(const std::string& newestDataDir, const std::string& file) {
  return newestDataDir + "\\DBBACKUP\\" + file;
}

std::string CompanyFile(const std::string& newestDataDir, const std::string& companyCode,
                        const std::string& file) {
  return newestDataDir + "\\" + companyCode + "\\" + file;
}

platform::TypedPath CompanyDirectory(const platform::TypedPath& dataDir,
                                     const std::string& companyCode) {
  return dataDir.below(companyCode);
}

platform::TypedPath TemplateDirectory(const platform::TypedPath& newestDataDir) {
  return newestDataDir.below("DBBACKUP");
}
