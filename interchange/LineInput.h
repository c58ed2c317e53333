#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace zorvan {

// Where the interchange readers take their lines from, one at a time, so that reading a file
// needs memory for the records it builds and one line, never for the whole file.
class CLineInput {
 public:
  virtual ~CLineInput() = default;

  // The next line's bytes without its line end (a LF and any CRs before it; a last line
  // without a LF counts too). False at the end of the input or when reading failed.
  // A UTF-8 byte-order mark at the very start is not part of the first line; it marks the
  // input as UTF-8 rather than the code page.
  bool ReadLine(std::string& line);
  // Gives a line read with ReadLine back: the next ReadLine returns it again. One line at a
  // time, so that a reader can look at the line after the header before the rows are read.
  void PutBack(std::string line) {
    m_strHeld = std::move(line);
    m_bHeld = true;
  }
  // True when the input began with a UTF-8 byte-order mark (known once a line was read).
  bool IsUtf8() const { return m_bUtf8; }
  // True when reading stopped because of an error rather than the end of the input.
  virtual bool Failed() const = 0;
  // The number of lines from the current position on, which are read and dropped.
  std::int64_t CountRemainingLines();

 protected:
  // The next line as ReadLine describes it, byte-order mark included.
  virtual bool ReadRawLine(std::string& line) = 0;
  // Reads the rest of the input counting its lines; an input that can count without building
  // each line does so.
  virtual std::int64_t SkipRawLines();
  // The input starts again from its first line (a file opened anew).
  void Restart() {
    m_bStarted = false;
    m_bUtf8 = false;
    m_bHeld = false;
    m_strHeld.clear();
  }

 private:
  bool m_bStarted = false;
  bool m_bUtf8 = false;
  bool m_bHeld = false;
  std::string m_strHeld;
};

// The number of lines the input holds from its current position on.
std::int64_t CountLines(CLineInput& input);

}  // namespace zorvan
