#pragma once

#include <string_view>

#include "interchange/LineInput.h"

namespace zorvan {

// Lines taken from bytes in memory, split as a file's lines are. The bytes must outlive it.
class CStringLineInput : public ILineInput {
 public:
  explicit CStringLineInput(std::string_view bytes) : m_bytes(bytes) {}

  bool ReadLine(std::string& line) override;
  bool Failed() const override { return false; }

 private:
  std::string_view m_bytes;
  size_t m_nPos = 0;
};

}  // namespace zorvan
