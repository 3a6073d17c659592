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
//   son;N                                            N rows before this one
//
// Cards, items and documents come in the new tables' order. Numbers are the
// shortest decimal text that reads back as the same double ("1250.5",
// "-3", "1e-07"); a blank record number is "".
#pragma once

#include <string>
#include <vector>

#include "platform/typedpath.h"

class RunHost;
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
