#include <gtest/gtest.h>

#include "res/CodePage.h"
#include "res/StringTable.h"

using namespace zorvan;

TEST(CodePage, shouldRoundTripEveryByteOfBothCodePages) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  for (ECodePage cp : {ECodePage::Windows1250, ECodePage::Windows1252}) {
    const std::string utf8 = AnsiToUtf8(all, cp);
    EXPECT_EQ(Utf8ToAnsi(utf8, cp), all);
  }
}

TEST(CodePage, shouldMapCzechLettersOfWindows1250) {
  // "Čeřovský Žluťoučký" in Windows-1250.
  const std::string ansi =
      "\xC8"
      "e\xF8ovsk\xFD \x8Elu\x9Dou\xE8k\xFD";
  EXPECT_EQ(AnsiToUtf8(ansi, ECodePage::Windows1250), "Čeřovský Žluťoučký");
  EXPECT_EQ(Utf8ToAnsi("Čeřovský Žluťoučký", ECodePage::Windows1250), ansi);
  EXPECT_EQ(AnsiToUtf8("\x80", ECodePage::Windows1250), "€");
}

TEST(CodePage, shouldWriteQuestionMarkForCharactersTheCodePageLacks) {
  EXPECT_EQ(Utf8ToAnsi("a→b日", ECodePage::Windows1250), "a?b?");
  EXPECT_EQ(Utf8ToAnsi("Ø", ECodePage::Windows1250), "?");
  EXPECT_EQ(Utf8ToAnsi("Ø", ECodePage::Windows1252), "\xD8");
  // Malformed UTF-8 never reaches a file as raw bytes.
  EXPECT_EQ(Utf8ToAnsi("x\xC3", ECodePage::Windows1250), "x?");
}

TEST(CodePage, shouldMapUndefinedBytesToControlCharacters) {
  EXPECT_EQ(AnsiToUtf8("\x81", ECodePage::Windows1250), "\xC2\x81");
  EXPECT_EQ(AnsiToUtf8("\x8D", ECodePage::Windows1252), "\xC2\x8D");
}

TEST(CodePage, shouldLowerCaseAsciiAndAccentedCapitals) {
  EXPECT_EQ(LowerCase("ŠKODA Čížek ŘEŽ ĎÁBEL", ECodePage::Windows1250), "škoda čížek řež ďábel");
  EXPECT_EQ(LowerCase("ÆØÅ Ÿ", ECodePage::Windows1252), "æøå ÿ");
  // Characters outside the code page stay as they are.
  EXPECT_EQ(LowerCase("Ω日A", ECodePage::Windows1250), "Ω日a");
}

TEST(StringTable, shouldHoldTheTextsByNumber) {
  EXPECT_EQ(LoadString(103), "Zorvan 2.1.3");
  EXPECT_EQ(LoadString(61446), "Unnamed");
  EXPECT_EQ(LoadString(61479), "Data were successfuly exported.");
  EXPECT_EQ(LoadString(61483), "During the import an error occured!");
  EXPECT_EQ(LoadString(61503), "Adress:");
  EXPECT_EQ(LoadString(61493), "About \"Zorvan\"");
  EXPECT_EQ(LoadString(57600), "Create new file\nNew");
  EXPECT_FALSE(HasString(12345));
  EXPECT_EQ(LoadString(12345), "");
}

// The quick validator agrees with decoding character by character: ASCII runs longer than its
// eight-byte steps, letters of two to four bytes at every place of such a step, and each kind
// of malformed sequence (a stray continuation byte, an overlong form, a surrogate, a value
// above U+10FFFF, a sequence cut short at the end).
TEST(CodePage, shouldTellWellFormedUtf8) {
  const std::string ascii = "Dvorak and Wasik, 0123456789";
  for (const std::string letter : {"ř", "Ł", "ß", "€", "😀"}) {
    for (size_t at = 0; at <= 9; ++at) {
      std::string s = ascii;
      s.insert(at, letter);
      EXPECT_TRUE(IsWellFormedUtf8(s)) << s;
    }
  }
  EXPECT_TRUE(IsWellFormedUtf8(""));
  EXPECT_TRUE(IsWellFormedUtf8("Jürgen Größ, Łukasz Wąsik, Antonín Dvořák"));
  for (const std::string bad : {"abcdefgh\x80", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80",
                                "\xF4\x90\x80\x80", "Dvo\xC5", "\xE2\x82",
                                "abc\xFF"
                                "def"}) {
    EXPECT_FALSE(IsWellFormedUtf8(bad)) << testing::PrintToString(bad);
    EXPECT_FALSE(IsWellFormedUtf8(ascii + bad + ascii)) << testing::PrintToString(bad);
  }
}

TEST(CodePage, shouldRepairEveryByteThatIsNoPartOfAUtf8Character) {
  struct SCase {
    std::string_view in, out;
  };
  const SCase cases[] = {
      {"Łódź", "Łódź"},
      {"Dvo\xF8\xE1k", "Dvo\xEF\xBF\xBD\xEF\xBF\xBDk"},          // Windows-1250 bytes
      {"Krak\xC3", "Krak\xEF\xBF\xBD"},                          // cut off
      {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},                  // overlong
      {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // a surrogate
      {"", ""},
  };
  for (const SCase& c : cases) EXPECT_EQ(RepairedUtf8(c.in), c.out) << c.in;
}
