#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "res/StringTable.h"

using namespace zorvan;

// The window's translation replaces the texts of the numbers it names, only while it is set.
TEST(StringTable, shouldGiveTranslatedTextsUntilTheTranslationIsTakenBack) {
  SetTranslatedStrings({{IDS_CONTACTS, "Kontakty"},
                        {IDS_OTHER_IMPORT_DONE, "Do skupiny „%2“ bylo importováno kontaktů: %1."},
                        {99999, "Číslo mimo tabulku"}});
  const struct {
    int id;
    std::string shown, original;
  } rows[] = {
      {IDS_CONTACTS, "Kontakty", "Contacts"},
      {IDS_OTHER_IMPORT_DONE, "Do skupiny „%2“ bylo importováno kontaktů: %1.",
       "%1 contacts were imported into the group \"%2\"."},
      {IDS_BIRTHDAYS, "Birthdays", "Birthdays"},  // not translated: the table's own
      {99999, "", ""},                            // no number of the table: still nothing
  };
  for (const auto& row : rows) {
    EXPECT_EQ(LoadString(row.id), row.shown) << row.id;
    EXPECT_EQ(LoadOriginalString(row.id), row.original) << row.id;
  }
  EXPECT_EQ(Formatted(LoadString(IDS_OTHER_IMPORT_DONE), {"3", "Přátelé"}),
            "Do skupiny „Přátelé“ bylo importováno kontaktů: 3.");
  SetTranslatedStrings({});
  for (const auto& row : rows) EXPECT_EQ(LoadString(row.id), row.original) << row.id;
}

TEST(StringTable, shouldListEveryNumberOnceInOrder) {
  const std::vector<int> ids = StringIds();
  ASSERT_FALSE(ids.empty());
  for (size_t i = 1; i < ids.size(); ++i) EXPECT_LT(ids[i - 1], ids[i]);
  for (int id : ids) EXPECT_TRUE(HasString(id)) << id;
  EXPECT_TRUE(std::binary_search(ids.begin(), ids.end(), int{IDS_OTHER_IMPORT_EMPTY_CARDS}));
}
