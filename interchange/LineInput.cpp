#include "interchange/LineInput.h"

namespace zorvan {

int CountLines(ILineInput& input) {
  std::string line;
  int count = 0;
  while (input.ReadLine(line)) ++count;
  return count;
}

}  // namespace zorvan
