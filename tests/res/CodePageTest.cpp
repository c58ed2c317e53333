#include <gtest/gtest.h>

#include <tuple>

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
  // Appended after what the buffer holds, one-, two- and three-byte characters alike.
  std::string out = "Jméno: ";
  AppendAnsiAsUtf8(out, ansi + "\x80!", ECodePage::Windows1250);
  EXPECT_EQ(out, "Jméno: Čeřovský Žluťoučký€!");
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

TEST(CodePage, shouldTellContinuationBytesAndC1Controls) {
  const std::string_view text =
      "Ž\xC2\x9B"
      "2J\xC2\xA0Ω\xC2\x80";
  // The bytes of "Ž", CSI, "2", "J", a no-break space, "Ω" and a C1 control, one by one.
  const std::tuple<size_t, bool, bool> cases[] = {
      {0, false, false}, {1, true, false},  {2, false, true},  {3, true, false},
      {4, false, false}, {6, false, false}, {7, true, false},  {8, false, false},
      {9, true, false},  {10, false, true}, {11, true, false},
  };
  for (const auto& [pos, continuation, c1] : cases) {
    EXPECT_EQ(IsUtf8Continuation(text[pos]), continuation) << pos;
    EXPECT_EQ(IsC1ControlAt(text, pos), c1) << pos;
  }
  // A lead byte C2 at the very end begins no control.
  EXPECT_FALSE(IsC1ControlAt("a\xC2", 1));
}

TEST(CodePage, shouldTellTheLengthOfWellFormedCharactersAndRepairTheRest) {
  // The text, the length of its first character, and the text repaired.
  const std::tuple<std::string_view, size_t, std::string_view> cases[] = {
      {"a", 1, "a"},
      {"ł", 2, "ł"},
      {"€uro", 3, "€uro"},
      {"😀", 4, "😀"},
      {"\xEF\xBF\xBD", 3, "\xEF\xBF\xBD"},                          // U+FFFD itself is a character
      {"\xC5", 0, "\xEF\xBF\xBD"},                                  // cut short
      {"\xC1\x81Ω", 0, "\xEF\xBF\xBD\xEF\xBF\xBDΩ"},                // overlong "A"
      {"\xED\xA0\x80", 0, "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // a surrogate
      {"\x80Ž", 0, "\xEF\xBF\xBDŽ"},                                // a stray continuation byte
  };
  for (const auto& [text, length, repaired] : cases) {
    EXPECT_EQ(Utf8SequenceLength(text, 0), length) << testing::PrintToString(text);
    std::string out = "Πέτρος ";
    AppendRepairedUtf8(out, text);
    EXPECT_EQ(out, "Πέτρος " + std::string(repaired)) << testing::PrintToString(text);
  }
  EXPECT_EQ(Utf8SequenceLength("Dvořák", 3), 2u);
  EXPECT_EQ(Utf8SequenceLength("Dvořák", 4), 0u);  // inside "ř"
  for (char c : {'\0', '\t', '\n', '\x1B', '\x1F', '\x7F'}) EXPECT_TRUE(IsC0ControlOrDelete(c));
  for (char c : {' ', '~', '\x80', '\xC2'}) EXPECT_FALSE(IsC0ControlOrDelete(c));
}

// The start of a file: a UTF-8 mark is looked for before UTF-16, and UTF-16 is found with or
// without its mark; what follows the start is the file's text as UTF-8.
TEST(CodePage, shouldReadTheStartOfAFile) {
  const std::string utf16le(
      "\xFF\xFE\x0C\x01"
      "a\0",
      6);                                             // BOM, "Ča"
  const std::string utf16be("\x01\x0C\0a\0b\0c", 8);  // "Čabc" without a mark
  const struct {
    std::string bytes;
    EFileStart start;
    std::string text;
  } cases[] = {
      {"\xEF\xBB\xBFJiří", EFileStart::utf8Mark, "Jiří"},
      {utf16le, EFileStart::utf16LittleEndian, "Ča"},
      {utf16be, EFileStart::utf16BigEndian, "Čabc"},
      {"Łukasz", EFileStart::plain, "Łukasz"},
      {"\xEF\xBB", EFileStart::plain, "\xEF\xBB"},
      {"", EFileStart::plain, ""},
  };
  for (const auto& c : cases) {
    std::string storage;
    EFileStart start = EFileStart::plain;
    EXPECT_EQ(TextAfterFileStart(c.bytes, storage, start), c.text) << c.text;
    EXPECT_EQ(start, c.start) << c.text;
    EXPECT_EQ(DetectFileStart(c.bytes), c.start) << c.text;
  }
}

TEST(CodePage, shouldRepairUtf8ByteByByte) {
  EXPECT_EQ(RepairUtf8("Größ, Wąsik 😀"), "Größ, Wąsik 😀");
  EXPECT_EQ(RepairUtf8("Gr\xF6\xDF"), "Gr\uFFFD\uFFFD");  // Windows-1252 bytes
  EXPECT_EQ(RepairUtf8("\xC0\xAF\xED\xA0\x80"), "\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(RepairUtf8("Dvo\xC5"), "Dvo\uFFFD");  // cut short at the end
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
  for (const SCase& c : cases) EXPECT_EQ(RepairUtf8(c.in), c.out) << c.in;
}
