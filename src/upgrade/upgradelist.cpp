#include "upgrade/upgradelist.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "data/failuretext.h"
#include "data/names.h"
#include "platform/paths.h"
#include "platform/rawfile.h"
#include "platform/text.h"

namespace {

const char* const kHeader = "Upgrade-Devir upgrade kaydı";
const char* const kBom = "\xEF\xBB\xBF";

bool isDigits(const std::string& s, std::size_t from, std::size_t count) {
  if (s.size() < from + count) return false;
  return std::all_of(s.begin() + static_cast<std::ptrdiff_t>(from),
                     s.begin() + static_cast<std::ptrdiff_t>(from + count),
                     [](char c) { return c >= '0' && c <= '9'; });
}

// "UD_YEDEK_" yyyymmdd "_" hhmmss, then nothing or "_" and a number.
bool isUpgradeBackupName(const std::string& name) {
  const std::string prefix = "UD_YEDEK_";
  if (name.rfind(prefix, 0) != 0) return false;
  const std::size_t at = prefix.size();
  if (!isDigits(name, at, 8) || name.size() < at + 15 || name[at + 8] != '_' ||
      !isDigits(name, at + 9, 6))
    return false;
  const std::string rest = name.substr(at + 15);
  return rest.empty() || (rest[0] == '_' && rest.size() > 1 && isDigits(rest, 1, rest.size() - 1));
}

std::optional<UpgradeList> refuse(std::string& why, std::size_t row, const std::string& what) {
  why = std::to_string(row) + ". satır: " + what;
  return std::nullopt;
}

}  // namespace

std::string UpgradeListText(const UpgradeList& list) {
  std::string text = kBom;
  std::size_t rows = 0;
  auto row = [&](const std::vector<std::string>& fields) {
    text += platform::csvRow(fields);
    ++rows;
  };
  row({kHeader, "1"});
  for (const std::string& code : list.directoriesBefore) row({"önceki dizin", code});
  for (const UpgradeList::File& f : list.files) {
    const std::string state = f.replaced ? "değiştirildi" : "oluşturuldu";
    if (!f.fingerprint)
      row({"dosya", f.path, state, "", "", ""});
    else
      row({"dosya", f.path, state, f.fingerprint->table ? "tablo" : "dosya",
           std::to_string(f.fingerprint->count), f.fingerprint->hash});
  }
  for (const UpgradeList::Company& c : list.registry) row({"şirket", c.code, c.year});
  if (list.complete) row({"son", std::to_string(rows)});
  return text;
}

std::optional<UpgradeList> ParseUpgradeList(const std::string& text, std::string& why) {
  UpgradeList list;
  std::size_t at = text.rfind(kBom, 0) == 0 ? 3 : 0, rows = 0;
  std::vector<std::string> f;
  while (platform::nextCsvRow(text, at, f)) {
    ++rows;
    if (list.complete) return refuse(why, rows, "\"son\" satırından sonra satır var");
    const std::string& kind = f[0];
    if (rows == 1) {
      if (kind != kHeader || f.size() < 2) return refuse(why, rows, "upgrade kaydı değil");
      if (f[1] != "1") return refuse(why, rows, "bilinmeyen biçim: " + f[1]);
    } else if (kind == "önceki dizin" && f.size() >= 2) {
      list.directoriesBefore.push_back(f[1]);
    } else if (kind == "dosya" && f.size() >= 6) {
      if (f[2] != "değiştirildi" && f[2] != "oluşturuldu")
        return refuse(why, rows, "bilinmeyen durum: " + f[2]);
      UpgradeList::File file{f[1], f[2] == "değiştirildi", std::nullopt};
      if (!f[3].empty()) {
        if ((f[3] != "tablo" && f[3] != "dosya") || !isDigits(f[4], 0, f[4].size()) ||
            f[4].empty())
          return refuse(why, rows, "parmak izi okunamadı");
        const std::size_t slash = f[1].rfind('\\');
        file.fingerprint = FileFingerprint{f[1].substr(slash == std::string::npos ? 0 : slash + 1),
                                           f[3] == "tablo", std::stoull(f[4]), f[5]};
      }
      list.files.push_back(std::move(file));
    } else if (kind == "şirket" && f.size() >= 3) {
      list.registry.push_back({f[1], f[2]});
    } else if (kind == "son" && f.size() >= 2) {
      if (f[1] != std::to_string(rows - 1)) return refuse(why, rows, "satır sayısı tutmuyor");
      list.complete = true;
    } else if (kind == "önceki dizin" || kind == "dosya" || kind == "şirket" || kind == "son") {
      return refuse(why, rows, "eksik alan");
    }
  }
  if (rows == 0) {
    why = "boş";
    return std::nullopt;
  }
  return list;
}

std::optional<UpgradeList> ReadUpgradeList(const platform::TypedPath& folder, std::string& why) {
  why.clear();
  const std::optional<std::filesystem::path> file = folder.locate(kUpgradeListName);
  if (!file || !std::filesystem::is_regular_file(*file)) return std::nullopt;
  std::ifstream in(*file, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    why = "okunamadı";
    return std::nullopt;
  }
  return ParseUpgradeList(text, why);
}

void WriteUpgradeList(const platform::TypedPath& folder, const UpgradeList& list) {
  const platform::TypedPath target = folder.below(kUpgradeListName);
  const platform::TypedPath aside = folder.below(std::string(".") + kUpgradeListName + ".yaziliyor");
  const std::string text = UpgradeListText(list);
  try {
    if (!target.location() || !aside.location())
      throw std::system_error(std::make_error_code(std::errc::no_such_file_or_directory));
    {
      platform::RawFile out(*aside.location(), platform::RawFile::Mode::kCreate);
      out.writeAt(0, text.data(), text.size());
      out.sync();
    }
    platform::replaceFile(*aside.location(), *target.location(), true);
  } catch (const std::system_error& e) {
    if (aside.location()) platform::removeFile(*aside.location());
    throw platform::FileSystemError(
        FileFailureText("Upgrade kaydı yazılamadı", target.text(), CauseText(e.code())), e.code(),
        target.text(), true);
  }
}

std::vector<std::string> UpgradeBackupFolders(const platform::TypedPath& dataDirectory) {
  std::vector<std::string> names;
  if (!dataDirectory.location()) return names;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(*dataDirectory.location(), ec)) {
    const std::string name = e.path().filename().string();
    if (isUpgradeBackupName(name) && e.is_directory(ec)) names.push_back(name);
  }
  // The time sorts as text; a folder with a number came after the one without.
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const std::string ta = a.substr(0, 24), tb = b.substr(0, 24);
    if (ta != tb) return ta < tb;
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
  });
  return names;
}

std::vector<UpgradeList::File> ListedFiles(const std::string& dir,
                                           const std::vector<std::string>& written,
                                           const std::vector<FileFingerprint>& measured) {
  std::vector<UpgradeList::File> files;
  for (const std::string& name : written) {
    UpgradeList::File f{dir.empty() ? name : dir + "\\" + name, false, std::nullopt};
    for (const FileFingerprint& m : measured)
      if (sameName(m.name, name)) f.fingerprint = m;
    files.push_back(std::move(f));
  }
  return files;
}

platform::TypedPath BelowPath(const platform::TypedPath& dir, const std::string& path) {
  platform::TypedPath at = dir;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = path.find('\\', start);
    at = at.below(path.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return at;
    start = end + 1;
  }
}
