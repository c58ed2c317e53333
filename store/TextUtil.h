#pragma once

#include <string>
#include <string_view>

namespace zorvan {

// White space as the C library counts it: blank, tab, line feed, vertical tab, form feed and
// carriage return.
inline constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";

constexpr bool IsWhiteSpace(char c) { return kWhiteSpace.find(c) != std::string_view::npos; }

// s without the characters of blanks at either end. Readers that take fewer characters as blank
// than all white space name their own set.
std::string_view Trim(std::string_view s, std::string_view blanks = kWhiteSpace);

// True when a and b are the same text but for the case of A-Z; other letters must match
// exactly.
bool SameIgnoringAsciiCase(std::string_view a, std::string_view b);

// UTF-8 text made safe for one line of a terminal: control characters (C0, DEL and C1, which
// a terminal would obey as line breaks or escape sequences) become "\r", "\n", "\t",
// "\x1B" or "\u009B"; everything else, backslashes included, stays as it is.
std::string EscapeControlCharacters(std::string_view text);

// A decimal number with optional leading white space and sign, up to the first character that
// is not a digit; no digits give 0. Values beyond the range of int are clamped to it.
int ParseInteger(std::string_view text);

// The narrower sets of blanks, and ASCII case without a locale.
// Blank and tab, the white space inside a line of vCard and of most text formats.
inline constexpr std::string_view kSpaceAndTab = " \t";
constexpr bool IsSpaceOrTab(char c) { return c == ' ' || c == '\t'; }

// Blank, tab and the two line-break characters: what is left around a value typed into a field
// or pasted from another program, without the vertical tab and form feed of kWhiteSpace.
inline constexpr std::string_view kSpaceTabAndLineBreaks = " \t\r\n";
constexpr bool IsSpaceTabOrLineBreak(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// c with A-Z lower-cased; every other byte, of UTF-8 too, stays as it is.
constexpr char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

// True when text begins with prefix but for the case of A-Z.
bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix);

// s with A-Z lower-cased.
std::string AsciiLowerCase(std::string_view s);

// ASCII keywords in any case, as the formats of other programs write them (BEGIN, TYPE=cell):
// only A-Z change case, every other byte (UTF-8 included) stays as it is.
constexpr char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }
// True when s is upper, a keyword written in upper case, in any case of A-Z.
constexpr bool EqualsUpperAscii(std::string_view s, std::string_view upper) {
  if (s.size() != upper.size()) return false;
  for (size_t i = 0; i < s.size(); ++i)
    if (AsciiUpper(s[i]) != upper[i]) return false;
  return true;
}
constexpr bool StartsWithUpperAscii(std::string_view s, std::string_view upper) {
  return s.size() >= upper.size() && EqualsUpperAscii(s.substr(0, upper.size()), upper);
}

}  // namespace zorvan
