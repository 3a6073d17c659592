// Moving company registry rows between the registry table and the in-memory
// company list. Both walk the receiving side's fields in order and take the
// other side's field of the same name (letter case ignored); a blank value
// stays blank; fields without a namesake are left as they are.
#pragma once

class CompanyList;
class TTable;

// Current registry row -> current list row.
void CopyRegistryRowToList(CompanyList& list, TTable& registry);
// Current list row -> the registry record being edited or appended.
void CopyListRowToRegistry(TTable& registry, const CompanyList& list);
