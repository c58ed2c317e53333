#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "interchange/LineInput.h"

namespace zorvan {

// The longest line an interchange file may hold. Real lines are a record's worth of text; a
// longer one is not a file of contacts, and reading on would only cost memory.
inline constexpr size_t kMaxLineBytes = size_t{64} << 20;

// An input file read line by line through a buffer of fixed size. Only regular files are read
// (a FIFO or a device is refused when opened), and a line longer than the limit ends the input
// as a failed read.
class CFileLineInput : public CLineInput {
 public:
  CFileLineInput();
  CFileLineInput(const CFileLineInput&) = delete;
  CFileLineInput& operator=(const CFileLineInput&) = delete;
  ~CFileLineInput() override;

  // Opens the file for reading; false when it cannot be opened.
  bool Open(const std::string& path);
  void Close();

  bool Failed() const override { return m_bFailed; }
  // Why the last Open or read failed, in the system's words or the limit's; empty when none
  // failed.
  const std::string& Reason() const { return m_strReason; }
  // Lines longer than bytes fail the read (kMaxLineBytes unless set).
  void SetMaxLineBytes(size_t bytes) { m_nMaxLine = bytes; }

 protected:
  bool ReadRawLine(std::string& line) override;
  // Counts the line ends in the buffer as it is filled, without making a line of each.
  std::int64_t SkipRawLines() override;

 private:
  bool Fill();
  bool LineTooLong();

  std::FILE* m_pFile = nullptr;
  std::unique_ptr<char[]> m_pBuffer;
  size_t m_nStart = 0;  // first unread byte of the buffer
  size_t m_nEnd = 0;    // one past the last byte read into the buffer
  bool m_bEof = false;
  bool m_bFailed = false;
  size_t m_nMaxLine = kMaxLineBytes;
  std::string m_strReason;
};

}  // namespace zorvan
