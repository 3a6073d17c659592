// Finding the secondary indexes of a table and the fields they cover.
#include <cctype>
#include <string_view>

#include "paradox/index.h"
#include "paradox/index_internal.h"
#include "paradox/names.h"
#include "paradox/table_impl.h"

namespace pdx {
using namespace detail;

std::vector<SecondaryIndex> findSecondaryIndexes(const TableImpl& table) {
  std::vector<SecondaryIndex> out;
  const std::filesystem::path& path = table.path();
  const std::string stem = path.stem().string();
  std::error_code ec;
  std::filesystem::path dir = path.parent_path();
  for (const auto& entry : std::filesystem::directory_iterator(dir.empty() ? "." : dir, ec)) {
    const std::filesystem::path& p = entry.path();
    std::string ext = p.extension().string();
    if (!sameName(p.stem().string(), stem) || ext.size() < 3) continue;
    for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const bool single = ext.size() == 4 && ext[1] == 'X' &&
                        std::isxdigit(static_cast<unsigned char>(ext[2])) &&
                        std::isxdigit(static_cast<unsigned char>(ext[3]));
    const bool composite = ext.size() == 4 && ext[1] == 'X' && ext[2] == 'G' &&
                           std::isdigit(static_cast<unsigned char>(ext[3]));
    if (!single && !composite) continue;
    SecondaryIndex si;
    si.xFile = p;
    std::string yExt = ext;
    yExt[1] = 'Y';
    si.yFile = companionIf(path, yExt);
    const IndexFile x = readIndexHeader(p);
    si.maintained = x.header.fileType == 5 || x.header.fileType == 8;
    const TableHeader& th = table.header();
    // Indexed fields, then the table's key fields, then "Blk Num".
    const std::size_t own =
        x.header.rawNames.size() >= static_cast<std::size_t>(th.keyFields) + 1
            ? x.header.rawNames.size() - static_cast<std::size_t>(th.keyFields) - 1
            : 0;
    for (std::size_t k = 0; k + 1 < x.header.rawNames.size(); ++k) {
      int found = -1;
      if (k < own) {
        for (std::size_t f = 0; f < th.rawNames.size(); ++f)
          if (sameName(th.rawNames[f], x.header.rawNames[k])) found = static_cast<int>(f);
      } else {
        found = static_cast<int>(k - own);
      }
      if (found < 0 && si.maintained)
        throw EDBEngineError(EDBEngineError::Code::kCorrupt,
                             "Index " + p.string() + " names field '" + x.header.rawNames[k] +
                                 "' that the table lacks",
                             FileCause{p.string(), 0, false});
      si.fields.push_back(found);
    }
    if (si.maintained) {
      // The layout the rewrite relies on: the table's key fields, same types
      // and sizes, right before a short "Blk Num".
      const auto& xf = x.header.fields;
      bool sound =
          static_cast<int>(xf.size()) >= th.keyFields + 2 && xf.back().type == FieldType::kShort;
      for (int k = 0; sound && k < th.keyFields; ++k) {
        const FieldInfo& a = xf[xf.size() - 1 - static_cast<std::size_t>(th.keyFields) +
                                static_cast<std::size_t>(k)];
        const FieldInfo& b = th.fields[static_cast<std::size_t>(k)];
        sound = a.type == b.type && a.width == b.width;
      }
      if (!sound)
        throw EDBEngineError(
            EDBEngineError::Code::kCorrupt,
            "Index " + p.string() + " does not end with the table's key and a block number",
            FileCause{p.string(), 0, false});
    }
    out.push_back(std::move(si));
  }
  return out;
}

void requireOrderable(const TableImpl& table) {
  if (!table.isKeyed()) return;
  for (const SecondaryIndex& si : findSecondaryIndexes(table)) {
    if (!si.maintained) continue;
    const IndexFile x = readIndexHeader(si.xFile);
    std::vector<FieldInfo> f(x.header.fields.begin(), x.header.fields.end() - 1);
    KeyOrder(f, x.header.sortOrder.empty() ? table.header().sortOrder : x.header.sortOrder,
             table.path().string(), si.xFile.filename().string());
  }
}

}  // namespace pdx
