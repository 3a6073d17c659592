// The steps of the carry-forward, in the order the company loop runs them.
// Each per-company step reads the current row of ws.RxSirket.
#pragma once

#include <stdexcept>
#include <string>

class RunHost;
struct RunOptions;
struct Workspace;

// A stop of the carry-forward with a message for the information box.
class CarryStop : public std::runtime_error {
 public:
  explicit CarryStop(const std::string& message) : std::runtime_error(message) {}
};

// Why no company of `year` can be given a new code: 001 to 999 are all used.
std::string NoCodeLeftMessage(const std::string& year);

// Decimal text of n with "0" in front until it is three characters long.
std::string PadTo3Digits(int n);

// Gives the current row of RxSirket (just appended) its new company code
// (target year, "_", three digits), skipping numbers whose directory exists
// under the data directory or that the registry holds, and advances
// ws.NewCompanySequence. Throws CarryStop when no number up to 999 is left.
void RxSirketAfterInsert(const RunOptions& run, Workspace& ws);

// Opens the registry of the newest data directory and fills RxSirket with the
// companies of the source year, every one selected and given its new code
// but those carried already: these are unselected, with no code and a note
// naming the code they were carried into; ticked again, one draws its code
// (CompanyList::drawCode). Returns false after
// showing the registry message when the registry cannot be opened.
bool BuildCompanyList(RunHost& host, const RunOptions& run, Workspace& ws);

// Creates the new company's working directory (carry/staging.h) from the
// template and the old company's carry-forward files and opens the four
// working tables there. Returns false after showing its message, with the
// cause on a second line, (and hiding the progress display) when the tables
// cannot be opened.
bool CreateNewCompany(RunHost& host, const RunOptions& run, Workspace& ws);

void CarryCurrentAccounts(RunHost& host, const RunOptions& run, Workspace& ws);
void CarryStock(RunHost& host, const RunOptions& run, Workspace& ws);
void CarryCheques(RunHost& host, const RunOptions& run, Workspace& ws);
void CarryInstalments(RunHost& host, const RunOptions& run, Workspace& ws);
void CarryProduction(RunHost& host, const RunOptions& run, Workspace& ws);
// Appends the new company's registry row to the open registry and fills it,
// without posting it; RegisterNewCompany posts it and makes it durable.
void FillRegistryRow(const RunOptions& run, Workspace& ws);
void RegisterNewCompany(Workspace& ws);
void CarrySettings(const RunOptions& run, Workspace& ws);
