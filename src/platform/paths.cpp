#include "platform/paths.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>
#include <vector>

#include "platform/typedpath.h"
#include "platform/wildcard.h"
#ifdef _WIN32
#include "platform/wintext.h"
#endif

namespace fs = std::filesystem;

namespace platform {
namespace {
#ifndef _WIN32

bool isSeparator(char c) {
  return c == '\\' || c == '/';
}

std::vector<std::string> splitComponents(std::string_view text) {
  std::vector<std::string> parts;
  std::string current;
  for (char c : text) {
    if (isSeparator(c)) {
      if (!current.empty()) parts.push_back(std::move(current));
      current.clear();
    } else {
      current.push_back(c);
    }
  }
  if (!current.empty()) parts.push_back(std::move(current));
  return parts;
}

bool entryExists(const fs::path& p) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(p, ec)) && !ec;
}

// The entry of `dir` whose name equals `name` without regard to ASCII case.
// An exact match wins; among several case variants the smallest name does,
// so the choice does not depend on the directory's order.
std::optional<std::string> findNoCase(const fs::path& dir, const std::string& name) {
  if (entryExists(dir / name)) return name;
  std::error_code ec;
  fs::directory_iterator it(dir.empty() ? fs::path(".") : dir, ec);
  if (ec) return std::nullopt;
  std::optional<std::string> found;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    std::string entry = it->path().filename().string();
    if (sameNameNoCase(entry, name) && (!found || entry < *found)) found = entry;
  }
  return found;
}

std::optional<fs::path> driveRoot(char letter) {
  std::optional<fs::path> prefix = winePrefix();
  if (!prefix) return std::nullopt;
  char lower = static_cast<char>(letter >= 'A' && letter <= 'Z' ? letter - 'A' + 'a' : letter);
  fs::path root = *prefix / "dosdevices" / (std::string(1, lower) + ":");
  std::error_code ec;
  if (!fs::exists(root, ec)) return std::nullopt;  // follows the drive's link
  return root;
}

#endif

#ifndef _WIN32
// `rest` looked up component by component below `result`.
fs::path resolveBelow(fs::path result, std::string_view rest) {
  bool matching = true;  // false once a component does not exist
  for (const std::string& part : splitComponents(rest)) {
    if (part == "." || part == ".." || !matching) {
      result /= part;
      continue;
    }
    std::optional<std::string> real = findNoCase(result, part);
    if (real) {
      result /= *real;
    } else {
      result /= part;
      matching = false;
    }
  }
  return result;
}
#endif

}  // namespace

std::optional<fs::path> resolvePath(std::string_view text) {
#ifdef _WIN32
  // Windows reads the text itself: either separator, drive letters, UNC
  // names (\\server\share\DATA), letter case ignored.
  return pathFromUtf8(text);
#else
  fs::path result;
  std::string_view rest = text;
  bool hasDrive = text.size() >= 2 && text[1] == ':' &&
                  ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'));
  if (hasDrive) {
    std::optional<fs::path> root = driveRoot(text[0]);
    if (!root) return std::nullopt;
    result = *root;
    rest = text.substr(2);
  } else if (!text.empty() && isSeparator(text[0])) {
    result = "/";
  }
  return resolveBelow(std::move(result), rest);
#endif
}

TypedPath TypedPath::resolve(std::string text) {
  std::optional<fs::path> location = resolvePath(text);
  return TypedPath(std::move(text), std::move(location));
}

bool TypedPath::isDirectory() const {
  if (!m_location || m_location->empty()) return false;
  std::error_code ec;
  return fs::is_directory(*m_location, ec);
}

bool TypedPath::isFile() const {
  if (!m_location || m_location->empty()) return false;
  std::error_code ec;
  return fs::is_regular_file(*m_location, ec);
}

std::string TypedPath::textOf(std::string_view name) const {
  std::string joined = m_text;
  joined += '\\';
  joined += name;
  return joined;
}

std::optional<fs::path> TypedPath::locate(std::string_view name) const {
  // An empty text joined with a name reads as a path from the root.
  if (m_text.empty()) return resolvePath(textOf(name));
  if (!m_location) return std::nullopt;
#ifdef _WIN32
  return pathFromUtf8(textOf(name));  // no look-ups to save: the text as joined ("C:" + "\\x")
#else
  return resolveBelow(*m_location, name);
#endif
}

TypedPath TypedPath::parent() const {
  const std::size_t cut = m_text.find_last_of("\\/");
  std::optional<fs::path> location;
  if (m_location) location = m_location->parent_path();
  return TypedPath(cut == std::string::npos ? std::string(".") : m_text.substr(0, cut),
                   std::move(location));
}

std::string TypedPath::name() const {
  const std::size_t cut = m_text.find_last_of("\\/");
  return cut == std::string::npos ? m_text : m_text.substr(cut + 1);
}

TypedPath TypedPath::below(std::string_view name) const {
  return TypedPath(textOf(name), locate(name));
}

DirectoryNames::DirectoryNames(TypedPath directory) : m_directory(std::move(directory)) {
  const std::optional<fs::path>& dir = m_directory.location();
  if (!dir || dir->empty()) return;
  std::error_code ec;
  fs::directory_iterator it(*dir, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    std::error_code typeError;
#ifdef _WIN32
    std::string name = utf8FromPath(it->path().filename());
#else
    std::string name = it->path().filename().string();
#endif
    m_entries.push_back({std::move(name), it->is_regular_file(typeError)});
  }
}

TypedPath DirectoryNames::below(std::string_view name) const {
  if (name.empty() || name.find_first_of("\\/") != std::string_view::npos || name == "." ||
      name == ".." || m_directory.text().empty() || !m_directory.location())
    return m_directory.below(name);
  const Entry* found = nullptr;
  for (const Entry& e : m_entries) {
    if (e.name == name) {
      found = &e;
      break;
    }
    if (sameNameNoCase(e.name, name) && (!found || e.name < found->name)) found = &e;
  }
  const std::string real = found ? found->name : std::string(name);
#ifdef _WIN32
  return TypedPath(m_directory.textOf(name), pathFromUtf8(m_directory.textOf(name)));
#else
  return TypedPath(m_directory.textOf(name), *m_directory.location() / real);
#endif
}

std::vector<std::string> DirectoryNames::files(std::string_view mask) const {
  std::vector<std::string> names;
  for (const Entry& e : m_entries)
    if (e.file && !e.name.empty() && e.name[0] != '.' && matchesMask(e.name, mask))
      names.push_back(e.name);
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return lessNoCase(a, b); });
  return names;
}

void DirectoryNames::added(const std::string& name) {
  for (Entry& e : m_entries)
    if (e.name == name) {
      e.file = true;
      return;
    }
  m_entries.push_back({name, true});
}

void DirectoryNames::removed(std::string_view name) {
  m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                 [&](const Entry& e) { return e.name == name; }),
                  m_entries.end());
}

bool directoryExists(std::string_view text) {
  return TypedPath::resolve(std::string(text)).isDirectory();
}

bool fileExists(std::string_view text) {
  return TypedPath::resolve(std::string(text)).isFile();
}

std::optional<fs::path> nearestExistingDirectory(std::string_view text) {
  std::optional<fs::path> p = resolvePath(text);
  if (!p) return std::nullopt;
  std::error_code ec;
  for (fs::path dir = p->lexically_normal(); !dir.empty(); dir = dir.parent_path()) {
    if (fs::is_directory(dir, ec)) {
      fs::path real = fs::canonical(dir, ec);
      return ec ? dir : real;
    }
    if (dir == dir.parent_path()) break;
  }
  return std::nullopt;
}

std::string typedPath(const fs::path& native) {
#ifdef _WIN32
  return utf8FromPath(native);  // string() would spoil Turkish letters
#else
  std::error_code ec;
  fs::path target = fs::weakly_canonical(native, ec);
  if (ec) return native.string();
  std::optional<fs::path> prefix = winePrefix();
  if (!prefix) return native.string();
  char bestLetter = 0;
  std::ptrdiff_t bestDepth = 0;
  fs::path bestRest;
  for (char letter = 'a'; letter <= 'z'; ++letter) {
    fs::path root = fs::canonical(*prefix / "dosdevices" / (std::string(1, letter) + ":"), ec);
    if (ec || root == root.root_path()) continue;
    auto [rootEnd, rest] = std::mismatch(root.begin(), root.end(), target.begin(), target.end());
    if (rootEnd != root.end()) continue;  // not under this drive
    std::ptrdiff_t depth = std::distance(root.begin(), root.end());
    if (depth <= bestDepth) continue;
    bestLetter = letter;
    bestDepth = depth;
    bestRest.clear();
    for (; rest != target.end(); ++rest) bestRest /= *rest;
  }
  if (bestLetter == 0) return native.string();
  std::string typed(1, static_cast<char>(bestLetter - 'a' + 'A'));
  typed += ":\\";
  bool first = true;
  for (const fs::path& part : bestRest) {
    if (part.empty()) continue;
    if (!first) typed += '\\';
    typed += part.string();
    first = false;
  }
  return typed;
#endif
}

std::string typedName(const fs::path& native) {
#ifdef _WIN32
  return utf8FromPath(native.filename());
#else
  return native.filename().string();
#endif
}

bool createDirectories(std::string_view text) {
  return createDirectories(TypedPath::resolve(std::string(text)));
}

bool createDirectories(const TypedPath& dir) {
  const std::optional<fs::path>& p = dir.location();
  if (!p || p->empty()) return false;
  std::error_code ec;
  fs::create_directories(*p, ec);
  return fs::is_directory(*p, ec);
}

std::optional<fs::path> winePrefix() {
#ifdef _WIN32
  return std::nullopt;
#else
  const char* wine = std::getenv("WINEPREFIX");
  if (wine && *wine) return fs::path(wine);
  const char* home = std::getenv("HOME");
  if (!home || !*home) return std::nullopt;
  return fs::path(home) / ".wine";
#endif
}

std::string currentDirectory() {
  std::error_code ec;
  fs::path p = fs::current_path(ec);
#ifdef _WIN32
  return ec ? std::string(".") : utf8FromPath(p);
#else
  return ec ? std::string(".") : p.string();
#endif
}

}  // namespace platform
