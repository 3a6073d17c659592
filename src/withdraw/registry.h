// What the withdrawal reads of the registry and the report folder, shared by
// the plan, the run and the tidying.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/typedpath.h"
#include "report/carryrecord.h"

namespace withdraw {

struct RegisteredCompany {
  std::string code, shortName, year;
  std::string rowHash;  // RecordFingerprint of its row
};

// Every row of the newest registry, read-only. Throws as the table handle
// does when it cannot be read.
std::vector<RegisteredCompany> ReadRegistry(const platform::TypedPath& dataDir);

// The registered company of `code` (exact), or nothing; `twice` is set when
// two rows hold it.
std::optional<RegisteredCompany> FindRegistered(const std::vector<RegisteredCompany>& rows,
                                                const std::string& code, bool* twice = nullptr);

// A carry record of the report folder, by its header.
struct RecordHeader {
  std::string file;  // the name in the report folder
  report::CarryRecordData header;
};

// Every carry record in the report folder whose header reads.
std::vector<RecordHeader> ReadRecordHeaders(const platform::TypedPath& dataDir);

// The marker's content: the backup folder's and the record's names.
struct MarkerText {
  std::string backupFolder, recordFile;
};
std::string WriteMarkerText(const MarkerText& m);
std::optional<MarkerText> ReadMarkerText(const std::string& text);

}  // namespace withdraw
