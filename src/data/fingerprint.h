// Fingerprints of a company directory's files (paradox/fingerprint.h): what
// a job keeps of the files it leaves behind, so that a later run can tell
// whether anybody changed them since.
//
// A table (a .DB file) is measured by its records: their count and an
// order-independent hash of their contents, memo texts by value, so that the
// product may rewrite its header, its index files and the layout of its
// blocks without the table counting as changed. Any other file is measured
// by its bytes. Standard library only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/typedpath.h"

class TTable;

struct TableFingerprint {
  std::uint64_t records = 0;
  std::string hash;  // 32 hex digits
  bool operator==(const TableFingerprint&) const = default;
};

// The records of table `tableName` in `directory` (a name without an
// extension means its .DB file; letter case ignored). Throws EDBEngineError,
// worded for the table as typed (data/failuretext.h), when the table cannot
// be read.
TableFingerprint FingerprintTable(const platform::TypedPath& directory,
                                  const std::string& tableName);

// The hash FingerprintTable adds up for each record, of the current record of
// an open handle (the record being edited or appended included, before its
// post: for a table without auto-increment fields the same as after it):
// a registry row as a job registers it. 32 hex digits.
std::string RecordFingerprint(const TTable& table);

// The bytes of a file: a hash of its bytes (32 hex digits). Throws
// platform::FileSystemError, worded with the file as typed, when it cannot be
// read.
std::string FingerprintFileBytes(const platform::TypedPath& file);

// One file of a directory as FingerprintDirectory measured it.
struct FileFingerprint {
  std::string name;  // as on the disk
  bool table = false;
  std::uint64_t count = 0;  // a table's records, another file's bytes
  std::string hash;
  bool operator==(const FileFingerprint&) const = default;
};

// Every plain file of `directory` as the jobs list one (platform::listFiles:
// not its subdirectories, nor hidden files), by name: each
// .DB as a table (by its bytes when the engine cannot read it as one: not a
// table, damaged, encrypted), each other file by its bytes, leaving out
//   - a table's companions (.PX, .MB, .Xnn, .Ynn, .XGn, .YGn beside a .DB of
//     the same name): its indexes, and its blob file, whose values the
//     table's hash holds;
//   - the database engine's lock files (*.LCK) and network file
//     (PDOXUSRS.NET), which any session may leave or rewrite;
//   - the names in `ignored` (letter case ignored).
// Sorted by name, letter case ignored. Throws EDBEngineError(kIo) and platform::FileSystemError
// when the system refuses a read, and the latter when the directory cannot be
// listed.
std::vector<FileFingerprint> FingerprintDirectory(const platform::TypedPath& directory,
                                                  const std::vector<std::string>& ignored = {});

// What differs between `before` and `now` (two FingerprintDirectory lists),
// one Turkish line per file: "Char.DB: 14 yeni kayıt", "Cari.DB: 3 kayıt
// silindi", "Cari.DB: kayıtlar değişti", "NOT.TXT: dosya değişti",
// "YENI.TXT: dosya eklendi", "Fatura.DB: dosya silindi". Empty when nothing
// differs. File names are matched without regard to letter case.
std::vector<std::string> DescribeFingerprintChanges(const std::vector<FileFingerprint>& before,
                                                    const std::vector<FileFingerprint>& now);
