#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zorvan {

// Text of other programs that is not UTF-8 and names no code page: the code page is guessed
// from the text itself by a statistical detector (uchardet), and checked by what the candidates
// make of the letters.

// The most text a guess is made from: the detector is sure well before this, and a file of
// gigabytes must not be read for it.
inline constexpr size_t kCodePageSampleBytes = 64 * 1024;

// The 8-bit text a guess is made from, gathered from many values: one short name misleads a
// detector, the values of a whole card or file together do not. ASCII adds nothing, so only
// text holding other bytes is taken.
class CCodePageSample {
 public:
  // Takes text when it holds a byte above 127 and is not UTF-8, as far as the sample has room.
  void Add(std::string_view text);
  // Add for each line of text, until the sample is full.
  void AddLines(std::string_view text);
  bool Full() const { return m_text.size() >= kCodePageSampleBytes; }
  bool Empty() const { return m_text.empty(); }
  std::string_view Text() const { return m_text; }

 private:
  std::string m_text;
};

// The iconv name of the code page the sample is most likely written in; empty when the
// active code page reads it as well as any other (as the detector's answer "some Western
// code page" means), or when nothing is known.
std::string GuessCodePage(std::string_view sample);

// in, bytes in the code page iconv knows as charset, appended to out as UTF-8; a byte the code
// page has no character for becomes U+FFFD. Returns the number of such bytes, or -1 when iconv
// does not know the name.
long ConvertCodePage(std::string_view charset, std::string_view in, std::string& out);

// Text in the code page charset names (a name GuessCodePage gives) as UTF-8: the program's own
// code pages through its own tables, which are quicker, others through iconv; the active code
// page when the name is empty or unknown.
std::string DecodeCodePage(std::string_view charset, std::string_view text);

// A whole text that is not UTF-8 and names no code page, as UTF-8: a sample of its lines
// guesses the code page, DecodeCodePage converts it.
std::string DecodeUndeclared(std::string_view text);

}  // namespace zorvan
