#pragma once

#include <string>
#include <string_view>

#include "res/CodePage.h"

namespace zorvan {

// A line of a file as UTF-8. Most lines are plain ASCII, which is the same in both encodings,
// so only the others are converted (into buffer).
inline std::string_view LineToUtf8(const std::string& ansi, std::string& buffer) {
  for (unsigned char c : ansi) {
    if (c >= 0x80) {
      buffer = AnsiToUtf8(ansi);
      return buffer;
    }
  }
  return ansi;
}

}  // namespace zorvan
