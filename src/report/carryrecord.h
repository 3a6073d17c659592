// Reading the carry record a carry-forward writes beside the reports (its
// format is described in carry/record.h and the README). The openings check
// uses it to tell a late entry in the old year from an edit in the new one.
// Standard library only.
#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "data/fingerprint.h"
#include "platform/typedpath.h"

namespace report {

// A card's or stock item's openings as the carry wrote them: for a card the
// local then the foreign group, each balance, side, debit and credit; for a
// stock item quantity, value and foreign value (sides empty).
struct RecordedFigure {
  double value = 0;
  std::string side;
  double debit = 0, credit = 0;
  bool operator==(const RecordedFigure&) const = default;
};

struct RecordedOpening {
  std::string key;  // BCRKOD / BSTKOD
  std::vector<RecordedFigure> figures;
  int count = 0;  // how many rows of the record hold the code
};

// The rows an opening update adds (refresh/): the base of a card's or stock
// item's openings after the latest update that moved it, with the fields of
// "cari" and "stok", and how many updates the record has taken. A reader
// that does not know them reads what the carry wrote.
inline constexpr const char* kCardBaseRow = "cari güncel";
inline constexpr const char* kStockBaseRow = "stok güncel";
inline constexpr const char* kUpdateCountRow = "güncelleme";

struct CarryRecordData {
  std::string oldCode, newCode, fromYear, toYear, shortName;
  bool ytl = false;
  int roundingMode = 0;  // 0 auto, 1 down, 2 up
  int digits = 2;
  // By code: what the carry wrote, or the base an update moved it to.
  std::unordered_map<std::string, RecordedOpening> cards, stock;
  std::unordered_map<std::string, double> cheques, instalments;  // by record number
  int updates = 0;  // opening updates that rewrote the record
  // The new company as the carry published it ("tablo", "dosya" and "sicil"
  // rows): every file of its directory and the hash of its registry row.
  // Empty in a record of a carry made before they were kept.
  std::vector<FileFingerprint> files;
  std::string registryRow;
  bool hasFingerprints() const { return !registryRow.empty(); }
};

// The record file's name pattern inside the report folder.
inline constexpr const char* kCarryRecordMask = "Devir Kaydı *.csv";

// The record in `text`, a record file's bytes: the whole record, or with
// `headerOnly` the rows up to "şirket" (for pairing companies). Nothing when
// it is not a record of a known version, a row of a known kind is short of
// fields or holds what is not a number where a number belongs, or (whole
// record) the last row "son" does not count the rows before it; `why`, when
// given, then says in Turkish what is wrong ("5. satır: sayı değil: '1,02'").
// Rows of kinds this version does not know are skipped.
std::optional<CarryRecordData> ParseCarryRecord(const std::string& text, bool headerOnly,
                                                std::string* why = nullptr);

// Every row of a record's text before its "son" row, as fields, unknown
// kinds included (for rewriting a record with rows added or replaced).
std::vector<std::vector<std::string>> CarryRecordRows(const std::string& text);

// A record file's bytes; nothing when it cannot be read.
std::optional<std::string> ReadCarryRecordText(const platform::TypedPath& file);

// ParseCarryRecord of a file's bytes; a file that cannot be read is refused
// too ("dosya okunamadı"). The text forms resolve the text here (tests,
// tools).
std::optional<CarryRecordData> ReadCarryRecordHeader(const platform::TypedPath& file,
                                                     std::string* why = nullptr);
std::optional<CarryRecordData> ReadCarryRecord(const platform::TypedPath& file,
                                               std::string* why = nullptr);
std::optional<CarryRecordData> ReadCarryRecordHeader(const std::string& file,
                                                     std::string* why = nullptr);
std::optional<CarryRecordData> ReadCarryRecord(const std::string& file, std::string* why = nullptr);

}  // namespace report
