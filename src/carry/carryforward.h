// The year-end carry-forward: lists the companies of the source year, lets
// the user select them and builds a new company of the target year for each.
#pragma once

class RunHost;
struct RunOptions;
struct Workspace;

// Runs the carry-forward to its end: "İşlem tamamlandı" on a normal end, a
// stop message, or nothing when the user cancels the selection. Table engine
// and file system failures propagate as exceptions.
void RunCarryForward(RunHost& host, const RunOptions& run, Workspace& ws);
