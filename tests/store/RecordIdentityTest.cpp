#include "store/RecordIdentity.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "FakeHost.h"
#include "TestUtil.h"
#include "store/TreeItem.h"
#include "store/ZorvanDoc.h"

using namespace zorvan;
using namespace zorvan::test;

namespace {

constexpr std::time_t kMorning = 1796797800;  // 2026-12-09 06:30:00 UTC
const char kMorningRev[] = "20261209T063000Z";
const char kOldRev[] = "20250101T080000Z";

CTreeItem* Add(CTreeItem* parent, const char* label, const char* uid = nullptr,
               const char* rev = "") {
  auto* r = new CTreeItem;
  r->m_strLabel = label;
  if (uid) {
    r->m_pExtras = std::make_unique<SRecordExtras>();
    r->m_pExtras->uid = uid;
    r->m_pExtras->rev = rev;
  }
  CTreeItem::AddChild(parent, r);
  return r;
}

std::string UidOf(const CTreeItem* r) { return r->m_pExtras ? r->m_pExtras->uid.str() : "(none)"; }
std::string RevOf(const CTreeItem* r) { return r->m_pExtras ? r->m_pExtras->rev.str() : "(none)"; }

}  // namespace

TEST(RecordIdentity, shouldWriteTheRevisionTimeInUtc) {
  const std::pair<std::time_t, const char*> cases[] = {
      {0, "19700101T000000Z"}, {951868799, "20000229T235959Z"}, {kMorning, kMorningRev}};
  for (const auto& [utc, text] : cases) EXPECT_EQ(RevisionText(utc), text) << utc;
}

TEST(RecordIdentity, shouldMakeRandomVersion4UidsInLowerCase) {
  const std::regex form(
      "urn:uuid:[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}");
  std::set<std::string> seen;
  for (int i = 0; i < 1000; ++i) {
    const std::string uid = NewRecordUid();
    EXPECT_TRUE(std::regex_match(uid, form)) << uid;
    seen.insert(uid);
  }
  EXPECT_EQ(seen.size(), 1000u);
}

TEST(RecordIdentity, shouldGiveIdentitiesToTheContactsWithoutOneAndTakeThemBack) {
  const CFixedIdentityClock clock(kMorning);
  CTreeItem root;
  CTreeItem* family = Add(&root, "Rodina");
  family->m_bGroup = 1;
  CTreeItem* jiri = Add(family, "Jiří Dvořák");
  CTreeItem* lukasz = Add(&root, "Łukasz Wąsik", "urn:uuid:7d3e1f0a", kOldRev);
  CTreeItem* wang = Add(&root, "王小明", "", "20240301T101500Z");  // a card's REV, no UID

  const std::vector<SGivenIdentity> given = GiveIdentities(root);
  ASSERT_EQ(given.size(), 2u);
  EXPECT_EQ(given[0].pRecord, jiri);
  EXPECT_EQ(given[1].pRecord, wang);
  EXPECT_EQ(family->m_pExtras, nullptr) << "a group is no contact";
  EXPECT_EQ(UidOf(lukasz), "urn:uuid:7d3e1f0a");
  EXPECT_EQ(RevOf(lukasz), kOldRev);
  EXPECT_EQ(RevOf(jiri), kMorningRev);
  EXPECT_EQ(RevOf(wang), kMorningRev);
  EXPECT_NE(UidOf(jiri), UidOf(wang));
  EXPECT_TRUE(GiveIdentities(root).empty()) << "given once, kept";

  TakeBackIdentities(given);
  EXPECT_EQ(jiri->m_pExtras, nullptr);
  EXPECT_EQ(UidOf(wang), "");
  EXPECT_EQ(RevOf(wang), "20240301T101500Z");
  // A subtree's top is a contact of its own when it has a parent.
  EXPECT_EQ(GiveIdentities(*jiri).size(), 1u);
}

TEST(RecordIdentity, shouldTouchTheSharedRecordsOnlyAndThoseOfAMovedBranch) {
  CFakeHost host;
  host.settings["Settings/Resource"] = "";
  CZorvanDoc doc(host);
  doc.OnNewDocument();
  CTreeItem* family = Add(doc.ContactsRoot(), "Rodina", "urn:uuid:rodina", kOldRev);
  CTreeItem* jiri = Add(family, "Jiří Dvořák", "urn:uuid:jiří", kOldRev);
  CTreeItem* petr = Add(family, "Petr Dvořák");
  CTreeItem* zofie = Add(family, "Žofie Černá", "", kOldRev);
  const CFixedIdentityClock clock(kMorning);
  EXPECT_TRUE(TouchRecord(*jiri));
  EXPECT_FALSE(TouchRecord(*petr));
  EXPECT_FALSE(TouchRecord(*zofie));
  EXPECT_EQ(RevOf(jiri), kMorningRev);
  EXPECT_EQ(RevOf(petr), "(none)") << "a touch gives no identity";
  EXPECT_EQ(RevOf(zofie), kOldRev);

  CTreeItem* moved = doc.MoveBranch(family, Add(doc.ContactsRoot(), "Přátelé"));
  ASSERT_NE(moved, nullptr);
  EXPECT_EQ(UidOf(moved), "urn:uuid:rodina");
  EXPECT_EQ(RevOf(moved), kMorningRev);
  EXPECT_EQ(UidOf(moved->Child(0)), "urn:uuid:jiří");
  EXPECT_EQ(moved->Child(1)->m_pExtras, nullptr);
  EXPECT_EQ(RevOf(moved->Child(2)), kOldRev);
}
