#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <optional>
#include <system_error>

#include "paradox/coding.h"
#include "paradox/errors.h"
#include "paradox/names.h"
#include "paradox/table_impl.h"
#include "paradox/values.h"
#include "platform/files.h"
#include "platform/leftovers.h"

namespace pdx {
namespace {

// The file as named, or the one in the same directory whose name differs
// only in letter case; a name without extension gets ".db".
std::optional<std::filesystem::path> resolveIfThere(const std::filesystem::path& given) {
  std::error_code ec;
  if (std::filesystem::is_regular_file(given, ec)) return given;
  std::filesystem::path dir = given.parent_path();
  if (dir.empty()) dir = ".";
  std::string want = given.filename().string();
  const bool noExtension = !given.has_extension();
  for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
    const std::string name = entry.path().filename().string();
    if (sameName(name, want) || (noExtension && sameName(name, want + ".db")))
      if (entry.is_regular_file(ec)) return entry.path();
  }
  return std::nullopt;
}

std::filesystem::path resolve(const std::filesystem::path& given) {
  if (std::optional<std::filesystem::path> found = resolveIfThere(given)) return *found;
  throw EDBEngineError(EDBEngineError::Code::kNotFound, "Table does not exist: " + given.string(),
                       FileCause{given.string(), ENOENT, false});
}

std::uint64_t fileSizeOf(const platform::RawFile& file, const std::string& name) {
  try {
    return file.size();
  } catch (const std::system_error& e) {
    throw EDBEngineError::io(name, e, false);
  }
}

}  // namespace

TableHeader readHeader(const platform::RawFile& file, const std::string& name) {
  const std::uint64_t size = fileSizeOf(file, name);
  std::vector<std::uint8_t> head(0x78);
  try {
    head.resize(file.readAt(0, head.data(), head.size()));
    if (head.size() >= 4) {
      const std::size_t want = std::min<std::uint64_t>(getU16(head.data() + 2), size);
      if (want > head.size()) {
        head.resize(want);
        head.resize(file.readAt(0, head.data(), want));
      }
    }
  } catch (const std::system_error& e) {
    throw EDBEngineError::io(name, e, false);
  }
  return TableHeader::decode(std::move(head), size, name);
}

TableHeader readHeader(const std::filesystem::path& file) {
  const std::filesystem::path path = resolve(file);
  try {
    return readHeader(platform::RawFile(path, platform::RawFile::Mode::kRead), path.string());
  } catch (const std::system_error& e) {
    throw EDBEngineError(EDBEngineError::Code::kIo,
                         "Cannot open table " + path.string() + ": " + e.code().message(),
                         FileCause{path.string(), e.code().value(), false});
  }
}

std::filesystem::path companionFile(const std::filesystem::path& table, const std::string& ext) {
  std::error_code ec;
  const std::string stem = table.stem().string();
  std::filesystem::path dir = table.parent_path();
  for (const auto& entry : std::filesystem::directory_iterator(dir.empty() ? "." : dir, ec)) {
    const std::filesystem::path& p = entry.path();
    if (sameName(p.stem().string(), stem) && sameName(p.extension().string(), ext)) return p;
  }
  // Not there: the name it would have, in the letter case of the table's extension.
  const std::string tableExt = table.extension().string();
  const bool lower = tableExt.size() > 1 && std::islower(static_cast<unsigned char>(tableExt[1]));
  std::string e = ext;
  for (char& c : e)
    c = static_cast<char>(lower ? std::tolower(static_cast<unsigned char>(c))
                                : std::toupper(static_cast<unsigned char>(c)));
  return dir / (stem + e);
}

std::unique_ptr<Table> Table::open(const std::filesystem::path& dbFile,
                                   const OpenOptions& options) {
  // A replace cut off on Windows may have left a file of the table aside.
  platform::restoreMovedAside(dbFile.parent_path().empty() ? "." : dbFile.parent_path());
  if (options.origin.empty()) return std::make_unique<TableImpl>(resolve(dbFile), options);
  // The data file need not be there yet; the origin must.
  OpenOptions resolved = options;
  resolved.origin = resolve(options.origin);
  return std::make_unique<TableImpl>(resolveIfThere(dbFile).value_or(dbFile), resolved);
}

TableImpl::TableImpl(std::filesystem::path path, const OpenOptions& options)
    : m_path(std::move(path)), m_name(m_path.string()), m_options(options) {
  m_fromOrigin = !options.origin.empty();
  m_fileReadOnly = options.readOnly || (!m_fromOrigin && platform::isReadOnlyFile(m_path));
  try {
    m_file = m_fromOrigin
                 ? platform::RawFile(options.origin, platform::RawFile::Mode::kRead)
                 : platform::RawFile(m_path, m_fileReadOnly ? platform::RawFile::Mode::kRead
                                                            : platform::RawFile::Mode::kReadWrite);
  } catch (const std::system_error& e) {
    const std::string file = m_fromOrigin ? options.origin.string() : m_name;
    throw EDBEngineError(e.code() == std::errc::no_such_file_or_directory
                             ? EDBEngineError::Code::kNotFound
                             : EDBEngineError::Code::kIo,
                         "Cannot open table " + file + ": " + e.code().message(),
                         FileCause{file, e.code().value(), false});
  }
  const std::uint64_t size = fileSizeOf(m_file, m_name);
  m_header = readHeader(m_file, m_name);
  if (m_header.encrypted)
    fail(EDBEngineError::Code::kEncrypted,
         "Table " + m_name + " is encrypted (password protected) and cannot be opened");
  int cp = m_header.codePage;
  if (cp == 0) cp = options.fallbackCodePage;
  if (cp == 0) cp = codePageForLanguageDriver(m_header.sortOrder);
  m_codePage = &CodePage::forId(cp);
  m_fields = m_header.fields;
  m_markPerBlock = static_cast<std::size_t>(std::max(0, m_header.maxRecordsPerBlock()));
  m_blankRecord.assign(static_cast<std::size_t>(m_header.recordSize), 0);
  for (const FieldInfo& f : m_fields) {
    m_hasBlobs = m_hasBlobs || isBlobType(f.type);
    if (f.type == FieldType::kAutoInc) m_autoIncOffsets.push_back(f.offset);
    if (f.type == FieldType::kBcd)  // a blank BCD holds its decimals, as the BDE leaves it
      m_blankRecord[static_cast<std::size_t>(f.offset)] = static_cast<std::uint8_t>(f.size);
  }
  for (std::size_t i = 0; i < m_fields.size(); ++i)
    m_fields[i].name = m_codePage->toUtf8(m_header.rawNames[i]);
  m_memo = std::make_unique<MemoFile>(companionFile(m_path, ".mb"), !m_fileReadOnly);
  m_store =
      std::make_unique<BlockStore>(&m_file, m_name, m_header.headerSize, m_header.blockSize, size);
  if (!options.mapBlocks) m_store->readWithoutMapping();
  if (m_header.fileBlocks > m_store->blocksInFile())
    fail(EDBEngineError::Code::kCorrupt,
         "Corrupt table " + m_name + ": header declares " + std::to_string(m_header.fileBlocks) +
             " blocks, the file holds " + std::to_string(m_store->blocksInFile()));
  finishPendingIndexes();
}

void TableImpl::materialize() {
  try {
    platform::copyResolvedFile(m_options.origin, m_path);
    platform::RawFile own(m_path, platform::RawFile::Mode::kReadWrite);
    auto store = std::make_unique<BlockStore>(&m_file, m_name, m_header.headerSize,
                                              m_header.blockSize, own.size());
    if (!m_options.mapBlocks) store->readWithoutMapping();
    m_store.reset();  // done with the origin's handle before it goes
    m_file = std::move(own);
    m_store = std::move(store);
  } catch (const platform::FileSystemError& e) {
    throw EDBEngineError(EDBEngineError::Code::kIo,
                         "Cannot write table " + m_name + ": " + e.what(),
                         FileCause{e.writing() ? m_name : m_options.origin.string(),
                                   e.cause().value(), e.writing()});
  } catch (const std::system_error& e) {
    failWriting("Cannot write table " + m_name, m_path, e);
  }
  m_fromOrigin = false;
}

TableImpl::~TableImpl() {
  try {
    if (m_state != EditState::kBrowse) cancel();
    flush();
  } catch (...) {
    // A destructor cannot report; callers who care call flush() first.
  }
}

void TableImpl::fail(EDBEngineError::Code code, const std::string& what) const {
  throw EDBEngineError(code, what, FileCause{m_name, 0, false});
}

void TableImpl::failWriting(const std::string& what, const std::filesystem::path& file,
                            const std::system_error& e) const {
  throw EDBEngineError(EDBEngineError::Code::kIo, what + ": " + e.code().message(),
                       FileCause{file.string(), e.code().value(), true});
}

int TableImpl::findField(std::string_view name) const {
  for (std::size_t i = 0; i < m_fields.size(); ++i)
    if (sameName(m_fields[i].name, name)) return static_cast<int>(i);
  return -1;
}

// --- cursor ---------------------------------------------------------------

bool TableImpl::enterBlock(int block) {
  int count = 0;
  if (std::string fault = m_walk.reach(block, m_header.fileBlocks); !fault.empty())
    chainCorrupt(m_name, fault);
  if (std::string fault =
          recordsFault(block, m_store->head(block), m_header.recordSize,
                       m_header.maxRecordsPerBlock(), m_store->available(block), count);
      !fault.empty())
    chainCorrupt(m_name, fault);
  m_block = block;
  m_index = 0;
  m_blockCount = count;
  return count > 0;
}

bool TableImpl::stepRaw() {
  if (m_block == 0) return false;
  for (;;) {
    if (++m_index < m_blockCount) {
      if (!isMarkedDeleted(m_block, m_index)) return true;
      continue;
    }
    const int nextBlock = m_store->head(m_block).next;
    if (nextBlock == 0) {
      m_block = 0;
      return false;
    }
    if (enterBlock(nextBlock) && !isMarkedDeleted(m_block, 0)) return true;
  }
}

bool TableImpl::startAt(int block) {
  if (enterBlock(block) && !isMarkedDeleted(m_block, 0)) return true;
  return stepRaw();
}

bool TableImpl::passes() const {
  if (!m_filtered) return true;
  if (m_passingKnown && static_cast<std::size_t>(m_block) < m_passing.size()) {
    const std::vector<bool>& bits = m_passing[static_cast<std::size_t>(m_block)];
    if (static_cast<std::size_t>(m_index) < bits.size())
      return bits[static_cast<std::size_t>(m_index)];
  }
  return m_filter.matches(stored());
}

void TableImpl::seekVisible() {
  while (m_block != 0 && !passes()) stepRaw();
}

void TableImpl::first() {
  requireSound();
  if (m_state != EditState::kBrowse) post();  // moving on posts, as in a dataset
  structural([&] {
    m_walk.restart();
    m_block = 0;
    if (m_header.firstBlock == 0) return;
    m_noneVisibleBehind = true;
    if (!startAt(m_header.firstBlock)) return;
    seekVisible();
  });
}

void TableImpl::next() {
  m_noneVisibleBehind = false;
  if (m_state == EditState::kBrowse && !m_filtered && m_block != 0 && m_index + 1 < m_blockCount &&
      !isMarkedDeleted(m_block, m_index + 1)) {
    ++m_index;  // the common case: the next record of the same block
    return;
  }
  requireSound();
  if (m_state != EditState::kBrowse) post();
  if (m_block == 0) return;
  structural([&] {
    stepRaw();
    seekVisible();
  });
}

const std::uint8_t* TableImpl::stored() const {
  return m_store->block(m_block) + 6 + static_cast<std::size_t>(m_index) * m_header.recordSize;
}

const std::uint8_t* TableImpl::current() const {
  requireSound();
  if (m_state != EditState::kBrowse) return m_editRecord.data();
  if (m_block == 0)
    fail(EDBEngineError::Code::kState, "No current record in " + m_name + " (end of table)");
  return stored();
}

std::uint64_t TableImpl::recordCount() const {
  if (!m_filtered || m_filter.empty()) return m_header.records;
  // Walk a copy of the cursor so that the caller's position stays.
  auto* self = const_cast<TableImpl*>(this);
  const int block = m_block, index = m_index, count = m_blockCount;
  const ChainWalk walk = m_walk;
  std::uint64_t n = 0;
  self->m_walk.restart();
  self->m_block = 0;
  self->forgetPassing();
  std::vector<std::vector<bool>> passing(static_cast<std::size_t>(m_header.fileBlocks) + 1);
  if (m_header.firstBlock != 0 && self->startAt(m_header.firstBlock)) do {
      std::vector<bool>& bits = passing[static_cast<std::size_t>(m_block)];
      if (bits.empty()) bits.resize(static_cast<std::size_t>(m_blockCount), false);
      if (m_filter.matches(stored())) {
        bits[static_cast<std::size_t>(m_index)] = true;
        ++n;
      }
    } while (self->stepRaw());
  // Only while nothing is being edited: an edit in progress may still move.
  if (m_state == EditState::kBrowse) {
    self->m_passing = std::move(passing);
    self->m_passingKnown = true;
  }
  self->m_block = block;
  self->m_index = index;
  self->m_blockCount = count;
  self->m_walk = walk;
  return n;
}

bool TableImpl::isEmpty() const {
  if (!m_filtered || m_filter.empty()) return m_header.records == 0;
  return recordCount() == 0;
}

void TableImpl::setFilter(const std::string& expression) {
  forgetPassing();
  m_filter = Filter::parse(expression, m_fields, *m_codePage, m_name);
  m_filterText = expression;
  if (m_filtered) first();
}

void TableImpl::setFiltered(bool on) {
  forgetPassing();
  m_filtered = on;
  first();
}

// --- reading --------------------------------------------------------------

void TableImpl::failFieldNumber(int field) const {
  fail(EDBEngineError::Code::kState,
       "Field number " + std::to_string(field) + " out of range in " + m_name);
}

bool TableImpl::isBlank(int field) const {
  const FieldInfo& f = fieldAt(field);
  const std::uint8_t* p = current() + f.offset;
  if (f.type == FieldType::kAlpha) return p[0] == 0;
  return valueIsBlank(f, p);
}

std::string TableImpl::asString(int field) const {
  const FieldInfo& f = fieldAt(field);
  const std::uint8_t* p = current() + f.offset;
  if (f.type == FieldType::kAlpha) return m_codePage->toUtf8(valueToText(f, p));
  if (isBlobType(f.type)) {
    const std::string bytes = asBytes(field);
    if (f.type == FieldType::kMemo || f.type == FieldType::kFmtMemo)
      return m_codePage->toUtf8(bytes);
    return bytes;
  }
  return valueToText(f, p);
}

double TableImpl::asFloat(int field) const {
  const FieldInfo& f = fieldAt(field);
  const std::uint8_t* p = current() + f.offset;
  if (f.type == FieldType::kNumber || f.type == FieldType::kMoney) return decodeDouble(p);
  if (f.type == FieldType::kAlpha) return textAsFloat(f, p);
  return valueToDouble(f, p);
}

double TableImpl::textAsFloat(const FieldInfo& f, const std::uint8_t* p) const {
  std::string text = valueToText(f, p);
  std::replace(text.begin(), text.end(), ',', '.');
  try {
    return text.empty() ? 0.0 : std::stod(text);
  } catch (const std::exception&) {
    fail(EDBEngineError::Code::kState,
         "'" + m_codePage->toUtf8(text) + "' is not a valid number in " + m_name);
  }
}

std::int64_t TableImpl::asInteger(int field) const {
  const FieldInfo& f = fieldAt(field);
  const std::uint8_t* p = current() + f.offset;
  switch (f.type) {
    case FieldType::kShort:
    case FieldType::kLong:
    case FieldType::kAutoInc:
    case FieldType::kDate:
    case FieldType::kTime:
      return valueIsBlank(f, p) ? 0 : decodeInt(p, f.width);
    default: {
      const double v = std::trunc(asFloat(field));
      if (!(v >= -9.2e18 && v <= 9.2e18))  // NaN, infinities and the far too large
        throw EDatabaseError("Value of field '" + f.name + "' is out of the integer range");
      return static_cast<std::int64_t>(v);
    }
  }
}

bool TableImpl::asBoolean(int field) const {
  const FieldInfo& f = fieldAt(field);
  const std::uint8_t* p = current() + f.offset;
  if (f.type == FieldType::kLogical) return p[0] == 0x81;
  return convertedAsBoolean(field, f, p);
}

bool TableImpl::convertedAsBoolean(int field, const FieldInfo& f, const std::uint8_t* p) const {
  if (f.type == FieldType::kAlpha) {
    const std::string t = valueToText(f, p);
    return sameName(t, "true") || sameName(t, "t");
  }
  return asFloat(field) != 0.0;
}

}  // namespace pdx
