// A record's texts: each its own block, or many in a shared block of an arena (the texts of a
// file being read) that lives exactly as long as they do. The sanitizer build reports a block
// freed too early or never.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "store/Text.h"

using namespace zorvan;

namespace {

const std::string kLong(1500, 'x');

}  // namespace

TEST(Text, shouldKeepEveryTextOfAnArenaAsGivenWhereverItGoes) {
  const std::vector<std::string> given = {"Dvořák",      "Łukasiewicz", "Παπαδόπουλος", "王小明",
                                          std::string(), "Straße",      kLong,          "a"};
  std::vector<CText> copies;
  {
    std::vector<CText> texts(2000);
    CTextArena arena;
    // Enough texts for several blocks of the arena, each block outliving it through a copy.
    for (size_t i = 0; i < texts.size(); ++i) arena.Assign(texts[i], given[i % given.size()]);
    for (size_t i = 0; i < texts.size(); i += 3) copies.push_back(texts[i]);
    CText moved = std::move(texts[1]);
    EXPECT_EQ(moved, given[1]);
    EXPECT_TRUE(texts[1].empty());
    // A text given part of itself, in the same arena and by plain assignment.
    arena.Assign(texts[2], texts[2].view().substr(0, 4));
    texts[10] = texts[10].view().substr(2);
    EXPECT_EQ(texts[2], given[2].substr(0, 4));
    EXPECT_EQ(texts[10], given[2].substr(2));
    EXPECT_EQ(texts[4].c_str(), std::string());
    EXPECT_EQ(std::string(texts[6].c_str()), kLong);
  }
  for (size_t i = 0; i < copies.size(); ++i) EXPECT_EQ(copies[i], given[i * 3 % given.size()]);
  // Assigned over and copied from one another, shared or not.
  copies[0] = copies[1];
  copies[2] = CText("Černá");
  copies[1] = copies[2];
  copies[3] = copies[3];
  EXPECT_EQ(copies[0], given[3]);
  EXPECT_EQ(copies[1], "Černá");
  EXPECT_EQ(copies[3], given[9 % given.size()]);
}

TEST(Text, shouldLetTextsGoOnAnotherThreadWhileTheArenaStillMakesThem) {
  CTextArena arena;
  std::vector<CText> early(500), late(500);
  for (CText& t : early) arena.Assign(t, "Żółkiewski");
  std::thread other([&early] {
    for (CText& t : early) t.clear();
  });
  for (CText& t : late) arena.Assign(t, "Νίκος");
  other.join();
  for (const CText& t : early) EXPECT_TRUE(t.empty());
  for (const CText& t : late) EXPECT_EQ(t, "Νίκος");
}

TEST(Text, shouldKeepTheLengthAndBlockOfTextsFarIntoTheLargestBlocks) {
  // Lengths around the longest text an arena shares (1,024 bytes) and the 255 of a short one,
  // with "ř" (two bytes) in them; enough of them for several blocks of a quarter of a megabyte,
  // whose texts far into them must still find their block.
  std::vector<std::string> given;
  for (size_t n : {1, 2, 255, 256, 257, 1023, 1024, 1025, 3000}) {
    std::string s;
    while (s.size() + 2 <= n) s += "ř";
    s.resize(n, 'a');
    given.push_back(s);
  }
  std::vector<CText> kept;
  {
    CTextArena arena;
    std::vector<CText> texts(9000);
    for (size_t i = 0; i < texts.size(); ++i) arena.Assign(texts[i], given[i % given.size()]);
    // One of every few outlives the arena and the others of its block.
    for (size_t i = 0; i < texts.size(); i += 7) kept.push_back(texts[i]);
  }
  for (size_t i = 0; i < kept.size(); ++i) {
    const std::string& want = given[i * 7 % given.size()];
    ASSERT_EQ(kept[i].size(), want.size()) << i;
    ASSERT_EQ(kept[i], want) << i;
    ASSERT_EQ(kept[i].c_str()[want.size()], '\0') << i;
  }
  // Let go of in another order than made, each block freed with its last text.
  for (size_t i = 0; i < kept.size(); i += 2) kept[i].clear();
  for (size_t i = 1; i < kept.size(); i += 2) EXPECT_EQ(kept[i], given[i * 7 % given.size()]);
}
