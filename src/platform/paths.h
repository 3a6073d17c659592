// Path texts as the user types them, turned into real locations.
//
// A path text is a directory text joined with fixed names by "\". On Linux
// both "\" and "/" separate components and repeated separators count as one;
// a leading drive "X:" is looked up in the Wine prefix's drive map
// ($WINEPREFIX, else ~/.wine, then dosdevices/x:). Every component is matched
// against the existing entries without regard to ASCII letter case, so
// "cari.db" finds CARI.DB and nothing is ever created beside an entry that
// differs from it only in case. Messages always show the text as typed.
#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

namespace platform {

class TypedPath;

// A file system operation failed; the message names the path as typed.
class FileSystemError : public std::runtime_error {
 public:
  explicit FileSystemError(const std::string& message) : std::runtime_error(message) {}
  // With the operating system's cause and the path text (as typed) of the
  // file it concerns, for callers that word their own message; `writing`
  // tells a refused write from a refused read.
  FileSystemError(const std::string& message, std::error_code cause, std::string path, bool writing)
      : std::runtime_error(message), m_cause(cause), m_path(std::move(path)), m_writing(writing) {}
  const std::error_code& cause() const { return m_cause; }  // empty when not known
  const std::string& path() const { return m_path; }
  bool writing() const { return m_writing; }

 private:
  std::error_code m_cause;
  std::string m_path;
  bool m_writing = false;
};

// The real location of a path text. Components that exist under another
// letter case take the existing entry's name; the first component that does
// not exist and everything after it stay as typed. Empty when the text names
// a drive that maps nowhere.
std::optional<std::filesystem::path> resolvePath(std::string_view text);

// True when the text names an existing directory (after resolving).
bool directoryExists(std::string_view text);
// True when the text names an existing plain file.
bool fileExists(std::string_view text);

// Where a folder dialog opens for a directory text: the directory it names,
// else its nearest existing parent, with symbolic links (such as the drive
// map's) resolved. Empty for a blank text, a drive that maps nowhere, or a
// relative text none of whose parents exists.
std::optional<std::filesystem::path> nearestExistingDirectory(std::string_view text);

// A real location as the user would type it. Under a drive of the Wine
// prefix that drive letters resolve through: the drive letter, ":" and the
// rest joined by "\" ("C:\ZEFIRTAK\KMX3\DATA"); of several drives the one
// mapped deepest wins, and a drive mapped to the file system's root (Wine's
// z:) is never used, or every location would read "Z:\...". Elsewhere the
// native path as given. On Windows the path as given (UTF-8).
std::string typedPath(const std::filesystem::path& native);
// The last component of a location, as typedPath() would end (UTF-8), without
// looking anything up.
std::string typedName(const std::filesystem::path& native);

// Creates the directory and every missing parent. Returns true when the
// directory exists afterwards; never throws.
bool createDirectories(std::string_view text);
bool createDirectories(const TypedPath& dir);  // resolved already

// The directory the program was started in, as a path text.
std::string currentDirectory();

// The Wine prefix that drive letters are looked up in: $WINEPREFIX when set,
// else ~/.wine. Empty on Windows and when neither can be named; the
// directory need not exist.
std::optional<std::filesystem::path> winePrefix();

}  // namespace platform
