// Reading back what a job wrote: every record of a table by field name, read
// with our engine, and the values on which pxlib reads the same table
// otherwise.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "support/company_fixture.h"

namespace fixture {

// Every record of a table in table order, every field by name (blank fields
// are absent). The name's letter case does not matter, as for the jobs.
std::vector<Row> readTable(const std::filesystem::path& dbFile);

// The file of that name in `dir`, letter case ignored (the name itself when
// there is none).
std::filesystem::path findFile(const std::filesystem::path& dir, const std::string& name);

// Reads a table with pxlib and with our engine and lists every value on
// which they differ ("row 3 KTBKY: pxlib 5 engine 6"); empty when they agree.
// Memo and blob fields are not compared (pxlib cannot read them), nor blank
// integer, date and time values (pxlib on 64-bit machines misreads them).
// Returns {"pxlib unavailable"} when the tests were built without pxlib.
std::vector<std::string> pxlibDisagreements(const std::filesystem::path& dbFile);

// A field of a row read back: its text ("" when blank, "<not text>" for
// another type) or its number (0 when blank, NaN for another type); texts:
// one field's text, row by row.
std::string text(const Row& row, const std::string& field);
double number(const Row& row, const std::string& field);
std::vector<std::string> texts(const std::vector<Row>& rows, const std::string& field);

// Adds a failure naming the first disagreement (none without pxlib).
void expectPxlibAgrees(const std::filesystem::path& dbFile);

}  // namespace fixture
