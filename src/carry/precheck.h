// What the carry-forward makes sure of before it writes anything.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/typedpath.h"

class RunHost;
struct RunOptions;
struct Workspace;

// One file of a directory as a run would find it: its name there and the
// directory that holds those bytes now.
struct FileSource {
  std::string name;
  platform::TypedPath from;
};

// The data directory as the edition upgrade of the same run would leave it,
// for checking before the upgrade has run (the dry run of both jobs).
struct DirectoryAfterUpgrade {
  struct Company {
    std::string code;
    std::vector<FileSource> files;
    // Its settings table rebuilt in the template's layout from the first
    // row of the one in `files`.
    bool settingsRebuilt = false;
  };
  std::vector<FileSource> dataFiles;  // the data directory's own files
  std::vector<Company> companies;     // the directories the upgrade fills
  std::uintmax_t bytesWritten = 0;    // what the upgrade takes of the disk first
};

// First the data directory: its template directory can be listed (else
// "Şablon dizini bulunamadı: <dir>" or "Şablon dizini okunamadı: <dir>
// (<cause>)"), and the registry's files and the directory itself take
// writes (else the registry named with the real cause: "dosya salt okunur",
// "disk salt okunur", "erişim izni yok").
// Then, for every selected company of ws.RxSirket, in list order:
//  - with YTL ticked, its settings do not already hold the new lira
//    ("Yeni Türk Lirası" as PARABIRIMI or "YTL" as PARASIMGE);
//  - every table of its carry-forward file set is whole as a family (no
//    index or memo file without its .DB, no keyed table without its .PX;
//    a missing memo file is not judged: the engine reads a table whose memos
//    are all blank without one);
//  - every table the steps open (Cari, Stok, ceksen, Char, urhar, ayar; the
//    template's where the company has none, but the settings ayar are read
//    from the company itself and must be there) passes the engine's check.
// Then the free space of the data directory's file system against what the
// run will write: every file copied into a new company (in whole 4 KiB
// clusters) plus the largest table family a change rewrites beside itself,
// the registry's included; the message gives both figures. The first problem is shown in the
// information box and the result is false; nothing has been written then.
// A table's problem is worded as data/failuretext.h words it: in Turkish,
// the table as typed, the technical detail for support after it.
// Reads only: tables are opened read-only, nothing is created, removed or
// locked.
bool CheckBeforeWriting(RunHost& host, const RunOptions& run, Workspace& ws);

// The same checks on the data directory as `after` describes it, with the
// same messages (files named where the run would find them). Each file is
// read where its bytes are now, so a table the upgrade changes (re-coded
// movements, flagged invoices) is checked as it is before the change; the
// currency of rebuilt settings is read by field name from the table they are
// rebuilt from; the free space is what is left after the upgrade's bytes.
bool CheckBeforeWriting(RunHost& host, const RunOptions& run, Workspace& ws,
                        const DirectoryAfterUpgrade& after);
