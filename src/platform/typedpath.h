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
  TypedPath(std::string text, std::optional<std::filesystem::path> location)
      : m_text(std::move(text)), m_location(std::move(location)) {}
  std::string m_text;
  std::optional<std::filesystem::path> m_location;
};

}  // namespace platform
