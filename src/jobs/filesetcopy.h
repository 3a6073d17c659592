// Moving tables between directories as plain files.
#pragma once

#include <array>
#include <string>
#include <vector>

class RunHost;
struct Workspace;

// The 38 masks of a company's carry-forward file set, in the order the set is
// built. "tssabit.*" is there twice (entries 27 and 37), so its files are
// listed and copied twice.
extern const std::array<const char*, 38> kCarryForwardMasks;

// Copies every file named in `names` (bare names, in list order, duplicates
// copied again) from `source` to `target`, both directory texts as typed and
// joined with the names by "\".
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
// A name that is missing in the source, and a target kept on purpose, are
// passed over silently. Any other failure of a single copy (a read error, a
// full disk, a refused write) throws platform::FileSystemError naming the
// file, and the target file is left as it was before that copy.
bool CopyFileSet(RunHost& host, const std::vector<std::string>& names, const std::string& source,
                 const std::string& target, bool overwrite);

// Rebuilds ws.ListBoxCopy with the carry-forward file set of `directory`:
// FileListBox1 is pointed at it and every mask of kCarryForwardMasks is added
// in order. Throws platform::FileSystemError when the directory cannot be
// listed. FileListBox1 keeps the last mask ("taksit.*").
void KMXList(Workspace& ws, const std::string& directory);

// Sets the mask of ws.FileListBox1 and appends its entries, in order, to
// ws.ListBoxCopy; duplicates are not checked.
void KMXListEkle(Workspace& ws, const std::string& mask);
