#pragma once

#include <string>

namespace zorvan {

// Where the interchange readers take their lines from, one at a time, so that reading a file
// needs memory for the records it builds and one line, never for the whole file.
class ILineInput {
 public:
  virtual ~ILineInput() = default;
  // The next line's bytes without its line end (a LF and any CRs before it; a last line
  // without a LF counts too). False at the end of the input or when reading failed.
  virtual bool ReadLine(std::string& line) = 0;
  // True when reading stopped because of an error rather than the end of the input.
  virtual bool Failed() const = 0;
};

// The number of lines the input holds from its current position on.
int CountLines(ILineInput& input);

}  // namespace zorvan
