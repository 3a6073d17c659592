#include "refresh/stage.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <filesystem>

#include "carry/record.h"
#include "data/failuretext.h"
#include "data/ttable.h"
#include "jobs/filesetcopy.h"
#include "paradox/check.h"
#include "paradox/errors.h"
#include "platform/files.h"
#include "platform/rawfile.h"
#include "platform/runlock.h"
#include "refresh/commit.h"

namespace fs = std::filesystem;

namespace refresh {

namespace {

// The tables an update writes, by the name the engine opens.
const char* const kCardTable = "Cari.DB";
const char* const kStockTable = "Stok.DB";

// The files of the table `table` ("Cari.DB") in `dir`: the data file and
// its companions, bare names.
std::vector<std::string> familyOf(const platform::TypedPath& dir, const std::string& table) {
  std::vector<std::string> files;
  const std::string base = table.substr(0, table.find('.'));
  for (const std::string& f : platform::listFiles(dir, base + ".*"))
    if (IsTableFile(f)) files.push_back(f);
  return files;
}

std::uintmax_t sizeOf(const platform::TypedPath& file) {
  std::error_code ec;
  const std::uintmax_t n = file.location() ? fs::file_size(*file.location(), ec) : 0;
  return ec ? 0 : (n + 4095) / 4096 * 4096;
}

void writeCard(TTable& t, const CardWrite& w) {
  t.edit();
  for (int g = 0; g < 2; ++g) {
    if (!w.group[g]) continue;
    const std::string p(1, g == 0 ? 'K' : 'D');
    const GroupWrite& x = *w.group[g];
    t.field(p + "DBKY").setAsFloat(x.opening.value);
    t.field(p + "DBTR").setAsString(x.opening.side);
    t.field(p + "DBRC").setAsFloat(x.opening.debit);
    t.field(p + "DALC").setAsFloat(x.opening.credit);
    t.field(p + "TBRC").setAsFloat(x.totalDebit);
    t.field(p + "TALC").setAsFloat(x.totalCredit);
    t.field(p + "TBKY").setAsFloat(x.totalBalance);
    if (t.field(p + "TBTR").asString() != x.totalSide) t.field(p + "TBTR").setAsString(x.totalSide);
  }
  t.post();
}

void writeItem(TTable& t, const ItemWrite& w) {
  static const char* const kNames[] = {"MIK", "TUT", "DOV"};
  t.edit();
  for (int k = 0; k < 3; ++k) {
    const std::string n = kNames[k];
    t.field(n + "DEV").setAsFloat(w.opening[k]);
    t.field(n + "KAL").setAsFloat(w.remaining[k]);
  }
  t.post();
}

// Edits the staged copy of `table` in `dir`: each record whose code
// `writes` names, the first of that code (codes held twice are not planned).
template <typename Writes, typename Write>
void editStaged(const platform::TypedPath& dir, const char* table, const char* codeField,
                const Writes& writes, Write write) {
  TTable t("Guncelleme", table, nullptr);
  t.setDatabaseName(dir);
  t.open();
  try {
    TField code = t.field(codeField);
    for (t.first(); !t.eof(); t.next())
      if (auto it = writes.find(code.asString()); it != writes.end()) write(t, it->second);
    t.flushBuffers();
  } catch (...) {
    try {
      t.close();
    } catch (...) {
    }
    throw;
  }
  t.close();
}

}  // namespace

bool CheckCompanyBeforeWriting(const platform::TypedPath& dataDir, const std::string& shortName,
                               const platform::TypedPath& oldDir, const platform::TypedPath& newDir,
                               const platform::TypedPath& recordFile, std::string& failure) {
  const std::string heading = shortName + " adlı şirketin verileri açılamadı\r\n";
  for (const platform::TypedPath* dir : {&oldDir, &newDir})
    for (const char* table : {kCardTable, kStockTable}) {
      const platform::TypedPath file = dir->below(table);
      try {
        if (!file.location() || !fs::is_regular_file(*file.location()))
          throw EDBEngineError(EDBEngineError::Code::kNotFound,
                               "Table does not exist: " + file.text(),
                               FileCause{file.text(), ENOENT, false});
        const std::vector<pdx::FileProblem> problems = pdx::checkTableFiles(*file.location());
        if (!problems.empty())
          throw EDBEngineError(EDBEngineError::Code::kCorrupt, problems.front().text,
                               FileCause{problems.front().file.string(), 0, false});
      } catch (const std::exception& e) {
        failure = heading + TableFailureText(file.text(), e);
        return false;
      }
    }
  // What the update replaces must take writes, and its directories the renames.
  std::vector<platform::TypedPath> written{newDir, recordFile, recordFile.parent(), dataDir};
  std::uintmax_t need = 2 * sizeOf(recordFile);
  for (const char* table : {kCardTable, kStockTable})
    for (const std::string& f : familyOf(newDir, table)) {
      written.push_back(newDir.below(f));
      need += 2 * sizeOf(newDir.below(f));  // the edited copy and the backup
    }
  for (const platform::TypedPath& p : written) {
    const platform::WriteRefusal refusal =
        p.location() ? platform::writeRefusal(*p.location()) : platform::WriteRefusal::kNone;
    if (refusal != platform::WriteRefusal::kNone) {
      failure = FileFailureText("Açılışlar güncellenemez", p.text(), WriteRefusalText(refusal));
      return false;
    }
  }
  const std::optional<std::uintmax_t> free =
      dataDir.location() ? platform::freeSpace(*dataDir.location()) : std::nullopt;
  if (free && *free < need) {
    failure = "Diskte yeterli boş yer yok: " + dataDir.text() + "\r\nGüncelleme için gereken " +
              SizeText(need) + ", boş " + SizeText(*free) + ".";
    return false;
  }
  return true;
}

std::string RewrittenRecord(const std::string& text, const report::CarryRecordData& record,
                            const std::vector<std::string>& cards,
                            const std::vector<std::string>& stock) {
  auto listed = [](const std::vector<std::string>& codes, const std::string& code) {
    return std::find(codes.begin(), codes.end(), code) != codes.end();
  };
  std::string out = "\xEF\xBB\xBF";
  std::size_t rows = 0;
  auto row = [&](const std::vector<std::string>& fields) {
    out += CarryRecordRow(fields);
    ++rows;
  };
  for (const std::vector<std::string>& r : report::CarryRecordRows(text)) {
    if (r[0] == report::kUpdateCountRow) continue;
    if (r[0] == report::kCardBaseRow && r.size() > 1 && listed(cards, r[1])) continue;
    if (r[0] == report::kStockBaseRow && r.size() > 1 && listed(stock, r[1])) continue;
    row(r);
  }
  for (const std::string& code : cards) {
    const report::RecordedOpening& o = record.cards.at(code);
    std::vector<std::string> f{report::kCardBaseRow, code, o.key};
    for (const report::RecordedFigure& g : o.figures)
      f.insert(f.end(),
               {RecordNumber(g.value), g.side, RecordNumber(g.debit), RecordNumber(g.credit)});
    row(f);
  }
  for (const std::string& code : stock) {
    const report::RecordedOpening& o = record.stock.at(code);
    std::vector<std::string> f{report::kStockBaseRow, code, o.key};
    for (const report::RecordedFigure& g : o.figures) f.push_back(RecordNumber(g.value));
    row(f);
  }
  row({report::kUpdateCountRow, std::to_string(record.updates + 1)});
  out += CarryRecordRow({"son", std::to_string(rows)});
  return out;
}

std::string PutUpdateInPlace(const platform::TypedPath& dataDir, const std::string& newCode,
                             const platform::TypedPath& recordFile, const StagedWrites& writes) {
  CommitPlan plan{dataDir, newCode, {}, recordFile.name(), BackupFolderName(dataDir, newCode)};
  const platform::TypedPath company = dataDir.below(newCode);
  const platform::TypedPath staging = StagingDirectory(dataDir, newCode);
  try {
    StartStaging(dataDir, newCode);
    const platform::TypedPath tables = staging.below(kStagedTables);
    const platform::TypedPath backup = staging.below(kStagedBackup);
    for (const char* table : {kCardTable, kStockTable}) {
      const bool cards = table == kCardTable;
      if (cards ? writes.cards.empty() : writes.items.empty()) continue;
      for (const std::string& f : familyOf(company, table)) {
        platform::copyFile(company.below(f), backup.below(f), true);
        platform::copyFile(company.below(f), tables.below(f), true);
      }
      if (cards)
        editStaged(tables, table, "CARIKODU", writes.cards, writeCard);
      else
        editStaged(tables, table, "STOKKODU", writes.items, writeItem);
      // The family as the engine left it: what the commit puts in place.
      for (const std::string& f : familyOf(tables, table)) plan.tableFiles.push_back(f);
    }
    platform::copyFile(recordFile, backup.below(recordFile.name()), true);
    const platform::TypedPath record = staging.below(recordFile.name());
    try {
      platform::RawFile out(*record.location(), platform::RawFile::Mode::kCreate);
      out.writeAt(0, writes.record.data(), writes.record.size());
    } catch (const std::system_error& e) {
      throw platform::FileSystemError(
          FileFailureText("Devir kaydı yazılamadı", record.text(), CauseText(e.code())), e.code(),
          record.text(), true);
    }
    WriteJournal(plan);
  } catch (...) {
    DiscardStaging(dataDir, newCode);
    throw;
  }
  FinishCommit(plan);
  return plan.backupName;
}

}  // namespace refresh
