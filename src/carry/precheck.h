// What the carry-forward makes sure of before it writes anything.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class RunHost;
struct Workspace;

// For every selected company of ws.RxSirket, in list order:
//  - with YTL ticked, its settings do not already hold the new lira
//    ("Yeni Türk Lirası" as PARABIRIMI or "YTL" as PARASIMGE);
//  - every table of its carry-forward file set is whole as a family (no
//    index or memo file without its .DB, no keyed table without its .PX;
//    a missing memo file is not judged: the engine reads a table whose memos
//    are all blank without one);
//  - every table the steps open (Cari, Stok, ceksen, Char, urhar, ayar; the
//    template's where the company has none) passes the engine's check.
// Then the free space of the data directory's file system against what the
// run will write. The first problem is shown in the information box and the
// result is false; nothing has been written then.
bool CheckBeforeWriting(RunHost& host, Workspace& ws);

// What is wrong with one family of table files (one base name); empty when
// it is whole.
struct TableFamily {
  std::vector<std::string> files;  // every file of the family
  bool keyed = false;              // its .DB has a primary key
};
std::string FamilyProblem(const TableFamily& family);

// The space a carry-forward needs: the files copied into the new companies
// plus the largest working copy a table change makes beside a table.
struct SpaceNeed {
  std::uintmax_t copied = 0;
  std::uintmax_t largestWorkingCopy = 0;
  std::uintmax_t total() const { return copied + largestWorkingCopy; }
};
