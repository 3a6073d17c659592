#include "main/driver/runlog.h"

#include "platform/paths.h"

RunLog::RunLog(std::ostream& out, std::ostream& err)
    : m_outTee(out, m_file), m_errTee(err, m_file), m_out(&m_outTee), m_err(&m_errTee) {
  m_err.setf(std::ios::unitbuf);  // progress reaches the console as it happens
}

bool RunLog::open(const std::string& typed) {
  const auto path = platform::resolvePath(typed);
  if (!path) return false;
  m_file.open(*path, std::ios::binary | std::ios::trunc);
  if (!m_file) return false;
  m_file << "\xEF\xBB\xBF";
  m_file.flush();
  return static_cast<bool>(m_file);
}

RunLog::Tee::int_type RunLog::Tee::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  const char ch = traits_type::to_char_type(c);
  m_to.put(ch);
  if (m_file.is_open()) m_file.put(ch);
  return c;
}

std::streamsize RunLog::Tee::xsputn(const char* text, std::streamsize count) {
  m_to.write(text, count);
  if (m_file.is_open()) m_file.write(text, count);
  return count;
}

int RunLog::Tee::sync() {
  m_to.flush();
  if (m_file.is_open()) m_file.flush();
  return m_to && (!m_file.is_open() || m_file) ? 0 : -1;
}
