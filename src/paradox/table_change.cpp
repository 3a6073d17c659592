#include "paradox/errors.h"
#include "paradox/table_impl.h"

namespace pdx {

bool TableImpl::needsMove() const {
  return false;
}
void TableImpl::moveEdited() {}
void TableImpl::postNew() {}
void TableImpl::insert() {
  fail(EDBEngineError::Code::kUnsupported, "insert: not yet");
}
void TableImpl::append() {
  fail(EDBEngineError::Code::kUnsupported, "append: not yet");
}
void TableImpl::remove() {
  fail(EDBEngineError::Code::kUnsupported, "remove: not yet");
}

}  // namespace pdx
