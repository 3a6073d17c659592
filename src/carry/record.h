// The carry record: what one carry-forward wrote into one new company, kept
// in the data directory's report folder beside the reconciliation reports
// (never in a company directory, so that no mask, listing or copy of a
// company meets it). The openings check reads it to tell an old year changed
// after the carry from an opening edited in the new year.
//
// One file per new company, "Devir Kaydı <old code>-<new code>.csv", UTF-8
// with a byte-order mark, ";"-separated, "\n" line ends; a field holding ";",
// '"' or a line break is quoted with '"' doubled. Its content depends on the
// data only (no time, no path), so every build writes the same bytes. Rows,
// by their first field:
//
//   Upgrade-Devir devir kaydı;1                      format and its version
//   şirket;OLD;NEW;FROM;TO;SHORT NAME                codes, years, old short name
//   seçenek;ytl;evet|hayır;yuvarlama;auto|down|up;basamak;2
//   cari;CARIKODU;BCRKOD;KDBKY;KDBTR;KDBRC;KDALC;DDBKY;DDBTR;DDBRC;DDALC
//   stok;STOKKODU;BSTKOD;MIKDEV;TUTDEV;DOVDEV
//   çek;KAYIT;KTUTAR                                 a cheque or note kept
//   taksit;BCHKOD;TUTAR                              an instalment kept
//   tablo;NAME;RECORDS;HASH                          a table of the published company
//   dosya;NAME;BYTES;HASH                            any other file of it
//   sicil;NEW CODE;HASH                              its registry row
//   son;N                                            N rows before this one
//
// Cards, items and documents come in the new tables' order. Numbers are the
// shortest decimal text that reads back as the same double ("1250.5",
// "-3", "1e-07"); a blank record number is "". The "tablo", "dosya" and
// "sicil" rows (data/fingerprint.h) describe the new company as it was
// published, so that a later run can tell whether anybody has changed it
// since; a record without them is one of a carry made before they were kept.
#pragma once

#include <string>
#include <vector>

#include "platform/typedpath.h"

class RunHost;
struct FileFingerprint;
struct RunOptions;
struct Workspace;

// The report folder of a data directory: data directory + "\Devir
// Raporları" (the same folder as report::ReportDirectory).
std::string CarryRecordFolder(const std::string& dataDirectory);
platform::TypedPath CarryRecordFolder(const platform::TypedPath& dataDirectory);

// "Devir Kaydı 2005_001-2006_001.csv"
std::string CarryRecordFileName(const std::string& oldCode, const std::string& newCode);

// One row as the record holds it: the fields joined by ";", each holding
// ";", '"' or a line break in quotes with '"' doubled, and "\n".
std::string CarryRecordRow(const std::vector<std::string>& fields);

// The shortest decimal text of a double that reads back as the same value.
std::string RecordNumber(double value);

// Writes the record of the company being carried (the current row of
// ws.RxSirket) from the new company's card, stock, cheque and movement
// tables, which the steps have written and flushed. Call it after the last
// step that changes those tables. The file is written aside and renamed into
// place, replacing the record of an earlier carry into the same new code.
// A record that cannot be written is no reason to lose the carry: the
// information box says so and the carry goes on. Table engine failures
// propagate.
void WriteCarryRecord(RunHost& host, const RunOptions& run, Workspace& ws);

// Adds the fingerprints of the company being published (the current row of
// ws.RxSirket) to the record WriteCarryRecord wrote for it: `files`, every
// file of its directory as FingerprintDirectory gives them, and
// `registryRow`, the hash of its registry row (RecordFingerprint). The
// record is written aside, renamed into place and made durable, so that it
// is on the disk before the company is registered. Without a record (one
// that could not be written) it does nothing; one that cannot be rewritten
// is no reason to lose the carry: the information box says so and the old
// record stays.
void AddFingerprintsToCarryRecord(RunHost& host, const RunOptions& run, Workspace& ws,
                                  const std::vector<FileFingerprint>& files,
                                  const std::string& registryRow);
