// A path of a run, a directory's or a file's: the text the user typed (or a
// directory's text joined with names) and where it is.
//
// The text is resolved once, when the value is made from it (resolvePath);
// a name below the directory is then looked up from that location, one
// component at a time and without regard to ASCII letter case, as
// resolvePath would look it up, but without walking the directory's own
// path again (on a file share each component is a round trip). Messages
// name paths by the text: the directory's text, "\" and the name, joined
// exactly as typed.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class TypedPath {
 public:
  TypedPath() = default;
  // The only way from a typed text to a location.
  static TypedPath resolve(std::string text);

  const std::string& text() const { return m_text; }
  // Empty when the text names a drive that maps nowhere.
  const std::optional<std::filesystem::path>& location() const { return m_location; }
  // True when it names an existing directory, an existing plain file.
  bool isDirectory() const;
  bool isFile() const;

  // text + "\" + name, as messages show it.
  std::string textOf(std::string_view name) const;
  // Where `name` (one or more components separated by "\" or "/") is below
  // the directory: components that exist under another letter case take
  // the existing entry's name, the rest stay as typed. Empty when the
  // directory maps nowhere.
  std::optional<std::filesystem::path> locate(std::string_view name) const;
  // The entry `name` below this directory, looked up now.
  TypedPath below(std::string_view name) const;
  // The directory this path was named below: the text up to its last
  // separator ("." when it has none) and the location's parent.
  TypedPath parent() const;
  // The last component of the text.
  std::string name() const;

  // Same text: a path is known by what the user typed.
  bool operator==(const TypedPath& other) const { return m_text == other.m_text; }
  bool empty() const { return m_text.empty(); }

 private:
  friend class DirectoryNames;
  TypedPath(std::string text, std::optional<std::filesystem::path> location)
      : m_text(std::move(text)), m_location(std::move(location)) {}
  std::string m_text;
  std::optional<std::filesystem::path> m_location;
};

// The entries of one directory, listed once, for the look-ups of names
// directly below it while only the holder changes the directory (a new
// company's working directory, which no other program knows): each look-up
// then costs no call. The holder tells it of every entry it creates or
// removes there.
class DirectoryNames {
 public:
  // Lists `directory` now; an empty list when it cannot be listed.
  explicit DirectoryNames(TypedPath directory);

  const TypedPath& directory() const { return m_directory; }
  // What directory().below(name) would give now: the existing entry of that
  // name without regard to ASCII case (an exact match first, else the
  // smallest), else the name as typed. A name of several components is
  // looked up on the disk.
  TypedPath below(std::string_view name) const;
  // The plain files whose names match `mask` (platform/wildcard.h), as
  // listFiles() gives them (no names starting with "."), sorted without
  // regard to case. Files are taken as unmarked (no hidden or system
  // attribute): the holder made them by copying.
  std::vector<std::string> files(std::string_view mask) const;

  // The holder created (or replaced) the plain file `name`, or removed it.
  void added(const std::string& name);
  void removed(std::string_view name);

 private:
  struct Entry {
    std::string name;
    bool file;
  };
  TypedPath m_directory;
  std::vector<Entry> m_entries;
};

}  // namespace platform
