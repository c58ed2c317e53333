#include "store/GenderWords.h"

#include <gtest/gtest.h>

#include <string_view>

using namespace zorvan;

TEST(GenderWords, shouldNameTheThreeGenderNumbers) {
  EXPECT_EQ(GenderName(0), "Unknown");
  EXPECT_EQ(GenderName(1), "Male");
  EXPECT_EQ(GenderName(2), "Female");
  EXPECT_EQ(GenderName(3), "");
  EXPECT_EQ(GenderName(-1), "");
}

TEST(GenderWords, shouldReadTheWordsOfOtherPrograms) {
  const struct {
    std::string_view word;
    int gender;
  } cases[] = {
      {"M", 1},         {" male ", 1},  {"MÄNNLICH", 1},  {"muž", 1},
      {"Mężczyzna", 1}, {"男性", 1},    {"F", 2},         {"Weiblich", 2},
      {"ŽENA", 2},      {"kobieta", 2}, {"女", 2},        {"unknown", 0},
      {"Other", 0},     {"", 0},        {"\t", 0},        {"Keine Angabe", -1},
      {"1", -1},        {"άνδρας", -1}, {"mannlich", -1},
  };
  for (const auto& c : cases) EXPECT_EQ(GenderOfWord(c.word), c.gender) << c.word;
}
