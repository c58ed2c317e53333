#include <gtest/gtest.h>

#include <tuple>

#include <climits>

#include "res/CodePage.h"
#include "store/TextUtil.h"

using namespace zorvan;

TEST(ParseInteger, shouldReadLikeTheCRuntimeAndClamp) {
  const std::pair<const char*, int> cases[] = {{"42", 42},
                                               {"  -1", -1},
                                               {"+7x", 7},
                                               {"\t12 34", 12},
                                               {"", 0},
                                               {"abc", 0},
                                               {"-", 0},
                                               {"1.9", 1},
                                               {"99999999999999999999", INT_MAX},
                                               {"-99999999999999999999", INT_MIN}};
  for (const auto& [text, value] : cases) EXPECT_EQ(ParseInteger(text), value) << text;
}

TEST(ParseInteger, shouldSkipEveryKindOfLeadingWhiteSpace) {
  EXPECT_EQ(ParseInteger("\v\f\r\n 15"), 15);
  EXPECT_EQ(ParseInteger("\xC2\xA0"
                         "15"),
            0);  // a no-break space is no white space
}

TEST(Trim, shouldRemoveWhiteSpaceAtBothEndsOnly) {
  EXPECT_EQ(Trim(" \t Šťastný  Łukasz \r\n"), "Šťastný  Łukasz");
  EXPECT_EQ(Trim("\v\fŽofie\f\v"), "Žofie");
  EXPECT_EQ(Trim("Jürgen"), "Jürgen");
  EXPECT_EQ(Trim(" \t\r\n"), "");
  EXPECT_EQ(Trim(""), "");
}

TEST(Trim, shouldTakeOnlyTheGivenBlanksWhenNamed) {
  // The date reader takes no vertical tab or form feed as blank, the settings reader no LF.
  EXPECT_EQ(Trim("\v 1.2.2003 \n", " \t\r\n"), "\v 1.2.2003");
  EXPECT_EQ(Trim(" Ostrava=Brno\r\n", " \t\r"), "Ostrava=Brno\r\n");
  EXPECT_EQ(Trim("\t\t", " \t\r"), "");
}

TEST(IsWhiteSpace, shouldTakeTheSixWhiteSpaceCharacters) {
  for (char c : {' ', '\t', '\n', '\v', '\f', '\r'}) EXPECT_TRUE(IsWhiteSpace(c)) << int(c);
  for (char c : {'\0', 'a', '_', '\x1F', '\xA0'}) EXPECT_FALSE(IsWhiteSpace(c)) << int(c);
}

TEST(SameIgnoringAsciiCase, shouldFoldOnlyTheLettersAToZ) {
  EXPECT_TRUE(SameIgnoringAsciiCase("Home Phone", "hOME pHONE"));
  EXPECT_TRUE(SameIgnoringAsciiCase("", ""));
  EXPECT_FALSE(SameIgnoringAsciiCase("Home Phone", "Home Phon"));
  EXPECT_FALSE(SameIgnoringAsciiCase("Home Phone", "Home_Phone"));
  EXPECT_FALSE(SameIgnoringAsciiCase("Čeněk", "čeněk"));  // accented capitals stay apart
  EXPECT_TRUE(SameIgnoringAsciiCase("ŽOFIE", "Žofie"));
  EXPECT_FALSE(SameIgnoringAsciiCase("[", "{"));  // 0x5B and 0x7B differ by the case bit
}

TEST(IsAscii, shouldTellPlainTextFromAccentedLetters) {
  EXPECT_TRUE(IsAscii(""));
  EXPECT_TRUE(IsAscii("Novak, Jan\r\n~"));
  EXPECT_FALSE(IsAscii("Novák"));
  EXPECT_FALSE(IsAscii("Gdańsk"));
  EXPECT_FALSE(IsAscii("\x80"));
}

TEST(EscapeControlCharacters, shouldShowLineBreaksAndTerminalEscapesInsteadOfObeyingThem) {
  EXPECT_EQ(EscapeControlCharacters("Žofie Černá"), "Žofie Černá");
  EXPECT_EQ(EscapeControlCharacters("Nowak\r\nŁukasz\t"), "Nowak\\r\\nŁukasz\\t");
  EXPECT_EQ(EscapeControlCharacters("\x1B[31mrot\x1B[0m\x07\x7F"),
            "\\x1B[31mrot\\x1B[0m\\x07\\x7F");
  EXPECT_EQ(EscapeControlCharacters(std::string_view("a\0b", 3)), "a\\x00b");
  // C1 controls (U+0080 to U+009F; U+009B starts an escape sequence on many terminals), but
  // not the letters next to them.
  EXPECT_EQ(EscapeControlCharacters("\xC2\x9B"
                                    "2J\xC2\x80\xC2\xA0ä"),
            "\\u009B2J\\u0080\xC2\xA0ä");
  EXPECT_EQ(EscapeControlCharacters("C:\\Zorvan"), "C:\\Zorvan");
  // Controls at either end and side by side, with the letters between them kept whole.
  EXPECT_EQ(EscapeControlCharacters("\x01Łukasz\r\n\r\nWąsik\x7F"),
            "\\x01Łukasz\\r\\n\\r\\nWąsik\\x7F");
  EXPECT_EQ(EscapeControlCharacters("\xC2"), "\xC2");
  EXPECT_EQ(EscapeControlCharacters(""), "");
}

TEST(IsSpaceOrTab, shouldTellTheNarrowerBlanksApart) {
  // Blank, tab, CR, LF, VT, FF: which of the three sets each belongs to.
  const std::tuple<char, bool, bool> cases[] = {
      {' ', true, true},    {'\t', true, true},   {'\r', false, true}, {'\n', false, true},
      {'\v', false, false}, {'\f', false, false}, {'x', false, false}, {'\xA0', false, false},
  };
  for (const auto& [c, spaceOrTab, withLineBreaks] : cases) {
    EXPECT_EQ(IsSpaceOrTab(c), spaceOrTab) << int(c);
    EXPECT_EQ(IsSpaceTabOrLineBreak(c), withLineBreaks) << int(c);
    EXPECT_TRUE(!withLineBreaks || IsWhiteSpace(c)) << int(c);
  }
  EXPECT_EQ(Trim("\v Łódź \r\n", kSpaceTabAndLineBreaks), "\v Łódź");
  EXPECT_EQ(Trim("\t Łódź \r\n", kSpaceAndTab), "Łódź \r\n");
}

TEST(StartsWithIgnoringAsciiCase, shouldFoldOnlyTheLettersAToZOfThePrefix) {
  const std::tuple<const char*, const char*, bool> cases[] = {
      {"HTTPS://www.müller.de", "https://", true},
      {"MailTo:jiří@doma.cz", "mailto:", true},
      {"http:", "http://", false},
      {"Ölgasse", "ölgasse", false},  // an accented capital is not folded
      {"Ελλάδα", "Ελλ", true},
      {"", "", true},
  };
  for (const auto& [text, prefix, starts] : cases)
    EXPECT_EQ(StartsWithIgnoringAsciiCase(text, prefix), starts) << text << " / " << prefix;
  EXPECT_EQ(AsciiLower('Q'), 'q');
  EXPECT_EQ(AsciiLower('@'), '@');
  EXPECT_EQ(AsciiLower('\xC3'), '\xC3');
}

// The keyword compares of the readers of other programs' formats fold A-Z only.
TEST(AsciiKeywords, shouldMatchKeywordsInAnyCaseOfAToZAndNothingElse) {
  struct SCase {
    std::string_view text, upper;
    bool equals, startsWith;
  };
  const SCase cases[] = {
      {"begin:vcard", "BEGIN:VCARD", true, true},
      {"Quoted-Printable;CHARSET=UTF-8", "QUOTED-PRINTABLE", false, true},
      {"žena", "ŽENA", false, false},  // only A-Z change case
      {"MÄNNLICH", "MÄNNLICH", true, true},
      {"TE", "TEL", false, false},
      {"", "", true, true},
  };
  for (const SCase& c : cases) {
    EXPECT_EQ(EqualsUpperAscii(c.text, c.upper), c.equals) << c.text;
    EXPECT_EQ(StartsWithUpperAscii(c.text, c.upper), c.startsWith) << c.text;
  }
  EXPECT_EQ(AsciiUpper('z'), 'Z');
  EXPECT_EQ(AsciiLower('Q'), 'q');
  EXPECT_EQ(AsciiUpper('\xC5'), '\xC5');
  EXPECT_TRUE(IsSpaceOrTab('\t'));
  EXPECT_FALSE(IsSpaceOrTab('\r'));
  EXPECT_EQ(Trim(" \tWąsik\r\n", kSpaceTabAndLineBreaks), "Wąsik");
  EXPECT_EQ(Trim("\vŁódź\f", kSpaceTabAndLineBreaks), "\vŁódź\f");
}
