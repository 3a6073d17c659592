#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <system_error>

#include "paradox/coding.h"
#include "paradox/errors.h"
#include "paradox/names.h"
#include "paradox/table_impl.h"
#include "paradox/values.h"
#include "platform/files.h"

namespace pdx {
namespace {

std::string trimmed(std::string_view text) {
  std::size_t b = 0, e = text.size();
  while (b < e && std::isspace(static_cast<unsigned char>(text[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1]))) --e;
  return std::string(text.substr(b, e - b));
}

// A number in plain or exponent notation, '.' or ',' as the decimal mark.
bool parseNumber(std::string text, double& out) {
  for (char& c : text)
    if (c == ',') c = '.';
  if (text.empty()) return false;
  char* end = nullptr;
  out = std::strtod(text.c_str(), &end);
  return end == text.c_str() + text.size() && std::isfinite(out);
}

// "dd.mm.yyyy", "dd/mm/yyyy" or "yyyy-mm-dd"; the day number (day 1 = 0001-01-01).
bool parseDate(const std::string& text, std::int64_t& day) {
  int a = 0, b = 0, c = 0;
  char s1 = 0, s2 = 0;
  if (std::sscanf(text.c_str(), "%d%c%d%c%d", &a, &s1, &b, &s2, &c) != 5 || s1 != s2) return false;
  int y, m, d;
  if (s1 == '-') {
    y = a, m = b, d = c;
  } else if (s1 == '.' || s1 == '/') {
    d = a, m = b, y = c;
  } else {
    return false;
  }
  if (m < 1 || m > 12 || d < 1 || d > 31) return false;
  day = dayFromCivil(y, m, d);
  std::int64_t yy;
  int mm, dd;
  civilFromDay(day, yy, mm, dd);
  return yy == y && mm == m && dd == d;
}

bool parseTime(const std::string& text, std::int64_t& ms) {
  int h = 0, m = 0, s = 0;
  const int n = std::sscanf(text.c_str(), "%d:%d:%d", &h, &m, &s);
  if (n < 2 || h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59) return false;
  ms = (static_cast<std::int64_t>(h) * 3600 + m * 60 + s) * 1000;
  return true;
}

}  // namespace

void TableImpl::refuseWriting() const {
  // The cause the user is told: a read-only disk or a permission refused
  // (errno), else the file's own read-only mark (0).
  int cause = 0;
  switch (platform::writeRefusal(m_path)) {
    case platform::WriteRefusal::kDiskReadOnly:
      cause = EROFS;
      break;
    case platform::WriteRefusal::kNoPermission:
      cause = EACCES;
      break;
    default:
      break;
  }
  throw EDBEngineError(EDBEngineError::Code::kReadOnly,
                       "Table " + m_name + " is read-only and cannot be changed",
                       FileCause{m_name, m_options.readOnly ? 0 : cause, true});
}

std::uint8_t* TableImpl::editable(int field) {
  const FieldInfo& f = fieldAt(field);
  if (m_state == EditState::kBrowse)
    fail(EDBEngineError::Code::kState, "Table " + m_name + " is not in edit or insert mode");
  if (m_touchLo == m_touchHi) {
    m_touchLo = f.offset;
    m_touchHi = f.offset + f.width;
  } else {
    m_touchLo = std::min(m_touchLo, f.offset);
    m_touchHi = std::max(m_touchHi, f.offset + f.width);
  }
  return m_editRecord.data() + f.offset;
}

void TableImpl::setString(int field, std::string_view text) {
  const FieldInfo& f = fieldAt(field);
  std::uint8_t* p = editable(field);
  auto invalid = [&]() {
    throw EDatabaseError("'" + std::string(text) + "' is not a valid value for field '" + f.name +
                         "'");
  };
  if (f.type == FieldType::kAlpha) {
    const std::string enc = m_codePage->fromUtf8(text);
    const std::size_t n = m_codePage->fitPrefix(enc, static_cast<std::size_t>(f.width));
    std::memset(p, 0, static_cast<std::size_t>(f.width));
    std::memcpy(p, enc.data(), n);
    return;
  }
  if (f.type == FieldType::kMemo || f.type == FieldType::kFmtMemo) {
    setBytes(field, m_codePage->fromUtf8(text));
    return;
  }
  if (isBlobType(f.type) || f.type == FieldType::kBytes) {
    setBytes(field, text);
    return;
  }
  const std::string t = trimmed(text);
  if (t.empty()) {
    setBlank(field);
    return;
  }
  switch (f.type) {
    case FieldType::kLogical:
      if (sameName(t, "true") || sameName(t, "t") || t == "1")
        p[0] = 0x81;
      else if (sameName(t, "false") || sameName(t, "f") || t == "0")
        p[0] = 0x80;
      else
        invalid();
      return;
    case FieldType::kDate: {
      std::int64_t day;
      if (!parseDate(t, day)) invalid();
      encodeInt(p, 4, day);
      return;
    }
    case FieldType::kTime: {
      std::int64_t ms;
      if (!parseTime(t, ms)) invalid();
      encodeInt(p, 4, ms);
      return;
    }
    case FieldType::kTimestamp: {
      const std::size_t space = t.find(' ');
      std::int64_t day, ms = 0;
      if (!parseDate(t.substr(0, space), day)) invalid();
      if (space != std::string::npos && !parseTime(trimmed(t.substr(space)), ms)) invalid();
      encodeDouble(p, static_cast<double>(day) * kMsPerDay + static_cast<double>(ms));
      return;
    }
    case FieldType::kBcd: {
      std::string s = t;
      for (char& c : s)
        if (c == ',') c = '.';
      std::uint8_t tmp[17];
      if (!bcdFromText(tmp, f.size, s)) invalid();
      std::memcpy(p, tmp, 17);
      return;
    }
    default: {
      double v;
      if (!parseNumber(t, v)) invalid();
      setFloat(field, v);
    }
  }
}

void TableImpl::setFloat(int field, double value) {
  const FieldInfo& f = fieldAt(field);
  std::uint8_t* p = editable(field);
  if ((f.type == FieldType::kNumber || f.type == FieldType::kMoney) && std::isfinite(value)) {
    encodeDouble(p, value);  // the common case, without a copy through a buffer
    return;
  }
  if (f.type == FieldType::kAlpha) {
    setString(field, formatGeneral(value));
    return;
  }
  std::uint8_t tmp[17];
  if (f.width > 17 || !doubleToValue(f, tmp, value))
    throw EDatabaseError("Value " + formatGeneral(value) + " does not fit field '" + f.name + "'");
  std::memcpy(p, tmp, static_cast<std::size_t>(f.width));
}

void TableImpl::setInteger(int field, std::int64_t value) {
  const FieldInfo& f = fieldAt(field);
  std::uint8_t* p = editable(field);
  if (f.type == FieldType::kShort || f.type == FieldType::kLong || f.type == FieldType::kAutoInc) {
    const std::int64_t limit = f.width == 2 ? 32767 : 2147483647;
    if (value < -limit || value > limit)
      throw EDatabaseError("Value " + std::to_string(value) + " does not fit field '" + f.name +
                           "'");
    encodeInt(p, f.width, value);
    return;
  }
  if (f.type == FieldType::kAlpha) {
    setString(field, std::to_string(value));
    return;
  }
  setFloat(field, static_cast<double>(value));
}

void TableImpl::setBoolean(int field, bool value) {
  const FieldInfo& f = fieldAt(field);
  std::uint8_t* p = editable(field);
  if (f.type == FieldType::kLogical)
    p[0] = value ? 0x81 : 0x80;
  else if (f.type == FieldType::kAlpha)
    setString(field, value ? "True" : "False");
  else
    setFloat(field, value ? 1.0 : 0.0);
}

void TableImpl::setBlank(int field) {
  const FieldInfo& f = fieldAt(field);
  std::uint8_t* p = editable(field);
  if (isBlobType(f.type)) {
    setBytes(field, {});
    return;
  }
  std::memset(p, 0, static_cast<std::size_t>(f.width));
  if (f.type == FieldType::kBcd) p[0] = static_cast<std::uint8_t>(f.size);  // as the BDE leaves it
}

void TableImpl::copyValue(int field, const Table& source, int sourceField) {
  const FieldInfo& f = fieldAt(field);
  editable(field);
  if (sourceField < 0 || sourceField >= source.fieldCount())
    fail(EDBEngineError::Code::kState, "Source field number out of range");
  const FieldInfo& s = source.fields()[static_cast<std::size_t>(sourceField)];
  if (source.isBlank(sourceField)) {
    setBlank(field);
    return;
  }
  if (isBlobType(f.type) || isBlobType(s.type)) {
    if (isBlobType(f.type) && isBlobType(s.type))
      setBytes(field, source.asBytes(sourceField));
    else
      setString(field, source.asString(sourceField));
    return;
  }
  const auto* src = dynamic_cast<const TableImpl*>(&source);
  if (src && f.type == s.type && f.width == s.width && f.size == s.size &&
      (f.type != FieldType::kAlpha || src->codePage() == codePage())) {
    std::memcpy(m_editRecord.data() + f.offset, src->current() + s.offset,
                static_cast<std::size_t>(f.width));
    return;
  }
  switch (f.type) {
    case FieldType::kAlpha:
    case FieldType::kBytes:
      setString(field, source.asString(sourceField));
      return;
    case FieldType::kLogical:
      setBoolean(field, source.asBoolean(sourceField));
      return;
    case FieldType::kBcd:
      if (s.type == FieldType::kBcd || s.type == FieldType::kAlpha) {
        setString(field, source.asString(sourceField));
        return;
      }
      [[fallthrough]];
    default:
      if (s.type == FieldType::kAlpha)
        setString(field, source.asString(sourceField));
      else
        setFloat(field, source.asFloat(sourceField));
  }
}

void TableImpl::edit() {
  structural([&] { startEdit(); });
}

void TableImpl::startEdit() {
  requireWritable();
  if (m_state != EditState::kBrowse) return;
  applyMarkedDeletes();  // an edit is written where the record is in the shadow
  if (m_block == 0) {
    if (isEmpty()) {
      append();
      return;
    }
    fail(EDBEngineError::Code::kState, "No current record to edit in " + m_name);
  }
  const std::uint8_t* rec = stored();
  const auto rs = static_cast<std::size_t>(m_header.recordSize);
  m_recordBeforeEdit.resize(rs);
  m_editRecord.resize(rs);
  std::memcpy(m_recordBeforeEdit.data(), rec, rs);
  std::memcpy(m_editRecord.data(), rec, rs);
  m_touchLo = m_touchHi = 0;
  m_state = EditState::kEdit;
}

void TableImpl::flush() {
  if (m_fileReadOnly) return;
  if (!commitChange()) {  // in-place edits only
    if (m_fromOrigin) materialize();  // closed unchanged: a copy of the origin
    m_store->writeBack();
    m_memo->flush();
    try {
      m_file.sync();
    } catch (const std::system_error& e) {
      failWriting("Cannot flush " + m_name, m_path, e);
    }
  }
  // Only now does no durable record point at the values dropped so far.
  // The changes are durable: failing to mark that space free only leaves it
  // unused, which is reported nowhere rather than as a failed change.
  try {
    m_memo->commitFrees();
  } catch (const EDBEngineError&) {
  }
}

}  // namespace pdx
