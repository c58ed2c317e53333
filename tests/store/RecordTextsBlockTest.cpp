// The block of a record's 38 texts: set one by one in place or with the block built again,
// copied at its size, the whole record read back field by field. The sanitizer build reports a
// text read from a block let go of.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/RecordFields.h"
#include "store/TreeItem.h"

using namespace zorvan;

namespace {

// A distinct text for each field, in several scripts, some empty.
std::string TextFor(const SRecordField& f, int round) {
  static const char* const kNames[] = {"Dvořák", "Łukasiewicz", "Παπαδόπουλος",
                                       "王小明", "Straße",      ""};
  const std::string name = kNames[(f.id + round) % 6];
  return name.empty() ? name : name + " " + std::string(f.name) + std::to_string(round);
}

void ExpectTexts(const CContactData& r, int round, const char* what) {
  for (const SRecordField& f : kRecordFields) {
    if (!f.pText) continue;
    EXPECT_EQ((r.*f.pText).view(), TextFor(f, round)) << what << " " << f.name;
  }
}

}  // namespace

TEST(RecordTextsBlock, shouldReadBackEveryFieldAsSetWhateverTheOrderAndTheBlocksSize) {
  static_assert(sizeof(CTreeItem) <= 160, "a record with all texts empty stays small");
  const std::string huge(70000, 'z');  // past the two-byte block
  for (int round = 0; round < 3; ++round) {
    CTreeItem r(CTreeItem::SUnfilled{});
    EXPECT_EQ(r.m_texts.BlockBytes(), 0u);
    // Backwards, twice over: the first texts set are left behind in the block.
    for (int pass = 0; pass < 2; ++pass) {
      for (size_t i = kRecordFields.size(); i-- > 0;)
        if (const SRecordField& f = kRecordFields[i]; f.pText) r.*f.pText = TextFor(f, round);
      if (pass != 0) continue;
      // Nothing left behind yet: the copy takes the block's bytes as they stand, and a text
      // set in it later goes into its own block alone.
      CTreeItem once(r);
      ExpectTexts(once, round, "copy of texts set once");
      once.m_strNickname = "Ελένη Dvořáková";
      EXPECT_EQ(once.m_strNickname.view(), "Ελένη Dvořáková");
      ExpectTexts(r, round, "after the copy's change");
    }
    ExpectTexts(r, round, "set");
    if (round == 1) {
      r.m_strRemark = huge;
      EXPECT_TRUE(r.m_strRemark == huge);
      EXPECT_GT(r.m_texts.BlockBytes(), huge.size());
      r.m_strRemark = TextFor(RecordField(fieldRemark), round);
    }
    const CTreeItem copy(r);
    ExpectTexts(copy, round, "copy");
    EXPECT_LE(copy.m_texts.BlockBytes(), r.m_texts.BlockBytes());
  }
}

TEST(RecordTextsBlock, shouldTakeATextFromTheRecordItselfAndEndEachTextWithAZero) {
  CContactData r;
  r.m_strFirstName = "Jiřina";
  r.m_strLastName = "Nováková-Procházková";
  // Each set builds the block again or appends to it; the source is a text of the same block.
  for (int i = 0; i < 50; ++i) {
    r.m_strNickname = r.m_strLastName;
    r.m_strLastName = r.m_strLastName.view().substr(0, 8);
    r.m_strLastName = r.m_strNickname;
  }
  EXPECT_EQ(r.m_strNickname, "Nováková-Procházková");
  EXPECT_EQ(std::string(r.m_strFirstName.c_str()), "Jiřina");
  EXPECT_EQ(std::string(r.m_strTitle.c_str()), "");
  r.m_strFirstName.clear();
  EXPECT_TRUE(r.m_strFirstName.empty());
  EXPECT_EQ(r.m_strLabel, "Unknown");
  r.m_texts.Clear();
  EXPECT_TRUE(r.m_strLabel.empty() && r.m_strNickname.empty());
  r.m_strLabel = "Ζωή";
  EXPECT_EQ(r.m_strLabel, "Ζωή");
}

TEST(RecordTextsBlock, shouldFillAllTextsInOneBlockOfTheirSize) {
  std::string_view texts[CRecordTexts::kCount] = {};
  texts[0] = "Łucja";
  texts[37] = "výročí svatby";
  CRecordTexts block;
  block.Reserve(4000);
  EXPECT_GE(block.BlockBytes(), 4000u);
  block.Fill(texts);
  EXPECT_LT(block.BlockBytes(), 200u);
  EXPECT_EQ(block.Get(0), "Łucja");
  EXPECT_EQ(block.Get(37), "výročí svatby");
  EXPECT_EQ(block.Get(1), "");
  const std::string_view none[CRecordTexts::kCount] = {};
  block.Fill(none);
  EXPECT_EQ(block.BlockBytes(), 0u);
}
