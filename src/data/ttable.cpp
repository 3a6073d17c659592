#include "data/ttable.h"

#include <utility>

#include "data/failuretext.h"
#include "data/names.h"
#include "data/tablepath.h"
#include "paradox/errors.h"

namespace {

using T = pdx::FieldType;

// Cuts a UTF-8 text to `size` characters (the tables hold one byte per
// character in their code page, so characters are what the size counts).
std::string cutToSize(std::string_view text, int size) {
  if (size <= 0) return std::string(text);
  std::size_t chars = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if ((c & 0xC0) != 0x80) {
      if (chars == static_cast<std::size_t>(size)) return std::string(text.substr(0, i));
      ++chars;
    }
  }
  return std::string(text);
}

bool isTextType(T t) {
  return t == T::kAlpha;
}

}  // namespace

// ---- TField ---------------------------------------------------------------

const std::string& TField::name() const {
  return m_table->bound(m_bound).name;
}
pdx::FieldType TField::type() const {
  return m_table->bound(m_bound).type;
}
int TField::size() const {
  return m_table->bound(m_bound).size;
}
int TField::engineIndex() const {
  return m_table->bound(m_bound).engineIndex;
}

bool TField::isNull() const {
  return m_table->engine().isBlank(engineIndex());
}
std::string TField::asString() const {
  return m_table->engine().asString(engineIndex());
}
double TField::asFloat() const {
  return m_table->engine().asFloat(engineIndex());
}
bool TField::asBoolean() const {
  return m_table->engine().asBoolean(engineIndex());
}

Variant TField::value() const {
  const pdx::Table& t = m_table->engine();
  const int i = engineIndex();
  Variant v;
  if (t.isBlank(i)) return v;
  switch (type()) {
    case T::kAlpha:
      v.value = t.asString(i);
      break;
    case T::kNumber:
    case T::kMoney:
    case T::kBcd:
      v.value = t.asFloat(i);
      break;
    case T::kShort:
    case T::kLong:
    case T::kAutoInc:
      v.value = t.asInteger(i);
      break;
    case T::kLogical:
      v.value = t.asBoolean(i);
      break;
    case T::kDate:
    case T::kTime:
    case T::kTimestamp:
      v.value = Variant::DateTime{t.asFloat(i)};
      break;
    default:
      v.value = Variant::Bytes{t.asBytes(i)};
      break;
  }
  return v;
}

void TField::setAsString(std::string_view text) {
  pdx::Table& t = m_table->engine();
  if (isTextType(type()))
    t.setString(engineIndex(), cutToSize(text, size()));
  else
    t.setString(engineIndex(), text);
}

void TField::setAsFloat(double value) {
  m_table->engine().setFloat(engineIndex(), value);
}
void TField::setAsBoolean(bool value) {
  m_table->engine().setBoolean(engineIndex(), value);
}
void TField::clear() {
  m_table->engine().setBlank(engineIndex());
}

void TField::setValue(const Variant& value) {
  pdx::Table& t = m_table->engine();
  const int i = engineIndex();
  std::visit(
      [&](const auto& v) {
        using V = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<V, std::monostate>)
          t.setBlank(i);
        else if constexpr (std::is_same_v<V, std::string>)
          setAsString(v);
        else if constexpr (std::is_same_v<V, double>)
          t.setFloat(i, v);
        else if constexpr (std::is_same_v<V, std::int64_t>)
          t.setInteger(i, v);
        else if constexpr (std::is_same_v<V, bool>)
          t.setBoolean(i, v);
        else if constexpr (std::is_same_v<V, Variant::DateTime>)
          t.setFloat(i, v.days);
        else
          t.setBytes(i, v.data);
      },
      value.value);
}

void TField::assign(const TField& source) {
  pdx::Table& t = m_table->engine();
  if (isTextType(type()) && isTextType(source.type()) && !source.isNull()) {
    setAsString(source.asString());  // keeps the declared size
    return;
  }
  t.copyValue(engineIndex(), source.m_table->engine(), source.engineIndex());
}

// ---- TTable ---------------------------------------------------------------

TTable::TTable(std::string handleName, std::string tableName,
               const std::vector<FieldSpec>* declared)
    : m_handleName(std::move(handleName)),
      m_tableName(std::move(tableName)),
      m_declared(declared) {}

TTable::~TTable() = default;

void TTable::setDatabaseName(const platform::TypedPath& directory) {
  if (active())
    throw EDatabaseError("Cannot perform this operation on an open dataset (" + m_handleName + ")");
  m_directory = directory;
  m_origin.reset();  // an origin is for the directory it was set with
}

void TTable::setDatabaseName(const std::string& directory) {
  setDatabaseName(platform::TypedPath::resolve(directory));
}

void TTable::setReadOnly(bool readOnly) {
  if (active())
    throw EDatabaseError("Cannot perform this operation on an open dataset (" + m_handleName + ")");
  m_readOnly = readOnly;
}

void TTable::setOrigin(std::optional<platform::TypedPath> directory) {
  if (active())
    throw EDatabaseError("Cannot perform this operation on an open dataset (" + m_handleName + ")");
  m_origin = std::move(directory);
}

void TTable::open() {
  if (active()) return;
  pdx::OpenOptions options;
  options.readOnly = m_readOnly;
  std::filesystem::path file;
  if (!m_origin) {
    file = ResolveTableFile(m_directory, m_tableName);
  } else {
    const platform::TypedPath from = *std::exchange(m_origin, std::nullopt);
    options.origin = ResolveTableFile(from, m_tableName);
    file = ResolveNewTableFile(m_directory, options.origin);
  }
  std::unique_ptr<pdx::Table> engine = pdx::Table::open(file, options);
  m_engine = std::move(engine);
  try {
    bind();
  } catch (...) {
    m_engine.reset();
    m_bound.clear();
    throw;
  }
  m_filter.clear();
  m_filtered = false;
  m_engine->first();
}

void TTable::bind() {
  m_bound.clear();
  const pdx::Table& t = *m_engine;
  if (!m_declared) {
    for (int i = 0; i < t.fieldCount(); ++i) {
      const pdx::FieldInfo& f = t.fields()[static_cast<std::size_t>(i)];
      m_bound.push_back({f.name, f.type, f.type == T::kAlpha ? f.size : 0, i});
    }
    return;
  }
  for (const FieldSpec& want : *m_declared) {
    const int i = t.findField(want.name);
    if (i < 0) throw EDatabaseError("Field '" + want.name + "' not found");
    const pdx::FieldType actual = t.fields()[static_cast<std::size_t>(i)].type;
    if (actual != want.type)
      throw EDatabaseError("Type mismatch for field '" + want.name + "', expecting: " +
                           schema::typeName(want.type) + " actual: " + schema::typeName(actual));
    m_bound.push_back({want.name, want.type, want.type == T::kAlpha ? want.size : 0, i});
  }
}

void TTable::close() {
  std::unique_ptr<pdx::Table> engine = std::move(m_engine);
  m_bound.clear();
  m_filter.clear();
  m_filtered = false;
  if (!engine) return;
  // Closing makes the table's changes durable. A failure to do so (a full
  // disk, a rename refused) reaches the caller instead of vanishing with the
  // engine; the handle is closed either way. After a change that failed, the
  // engine has discarded that batch and flush() reports the original
  // failure again, committing nothing.
  try {
    if (engine->state() != pdx::EditState::kBrowse) engine->cancel();
    engine->flush();
  } catch (const EDBEngineError& e) {
    rethrowWorded(e, engine->path().filename().string());
  }
}

void TTable::rethrowWorded(const EDBEngineError& e, const std::string& tableFile) const {
  using Code = EDBEngineError::Code;
  const FileCause& cause = e.cause();
  if (cause.file.empty() ||
      (e.code() != Code::kIo && e.code() != Code::kCorrupt && e.code() != Code::kReadOnly))
    throw e;
  const std::string name = visibleFileName(std::filesystem::path(cause.file).filename().string());
  const std::string typed =
      typedFilePath(m_directory.text(), sameName(name, tableFile) ? m_tableName : name);
  throw EDBEngineError(e.code(), describeTableFailure(typed, e), cause);
}

pdx::Table& TTable::engine() const {
  if (!m_engine)
    throw EDatabaseError(m_handleName + ": Cannot perform this operation on a closed dataset");
  return *m_engine;
}

void TTable::first() {
  worded([&] { engine().first(); });
}
void TTable::next() {
  worded([&] { engine().next(); });
}
bool TTable::eof() const {
  return engine().eof();
}
bool TTable::isEmpty() const {
  return engine().isEmpty();
}
std::uint64_t TTable::recordCount() const {
  return engine().recordCount();
}
void TTable::edit() {
  worded([&] { engine().edit(); });
}
void TTable::insert() {
  worded([&] { engine().insert(); });
}
void TTable::append() {
  worded([&] { engine().append(); });
}
void TTable::post() {
  worded([&] { engine().post(); });
}
void TTable::cancel() {
  engine().cancel();
}
void TTable::remove() {
  worded([&] { engine().remove(); });
}
void TTable::flushBuffers() {
  worded([&] { engine().flush(); });
}

void TTable::setFilter(const std::string& expression) {
  // The expression is checked when the filter is switched on; a closed
  // handle only keeps the text.
  m_filter = expression;
  if (m_engine && m_filtered) m_engine->setFilter(expression);
}

void TTable::setFiltered(bool on) {
  pdx::Table& t = engine();
  if (on && !m_filter.empty()) {
    t.setFilter(m_filter);
    t.setFiltered(true);
  } else {
    t.setFiltered(false);  // an empty expression lets every record through
  }
  m_filtered = on;
}

TField TTable::fields(int i) {
  bound(i);  // range check
  return TField(*this, i);
}

const std::string& TTable::fieldName(int i) const {
  return bound(i).name;
}

std::optional<TField> TTable::findField(std::string_view name) {
  engine();
  for (int i = 0; i < fieldCount(); ++i)
    if (sameName(bound(i).name, name)) return TField(*this, i);
  return std::nullopt;
}

TField TTable::field(std::string_view name) {
  std::optional<TField> f = findField(name);
  if (!f) throw EDatabaseError("Field '" + std::string(name) + "' not found");
  return *f;
}

void CopyRowByName(TTable& target, TTable& source) {
  // A source without a current record (an empty table) reads blank in every
  // field, as a dataset does.
  const bool sourceHasRow = !source.isEmpty() && !source.eof();
  for (int i = 0; i < target.fieldCount(); ++i) {
    TField to = target.fields(i);
    std::optional<TField> from = source.findField(to.name());
    if (!from) continue;
    if (sourceHasRow)
      to.assign(*from);
    else
      to.clear();
  }
}
