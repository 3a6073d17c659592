// The upgrade's list: what an edition upgrade wrote into the newest data
// directory, kept in its backup folder ("UD_YEDEK_" and the time) beside the
// files it replaced, so that the upgrade can be taken back as long as nobody
// has worked in the data since.
//
// The list is UTF-8 with a byte-order mark, ";"-separated rows
// (platform::csvRow); the first field names the row:
//
//   Upgrade-Devir upgrade kaydı;1            format version
//   önceki dizin;<code>                      a company directory that was there
//                                            before the upgrade wrote anything
//   dosya;<path>;<state>;<kind>;<count>;<hash>
//                                            a file the upgrade wrote: its path
//                                            below the data directory ("sirket.DB",
//                                            "2005_001\Cari.DB"), "değiştirildi"
//                                            (the old file is in the folder under
//                                            the same path) or "oluşturuldu", and
//                                            what it held when the upgrade ended
//                                            (data/fingerprint.h): "tablo" and its
//                                            records, "dosya" and its bytes, or
//                                            nothing for a table's indexes and blob
//                                            file, whose contents the table's
//                                            records cover
//   şirket;<code>;<year>                     a row of the registry the upgrade left
//   son;<rows before it>
//
// It is written twice: before the first file is written, with the directories
// only (a list without "son" marks an upgrade that has not ended: its folder
// holds the files as they were before it, and a repeated upgrade keeps using
// that folder), and at the end, whole.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "data/fingerprint.h"
#include "platform/typedpath.h"

inline constexpr const char* kUpgradeListName = "Upgrade Kaydı.csv";
// The list of an upgrade that was taken back: kept for reference, never used
// again.
inline constexpr const char* kRestoredListName = "Upgrade Kaydı (geri alındı).csv";

struct UpgradeList {
  struct File {
    std::string path;  // below the data directory, components joined by "\"
    bool replaced = false;
    std::optional<FileFingerprint> fingerprint;  // none for a table's companions
  };
  struct Company {
    std::string code;
    std::string year;
  };
  std::vector<std::string> directoriesBefore;
  std::vector<File> files;
  std::vector<Company> registry;
  bool complete = false;  // "son" was there and counts the rows
};

std::string UpgradeListText(const UpgradeList& list);

// The list in `text`; nothing when it is not one, with the reason in `why`.
std::optional<UpgradeList> ParseUpgradeList(const std::string& text, std::string& why);

// Reads `folder`'s list. Nothing when there is none (`why` empty) or when it
// cannot be read or is not whole (`why` says so).
std::optional<UpgradeList> ReadUpgradeList(const platform::TypedPath& folder, std::string& why);

// Writes `list` into `folder` durably: beside its name first, synced, then
// renamed over it (the rename synced too). Throws platform::FileSystemError.
void WriteUpgradeList(const platform::TypedPath& folder, const UpgradeList& list);

// The backup folders of upgrades in `dataDirectory` ("UD_YEDEK_" and a time,
// with a number when two came in one second), oldest first.
std::vector<std::string> UpgradeBackupFolders(const platform::TypedPath& dataDirectory);

// The list's entries for the files of `directory` (`dir`: "" for the data
// directory itself, else a company code) that the upgrade wrote, as they are
// now: `measured` is FingerprintDirectory of it.
std::vector<UpgradeList::File> ListedFiles(const std::string& dir,
                                           const std::vector<std::string>& written,
                                           const std::vector<FileFingerprint>& measured);

// `path` of a list entry below `dir`, one component at a time.
platform::TypedPath BelowPath(const platform::TypedPath& dir, const std::string& path);
