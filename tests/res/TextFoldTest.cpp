#include <gtest/gtest.h>

#include <string>

#include "res/CodePage.h"
#include "res/TextFold.h"

using namespace zorvan;

TEST(TextFold, shouldFoldCaseAndMarksToTheBaseLetters) {
  struct SCase {
    const char* text;
    const char* folded;
  };
  const SCase cases[] = {
      {"Antonín Dvořák", "antonin dvorak"},
      {"ŁÓDŹ", "lodz"},
      {"Łódź", "lodz"},
      {"Żółć gęślą", "zolc gesla"},
      {"Ščepánková Ťuhýřová", "scepankova tuhyrova"},
      {"Ůdolí Ěrtová", "udoli ertova"},
      {"Größe Straße", "grosse strasse"},
      {"Ærø Þór Œuvre Ĳssel", "aero thor oeuvre ijssel"},
      {"Ÿves Ōsaka Ǔ ȘȚ", "yves osaka u st"},
      {"Άρης ΣΩΚΡΆΤΗΣ Ϊ", "αρησ σωκρατησ ι"},
      {"Ёлка Йошкар-Ола Ї", "елка иошкар-ола і"},
      {"王小明 Chén", "王小明 chen"},
      // What is no letter stays: digits, signs, × and ÷, the e-mail's @.
      {"+420 601 × 2 ÷ 3 @ß.cz", "+420 601 × 2 ÷ 3 @ss.cz"},
      // Malformed bytes are kept as they are.
      {"A\xC3", "a\xC3"},
      {"\xFF"
       "B",
       "\xFF"
       "b"},
      {"", ""},
  };
  for (const SCase& c : cases) {
    EXPECT_EQ(FoldedText(c.text), c.folded) << c.text;
    std::string appended = "Před ";
    AppendFolded(appended, c.text);
    EXPECT_EQ(appended, std::string("Před ") + c.folded) << c.text;
  }
}

// Whatever the code page lower-cases, folding takes to a form with no capital left: the
// folded form of a letter and of its lower-case form are the same.
TEST(TextFold, shouldAgreeWithTheLowerCaseOfBothCodePages) {
  for (ECodePage cp : {ECodePage::Windows1250, ECodePage::Windows1252}) {
    std::string all;
    for (int b = 0x20; b < 256; ++b) all += static_cast<char>(b);
    const std::string utf8 = AnsiToUtf8(all, cp);
    EXPECT_EQ(FoldedText(utf8), FoldedText(LowerCase(utf8, cp))) << static_cast<int>(cp);
    EXPECT_LE(FoldedText(utf8).size(), utf8.size());
  }
}
