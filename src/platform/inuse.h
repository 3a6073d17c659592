// Does another program hold a file open? The question a run asks about the
// product's lock files and the tables it reads or writes before it writes.
//
// What is seen:
//  - Windows: each file is opened for reading with no sharing (share mode
//    0); a sharing or lock violation means another handle has it open. On a
//    share the server answers, so handles of other workstations count too.
//    Handles of this process count as well: close them first.
//  - Linux: the open descriptors of every process of this user (of every
//    process when run as root) but this one, read from /proc/<pid>/fd and
//    compared by device and inode. The wineserver keeps a descriptor of every
//    file a Win32 program under Wine has open, so those programs are seen.
//    Processes of other users and of other computers are not seen; on a
//    network file system (onNetworkFileSystem) nothing of other computers.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// For each of `files` (real locations), whether another program holds it
// open now: result[i] answers files[i]. A file that does not exist, or that
// cannot be looked at, is not held.
std::vector<bool> heldOpenElsewhere(const std::vector<std::filesystem::path>& files);

// The whole question: heldOpenElsewhere, and on Linux also the Wine prefix
// that drive letters go through, when a wineserver runs for it, through the
// helper beside the program in one run (productcheck/wineinuse.h, within the
// product check's ten seconds). `failure` (Turkish) says why a running
// prefix could not be asked; `held` then holds what the rest saw.
struct FilesInUse {
  std::vector<bool> held;
  std::string failure;
};
FilesInUse filesInUse(const std::vector<std::filesystem::path>& files);

// Where a file system's type comes from: statfs's f_type for a location, or
// empty when it cannot be asked. Replaceable for tests.
using FileSystemTypeSource = std::optional<long long> (*)(const std::filesystem::path& location);

// Installs `source` (nullptr: statfs again) and returns the one it replaces.
FileSystemTypeSource setFileSystemTypeSource(FileSystemTypeSource source);

// True when `directory` lies on a network file system (CIFS/SMB, NFS, AFS,
// Ceph, NCP, Coda) whose files other computers may hold open unseen from
// here. Always false on Windows, where the share's server answers for every
// workstation, and when the type cannot be asked.
bool onNetworkFileSystem(const std::filesystem::path& directory);

}  // namespace platform
