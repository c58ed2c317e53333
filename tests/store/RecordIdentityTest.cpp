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

CTreeItem* Add(CTreeItem* parent, const char* label, bool group = false) {
  auto* r = new CTreeItem;
  r->m_strLabel = label;
  r->m_bGroup = group ? 1 : 0;
  CTreeItem::AddChild(parent, r);
  return r;
}

SRecordExtras& ExtrasOf(CTreeItem* r) {
  if (!r->m_pExtras) r->m_pExtras = std::make_unique<SRecordExtras>();
  return *r->m_pExtras;
}

std::string UidOf(const CTreeItem* r) { return r->m_pExtras ? r->m_pExtras->uid : "(none)"; }
std::string RevOf(const CTreeItem* r) { return r->m_pExtras ? r->m_pExtras->rev : "(none)"; }

}  // namespace

TEST(RecordIdentity, shouldWriteTheRevisionTimeInUtc) {
  const std::pair<std::time_t, const char*> cases[] = {
      {0, "19700101T000000Z"},
      {951868799, "20000229T235959Z"},
      {946598401, "19991231T000001Z"},
      {kMorning, kMorningRev},
  };
  for (const auto& [utc, text] : cases) EXPECT_EQ(RevisionText(utc), text) << utc;
}

TEST(RecordIdentity, shouldMakeRandomVersion4UidsInLowerCase) {
  const std::regex form(
      "urn:uuid:[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}");
  std::set<std::string> seen;
  std::set<char> variants;
  for (int i = 0; i < 2000; ++i) {
    const std::string uid = NewRecordUid();
    EXPECT_TRUE(std::regex_match(uid, form)) << uid;
    variants.insert(uid[28]);
    seen.insert(uid);
  }
  EXPECT_EQ(seen.size(), 2000u);
  // All four variant digits turn up: the bits around the fixed ones are random.
  EXPECT_EQ(variants, (std::set<char>{'8', '9', 'a', 'b'}));
}

TEST(RecordIdentity, shouldGiveIdentitiesToTheContactsWithoutOneAndTakeThemBack) {
  const CFixedIdentityClock clock(kMorning);
  CTreeItem root;
  CTreeItem* family = Add(&root, "Rodina", true);
  CTreeItem* jiri = Add(family, "Jiří Dvořák");
  CTreeItem* zofie = Add(family, "Žofie Dvořáková");
  ExtrasOf(zofie).photo = "\x89PNG";
  CTreeItem* lukasz = Add(&root, "Łukasz Wąsik");
  ExtrasOf(lukasz).uid = "urn:uuid:7d3e1f0a-2b4c-4d5e-8f90-a1b2c3d4e5f6";
  ExtrasOf(lukasz).rev = "20250101T080000Z";
  CTreeItem* wang = Add(&root, "王小明");
  ExtrasOf(wang).rev = "20240301T101500Z";  // a card's REV without a UID

  const std::vector<SGivenIdentity> given = GiveIdentities(root);
  ASSERT_EQ(given.size(), 3u);
  EXPECT_EQ(given[0].pRecord, jiri);
  EXPECT_EQ(given[1].pRecord, zofie);
  EXPECT_EQ(given[2].pRecord, wang);
  EXPECT_EQ(family->m_pExtras, nullptr) << "a group is no contact";
  EXPECT_EQ(UidOf(lukasz), "urn:uuid:7d3e1f0a-2b4c-4d5e-8f90-a1b2c3d4e5f6");
  EXPECT_EQ(RevOf(lukasz), "20250101T080000Z");
  for (const CTreeItem* r : {jiri, zofie, wang}) {
    EXPECT_EQ(UidOf(r).rfind("urn:uuid:", 0), 0u) << r->m_strLabel.str();
    EXPECT_EQ(RevOf(r), kMorningRev) << r->m_strLabel.str();
  }
  EXPECT_NE(UidOf(jiri), UidOf(zofie));
  EXPECT_TRUE(GiveIdentities(root).empty()) << "given once, kept";
  EXPECT_TRUE(GiveIdentities(*family).empty());

  TakeBackIdentities(given);
  EXPECT_EQ(jiri->m_pExtras, nullptr);
  EXPECT_EQ(UidOf(zofie), "");
  EXPECT_EQ(RevOf(zofie), "");
  EXPECT_EQ(zofie->m_pExtras->photo, "\x89PNG");
  EXPECT_EQ(UidOf(wang), "");
  EXPECT_EQ(RevOf(wang), "20240301T101500Z");
  EXPECT_EQ(UidOf(lukasz), "urn:uuid:7d3e1f0a-2b4c-4d5e-8f90-a1b2c3d4e5f6");

  // A subtree's top is a contact of its own when it has a parent.
  const std::vector<SGivenIdentity> one = GiveIdentities(*jiri);
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0].pRecord, jiri);
}

TEST(RecordIdentity, shouldTouchOnlyARecordThatHasAnIdentity) {
  const CFixedIdentityClock clock(kMorning);
  struct SCase {
    const char* label;
    const char* uid;  // null: no extras at all
    const char* rev;
    bool touched;
    const char* revAfter;
  };
  const SCase cases[] = {
      {"Jiří Dvořák", nullptr, nullptr, false, "(none)"},
      {"Žofie Černá", "", "20240301T101500Z", false, "20240301T101500Z"},
      {"Νίκος Παπαδόπουλος", "νίκος@example.gr", "20250101T080000Z", true, kMorningRev},
      {"Jürgen Größer", "urn:uuid:0b6f3a52-8d1e-4c7a-9f21-5e3d7c9a1b40", "", true, kMorningRev},
  };
  for (const SCase& c : cases) {
    CTreeItem record;
    record.m_strLabel = c.label;
    if (c.uid) {
      ExtrasOf(&record).uid = c.uid;
      ExtrasOf(&record).rev = c.rev;
    }
    EXPECT_EQ(TouchRecord(record), c.touched) << c.label;
    EXPECT_EQ(RevOf(&record), c.revAfter) << c.label;
    EXPECT_EQ(UidOf(&record), c.uid ? c.uid : "(none)") << c.label;
  }
}

TEST(RecordIdentity, shouldTouchTheSharedRecordsOfAMovedBranch) {
  CFakeHost host;
  host.settings["Settings/Resource"] = "";
  CZorvanDoc doc(host);
  doc.OnNewDocument();
  CTreeItem* family = Add(doc.ContactsRoot(), "Rodina", true);
  CTreeItem* jiri = Add(family, "Jiří Dvořák");
  Add(family, "Petr Dvořák");
  CTreeItem* friends = Add(doc.ContactsRoot(), "Přátelé", true);
  ExtrasOf(family).uid = "urn:uuid:rodina";
  ExtrasOf(family).rev = "20250101T080000Z";
  ExtrasOf(jiri).uid = "urn:uuid:jiri";
  ExtrasOf(jiri).rev = "20250101T080000Z";
  const CFixedIdentityClock clock(kMorning);
  CTreeItem* moved = doc.MoveBranch(family, friends);
  ASSERT_NE(moved, nullptr);
  EXPECT_EQ(UidOf(moved), "urn:uuid:rodina");
  EXPECT_EQ(RevOf(moved), kMorningRev);
  EXPECT_EQ(UidOf(moved->Child(0)), "urn:uuid:jiri");
  EXPECT_EQ(RevOf(moved->Child(0)), kMorningRev);
  EXPECT_EQ(moved->Child(1)->m_pExtras, nullptr) << "a move gives no identity";
  // A copy is another contact: nothing to touch, nothing given.
  CTreeItem* copy = doc.CopyBranch(moved, doc.ContactsRoot());
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->Child(0)->m_pExtras, nullptr);
}
