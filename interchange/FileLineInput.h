#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "interchange/LineInput.h"

namespace zorvan {

// An input file read line by line through a buffer of fixed size.
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
  // The system's error number of the last failed Open or read; 0 when none failed.
  int Error() const { return m_nError; }

 protected:
  bool ReadRawLine(std::string& line) override;

 private:
  bool Fill();

  std::FILE* m_pFile = nullptr;
  std::unique_ptr<char[]> m_pBuffer;
  size_t m_nStart = 0;  // first unread byte of the buffer
  size_t m_nEnd = 0;    // one past the last byte read into the buffer
  bool m_bEof = false;
  bool m_bFailed = false;
  int m_nError = 0;
};

}  // namespace zorvan
