// Moving tables between directories as plain files.
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/typedpath.h"

class RunHost;
struct Workspace;

// The 38 masks of a company's carry-forward file set, in the order the set is
// built. "tssabit.*" is there twice (entries 27 and 37), so its files are
// listed and copied twice.
extern const std::array<const char*, 38> kCarryForwardMasks;

// Copies every file named in `names` (bare names, in list order, duplicates
// copied again) from `source` to `target`; messages name each file by its
// directory's text joined with the name by "\".
//
// With `overwrite` set a missing target directory is created with its
// parents (after the notice "Bir dizin adı belirtmelisiniz\r\nAna dizin
// seçilemez" and no copy when its text has one to three characters) and
// existing target files are replaced; with it clear a missing target ends the
// copy and existing target files are kept. Returns false when nothing could
// be copied for one of those reasons (an empty list, a missing source or
// target directory), true when every name was handed to the copy. The gauge
// advances by one per name.
//
// The files of one table (one base name; .DB, .PX, .Xnn/.Ynn, .XGn/.YGn,
// .MB, .VAL) go together, in the order the table's first file is listed:
// with `overwrite` set each table is replaced as a whole (ReplaceTableFiles),
// with it clear its missing files are added with the data file last. Other
// files are copied one by one in list order.
//
// A name that is missing in the source, and a target kept on purpose, are
// passed over silently. Any other failure of a copy (a read error, a full
// disk, a refused write) throws platform::FileSystemError naming the file
// as typed; the target table is then left as it was (or, for a failure
// among a table's renames, as the engine's recovery repairs it).
//
// With `unpublished` set the target is a directory that no program uses
// until it is published (a new company built aside, carry/staging.h): a
// table's files are copied straight over its target's, with the same
// result as the replace as a whole and no sync; the caller makes the whole
// directory durable with SyncBeforePublishing before the rename that
// publishes it. The data files named in `writtenByTables` (bare names,
// letter case ignored; only with `unpublished`) are counted as copied and
// not copied: a table opened over each in `source` (TTable::setOrigin)
// writes it, with only the records it keeps.
bool CopyFileSet(RunHost& host, const std::vector<std::string>& names,
                 const platform::TypedPath& source, const platform::TypedPath& target,
                 bool overwrite, bool unpublished = false,
                 const std::vector<std::string>& writtenByTables = {});
// The same from two directory texts, resolved here (tools and tests).
bool CopyFileSet(RunHost& host, const std::vector<std::string>& names, const std::string& source,
                 const std::string& target, bool overwrite, bool unpublished = false,
                 const std::vector<std::string>& writtenByTables = {});

// Makes every file under the directory `dir` (sub-directories included; not
// hidden names, which begin with ".") and the directories themselves durable, so that a rename that
// publishes `dir` can never show a name whose bytes are not on the disk. Throws
// platform::FileSystemError naming the file (as found under `dir`) when it
// cannot be opened or synced.
void SyncBeforePublishing(const std::filesystem::path& dir);

// Makes the files `names` (bare names) of the directory `directory` and the
// directory itself durable; a name that is not there is passed over. Throws
// like SyncBeforePublishing.
void SyncFilesIn(const platform::TypedPath& directory, const std::vector<std::string>& names);

// One file of a table to be put in place: its source and its target, each
// named below its directory (TypedPath::below).
struct TableFileCopy {
  platform::TypedPath from;
  platform::TypedPath to;
};

// Replaces a table's files in one target directory by copies of `files`, as
// a whole, so that a process killed at any moment leaves the old family or
// the new one:
//  1. every file is copied beside its target under a hidden name (a source
//     that is missing is left out); `copied` is called after each file;
//  2. when the target holds the table's data file, the engine's recovery
//     marker is written (pdx: an interrupted commit), and the target's index
//     files that no copy replaces are removed (they would index other data);
//  3. the copies are renamed over their targets back to back, companions
//     first and the data file (.DB) last, as the engine commits a change;
//     then the marker goes.
// A kill between two renames leaves the marker, on which the next open of
// the table rebuilds indexes that do not agree with its data. A failure in
// step 1 removes the hidden copies and leaves the target as it was. Throws
// platform::FileSystemError naming the target file as typed.
void ReplaceTableFiles(const std::vector<TableFileCopy>& files,
                       const std::function<void()>& copied = {});

// The message that stops a run, before anything is written, when the
// template directory of the newest data directory `dataDirectory` cannot be
// listed: "Şablon dizini bulunamadı: <dir>" when it does not exist,
// "Şablon dizini okunamadı: <dir> (<cause>)" when it cannot be read; empty
// when it can.
std::string TemplateDirectoryProblem(const platform::TypedPath& dataDirectory);

// True when `name` is a file of a Paradox table (its data file or a
// companion the engine keeps beside it).
bool IsTableFile(const std::string& name);

// Rebuilds ws.ListBoxCopy with the carry-forward file set of `directory`:
// FileListBox1 is pointed at it and every mask of kCarryForwardMasks is added
// in order. Throws platform::FileSystemError when the directory cannot be
// listed. FileListBox1 keeps the last mask ("taksit.*").
void KMXList(Workspace& ws, const platform::TypedPath& directory);
void KMXList(Workspace& ws, const std::string& directory);  // resolved here (tests)

// Sets the mask of ws.FileListBox1 and appends its entries, in order, to
// ws.ListBoxCopy; duplicates are not checked.
void KMXListEkle(Workspace& ws, const std::string& mask);
