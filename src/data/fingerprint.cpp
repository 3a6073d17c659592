#include "data/fingerprint.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "data/failuretext.h"
#include "data/names.h"
#include "data/tablepath.h"
#include "data/ttable.h"
#include "paradox/errors.h"
#include "paradox/fingerprint.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/rawfile.h"

namespace fs = std::filesystem;

namespace {

std::string upper(std::string s) {
  for (char& c : s) c = asciiUpper(c);
  return s;
}

// The extension of `name` upper-cased, with its dot ("" when none).
std::string extensionOf(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : upper(name.substr(dot));
}

std::string stemOf(const std::string& name) {
  return upper(name.substr(0, name.rfind('.')));
}

// .PX, .MB, .Xnn, .Ynn, .XGn, .YGn: files that belong to the table of their stem.
bool companionExtension(const std::string& ext) {
  if (ext == ".PX" || ext == ".MB") return true;
  if (ext.size() != 4 || (ext[1] != 'X' && ext[1] != 'Y')) return false;
  const auto hexDigit = [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); };
  return (hexDigit(ext[2]) && hexDigit(ext[3])) || (ext[2] == 'G' && hexDigit(ext[3]));
}

std::string plural(std::uint64_t n, const std::string& what) {
  return std::to_string(n) + " " + what;
}

}  // namespace

TableFingerprint FingerprintTable(const platform::TypedPath& directory,
                                  const std::string& tableName) {
  try {
    const pdx::RecordsFingerprint f =
        pdx::fingerprintRecords(ResolveTableFile(directory, tableName));
    return {f.records, f.hash.hex()};
  } catch (const EDBEngineError& e) {
    throw EDBEngineError(e.code(), TableFailureText(directory.textOf(tableName), e), e.cause());
  }
}

std::string RecordFingerprint(const TTable& table) {
  return pdx::recordDigest(table.engine()).hex();
}

std::string FingerprintFileBytes(const platform::TypedPath& file) {
  try {
    if (!file.location())
      throw std::system_error(std::make_error_code(std::errc::no_such_file_or_directory));
    platform::RawFile in(*file.location(), platform::RawFile::Mode::kRead);
    pdx::Hasher h;
    std::vector<char> buffer(1 << 16);
    for (std::uint64_t at = 0;;) {
      const std::size_t n = in.readAt(at, buffer.data(), buffer.size());
      if (n == 0) break;
      h.add(buffer.data(), n);
      at += n;
    }
    return h.digest().hex();
  } catch (const std::system_error& e) {
    throw platform::FileSystemError(
        FileFailureText("Dosya okunamadı", file.text(), CauseText(e.code())), e.code(), file.text(),
        false);
  }
}

std::vector<FileFingerprint> FingerprintDirectory(const platform::TypedPath& directory,
                                                  const std::vector<std::string>& ignored) {
  // As the carry lists a company: plain files, hidden ones left out.
  const std::vector<std::string> names = platform::listFiles(directory, "*.*");
  std::vector<std::string> tables;  // stems of the .DB files
  for (const std::string& n : names)
    if (extensionOf(n) == ".DB") tables.push_back(stemOf(n));
  std::vector<FileFingerprint> out;
  for (const std::string& n : names) {
    const std::string ext = extensionOf(n);
    if (ext == ".LCK" || sameName(n, "PDOXUSRS.NET")) continue;
    if (std::any_of(ignored.begin(), ignored.end(),
                    [&](const std::string& i) { return sameName(i, n); }))
      continue;
    if (companionExtension(ext) &&
        std::find(tables.begin(), tables.end(), stemOf(n)) != tables.end())
      continue;
    FileFingerprint f;
    f.name = n;
    if (ext == ".DB") {
      try {
        const TableFingerprint t = FingerprintTable(directory, n);
        f.table = true;
        f.count = t.records;
        f.hash = t.hash;
      } catch (const EDBEngineError& e) {
        // A file the engine cannot read as a table (not one, damaged,
        // encrypted) is measured by its bytes; a refused read is a failure.
        if (e.code() == EDBEngineError::Code::kIo) throw;
      }
    }
    if (!f.table) {
      const platform::TypedPath file = directory.below(n);
      std::error_code ec;
      f.count = file.location() ? fs::file_size(*file.location(), ec) : 0;
      f.hash = FingerprintFileBytes(file);
    }
    out.push_back(std::move(f));
  }
  return out;
}

std::vector<std::string> DescribeFingerprintChanges(const std::vector<FileFingerprint>& before,
                                                    const std::vector<FileFingerprint>& now) {
  auto find = [](const std::vector<FileFingerprint>& list, const std::string& name) {
    return std::find_if(list.begin(), list.end(),
                        [&](const FileFingerprint& f) { return sameName(f.name, name); });
  };
  std::vector<std::string> lines;
  for (const FileFingerprint& b : before) {
    const auto n = find(now, b.name);
    if (n == now.end()) {
      lines.push_back(b.name + ": dosya silindi");
    } else if (!b.table || !n->table) {
      if (b.table != n->table || b.hash != n->hash || b.count != n->count)
        lines.push_back(b.name + ": dosya değişti");
    } else if (n->count > b.count) {
      lines.push_back(b.name + ": " + plural(n->count - b.count, "yeni kayıt"));
    } else if (n->count < b.count) {
      lines.push_back(b.name + ": " + plural(b.count - n->count, "kayıt silindi"));
    } else if (n->hash != b.hash) {
      lines.push_back(b.name + ": kayıtlar değişti");
    }
  }
  for (const FileFingerprint& n : now)
    if (find(before, n.name) == before.end()) lines.push_back(n.name + ": dosya eklendi");
  return lines;
}
