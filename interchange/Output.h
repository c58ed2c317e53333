#pragma once

#include <string_view>

namespace zorvan {

// Where the interchange writers put their bytes (already in the file's code page, lines ended
// with CR LF). A write that fails makes the writer stop and report failure, so a full disk is
// never reported as a finished export.
class IOutput {
 public:
  virtual ~IOutput() = default;
  // Writes all of bytes; false when they could not all be written.
  virtual bool Write(std::string_view bytes) = 0;
};

}  // namespace zorvan
