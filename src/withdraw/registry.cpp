#include "withdraw/registry.h"

#include <exception>

#include "carry/record.h"
#include "data/fingerprint.h"
#include "data/schemas.h"
#include "data/ttable.h"
#include "platform/files.h"

namespace withdraw {

namespace {

constexpr const char* kMarkerHeader = "Upgrade-Devir devir geri alma";

}  // namespace

std::vector<RegisteredCompany> ReadRegistry(const platform::TypedPath& dataDir) {
  TTable registry("SirketPravex_T", "sirket.db", &schema::Sirket());
  registry.setDatabaseName(dataDir);
  registry.setReadOnly(true);
  registry.open();
  std::vector<RegisteredCompany> rows;
  TField code = registry.field("SIRKET_KOD"), name = registry.field("KISA_AD"),
         year = registry.field("NUMBER1");
  for (registry.first(); !registry.eof(); registry.next())
    rows.push_back(
        {code.asString(), name.asString(), year.asString(), RecordFingerprint(registry)});
  registry.close();
  return rows;
}

std::optional<RegisteredCompany> FindRegistered(const std::vector<RegisteredCompany>& rows,
                                                const std::string& code, bool* twice) {
  std::optional<RegisteredCompany> found;
  if (twice) *twice = false;
  for (const RegisteredCompany& r : rows) {
    if (r.code != code) continue;
    if (found && twice) *twice = true;
    found = r;
  }
  return found;
}

std::vector<RecordHeader> ReadRecordHeaders(const platform::TypedPath& dataDir) {
  const platform::TypedPath folder = CarryRecordFolder(dataDir);
  std::vector<std::string> names;
  try {
    names = platform::listFiles(folder, report::kCarryRecordMask);
  } catch (const std::exception&) {
    return {};  // no report folder: no record
  }
  std::vector<RecordHeader> out;
  for (const std::string& name : names)
    if (auto header = report::ReadCarryRecordHeader(folder.below(name)))
      out.push_back({name, std::move(*header)});
  return out;
}

std::string WriteMarkerText(const MarkerText& m) {
  return std::string(kMarkerHeader) + "\n" + m.backupFolder + "\n" + m.recordFile + "\n";
}

std::optional<MarkerText> ReadMarkerText(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : text) {
    if (c != '\n') {
      line += c;
      continue;
    }
    lines.push_back(line);
    line.clear();
  }
  // Written whole and synced before anything else changes: three lines.
  if (lines.size() != 3 || lines[0] != kMarkerHeader || lines[1].empty() ||
      lines[1].find_first_of("\\/") != std::string::npos ||
      lines[2].find_first_of("\\/") != std::string::npos)
    return std::nullopt;
  return MarkerText{lines[1], lines[2]};
}

}  // namespace withdraw
