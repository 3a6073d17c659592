#include "data/registry.h"

#include <optional>

#include "data/companylist.h"
#include "data/ttable.h"

void CopyRegistryRowToList(CompanyList& list, TTable& registry) {
  const auto& fields = list.fields();
  for (const CompanyList::Field& f : fields) {
    if (std::optional<TField> from = registry.findField(f.name))
      list.setValue(f.name, from->value());
  }
}

void CopyListRowToRegistry(TTable& registry, const CompanyList& list) {
  for (int i = 0; i < registry.fieldCount(); ++i) {
    TField to = registry.fields(i);
    if (list.findField(to.name()) >= 0) to.setValue(list.value(to.name()));
  }
}
