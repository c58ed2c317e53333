#pragma once

#include <string>
#include <string_view>

#include "res/CodePage.h"

namespace zorvan {

// Text crosses the file boundary here: files hold the code page's bytes, the program UTF-8.
// Most of what the interchange files hold is plain ASCII, the same in both, so only the other
// characters go through the code-page conversion.

// A line of a file as UTF-8 (converted into buffer when it is not plain ASCII). A file marked
// as UTF-8 keeps its bytes, except that malformed ones become U+FFFD, so every text read from
// any file is well-formed UTF-8.
inline std::string_view LineToUtf8(const std::string& line, bool fileIsUtf8, std::string& buffer) {
  size_t i = 0;
  while (i < line.size() && static_cast<unsigned char>(line[i]) < 0x80) ++i;
  if (i == line.size()) return line;
  if (!fileIsUtf8) {
    buffer = AnsiToUtf8(line);
    return buffer;
  }
  buffer.assign(line, 0, i);
  AppendRepairedUtf8(buffer, std::string_view(line).substr(i));
  return buffer;
}

// A line of a delimited-text file that the user imports. Other programs write UTF-8 without a
// byte-order mark, and an unmarked line that is well-formed UTF-8 holding other than ASCII is
// taken as UTF-8: text in the code page almost never is (its accented letters would have to
// come in the byte pairs UTF-8 is made of, line after line), so old files read as before.
inline std::string_view ImportLineToUtf8(const std::string& line, bool fileIsUtf8,
                                         std::string& buffer) {
  if (!fileIsUtf8 && !IsAscii(line) && IsWellFormedUtf8(line)) return line;
  return LineToUtf8(line, fileIsUtf8, buffer);
}

// Appends UTF-8 text to out in the file's code page.
inline void AppendAnsi(std::string& out, std::string_view utf8) {
  size_t i = 0;
  while (i < utf8.size()) {
    size_t ascii = i;
    while (ascii < utf8.size() && static_cast<unsigned char>(utf8[ascii]) < 0x80) ++ascii;
    out.append(utf8, i, ascii - i);
    // Every byte of a multi-byte character is above 127, so a run of them holds whole
    // characters (or malformed bytes, which the conversion turns into '?').
    size_t other = ascii;
    while (other < utf8.size() && static_cast<unsigned char>(utf8[other]) >= 0x80) ++other;
    if (other > ascii) out += Utf8ToAnsi(utf8.substr(ascii, other - ascii));
    i = other;
  }
}

}  // namespace zorvan
