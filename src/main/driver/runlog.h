// --log FILE: the lines a command-line run writes to standard output and
// standard error also go to a file, in the order they are written. The file
// is UTF-8 with a byte-order mark, so that Notepad reads its Turkish letters
// whatever the system's code page; the console gets its text as before.
#pragma once

#include <fstream>
#include <ostream>
#include <streambuf>
#include <string>

class RunLog {
 public:
  // Until open() succeeds the streams write to `out` and `err` alone. Both
  // must outlive this.
  RunLog(std::ostream& out, std::ostream& err);
  RunLog(const RunLog&) = delete;
  RunLog& operator=(const RunLog&) = delete;

  // Creates (or empties) the file named by `typed` (a path as the user typed
  // it, drive letters through Wine on Linux) and writes the byte-order mark.
  // False when it cannot be written.
  bool open(const std::string& typed);

  std::ostream& out() { return m_out; }
  std::ostream& err() { return m_err; }

 private:
  // Hands every character to a stream and, once open, to the file.
  class Tee : public std::streambuf {
   public:
    Tee(std::ostream& to, std::ofstream& file) : m_to(to), m_file(file) {}

   protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int sync() override;

   private:
    std::ostream& m_to;
    std::ofstream& m_file;
  };

  std::ofstream m_file;
  Tee m_outTee, m_errTee;
  std::ostream m_out, m_err;
};
