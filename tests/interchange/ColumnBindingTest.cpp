// The rules by which a column and a target are named in words, for the command line's --bind.
#include <gtest/gtest.h>

#include "interchange/ColumnBinding.h"
#include "interchange/TextImport.h"

using namespace zorvan;

TEST(ColumnBinding, shouldNameATargetByNumberItemOrHeaderIgnoringCaseAndBlanks) {
  const struct {
    const char* text;
    int target;
  } cases[] = {
      {"0", 0},           {"5", 5},           {"45", 45},
      {"46", -1},         {"007", -1},        {"", -1},
      {"Surname", 2},     {"Last Name", 2},   {"surname", 2},
      {"  SURNAME ", 2},  {"- Nothing -", 0}, {"Label for tree view", 5},
      {"Label", 5},       {"nE-mail", 9},     {"Příjmení", -1},
      {"Home Phone", 16}, {"Work Phone", 32}, {"Business Phone", 32},
      {"Shoe size", -1},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseTarget(c.text), c.target) << '"' << c.text << '"';
}

TEST(ColumnBinding, shouldFindAColumnByItsNumberFromOneOrItsExactName) {
  std::vector<ColumnBinding> columns = MakeColumnBindings("Jméno;Město;Mail;Město;Łódź", ";");
  ASSERT_EQ(columns.size(), 5u);
  EXPECT_EQ(FindColumn(columns, "1"), &columns[0]);
  EXPECT_EQ(FindColumn(columns, "5"), &columns[4]);
  EXPECT_EQ(FindColumn(columns, "0"), nullptr);
  EXPECT_EQ(FindColumn(columns, "6"), nullptr);
  EXPECT_EQ(FindColumn(columns, "99999999999"), nullptr);
  EXPECT_EQ(FindColumn(columns, "Łódź"), &columns[4]);
  // Of two columns with the same name the first is meant.
  EXPECT_EQ(FindColumn(columns, "Město"), &columns[1]);
  EXPECT_EQ(FindColumn(columns, "město"), nullptr);
  EXPECT_EQ(FindColumn(columns, "Jméno "), nullptr);
}
