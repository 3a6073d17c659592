// Whole layouts of the product's tables as its data directories hold them:
// the declared fields of src/data/schemas.h where they are the whole table,
// plus the product fields the jobs never name where the declared list is
// only part of it (invoices, older settings, the older registry).
#pragma once

#include <string>
#include <vector>

#include "data/schemas.h"

namespace fixture::layout {

const std::vector<FieldSpec>& Fatura();     // invoices: BFATKOD key, LOJIK3, LOJIK4 and more
const std::vector<FieldSpec>& FaturaOld();  // an older edition's invoices (no note memo)
const std::vector<FieldSpec>& SirketOld();  // older registry: the two required fields and others (a superset of the newest registry)
const std::vector<FieldSpec>& Ayar2();      // the second settings table
const std::vector<FieldSpec>& CharOld();  // an older edition's movements: fewer fields, ALPHA3 kept
const std::vector<FieldSpec>& CharWithoutAlpha3();  // an older movement table without ALPHA3

// An older edition's settings table of `fieldCount` fields. Its fields are
// the first of the newest layout (so values carry over by name) followed by
// older fields of other names; with `fieldCount` 84 every field after the
// first 60 has another name, so that the count alone matches the newest.
std::vector<FieldSpec> AyarOld(int fieldCount);

}  // namespace fixture::layout
