#include "report/reportfiles.h"

#include <algorithm>
#include <fstream>

#include "platform/paths.h"
#include "report/reportformat.h"

namespace report {

namespace {

void writeWhole(const std::string& pathText, const std::string& content) {
  const auto path = platform::resolvePath(pathText);
  if (!path) throw platform::FileSystemError("Rapor dosyası yazılamadı: " + pathText);
  std::ofstream out(*path, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  out.close();
  if (!out) throw platform::FileSystemError("Rapor dosyası yazılamadı: " + pathText);
}

}  // namespace

std::string ReportDirectory(const std::string& dataDirectory) {
  return dataDirectory + "\\" + kReportFolderName;
}

std::string ReportFileBase(const RunReport& report) {
  std::string name = "Devir " + report.date;
  // "2026-12-07 14:05" -> "2026-12-07 1405": no colon in a file name.
  name.erase(std::remove(name.begin(), name.end(), ':'), name.end());
  const std::size_t shown = std::min<std::size_t>(report.companies.size(), 4);
  for (std::size_t i = 0; i < shown; ++i)
    name += " " + report.companies[i].oldCode + "-" + report.companies[i].newCode;
  if (report.companies.size() > shown)
    name += " ve " + std::to_string(report.companies.size() - shown) + " şirket daha";
  return name;
}

SavedReport SaveReportFiles(const std::string& folder, const std::string& base,
                            const std::string& html, const std::string& csv) {
  if (!platform::createDirectories(folder))
    throw platform::FileSystemError("Rapor dizini oluşturulamadı: " + folder);
  const std::string path = folder + "\\" + base;
  std::string suffix;
  for (int n = 2; platform::fileExists(path + suffix + ".html") ||
                  platform::fileExists(path + suffix + ".csv");
       ++n)
    suffix = " (" + std::to_string(n) + ")";
  SavedReport saved{path + suffix + ".html", path + suffix + ".csv"};
  writeWhole(saved.htmlFile, html);
  writeWhole(saved.csvFile, csv);
  return saved;
}

SavedReport SaveReport(const RunReport& report, const std::string& folder) {
  return SaveReportFiles(folder, ReportFileBase(report), HtmlReport(report), CsvReport(report));
}

}  // namespace report
