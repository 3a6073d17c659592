// The edition upgrade: copies an older edition's data directory and every
// company into the newest edition's data directory, completes each company
// from the template, rebuilds its settings table and re-codes its movements
// and invoices.
#pragma once

class RunHost;
struct RunOptions;
struct Workspace;

// Runs every phase. Returns false when it stopped the run with one of its own
// messages (already shown through host.infoBox); true when it ended normally
// (progress display hidden). Table engine and file system failures propagate
// as exceptions.
bool RunEditionUpgrade(RunHost& host, const RunOptions& run, Workspace& ws);
