#include "res/TextFold.h"

#include <array>

#include "res/CodePage.h"

namespace zorvan {
namespace {

// Base letters of a run of code points from first on, one per code point; '.' keeps the
// character, '*' looks it up among the letters that fold to something else than one ASCII
// letter.
struct SLatinRun {
  char32_t first;
  std::string_view bases;
};
constexpr SLatinRun kLatinRuns[] = {
    // Latin-1 Supplement, À to ÿ (× and ÷ are no letters).
    {0xC0, "aaaaaa*ceeeeiiiidnooooo.ouuuuy**aaaaaa*ceeeeiiiidnooooo.ouuuuy*y"},
    // Latin Extended-A, Ā to ſ: Ł and ł carry a stroke, which the order takes as a mark.
    {0x100,
     "aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiii**jjkkkllllllllllnnnnnnn**oooooo**rrrrrrss"
     "sssssstttttt"
     "uuuuuuuuuuuuwwyyyzzzzzzs"},
    // Pinyin's vowels with tones in Latin Extended-B, Ǎ to ǜ.
    {0x1CD, "aaiioouuuuuuuuuu"},
    // Romanian Ș ș Ț ț with the comma below.
    {0x218, "sstt"},
};

struct SSpelled {
  char32_t c;
  std::string_view folded;
};
constexpr SSpelled kSpelled[] = {
    {0xC6, "ae"},      {0xDE, "th"},  {0xDF, "ss"},  {0xE6, "ae"},
    {0xFE, "th"},      {0x132, "ij"}, {0x133, "ij"}, {0x14A, "\u014B"},
    {0x14B, "\u014B"}, {0x152, "oe"}, {0x153, "oe"},
};

// Greek and Cyrillic letters with marks, already lower-cased, and their base letters.
struct SMarked {
  char32_t c;
  char32_t base;
};
constexpr SMarked kMarked[] = {
    {0x3AC, 0x3B1}, {0x3AD, 0x3B5}, {0x3AE, 0x3B7}, {0x3AF, 0x3B9},
    {0x390, 0x3B9}, {0x3CA, 0x3B9}, {0x3CC, 0x3BF}, {0x3CD, 0x3C5},
    {0x3B0, 0x3C5}, {0x3CB, 0x3C5}, {0x3CE, 0x3C9}, {0x3C2, 0x3C3},  // final sigma is sigma
    {0x450, 0x435}, {0x451, 0x435}, {0x453, 0x433}, {0x457, 0x456},
    {0x45C, 0x43A}, {0x45D, 0x438}, {0x45E, 0x443}, {0x439, 0x438},
};

// Greek capitals with tonos and the Cyrillic capitals, to their small letters.
char32_t GreekCyrillicLower(char32_t c) {
  switch (c) {
    case 0x386:
      return 0x3AC;
    case 0x388:
      return 0x3AD;
    case 0x389:
      return 0x3AE;
    case 0x38A:
      return 0x3AF;
    case 0x38C:
      return 0x3CC;
    case 0x38E:
      return 0x3CD;
    case 0x38F:
      return 0x3CE;
    case 0x3AA:
      return 0x3CA;
    case 0x3AB:
      return 0x3CB;
    default:
      break;
  }
  if (c >= 0x391 && c <= 0x3A9) return c + 0x20;
  if (c >= 0x410 && c <= 0x42F) return c + 0x20;
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;
  return c;
}

// Folds one character, U+0080 or above.
void FoldChar(std::string& out, char32_t c) {
  for (const SLatinRun& run : kLatinRuns) {
    if (c < run.first || c >= run.first + run.bases.size()) continue;
    const char base = run.bases[c - run.first];
    if (base == '*') {
      for (const SSpelled& s : kSpelled)
        if (s.c == c) return void(out += s.folded);
    }
    if (base != '.' && base != '*') return void(out += base);
    break;
  }
  c = GreekCyrillicLower(c);
  for (const SMarked& m : kMarked)
    if (m.c == c) return AppendUtf8(out, m.base);
  AppendUtf8(out, c);
}

// The folded forms of every two-byte character (U+0080..U+07FF), which holds all the letters
// that fold, by lead and continuation byte; each is at most two bytes long, so folding never
// makes a text longer. A one-byte form has a zero second byte (no UTF-8 byte is zero).
struct STwoByteFold {
  std::array<std::array<char, 2>, 30 * 64> folded{};
};

STwoByteFold MakeTwoByteFold() {
  STwoByteFold t;
  for (char32_t c = 0x80; c < 0x800; ++c) {
    std::string one;
    FoldChar(one, c);
    std::array<char, 2>& slot = t.folded[((c >> 6) - 2) * 64 + (c & 0x3F)];
    slot = {one[0], one.size() > 1 ? one[1] : '\0'};
  }
  return t;
}

}  // namespace

void AppendFolded(std::string& out, std::string_view utf8) {
  static const STwoByteFold table = MakeTwoByteFold();
  // As the lower-casing of the search, the output is written in place into room made for the
  // whole input: no character grows.
  size_t w = out.size();
  out.resize(w + utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      out[w++] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : static_cast<char>(c);
      ++i;
      continue;
    }
    if (c >= 0xC2 && c <= 0xDF && i + 1 < utf8.size() && IsUtf8Continuation(utf8[i + 1])) {
      const auto c2 = static_cast<unsigned char>(utf8[i + 1]);
      const std::array<char, 2>& f = table.folded[(c - 0xC2) * 64 + (c2 & 0x3F)];
      out[w++] = f[0];
      if (f[1] != '\0') out[w++] = f[1];
      i += 2;
      continue;
    }
    // Longer characters and malformed bytes are kept.
    out[w++] = utf8[i++];
  }
  out.resize(w);
}

std::string FoldedText(std::string_view utf8) {
  std::string out;
  AppendFolded(out, utf8);
  return out;
}

}  // namespace zorvan
