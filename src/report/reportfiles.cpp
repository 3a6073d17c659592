#include "report/reportfiles.h"

#include <algorithm>
#include <fstream>

#include "platform/paths.h"
#include "report/reportformat.h"

namespace report {

namespace {

void writeWhole(const platform::TypedPath& file, const std::string& content) {
  const std::string& pathText = file.text();
  const std::optional<std::filesystem::path>& path = file.location();
  if (!path) throw platform::FileSystemError("Rapor dosyası yazılamadı: " + pathText);
  std::ofstream out(*path, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  out.close();
  if (!out) throw platform::FileSystemError("Rapor dosyası yazılamadı: " + pathText);
}

}  // namespace

platform::TypedPath ReportDirectory(const platform::TypedPath& dataDirectory) {
  return dataDirectory.below(kReportFolderName);
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

SavedReport SaveReportFiles(const platform::TypedPath& folder, const std::string& base,
                            const std::string& html, const std::string& csv) {
  if (!platform::createDirectories(folder))
    throw platform::FileSystemError("Rapor dizini oluşturulamadı: " + folder.text());
  std::string suffix;
  for (int n = 2; folder.below(base + suffix + ".html").isFile() ||
                  folder.below(base + suffix + ".csv").isFile();
       ++n)
    suffix = " (" + std::to_string(n) + ")";
  const platform::TypedPath htmlFile = folder.below(base + suffix + ".html");
  const platform::TypedPath csvFile = folder.below(base + suffix + ".csv");
  writeWhole(htmlFile, html);
  writeWhole(csvFile, csv);
  return {htmlFile.text(), csvFile.text()};
}

SavedReport SaveReport(const RunReport& report, const platform::TypedPath& folder) {
  return SaveReportFiles(folder, ReportFileBase(report), HtmlReport(report), CsvReport(report));
}

}  // namespace report
