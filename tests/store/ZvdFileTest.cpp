#include <gtest/gtest.h>

#include <cctype>
#include <random>

#include "FakeHost.h"
#include "TestUtil.h"
#include "store/ZorvanDoc.h"
#include "store/ZvdFile.h"

using namespace zorvan;
using namespace zorvan::test;

namespace {

std::string Hex(const std::string& bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string s;
  for (unsigned char c : bytes) {
    if (!s.empty()) s += ' ';
    s += digits[c >> 4];
    s += digits[c & 15];
  }
  return s;
}

// Loads bytes under a fresh root; the root owns whatever was read.
bool Load(const std::string& bytes, CTreeItem& root, std::string& error) {
  root.m_nKind = kindContacts;
  return LoadDatabase(bytes, root, error);
}

}  // namespace

TEST(ZvdValues, shouldEncodeTheWorkedValuesByteForByte) {
  CArchiveWriter ar;
  ar.WriteDate(CDateTime(2000, 1, 1));
  ar.WriteLong(-1);
  EXPECT_EQ(Hex(ar.Bytes()), "00 00 00 00 00 00 00 00 C0 D5 E1 40 FF FF FF FF");
}

TEST(ZvdValues, shouldChooseTheTextPrefixByLength) {
  for (const auto& [length, prefix] :
       std::vector<std::pair<size_t, std::string>>{{0, "00"},
                                                   {254, "FE"},
                                                   {255, "FF FF 00"},
                                                   {65533, "FF FD FF"},
                                                   {65534, "FF FF FF FE FF 00 00"},
                                                   {70000, "FF FF FF 70 11 01 00"}}) {
    CArchiveWriter ar;
    ar.WriteText(std::string(length, 'x'));
    const std::string bytes = ar.Bytes();
    ASSERT_EQ(bytes.size(), length + (length < 255 ? 1 : length < 65534 ? 3 : 7));
    EXPECT_EQ(Hex(bytes.substr(0, bytes.size() - length)), prefix) << length;
    CArchiveReader in(bytes);
    CText back;
    ASSERT_TRUE(in.ReadText(back));
    EXPECT_EQ(back.size(), length);
    EXPECT_EQ(in.Remaining(), 0u);
  }
}

TEST(ZvdValues, shouldCountLengthsInBytesOfTheCodePage) {
  CArchiveWriter ar;
  ar.WriteText("Žďár");  // 4 characters, 7 bytes of UTF-8, 4 bytes in Windows-1250
  EXPECT_EQ(Hex(ar.Bytes()), "04 8E EF E1 72");
}

// A "?" of the text itself is no loss; a character the code page lacks is. The texts are
// converted one after another in the same room, longer after shorter and shorter after longer.
TEST(ZvdValues, shouldTellWhetherTheCodePageHeldTheWholeText) {
  const struct {
    const char* utf8;
    bool whole;
    const char* read;
  } cases[] = {
      {"Žďár", true, "Žďár"},
      {"Je to tak?", true, "Je to tak?"},
      {"Νίκος Παπαδόπουλος?", false, "????? ?????????????"},
      {"Łódź 王", false, "Łódź ?"},
      {"Dvořák?", true, "Dvořák?"},
  };
  CArchiveWriter ar;
  for (const auto& c : cases) EXPECT_EQ(ar.WriteText(c.utf8), c.whole) << c.utf8;
  CArchiveReader in(ar.Bytes());
  for (const auto& c : cases) {
    CText back;
    ASSERT_TRUE(in.ReadText(back));
    EXPECT_EQ(back.view(), std::string_view(c.read));
  }
}

TEST(ZvdFile, shouldWriteAnEmptyDatabaseAsTheHeaderAndZero) {
  EXPECT_EQ(StoreDatabase(nullptr), ReadFile(DataPath("store/empty.zvd")));
  CTreeItem root;
  EXPECT_EQ(StoreDatabase(&root), ReadFile(DataPath("store/empty.zvd")));
}

// Each fixture was made by hand from the file layout; reading and writing it again must give
// the same bytes, which pins every field's place and encoding.
TEST(ZvdFile, shouldReadAndWriteTheFixturesByteForByte) {
  for (const char* name : {"one-record.zvd", "three-levels.zvd", "text-254.zvd", "text-255.zvd",
                           "text-65533.zvd", "text-65534.zvd", "empty.zvd"}) {
    const std::string bytes = ReadFile(DataPath(std::string("store/") + name));
    CTreeItem root;
    std::string error;
    ASSERT_TRUE(Load(bytes, root, error)) << name << ": " << error;
    EXPECT_EQ(StoreDatabase(&root), bytes) << name;
  }
}

TEST(ZvdFile, shouldLoadEveryFieldOfARecord) {
  CTreeItem root;
  std::string error;
  ASSERT_TRUE(Load(ReadFile(DataPath("store/one-record.zvd")), root, error)) << error;
  ASSERT_EQ(root.ChildCount(), 1u);
  const CTreeItem& r = *root.Child(0);
  EXPECT_EQ(r.m_strFirstName, "Jan");
  EXPECT_EQ(r.m_strMiddleName, "Čeněk");
  EXPECT_EQ(r.m_strLastName, "Novák");
  EXPECT_EQ(r.m_strLabel, "Jan Novák");
  EXPECT_EQ(r.m_nGender, 1);
  EXPECT_EQ(r.m_nPrefEmail, 0);
  EXPECT_EQ(r.m_nPrefUrl, 1);
  EXPECT_EQ(r.m_strHomeStreet, "Dlouhá 5");
  EXPECT_EQ(r.m_strSpouse, "Eva");
  EXPECT_EQ(r.m_strChildren, "Petr, Pavla");
  EXPECT_EQ(r.m_strRemark, "a\r\nb");
  EXPECT_EQ(r.m_bBirthday, 1);
  EXPECT_EQ(r.m_dtBirthday, CDateTime(2000, 1, 1));
  EXPECT_EQ(r.m_bNameDay, 0);
  EXPECT_EQ(r.m_dtNameDay, CDateTime(37000.5));  // an unset date keeps its stored value
  EXPECT_EQ(r.m_pChildren, nullptr);
  EXPECT_EQ(r.m_pParent, &root);
  EXPECT_EQ(r.m_nKind, kindContacts);
}

TEST(ZvdFile, shouldGiveDeepRecordsTheirRealParents) {
  CTreeItem root;
  std::string error;
  ASSERT_TRUE(Load(ReadFile(DataPath("store/three-levels.zvd")), root, error)) << error;
  ASSERT_EQ(root.ChildCount(), 2u);
  CTreeItem* family = root.Child(0);
  ASSERT_EQ(family->ChildCount(), 1u);
  CTreeItem* jan = family->Child(0);
  ASSERT_EQ(jan->ChildCount(), 1u);
  CTreeItem* kid = jan->Child(0);
  EXPECT_EQ(kid->m_strLabel, "Kid");
  EXPECT_EQ(kid->m_pParent, jan);
  EXPECT_EQ(jan->m_pParent, family);
  EXPECT_EQ(kid->m_nKind, kindContacts);
  EXPECT_EQ(kid->m_pChildren, nullptr);
  EXPECT_EQ(family->m_bGroup, 1);
  EXPECT_EQ(root.Child(1)->m_strLabel, "Solo");
}

TEST(ZvdFile, shouldSaveARecordWhoseChildrenWereAllDeletedWithCountZero) {
  CTreeItem root;
  auto* parent = new CTreeItem;
  CTreeItem::AddChild(&root, parent);
  CTreeItem::AddChild(parent, new CTreeItem);
  parent->Child(0)->m_bDeleted = 1;
  parent->RemoveDeleted();
  ASSERT_NE(parent->m_pChildren, nullptr);
  const std::string bytes = StoreDatabase(&root);
  EXPECT_EQ(bytes.substr(bytes.size() - 4), std::string(4, '\0'));
  CTreeItem back;
  std::string error;
  ASSERT_TRUE(Load(bytes, back, error));
  EXPECT_EQ(back.Child(0)->m_pChildren, nullptr);
}

TEST(ZvdFile, shouldReadAFileWithAnyHeaderAndIgnoreTrailingBytes) {
  CTreeItem root;
  std::string error;
  ASSERT_TRUE(Load(ReadFile(DataPath("store/other-header.zvd")), root, error)) << error;
  EXPECT_EQ(root.Child(0)->m_strLabel, "Solo");
  CTreeItem root2;
  ASSERT_TRUE(Load(ReadFile(DataPath("store/empty.zvd")) + "garbage", root2, error));
  EXPECT_EQ(root2.ChildCount(), 0u);
}

namespace {

struct SDamaged {
  const char* file;
  const char* reason;
};

void PrintTo(const SDamaged& d, std::ostream* os) { *os << d.file; }

}  // namespace

class ZvdDamagedFile : public testing::TestWithParam<SDamaged> {};

TEST_P(ZvdDamagedFile, shouldFailWithItsReason) {
  CTreeItem root;
  std::string error;
  EXPECT_FALSE(Load(ReadFile(DataPath(std::string("store/") + GetParam().file)), root, error));
  EXPECT_EQ(error, GetParam().reason);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, ZvdDamagedFile,
    testing::Values(
        SDamaged{"zero-bytes.zvd", "the file ends in the middle of a record"},
        SDamaged{"header-only.zvd", "the file ends in the middle of a record"},
        SDamaged{"truncated-in-record.zvd", "the file ends in the middle of a record"},
        SDamaged{"negative-record-count.zvd", "a record count is negative"},
        SDamaged{"negative-child-count.zvd", "a record count is negative"},
        SDamaged{"record-count-beyond-file.zvd",
                 "a record count is larger than the rest of the file can hold"},
        SDamaged{"child-count-beyond-file.zvd",
                 "a record count is larger than the rest of the file can hold"},
        SDamaged{"text-length-beyond-file.zvd", "a text is longer than the rest of the file"},
        SDamaged{"unknown-text-encoding.zvd", "a text is stored in an unknown encoding"},
        SDamaged{"nesting-too-deep.zvd", "the records are nested too deeply"}),
    [](const testing::TestParamInfo<SDamaged>& paramInfo) {
      std::string name;
      for (const char* c = paramInfo.param.file; *c && *c != '.'; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
      return name;
    });

TEST(ZvdFile, shouldFailCleanlyOnEveryTruncation) {
  const std::string bytes = ReadFile(DataPath("store/three-levels.zvd"));
  for (size_t n = 0; n < bytes.size(); ++n) {
    CTreeItem root;
    std::string error;
    EXPECT_FALSE(Load(bytes.substr(0, n), root, error)) << n;
    EXPECT_FALSE(error.empty()) << n;
  }
}

TEST(ZvdFile, shouldSurviveRandomAndMutatedBytes) {
  std::mt19937 rng(20261208);
  const std::string valid = ReadFile(DataPath("store/three-levels.zvd"));
  for (int round = 0; round < 3000; ++round) {
    std::string bytes;
    if (round % 2) {
      bytes = valid;
      for (int k = 0; k < 4; ++k) bytes[rng() % bytes.size()] = static_cast<char>(rng());
    } else {
      bytes.resize(rng() % 400);
      for (char& c : bytes) c = static_cast<char>(rng());
      bytes.replace(0, std::min<size_t>(bytes.size(), 13), valid.substr(0, 13));
    }
    CTreeItem root;
    std::string error;
    if (!Load(bytes, root, error)) {
      EXPECT_FALSE(error.empty());
    }
  }
}
