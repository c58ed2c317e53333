// Which records would lose characters when written in the file's code page.
#include <gtest/gtest.h>

#include "res/CodePage.h"
#include "store/LostCharacters.h"
#include "store/TreeItem.h"

using namespace zorvan;

namespace {

CTreeItem* AddRecord(CTreeItem* parent, const char* label) {
  auto* record = new CTreeItem;
  record->m_strLabel = label;
  CTreeItem::AddChild(parent, record);
  return record;
}

}  // namespace

TEST(CodePageFit, shouldTellWhichTextsTheCodePageHolds) {
  EXPECT_TRUE(FitsCodePage("", ECodePage::Windows1250));
  EXPECT_TRUE(FitsCodePage("Čeřovský Žluťoučký, Łódź, Müller", ECodePage::Windows1250));
  EXPECT_FALSE(FitsCodePage("Ørsted", ECodePage::Windows1250));
  EXPECT_TRUE(FitsCodePage("Ørsted", ECodePage::Windows1252));
  EXPECT_FALSE(FitsCodePage("Łukasz", ECodePage::Windows1252));
  EXPECT_FALSE(FitsCodePage("李", ECodePage::Windows1250));
  EXPECT_FALSE(FitsCodePage("a\xEF\xBF\xBD", ECodePage::Windows1250));
  // Malformed UTF-8 would be written as "?" too.
  EXPECT_FALSE(FitsCodePage("x\xC3", ECodePage::Windows1250));
  // What fits is exactly what a write and a read give back unchanged.
  for (const char* text : {"Ďáblice", "Ørsted", "Łukasz", "李", "Straße €"}) {
    for (ECodePage cp : {ECodePage::Windows1250, ECodePage::Windows1252}) {
      EXPECT_EQ(FitsCodePage(text, cp), AnsiToUtf8(Utf8ToAnsi(text, cp), cp) == text)
          << text << " in " << static_cast<int>(cp);
    }
  }
}

TEST(LostCharacters, shouldListTheRecordsAndTextsThatLoseCharactersInFileOrder) {
  CTreeItem root;
  root.m_strLabel = "Kontakty";
  CTreeItem* friends = AddRecord(&root, "Přátelé");
  CTreeItem* lukasz = AddRecord(friends, "Łukasz Żółć");
  lukasz->m_strRemark = "Ørsted 李";
  CTreeItem* jan = AddRecord(&root, "Jan Dvořák");
  jan->m_strHomeCity = "Kraków";
  CTreeItem* li = AddRecord(&root, "Li");
  li->m_strFirstName = "李";
  li->m_strBusinessEmail = "li@example.com";

  const std::vector<SLossyRecord> in1250 = RecordsLosingCharacters(root, ECodePage::Windows1250);
  ASSERT_EQ(in1250.size(), 2u);
  EXPECT_EQ(in1250[0].record, lukasz);
  EXPECT_EQ(in1250[0].fields, (std::vector<EField>{fieldRemark}));
  EXPECT_EQ(in1250[1].record, li);
  EXPECT_EQ(in1250[1].fields, (std::vector<EField>{fieldFirstName}));

  // Windows-1252 lacks the Polish and Czech letters but holds "Ø".
  const std::vector<SLossyRecord> in1252 = RecordsLosingCharacters(root, ECodePage::Windows1252);
  ASSERT_EQ(in1252.size(), 4u);
  EXPECT_EQ(in1252[0].record, friends);
  EXPECT_EQ(in1252[1].record, lukasz);
  EXPECT_EQ(in1252[1].fields, (std::vector<EField>{fieldLabel, fieldRemark}));
  EXPECT_EQ(in1252[2].record, jan);
  EXPECT_EQ(in1252[2].fields, (std::vector<EField>{fieldLabel}));
  EXPECT_EQ(in1252[3].record, li);
}

TEST(LostCharacters, shouldIncludeTheBranchRootAndFindNothingInTextsThatFit) {
  CTreeItem root;
  root.m_strLabel = "Контакты";
  AddRecord(&root, "Dvořák")->m_strTitle = "Ing.";
  const std::vector<SLossyRecord> lossy = RecordsLosingCharacters(root, ECodePage::Windows1250);
  ASSERT_EQ(lossy.size(), 1u);
  EXPECT_EQ(lossy[0].record, &root);
  root.m_strLabel = "Kontakte";
  EXPECT_TRUE(RecordsLosingCharacters(root, ECodePage::Windows1250).empty());
}
