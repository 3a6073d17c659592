// What the carry-forward makes sure of before it writes anything.
#pragma once

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
// run will write: every file copied into a new company (in whole 4 KiB
// clusters) plus the largest table family a change rewrites beside itself,
// the registry's included; the message gives both figures. The first problem is shown in the
// information box and the result is false; nothing has been written then.
bool CheckBeforeWriting(RunHost& host, Workspace& ws);
