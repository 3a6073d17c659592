// The last resort for a read the system could not satisfy through a mapping.
//
// Table files are mapped only on local disks (FileView, platform/rawfile.h),
// but a dying disk, or a file another program shortens under the mapping,
// still makes the system stop the process with SIGBUS at the read. Without a
// handler the process vanishes with no word (the window simply goes away).
#pragma once

namespace platform {

// The words written to standard error when the handler ends the process.
extern const char kBusErrorMessage[];

// From now on a SIGBUS ends the process with kBusErrorMessage on standard
// error and exit status 2 (an unexpected failure), instead of a silent
// death. A run stopped there has written nothing it published: it can be
// run again. Nothing on Windows, where files are never mapped.
void installBusErrorHandler();

}  // namespace platform
