// The declared field lists of the product's tables, in declared order.
//
// A table handle binds these fields by name and type when it opens; the
// sample-data tool and the fixtures build tables that carry them.
#pragma once

#include <string>
#include <vector>

#include "paradox/table.h"

struct FieldSpec {
  std::string name;
  pdx::FieldType type;
  int size;  // text and memo size; 0 for the other types
  bool required;
};

namespace schema {

const std::vector<FieldSpec>& Sirket();       // company registry sirket.db, 34 fields
const std::vector<FieldSpec>& SirketOld();    // older registry sirket.DB, 2 fields
const std::vector<FieldSpec>& Ayar();         // settings table ayar, 84 fields
const std::vector<FieldSpec>& Cari();         // current-account cards, 71 fields
const std::vector<FieldSpec>& Stok();         // stock cards, 64 fields
const std::vector<FieldSpec>& Ceksen();       // cheques and notes, 46 fields
const std::vector<FieldSpec>& Char();         // current-account movements, 39 fields
const std::vector<FieldSpec>& CharUpgrade();  // movements as the upgrade sees them: ALPHA3
const std::vector<FieldSpec>& Fatura();       // invoices as the upgrade sees them: LOJIK3, LOJIK4
const std::vector<FieldSpec>& Urhar();        // production movements, 25 fields

// The type's name as binding errors print it ("String", "Float", ...).
std::string typeName(pdx::FieldType type);

}  // namespace schema
