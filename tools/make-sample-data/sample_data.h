// The sample data directories: what a newcomer, the tests and the
// benchmarks run the utility against.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "support/company_fixture.h"

namespace samples {

// Each writer records the tables it wrote in `log` when given; `sortOrder`
// is the language driver of every table ("ascii", or "ANTURK" as the
// product's own tables have it).
//
// The newest edition's data directory: registry (several working years,
// two companies of the same year, one with a blank year), DBBACKUP and one
// directory per company with cards, stock, cheques in every state,
// movements, invoices, production, settings, ayar2 and files the
// carry-forward does not take.
void writeNewest(const std::filesystem::path& dir, fixture::WriteLog* log = nullptr,
                 const std::string& sortOrder = "ascii");

// An older edition's data directory: sirket.DB with the two required fields
// and others, settings tables of other field counts (and one of exactly 84),
// movements with the older kind names, invoices with the flags unset, one
// registry row without a directory.
void writeOlder(const std::filesystem::path& dir, fixture::WriteLog* log = nullptr,
                const std::string& sortOrder = "ascii");

// A newest data directory whose tables carry a sort order the engine cannot
// reproduce (intl850, the DOS international driver).
void writeVariant(const std::filesystem::path& dir, fixture::WriteLog* log = nullptr);

struct LargeCounts {
  std::uint32_t cards = 100'000;
  std::uint32_t movements = 1'000'000;
  std::uint32_t cheques = 200'000;
  std::uint32_t stock = 20'000;
};

// A newest data directory holding one large company (2005_900), streamed
// record by record.
void writeLarge(const std::filesystem::path& dir, const LargeCounts& counts,
                const std::string& sortOrder = "ascii");

// An office's data directory: `companies` companies of 2005 (2005_001 on),
// each with the tables of the large company in the given counts (about
// 0.35 MB each with officeCounts()), the template and the registry.
void writeOffice(const std::filesystem::path& dir, std::uint32_t companies,
                 const LargeCounts& counts, const std::string& sortOrder = "ascii");

// A client company of an office as the product keeps it.
inline LargeCounts officeCounts() {
  return LargeCounts{40, 200, 40, 30};
}

}  // namespace samples
