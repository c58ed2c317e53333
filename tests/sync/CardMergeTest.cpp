#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sync/CardMerge.h"

using namespace zorvan::sync;

namespace {

using CLines = std::vector<std::string>;

std::string Card(const CLines& lines) {
  std::string text = "BEGIN:VCARD\r\n";
  for (const std::string& l : lines) text += l + "\r\n";
  return text + "END:VCARD\r\n";
}

// The content lines of a card's text, unfolded, BEGIN and END left out; every physical line
// checked against the 75 octets a line may take.
CLines Unfolded(const std::string& text) {
  CLines lines;
  size_t from = 0;
  while (from < text.size()) {
    const size_t end = text.find("\r\n", from);
    EXPECT_NE(end, std::string::npos) << "every line ends in CR LF";
    if (end == std::string::npos) break;
    const std::string line = text.substr(from, end - from);
    EXPECT_LE(line.size(), 75u) << line;
    if (!line.empty() && line[0] == ' ' && !lines.empty())
      lines.back() += line.substr(1);
    else
      lines.push_back(line);
    from = end + 2;
  }
  EXPECT_FALSE(lines.empty());
  if (lines.empty()) return lines;
  EXPECT_EQ(lines.front(), "BEGIN:VCARD");
  EXPECT_EQ(lines.back(), "END:VCARD");
  return CLines(lines.begin() + 1, lines.end() - 1);
}

// A picture's base64, long enough for several folded lines, folded as a 3.0 writer folds it.
std::string Photo(char fill) {
  return "PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQ" + std::string(300, fill);
}
std::string Folded(const std::string& line) {
  std::string out;
  for (size_t i = 0; i < line.size(); i += 60) out += (i ? "\r\n " : "") + line.substr(i, 60);
  return out;
}

const CLines kBase = {
    "VERSION:3.0",         "UID:urn:uuid:5d1e-jiří",         "FN:Jiří Novák",
    "N:Novák;Jiří;;;",     "TEL;TYPE=CELL:+420 601 111 222", "EMAIL;TYPE=HOME:jiri@example.cz",
    "REV:20261201T080000Z"};

// kBase with line i replaced (text) or taken out (empty), and lines appended.
CLines With(std::vector<std::pair<size_t, std::string>> changes, CLines appended = {}) {
  CLines lines;
  for (size_t i = 0; i < kBase.size(); ++i) {
    std::string line = kBase[i];
    for (const auto& [at, text] : changes)
      if (at == i) line = text;
    if (!line.empty()) lines.push_back(line);
  }
  lines.insert(lines.end(), appended.begin(), appended.end());
  return lines;
}

}  // namespace

TEST(CardMergeTest, shouldMergeEachPropertyAgainstTheBase) {
  struct SRow {
    const char* name;
    CLines base, local, remote;
    CLines merged;  // with every conflict decided for local
    size_t conflicts;
  } rows[] = {
      {"changed here only", kBase, With({{2, "FN:Jiří Nováček"}}), kBase,
       With({{2, "FN:Jiří Nováček"}}), 0},
      {"changed there only", kBase, kBase, With({{3, "N:Nováček;Jiří;;;"}}),
       With({{3, "N:Nováček;Jiří;;;"}}), 0},
      {"changed alike on both sides", kBase, With({{2, "FN:Jiří Nováček"}}),
       With({{2, "FN:Jiří Nováček"}}), With({{2, "FN:Jiří Nováček"}}), 0},
      {"changed differently", kBase, With({{2, "FN:Jiří Nováček"}}), With({{2, "FN:Jirka Novák"}}),
       With({{2, "FN:Jiří Nováček"}}), 1},
      {"a phone changed differently", kBase, With({{4, "TEL;TYPE=CELL:+420 777 1"}}),
       With({{4, "TEL;TYPE=cell:+420 777 2"}}), With({{4, "TEL;TYPE=CELL:+420 777 1"}}), 1},
      {"a phone added on each side", kBase,
       With({{4, "TEL;TYPE=CELL:+420 601 111 222\r\nTEL;TYPE=CELL:+420 777 000 111"}}),
       With({}, {"TEL;TYPE=CELL:+420 603 999 888"}),
       With({{4,
              "TEL;TYPE=CELL:+420 601 111 222\r\nTEL;TYPE=CELL:+420 777 000 111\r\n"
              "TEL;TYPE=CELL:+420 603 999 888"}}),
       0},
      {"deleted here", kBase, With({{5, ""}}), kBase, With({{5, ""}}), 0},
      {"deleted there", kBase, kBase, With({{4, ""}}), With({{4, ""}}), 0},
      {"changed here, deleted there", kBase, With({{5, "EMAIL;TYPE=HOME:jiri@seznam.cz"}}),
       With({{5, ""}}), With({{5, "EMAIL;TYPE=HOME:jiri@seznam.cz"}}), 0},
      {"the same property spelled otherwise", kBase, kBase,
       With({{4, "TEL;type=cell:+420 601 111 222"}}), kBase, 0},
      {"Greek and Chinese added on either side", kBase, With({}, {"ORG:Ελληνική Εταιρεία Α.Ε."}),
       With({}, {"NOTE:你好，世界"}), With({}, {"ORG:Ελληνική Εταιρεία Α.Ε.", "NOTE:你好，世界"}),
       0},
      {"REV the newer, PRODID local's", kBase,
       With({{6, "REV:20261205T080000Z"}}, {"PRODID:-//Zorvan//CS"}),
       With({{6, "REV:2026-12-09T10:00:00Z"}}, {"PRODID:-//Radicale//EN"}),
       With({{6, "REV:2026-12-09T10:00:00Z"}}, {"PRODID:-//Zorvan//CS"}), 0},
      {"no base: differing values conflict, one side's alone stay",
       {},
       {"VERSION:3.0", "FN:Zoë Łukasiewicz", "TEL;CELL:+48 600 100 200", "EMAIL:zoe@example.pl"},
       {"VERSION:4.0", "FN:Zoë Łukasiewicz", "TEL;TYPE=CELL:+48 600 999 999", "NOTE:Ζωή"},
       {"VERSION:3.0", "FN:Zoë Łukasiewicz", "TEL;CELL:+48 600 100 200", "EMAIL:zoe@example.pl",
        "NOTE:Ζωή"},
       1},
  };
  for (const SRow& row : rows) {
    const CCardMerge merge =
        MergeCards(row.base.empty() ? "" : Card(row.base), Card(row.local), Card(row.remote));
    EXPECT_EQ(merge.Conflicts().size(), row.conflicts) << row.name;
    CLines want;
    for (const std::string& l : row.merged)
      for (size_t from = 0; from <= l.size();) {
        const size_t end = std::min(l.find("\r\n", from), l.size());
        want.push_back(l.substr(from, end - from));
        from = end + 2;
      }
    EXPECT_EQ(Unfolded(merge.Text(EMergeChoice::local)), want) << row.name;
  }
}

TEST(CardMergeTest, shouldDecideEachConflictAsTheCallerChooses) {
  const CLines local = With({{2, "FN:Jiří Nováček"}, {4, "TEL;TYPE=CELL:+420 1"}});
  const CLines remote = With({{2, "FN:Jirka Novák"}, {4, "TEL;TYPE=CELL:+420 2"}});
  const CCardMerge merge = MergeCards(Card(kBase), Card(local), Card(remote));
  ASSERT_EQ(merge.Conflicts().size(), 2u);
  EXPECT_EQ(merge.Conflicts()[0],
            (SCardConflict{"FN", "FN:Jiří Nováček", "FN:Jirka Novák", "FN:Jiří Novák"}));
  EXPECT_EQ(merge.Conflicts()[1].key, "TEL;TYPE=CELL");
  EXPECT_EQ(merge.Conflicts()[1].base, "TEL;TYPE=CELL:+420 601 111 222");
  EXPECT_EQ(Unfolded(merge.Text(EMergeChoice::local)), local);
  EXPECT_EQ(Unfolded(merge.Text(EMergeChoice::remote)), remote);
  EXPECT_EQ(Unfolded(merge.Text({EMergeChoice::remote, EMergeChoice::local})),
            With({{2, "FN:Jirka Novák"}, {4, "TEL;TYPE=CELL:+420 1"}}));
}

TEST(CardMergeTest, shouldCarryLongPhotosThroughUnfoldingAndFolding) {
  CLines base = kBase, local = kBase, remote = kBase;
  base.push_back(Folded(Photo('A')));
  local.push_back(Folded(Photo('A')));
  local.push_back("NOTE:Příliš žluťoučký kůň");
  remote.push_back(Folded(Photo('B')));
  const CCardMerge merge = MergeCards(Card(base), Card(local), Card(remote));
  EXPECT_TRUE(merge.Conflicts().empty());
  CLines want = kBase;
  want.push_back(Photo('B'));
  want.push_back("NOTE:Příliš žluťoučký kůň");
  EXPECT_EQ(Unfolded(merge.Text(EMergeChoice::local)), want);

  // Both sides took a new picture, here of another type: one photo, the user's choice.
  local[local.size() - 2] = Folded("PHOTO;ENCODING=b;TYPE=PNG:iVBORw0KGgo" + std::string(200, 'C'));
  const CCardMerge both = MergeCards(Card(base), Card(local), Card(remote));
  ASSERT_EQ(both.Conflicts().size(), 1u);
  EXPECT_EQ(both.Conflicts()[0].remote, Photo('B'));
  EXPECT_EQ(Unfolded(both.Text(EMergeChoice::remote)), want);
}

TEST(CardMergeTest, shouldTellTheUidAndEqualCards) {
  const std::string card = Card(kBase);
  EXPECT_EQ(CardUid(card), "urn:uuid:5d1e-jiří");
  EXPECT_EQ(CardUid(Card({"FN:张伟"})), "");
  EXPECT_TRUE(CardsEqual(card, Card(With({{6, "REV:20270101T000000Z"}}, {"PRODID:-//X//EN"}))));
  EXPECT_TRUE(CardsEqual(
      card, Card({kBase[6], kBase[5], kBase[4], kBase[3], kBase[2], kBase[1], kBase[0]})));
  EXPECT_FALSE(CardsEqual(card, Card(With({{4, "TEL;TYPE=WORK:+420 601 111 222"}}))));
  EXPECT_FALSE(CardsEqual(card, Card(With({}, {kBase[4]}))));
}
