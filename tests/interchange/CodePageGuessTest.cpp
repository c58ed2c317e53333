#include <gtest/gtest.h>
#include <iconv.h>

#include <string>
#include <string_view>

#include "ForeignCsvTestSupport.h"
#include "ForeignVCardTestSupport.h"
#include "interchange/CodePageGuess.h"
#include "res/CodePage.h"

using namespace zorvan;
using namespace zorvan::testing;

namespace {

// UTF-8 text in the bytes of a code page, as another program's export holds it.
std::string Encode(std::string_view utf8, const char* charset) {
  iconv_t cd = iconv_open(charset, "UTF-8");
  EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1)) << charset;
  std::string out(utf8.size() * 2 + 8, '\0');
  char* src = const_cast<char*>(utf8.data());
  size_t srcLeft = utf8.size(), dstLeft = out.size();
  char* dst = out.data();
  EXPECT_NE(iconv(cd, &src, &srcLeft, &dst, &dstLeft), static_cast<size_t>(-1)) << charset;
  iconv_close(cd);
  out.resize(out.size() - dstLeft);
  return out;
}

std::vector<std::unique_ptr<CTreeItem>> ParseAndRead(std::string_view bytes) {
  CForeignCsvFile csv;
  EXPECT_TRUE(csv.Parse(bytes));
  return ReadAllContacts(csv, EDateOrder::dayMonthYear);
}

struct SExport {
  const char* charset;
  const char* given;
  const char* family;
  const char* street;
  const char* city;
  const char* note;
};

// 8-bit exports as old phones and mail programs write them: the letters of each script in the
// two code pages it is commonly written in.
constexpr SExport kExports[] = {
    {"ISO-8859-7", "Νίκος", "Παπαδόπουλος", "Λεωφόρος Αλεξάνδρας 12", "Αθήνα",
     "Άννα λέει: φίλος από το πανεπιστήμιο"},
    {"WINDOWS-1253", "Νίκος", "Παπαδόπουλος", "Λεωφόρος Αλεξάνδρας 12", "Αθήνα",
     "Άννα λέει: φίλος από το πανεπιστήμιο"},
    {"WINDOWS-1251", "Иван", "Петров", "улица Ленина 5", "Москва", "коллега по работе"},
    {"KOI8-R", "Иван", "Петров", "улица Ленина 5", "Москва", "коллега по работе"},
    {"WINDOWS-1254", "Gülşen", "Yıldırım", "Atatürk Caddesi 15", "İstanbul",
     "iş arkadaşı, doğum günü Şubat"},
    {"ISO-8859-9", "Gülşen", "Yıldırım", "Atatürk Caddesi 15", "İstanbul",
     "iş arkadaşı, doğum günü Şubat"},
    {"WINDOWS-1250", "Přemysl", "Dvořák", "Náměstí Míru 7", "Žďár nad Sázavou",
     "Šárka říká: kolega ze školy, ťuká"},
    {"ISO-8859-2", "Přemysl", "Dvořák", "Náměstí Míru 7", "Žďár nad Sázavou",
     "Šárka říká: kolega ze školy, ťuká"},
    {"WINDOWS-1250", "Łucja", "Wąsowska", "ulica Świętokrzyska 3", "Kraków",
     "znajoma z pracy, księgowa, źródło"},
    {"ISO-8859-2", "Łucja", "Wąsowska", "ulica Świętokrzyska 3", "Kraków",
     "znajoma z pracy, księgowa, źródło"},
};

// A card with no CHARSET anywhere.
std::string Card(const SExport& e) {
  return Encode(std::string("BEGIN:VCARD\r\nVERSION:2.1\r\nN:") + e.family + ";" + e.given +
                    ";;;\r\nFN:" + e.given + " " + e.family + "\r\nADR;HOME:;;" + e.street + ";" +
                    e.city + ";;;\r\nNOTE:" + e.note + "\r\nTEL;CELL:+30 210 1234567\r\n" +
                    "END:VCARD\r\n",
                e.charset);
}

class CodePageGuessTest : public ::testing::TestWithParam<ECodePage> {
 protected:
  void SetUp() override { SetActiveCodePage(GetParam()); }
  void TearDown() override { SetActiveCodePage(ECodePage::Windows1250); }
};

// The letters are what is checked, not the name guessed: ISO-8859-2 and windows-1250 read most
// Czech text alike, and either is right then.
TEST_P(CodePageGuessTest, shouldReadUndeclared8BitCardsInTheirOwnCodePage) {
  for (const SExport& e : kExports) {
    const auto contacts = ReadForeign(Card(e));
    ASSERT_EQ(contacts.size(), 1u) << e.charset;
    const CTreeItem& r = *contacts[0].pRecord;
    EXPECT_EQ(FieldText(r, fieldFirstName), e.given) << e.charset;
    EXPECT_EQ(FieldText(r, fieldLastName), e.family) << e.charset;
    EXPECT_EQ(FieldText(r, fieldLabel), std::string(e.given) + " " + e.family) << e.charset;
    EXPECT_EQ(FieldText(r, fieldHomeStreet), e.street) << e.charset;
    EXPECT_EQ(FieldText(r, fieldHomeCity), e.city) << e.charset;
    EXPECT_NE(FieldText(r, fieldRemark).find(e.note), std::string::npos) << e.charset;
  }
}

TEST_P(CodePageGuessTest, shouldReadUndeclared8BitCsvInItsOwnCodePage) {
  for (const SExport& e : kExports) {
    const std::string csv =
        Encode(std::string("First Name,Last Name,Home City,Notes\r\n") + e.given + "," + e.family +
                   "," + e.city + "," + e.note + "\r\nJan," + e.family + "," + e.city + ",\r\n",
               e.charset);
    const auto records = ParseAndRead(csv);
    ASSERT_EQ(records.size(), 2u) << e.charset;
    EXPECT_EQ(FieldText(*records[0], targetFirstName), e.given) << e.charset;
    EXPECT_EQ(FieldText(*records[1], targetLastName), e.family) << e.charset;
    EXPECT_EQ(FieldText(*records[1], targetHomeCity), e.city) << e.charset;
  }
}

INSTANTIATE_TEST_SUITE_P(ActiveCodePages, CodePageGuessTest,
                         ::testing::Values(ECodePage::Windows1250, ECodePage::Windows1252));

// One line of a card naming its code page names it for the card's other lines; a card that
// names none is read by what the detector finds in the file, not the code page.
TEST(CodePageGuess, shouldTakeTheCodePageAnotherLineOfTheCardNames) {
  const std::string greek =
      "BEGIN:VCARD\r\nVERSION:2.1\r\nN:" + Encode("Παπαδόπουλος;Νίκος", "ISO-8859-7") +
      ";;;\r\nLABEL;HOME;CHARSET=ISO-8859-7:" + Encode("Αθήνα", "ISO-8859-7") +
      "\r\nEND:VCARD\r\nBEGIN:VCARD\r\nVERSION:2.1\r\nN:" + Encode("Петров;Иван", "WINDOWS-1251") +
      ";;;\r\nNOTE;CHARSET=WINDOWS-1251:" + Encode("коллега", "WINDOWS-1251") + "\r\nEND:VCARD\r\n";
  const auto contacts = ReadForeign(greek);
  ASSERT_EQ(contacts.size(), 2u);
  EXPECT_EQ(FieldText(*contacts[0].pRecord, fieldLastName), "Παπαδόπουλος");
  EXPECT_EQ(FieldText(*contacts[0].pRecord, fieldFirstName), "Νίκος");
  EXPECT_EQ(FieldText(*contacts[1].pRecord, fieldLastName), "Петров");
  EXPECT_EQ(FieldText(*contacts[1].pRecord, fieldFirstName), "Иван");
  ExpectWellFormed(contacts);
}

// Where the detector mistakes ISO-8859-2 for windows-1250 (or the reverse) a letter would come
// out as a sign or a control character ("W±sowska"): the code page that gives letters wins.
// Text the detector cannot place leaves the active code page, as before.
TEST(CodePageGuess, shouldPreferTheCodePageWhoseLettersArePlausible) {
  const struct {
    std::string utf8;
    const char* charset;
  } kShort[] = {{"Łucja Wąsowska", "ISO-8859-2"},
                {"Łucja Wąsowska", "WINDOWS-1250"},
                {"Žluťoučký kůň", "WINDOWS-1250"},
                {"Šárka Vávrová", "WINDOWS-1250"},
                {"Άννα Παπαδοπούλου", "WINDOWS-1253"}};
  for (const auto& k : kShort) {
    const std::string bytes = Encode(k.utf8, k.charset);
    const std::string guess = GuessCodePage(bytes);
    std::string decoded;
    if (guess.empty())
      decoded = AnsiToUtf8(bytes);
    else
      ASSERT_EQ(ConvertCodePage(guess, bytes, decoded), 0) << guess;
    EXPECT_EQ(decoded, k.utf8) << k.charset << " guessed as " << guess;
  }
  EXPECT_EQ(GuessCodePage(""), "");
  EXPECT_EQ(GuessCodePage("plain ASCII"), "");
  std::string out = "x";
  EXPECT_EQ(ConvertCodePage("X-NO-SUCH-CHARSET", "abc", out), -1);
  EXPECT_EQ(ConvertCodePage("ISO-8859-7", "\xAE\xC1", out), 1);  // 0xAE has no character
  EXPECT_EQ(out, "x\xEF\xBF\xBDΑ");
}

// A file long enough to be read in pieces by two threads: every piece reads the file's one
// guess, the last card as the first.
TEST(CodePageGuess, shouldReadEveryPieceOfALongFileInTheFilesCodePage) {
  const std::string card = Card(kExports[3]);  // KOI8-R
  std::string file;
  while (file.size() < (5u << 20)) file += card;
  const auto contacts = ReadForeign(file);
  ASSERT_EQ(contacts.size(), file.size() / card.size());
  for (const size_t i : {size_t{0}, contacts.size() / 2, contacts.size() - 1})
    EXPECT_EQ(FieldText(*contacts[i].pRecord, fieldLastName), "Петров") << i;
}

// The sample takes only 8-bit text that is not UTF-8, and no more than its bound, from a line
// of any length.
TEST(CodePageGuess, shouldBoundTheSample) {
  CCodePageSample sample;
  sample.AddLines("ascii only\nUTF-8 Dvořák\n" + Encode("Dvořák", "WINDOWS-1250") + "\n");
  EXPECT_EQ(sample.Text(), Encode("Dvořák", "WINDOWS-1250"));
  const std::string huge = std::string(3 * kCodePageSampleBytes, '\xE8') + "\n";
  sample.AddLines(huge);
  EXPECT_TRUE(sample.Full());
  EXPECT_LE(sample.Text().size(), kCodePageSampleBytes + 1);
}

}  // namespace
