#pragma once

#include <string>

#include "interchange/Output.h"

namespace zorvan {

// An output that collects the bytes in memory (tests, and a card put on the clipboard).
class CStringOutput : public IOutput {
 public:
  bool Write(std::string_view bytes) override {
    m_strBytes.append(bytes);
    return true;
  }
  const std::string& Bytes() const { return m_strBytes; }

 private:
  std::string m_strBytes;
};

}  // namespace zorvan
