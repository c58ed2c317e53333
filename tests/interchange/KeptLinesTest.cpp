// The kept lines of another program's card as the user edits them: a typed line made one
// content line, and lines removed with the labels of their group.
#include <gtest/gtest.h>

#include "interchange/vcard/KeptLines.h"

using namespace zorvan;

namespace {

using V = std::vector<std::string>;
using E = EKeptLineError;

}  // namespace

TEST(CleanKeptLine, shouldLeaveOneLineThatCannotBreakTheCard) {
  const std::pair<const char*, const char*> cases[] = {
      {"TEL;TYPE=CELL:+30 210 1234567", "TEL;TYPE=CELL:+30 210 1234567"},
      // A line break, however written, cannot start a line of its own in the exported card.
      {"NOTE:Ahoj\r\nEMAIL:x@y.cz", "NOTE:AhojEMAIL:x@y.cz"},
      {"NOTE:a\nb\rc", "NOTE:abc"},
      // A folded line pasted from a card is unfolded: the blank after the break goes with it.
      {"NOTE:Příliš žluťoučký\r\n  kůň", "NOTE:Příliš žluťoučký kůň"},
      {"NOTE:Ελλη\r\n\tνικά", "NOTE:Ελληνικά"},
      // Other controls: tab, NUL, ESC, DEL, C1 (NEL among them), U+2028 and U+2029.
      {"X-A:\tx\x1b[2J\x7f", "X-A:x[2J"},
      {"X-A:1\xc2\x85"
       "2\xc2\x9b",
       "X-A:12"},
      {"X-A:Ř\xe2\x80\xa8Ž\xe2\x80\xa9", "X-A:ŘŽ"},
      {"X-A:€ \xe2\x80\xa6", "X-A:€ \xe2\x80\xa6"},  // the ellipsis shares its first two bytes
      // A leading blank would make the line go on the line before it.
      {"   \r\n CATEGORIES:Rodina,Přátelé ", "CATEGORIES:Rodina,Přátelé "},
      {" \t\r\n  ", ""},
      {"", ""},
  };
  for (const auto& [typed, line] : cases) EXPECT_EQ(CleanKeptLine(typed), line) << typed;
}

TEST(CheckKeptLine, shouldTakeOnlyAContentLineTheCardCanCarry) {
  const std::pair<const char*, E> cases[] = {
      {"TEL;TYPE=CELL:+30 210 1234567", E::none},
      {"item1.X-ABLabel:Chata", E::none},
      {"CATEGORIES:Rodina,Přátelé", E::none},
      {"X-ΟΝΟΜΑ:x", E::badName},  // names are ASCII
      {"X-SOCIALPROFILE;type=twitter;x-user=\"a:b;c\":http://x", E::none},
      {"TEL;CELL;VOICE:1", E::none},  // 2.1's bare type words
      {"NOTE:", E::none},             // an empty value is a value
      {"TEL;TYPE=CELL +30 210 1234567", E::noColon},
      {"Chata u lesa", E::noColon},
      {":+30 210", E::noName},
      {";TYPE=CELL:1", E::noName},
      {"", E::noName},
      {"TEL CELL:1", E::badName},
      {"item 1.TEL:1", E::badName},
      {".TEL:1", E::badName},
      {"item1.:1", E::badName},
      {"a.b.TEL:1", E::badName},
      {"TEL;=CELL:1", E::badParameter},
      {"TEL;;TYPE=CELL:1", E::badParameter},
      {"TEL;TYPE=CELL;:1", E::badParameter},
      {"TEL;TY PE=CELL:1", E::badParameter},
      {"TEL;TYPE=\"CELL:1", E::openQuote},
      {"END:VCARD", E::frame},
      {"item2.uid:urn:uuid:1", E::frame},
      {"Version;x=1:4.0", E::frame},
  };
  for (const auto& [line, error] : cases) {
    EXPECT_EQ(CheckKeptLine(line), error) << line;
    EXPECT_EQ(KeptLineErrorText(CheckKeptLine(line)).empty(), error == E::none) << line;
  }
}

// An Apple card's phone with its label and a web page with its own: each label goes when the
// last line of its group goes, not before, and a group's name is the same in any case.
TEST(RemoveKeptLines, shouldTakeTheLabelOfAGroupWithItsLastLine) {
  const V lines = {"item1.TEL:+420 777 123 456", "item1.X-ABLabel:Chata",
                   "item2.URL:http://blog.gr",   "ITEM2.X-ABLabel:Ιστολόγιο",
                   "item2.X-ABADR:gr",           "CATEGORIES:Rodina,Přátelé"};
  struct SCase {
    std::vector<size_t> removed;
    V left;
  };
  const SCase cases[] = {
      {{0}, {lines[2], lines[3], lines[4], lines[5]}},
      {{5}, {lines[0], lines[1], lines[2], lines[3], lines[4]}},
      // X-ABADR is a line of the group as any other: the label stays while it is there.
      {{2}, {lines[0], lines[1], lines[3], lines[4], lines[5]}},
      {{4, 2}, {lines[0], lines[1], lines[5]}},
      {{1}, {lines[0], lines[2], lines[3], lines[4], lines[5]}},  // a label on its own
      {{0, 0, 99}, {lines[2], lines[3], lines[4], lines[5]}},
      {{0, 2, 4, 5}, {}},
      {{}, lines},
  };
  for (const SCase& c : cases) {
    V kept = lines;
    RemoveKeptLines(kept, c.removed);
    EXPECT_EQ(kept, c.left) << ::testing::PrintToString(c.removed);
  }
}

TEST(ReplaceKeptLine, shouldDropALabelOnlyWhenItsGroupIsLeftEmpty) {
  const V lines = {"item1.TEL:+30 210 1234567", "item1.X-ABLabel:Εξοχικό", "X-SKYPE:novak"};
  struct SCase {
    size_t index;
    const char* line;
    V left;
  };
  const SCase cases[] = {
      {0, "item1.TEL:+30 210 7654321", {"item1.TEL:+30 210 7654321", lines[1], lines[2]}},
      {0, "TEL:+30 210 1", {"TEL:+30 210 1", lines[2]}},  // moved out of its group
      {0, "", {lines[2]}},                                // an empty line is a removal
      {2, "X-SKYPE:nováková", {lines[0], lines[1], "X-SKYPE:nováková"}},
      {0, "item1.X-ABLabel:Chata", {"item1.X-ABLabel:Chata", lines[2]}},  // what was typed stays
      {3, "X-A:b", lines},
  };
  for (const SCase& c : cases) {
    V kept = lines;
    ReplaceKeptLine(kept, c.index, c.line);
    EXPECT_EQ(kept, c.left) << c.index << " " << c.line;
  }
}

TEST(IsLabelOfKeptLine, shouldHideOnlyALabelThatNamesALine) {
  const V lines = {"item1.EMAIL:a@b.cz", "item1.X-ABLabel:Škola", "item2.X-ABLabel:Sám",
                   "X-ABLabel:bez skupiny", "item3.NOTE:X-ABLabel v textu"};
  const bool expected[] = {false, true, false, false, false};
  for (size_t i = 0; i < lines.size(); ++i)
    EXPECT_EQ(IsLabelOfKeptLine(lines, i), expected[i]) << lines[i];
}
