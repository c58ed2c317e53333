#include "interchange/vcard/VCardBase64.h"

#include <algorithm>
#include <array>

namespace zorvan {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr signed char kSkip = -2, kBad = -1;

constexpr std::array<signed char, 256> MakeValues() {
  std::array<signed char, 256> values{};
  for (auto& v : values) v = kBad;
  for (int i = 0; i < 64; ++i)
    values[static_cast<unsigned char>(kAlphabet[i])] = static_cast<signed char>(i);
  for (const char c : {' ', '\t', '\r', '\n'}) values[static_cast<unsigned char>(c)] = kSkip;
  return values;
}
constexpr std::array<signed char, 256> kValues = MakeValues();

}  // namespace

EBase64 DecodeBase64(std::string_view in, std::string& out, size_t most) {
  out.clear();
  // The size first, from the characters that carry bits: a value too large is refused before
  // anything is allocated for it.
  size_t significant = 0;
  for (const char c : in) significant += kValues[static_cast<unsigned char>(c)] >= 0;
  if (significant / 4 * 3 + (significant % 4 > 1 ? significant % 4 - 1 : 0) > most)
    return EBase64::tooLarge;
  out.reserve(significant / 4 * 3 + 2);
  unsigned bits = 0;
  int count = 0;
  bool padded = false;
  for (const char c : in) {
    if (c == '=') {
      padded = true;
      continue;
    }
    const signed char v = kValues[static_cast<unsigned char>(c)];
    if (v == kSkip) continue;
    if (v == kBad || padded) {
      out.clear();
      return EBase64::invalid;
    }
    bits = (bits << 6) | static_cast<unsigned>(v);
    if (++count == 4) {
      out.push_back(static_cast<char>(bits >> 16));
      out.push_back(static_cast<char>(bits >> 8));
      out.push_back(static_cast<char>(bits));
      bits = 0;
      count = 0;
    }
  }
  // A last group of two or three characters holds one or two bytes; of one, none.
  if (count == 1) {
    out.clear();
    return EBase64::invalid;
  }
  if (count >= 2) out.push_back(static_cast<char>(bits >> (count == 2 ? 4 : 10)));
  if (count == 3) out.push_back(static_cast<char>(bits >> 2));
  return EBase64::ok;
}

void AppendBase64(std::string& out, std::string_view bytes) {
  out.reserve(out.size() + (bytes.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    const unsigned n = static_cast<unsigned char>(bytes[i]) << 16 |
                       static_cast<unsigned char>(bytes[i + 1]) << 8 |
                       static_cast<unsigned char>(bytes[i + 2]);
    for (const int shift : {18, 12, 6, 0}) out.push_back(kAlphabet[(n >> shift) & 63]);
  }
  if (i == bytes.size()) return;
  unsigned n = static_cast<unsigned char>(bytes[i]) << 16;
  if (i + 1 < bytes.size()) n |= static_cast<unsigned char>(bytes[i + 1]) << 8;
  out.push_back(kAlphabet[(n >> 18) & 63]);
  out.push_back(kAlphabet[(n >> 12) & 63]);
  out.push_back(i + 1 < bytes.size() ? kAlphabet[(n >> 6) & 63] : '=');
  out.push_back('=');
}

}  // namespace zorvan
