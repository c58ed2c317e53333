#pragma once

#include <string_view>

#include "interchange/LineInput.h"

namespace zorvan {

// Lines taken from bytes in memory, split as a file's lines are. The bytes must outlive it.
class CStringLineInput : public CLineInput {
 public:
  explicit CStringLineInput(std::string_view bytes) : m_bytes(bytes) {}

  bool Failed() const override { return false; }

 protected:
  bool ReadRawLine(std::string& line) override;

 private:
  std::string_view m_bytes;
  size_t m_nPos = 0;
};

}  // namespace zorvan
