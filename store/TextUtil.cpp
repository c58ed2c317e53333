#include "store/TextUtil.h"

#include <climits>

#include "res/CodePage.h"

namespace zorvan {

std::string_view Trim(std::string_view s, std::string_view blanks) {
  const size_t first = s.find_first_not_of(blanks);
  if (first == std::string_view::npos) return s.substr(s.size());
  return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

std::string EscapeControlCharacters(std::string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  // The bytes between two that need escaping are appended together.
  size_t run = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c != 0x7F && c != 0xC2) continue;
    const bool c1 = IsC1ControlAt(text, i);
    if (c == 0xC2 && !c1) continue;
    out.append(text.data() + run, i - run);
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (IsC0ControlOrDelete(text[i])) {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    } else if (c1) {
      const auto code = static_cast<unsigned char>(text[++i]);
      out += "\\u00";
      out += kHex[code >> 4];
      out += kHex[code & 0xF];
    }
    run = i + 1;
  }
  out.append(text.data() + run, text.size() - run);
  return out;
}

bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

int ParseInteger(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsWhiteSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  return static_cast<int>(value);
}

// The narrower sets of blanks, and ASCII case without a locale.
bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         SameIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

std::string AsciiLowerCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = AsciiLower(c);
  return out;
}

}  // namespace zorvan
