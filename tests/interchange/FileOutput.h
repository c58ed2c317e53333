#pragma once

#include <cstdio>
#include <string>

#include "interchange/Output.h"

namespace zorvan {

// A plain output file for the tests (the program writes its files through CExportFile, which
// replaces them atomically). Bytes go to the file as given: the writers end their lines with CR LF
// themselves, so the file is opened in binary mode on every platform.
class CFileOutput : public IOutput {
 public:
  CFileOutput() = default;
  CFileOutput(const CFileOutput&) = delete;
  CFileOutput& operator=(const CFileOutput&) = delete;
  ~CFileOutput() override;

  // Creates (or truncates) the file; false when it cannot be created.
  bool Open(const std::string& path);
  bool Write(std::string_view bytes) override;
  // Flushes and closes the file. False when any write failed or the last bytes could not be
  // flushed: only then is the file known to hold everything.
  bool Close();

  bool IsOpen() const { return m_pFile != nullptr; }
  bool Failed() const { return m_bFailed; }

 private:
  std::FILE* m_pFile = nullptr;
  bool m_bFailed = false;
};

}  // namespace zorvan
