// The phases of the edition upgrade, each over every company of the older
// registry (ws.DM.SirketOrLumex_T, open) before the next one starts.
#pragma once

class RunHost;
struct Workspace;

// Phases 2 and 3: company directories copied, then completed from the
// template with ayar2 replaced and ayar rebuilt where its layout differs.
void CopyCompanies(RunHost& host, Workspace& ws);
void UpdateCompanies(RunHost& host, Workspace& ws);
// Phases 4 and 5: movement kinds re-coded, invoice flags set.
void RecodeMovements(RunHost& host, Workspace& ws);
void RecodeInvoices(RunHost& host, Workspace& ws);
