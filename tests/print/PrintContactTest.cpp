#include "print/PrintContact.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/DateTime.h"
#include "store/TreeItem.h"

using namespace zorvan;

namespace {

// A page of 8 by 11 inches that records what is drawn on it. Its fonts have fixed metrics: a
// line of 240 twips, every character 100 twips wide in the normal font and 120 in bold.
class CRecordingCanvas : public IPrintCanvas {
 public:
  struct SText {
    int x, y;
    std::string text;
    EPrintFont font;
  };
  struct SLine {
    int x1, y1, x2, y2;
    bool operator==(const SLine&) const = default;
  };

  int PageWidth() const override { return static_cast<int>(m_nWidth / m_dScale); }
  int PageHeight() const override { return static_cast<int>(m_nHeight / m_dScale); }
  int LineHeight() const override { return 240; }
  int TextWidth(std::string_view text, EPrintFont font) const override {
    int characters = 0;
    for (char c : text)
      if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++characters;
    return characters * (font == EPrintFont::bold ? 120 : 100);
  }
  void Text(int x, int y, std::string_view text, EPrintFont font) override {
    texts.push_back({x, y, std::string(text), font});
  }
  void Line(int x1, int y1, int x2, int y2) override { lines.push_back({x1, y1, x2, y2}); }
  void Rectangle(int left, int top, int right, int bottom) override {
    frames.push_back({left, top, right, bottom});
  }
  void SetScale(double factor) override { m_dScale = factor; }

  // The text drawn with its top at y and its left edge at x; null when there is none.
  const SText* At(int x, int y) const {
    for (const SText& t : texts)
      if (t.x == x && t.y == y) return &t;
    return nullptr;
  }
  std::string TextAt(int x, int y) const {
    const SText* t = At(x, y);
    return t ? t->text : "<nothing>";
  }

  int m_nWidth = 11520;
  int m_nHeight = 15840;
  double m_dScale = 1.0;
  std::vector<SText> texts;
  std::vector<SLine> lines;
  std::vector<SLine> frames;
};

constexpr int L = 240;
constexpr int B = 700 + 8 * L;  // the top of the body
// 2200 and the width of "Zaměstnavatel:" (14 characters) in the normal font.
constexpr int V = 2200 + 1400;
const CDateTime kPrinted(2024, 3, 5, 9, 7, 0);

CTreeItem Jan() {
  CTreeItem r;
  r.m_strFirstName = "Jan";
  r.m_strMiddleName = "Karel";
  r.m_strLastName = "Novák";
  r.m_strNickname = "Honza";
  r.m_strHomeStreet = "Údolní 15";
  r.m_strHomeCity = "Brno";
  r.m_strHomeState = "CZ";
  r.m_strHomePostalCode = "602 00";
  r.m_strHomeCountry = "Česká republika";
  r.m_strHomePhone = "+420 541 000 111";
  r.m_strHomeFax = "+420 541 000 112";
  r.m_strPersonalMobile = "+420 602 000 113";
  r.m_strPersonalEmail = "jan@example.cz";
  r.m_strPersonalWeb = "www.novak.example.cz";
  r.m_strCompany = "Šroubárna Žďár";
  r.m_strBusinessStreet = "Průmyslová 3";
  r.m_strBusinessCity = "Žďár nad Sázavou";
  r.m_strBusinessState = "CZ";
  r.m_strBusinessPostalCode = "591 01";
  r.m_strBusinessCountry = "Czechia";
  r.m_strBusinessPhone = "+420 566 000 001";
  r.m_strBusinessFax = "+420 566 000 002";
  r.m_strBusinessMobile = "+420 777 000 003";
  r.m_strBusinessEmail = "novak@sroubarna.example.cz";
  r.m_strBusinessWeb = "https://sroubarna.example.cz";
  // Fields the page leaves out.
  r.m_strTitle = "Ing.";
  r.m_strLabel = "Honza Novák";
  r.m_strJobTitle = "Mistr";
  r.m_strRemark = "Nepřipomínat";
  return r;
}

}  // namespace

TEST(PrintContact, shouldCentreTheProgramAndTheNameAboveARuleInTheHeader) {
  CRecordingCanvas page;
  const CTreeItem jan = Jan();
  PrintContact(page, &jan, 1, kPrinted);
  // "Zorvan 2.1.3": 12 bold characters.
  EXPECT_EQ(page.TextAt((11520 - 12 * 120) / 2, 700), "Zorvan 2.1.3");
  EXPECT_EQ(page.At((11520 - 12 * 120) / 2, 700)->font, EPrintFont::bold);
  const std::string name = "Jan K. Novák (Honza)";
  EXPECT_EQ(page.TextAt((11520 - 20 * 120) / 2, 700 + 5 * L), name);
  ASSERT_FALSE(page.lines.empty());
  EXPECT_EQ(page.lines[0], (CRecordingCanvas::SLine{100, 700 + 2 * L, 11420, 700 + 2 * L}));
}

TEST(PrintContact, shouldComposeTheNameLineFromTheGivenParts) {
  CTreeItem r;
  r.m_strFirstName = "Jan";
  r.m_strLastName = "Novák";
  EXPECT_EQ(PrintedName(r), "Jan Novák");
  r.m_strMiddleName = "Čeněk";
  EXPECT_EQ(PrintedName(r), "Jan Č. Novák");
  r.m_strNickname = "Honza";
  EXPECT_EQ(PrintedName(r), "Jan Č. Novák (Honza)");

  CTreeItem surname;
  surname.m_strLastName = "Wąsowska";
  EXPECT_EQ(PrintedName(surname), " Wąsowska");
  CTreeItem nickname;
  nickname.m_strNickname = "Łucja";
  EXPECT_EQ(PrintedName(nickname), "  (Łucja)");
}

TEST(PrintContact, shouldPutLabelsAndValuesOnTheirFixedLines) {
  CRecordingCanvas page;
  const CTreeItem jan = Jan();
  PrintContact(page, &jan, 1, kPrinted);
  const std::vector<std::pair<int, std::string>> labels = {
      {0, "Address:"},   {4, "Phone:"},     {6, "Fax:"},      {8, "Mobile:"},
      {10, "Internet:"}, {14, "Business:"}, {16, "Adress:"},  {20, "Phone:"},
      {22, "Fax:"},      {24, "Mobile:"},   {26, "Internet:"}};
  for (const auto& [line, text] : labels) {
    EXPECT_EQ(page.TextAt(600, B + line * L), text) << "line " << line;
    EXPECT_EQ(page.At(600, B + line * L)->font, EPrintFont::bold);
  }
  const std::vector<std::pair<int, std::string>> values = {{0, "Údolní 15"},
                                                           {1, "Brno, CZ 602 00"},
                                                           {2, "Česká republika"},
                                                           {4, "+420 541 000 111"},
                                                           {6, "+420 541 000 112"},
                                                           {8, "+420 602 000 113"},
                                                           {10, "jan@example.cz"},
                                                           {11, "www.novak.example.cz"},
                                                           {14, "Šroubárna Žďár"},
                                                           {16, "Průmyslová 3"},
                                                           {17, "Žďár nad Sázavou, CZ 591 01"},
                                                           {18, "Czechia"},
                                                           {20, "+420 566 000 001"},
                                                           {22, "+420 566 000 002"},
                                                           {24, "+420 777 000 003"},
                                                           {26, "novak@sroubarna.example.cz"},
                                                           {27, "https://sroubarna.example.cz"}};
  for (const auto& [line, text] : values) {
    EXPECT_EQ(page.TextAt(V, B + line * L), text) << "line " << line;
    EXPECT_EQ(page.At(V, B + line * L)->font, EPrintFont::normal);
  }
  // Header, name, eleven labels, seventeen values, two footer texts; nothing else, so the
  // title, label, job title and remark stay off the page.
  EXPECT_EQ(page.texts.size(), 2u + 11u + 17u + 2u);
}

TEST(PrintContact, shouldKeepEveryPlaceOfAnEmptyRecordAndItsCommas) {
  CRecordingCanvas page;
  CTreeItem empty;
  empty.m_strLastName = "Dvořák";
  PrintContact(page, &empty, 1, kPrinted);
  EXPECT_EQ(page.TextAt(V, B + L), ",  ");
  EXPECT_EQ(page.TextAt(V, B + 17 * L), ",  ");
  EXPECT_EQ(page.TextAt(V, B + 14 * L), "");
  EXPECT_EQ(page.TextAt(V, B + 27 * L), "");
  EXPECT_EQ(page.TextAt(600, B + 26 * L), "Internet:");
  EXPECT_EQ(page.texts.size(), 32u);
}

TEST(PrintContact, shouldFrameTheBodyAndPutTheFooterBelowIt) {
  CRecordingCanvas page;
  const CTreeItem jan = Jan();
  PrintContact(page, &jan, 1, kPrinted);
  ASSERT_EQ(page.frames.size(), 1u);
  EXPECT_EQ(page.frames[0], (CRecordingCanvas::SLine{100, B - L, 11420, B + 29 * L}));
  ASSERT_EQ(page.lines.size(), 2u);
  EXPECT_EQ(page.lines[1], (CRecordingCanvas::SLine{100, B + 33 * L, 11420, B + 33 * L}));
  EXPECT_EQ(page.TextAt(100, B + 31 * L), "Stránka 1");
  // "05.03.2024 09:07" ends 100 twips before the right edge.
  EXPECT_EQ(page.TextAt(11520 - 16 * 100 - 100, B + 31 * L), "05.03.2024 09:07");
  EXPECT_EQ(ContactPageHeight(L), B + 33 * L);
}

TEST(PrintContact, shouldMoveTheValueColumnWithTheFontNotWithTheLabels) {
  // A font twice as wide moves the values by the width of "Zaměstnavatel:" alone.
  class CWideCanvas : public CRecordingCanvas {
   public:
    int TextWidth(std::string_view text, EPrintFont font) const override {
      return 2 * CRecordingCanvas::TextWidth(text, font);
    }
  } page;
  const CTreeItem jan = Jan();
  PrintContact(page, &jan, 1, kPrinted);
  EXPECT_EQ(page.TextAt(2200 + 2800, B), "Údolní 15");
}

TEST(PrintContact, shouldScaleAPageTooShortForTheLayoutAndLeaveATallOneAsItIs) {
  CTreeItem jan = Jan();
  CRecordingCanvas tall;
  PrintContact(tall, &jan, 1, kPrinted);
  EXPECT_EQ(tall.m_dScale, 1.0);

  // A postcard turned on its side: 4 inches high, the footer needs 10,540 twips and a point.
  CRecordingCanvas low;
  low.m_nHeight = 5760;
  PrintContact(low, &jan, 1, kPrinted);
  EXPECT_NEAR(low.m_dScale, 5760.0 / (B + 33 * L + 20), 1e-9);
  // The layout is made on the enlarged page: the rule still spans its width.
  EXPECT_EQ(low.lines[0].x2, static_cast<int>(11520 / low.m_dScale) - 100);
  EXPECT_LT(low.lines[1].y1, low.PageHeight());
}

TEST(PrintContact, shouldLeaveThePageBlankWithoutARecord) {
  CRecordingCanvas page;
  PrintContact(page, nullptr, 1, kPrinted);
  EXPECT_TRUE(page.texts.empty());
  EXPECT_TRUE(page.lines.empty());
  EXPECT_TRUE(page.frames.empty());
}
