#include <gtest/gtest.h>

#include "FakeHost.h"
#include "TestUtil.h"
#include "store/TreeItem.h"
#include "store/ZorvanDoc.h"
#include "sync/SyncState.h"

using namespace zorvan;
using namespace zorvan::sync;
using namespace zorvan::test;

namespace {

SSyncState TwoBindings() {
  SSyncState state;
  SBinding family{"urn:uuid:rodina-dvořák",
                  "https://dav.example.cz/",
                  "jiří.dvořák",
                  "/addressbooks/jiri/rodina/",
                  "Rodina Dvořákových",
                  "",
                  "http://r/token/7",
                  true,
                  {},
                  ""};
  family.contacts.push_back(
      {"urn:uuid:1", "/addressbooks/jiri/rodina/anežka.vcf", "W/\"e1\"", 0x0123456789ABCDEFull,
       "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Anežka Šťastná\r\nEND:VCARD\r\n", false});
  family.contacts.push_back({"urn:uuid:2", "/addressbooks/jiri/rodina/2.vcf", "e2", 42, "", true});
  family.pinnedKey = "sha256//n4bQgYhMfWWaL+qgxVrQFaO/TxsrC4Is0V1sFbDwCgg=";
  SBinding work{"urn:uuid:εργασία",
                "https://carddav.example.gr",
                "γιώργος",
                "/ab/work/",
                "Εργασία 工作",
                "https://carddav.example.gr/cal/",
                "",
                false,
                {},
                ""};
  work.contacts.push_back({"urn:uuid:张伟", "/ab/work/zhang.vcf", "x", 7, "FN:张伟", false});
  state.bindings = {family, work};
  return state;
}

}  // namespace

TEST(SyncStateTest, shouldReadBackWhatItWrote) {
  const SSyncState state = TwoBindings();
  SSyncState read;
  std::string reason;
  ASSERT_TRUE(ReadSyncState(WriteSyncState(state), read, reason)) << reason;
  EXPECT_EQ(read, state);
  ASSERT_TRUE(ReadSyncState(WriteSyncState(SSyncState{}), read, reason)) << reason;
  EXPECT_TRUE(read.Empty());
}

TEST(SyncStateTest, shouldRefuseEveryCutOrDamagedPayloadWithAReason) {
  const std::string bytes = WriteSyncState(TwoBindings());
  // Every cut refused, never read past its end (the sanitizer builds see to the latter).
  for (size_t length = 0; length < bytes.size(); ++length) {
    SSyncState read = TwoBindings();
    std::string reason;
    EXPECT_FALSE(ReadSyncState(std::string_view(bytes).substr(0, length), read, reason)) << length;
    EXPECT_TRUE(read.Empty());
    EXPECT_NE(reason.find("damaged"), std::string::npos);
  }
  struct SCase {
    const char* name;
    size_t at;
    char byte;
    const char* reason;
  } cases[] = {
      {"another version", 0, 3, "version 3"},
      {"a count of bindings beyond the bytes", 7, 0x7F, "count of bindings"},
      {"a length beyond the bytes", 11, 0x7F, "ends inside"},
  };
  for (const SCase& c : cases) {
    std::string damaged = bytes;
    damaged[c.at] = c.byte;
    SSyncState read;
    std::string reason;
    EXPECT_FALSE(ReadSyncState(damaged, read, reason)) << c.name;
    EXPECT_NE(reason.find(c.reason), std::string::npos) << c.name << ": " << reason;
  }
  SSyncState read;
  std::string reason;
  EXPECT_FALSE(ReadSyncState(bytes + "x", read, reason));
  EXPECT_NE(reason.find("bytes follow"), std::string::npos);
}

// A state of version 1, written before bindings kept a pin: read with none, and written again
// in the current version.
TEST(SyncStateTest, shouldReadTheFirstVersionWithoutPins) {
  auto u32 = [](std::uint32_t v) {
    std::string out;
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    return out;
  };
  auto text = [&](std::string_view t) {
    return u32(static_cast<std::uint32_t>(t.size())) + std::string(t);
  };
  std::string v1 = u32(1) + u32(1);
  for (std::string_view t : {"urn:uuid:přátelé", "https://dav.example.pl/", "łucja",
                             "/ab/łucja/przyjaciele/", "Przyjaciele", "", "tok-1"})
    v1 += text(t);
  v1 += '\x01' + u32(1) + text("urn:uuid:1") + text("/ab/1.vcf") + text("e1") +
        std::string(8, '\x07') + '\x00' + text("FN:Zofia Żółć");
  SSyncState read;
  std::string reason;
  ASSERT_TRUE(ReadSyncState(v1, read, reason)) << reason;
  ASSERT_EQ(read.bindings.size(), 1u);
  const SBinding& b = read.bindings[0];
  EXPECT_EQ(b.userName, "łucja");
  EXPECT_EQ(b.syncToken, "tok-1");
  EXPECT_TRUE(b.syncWhenOpened);
  EXPECT_TRUE(b.pinnedKey.empty());
  ASSERT_EQ(b.contacts.size(), 1u);
  EXPECT_EQ(b.contacts[0].card, "FN:Zofia Żółć");
  EXPECT_EQ(b.contacts[0].hash, 0x0707070707070707ull);
  // A cut inside the first version's last text is refused as well.
  EXPECT_FALSE(ReadSyncState(std::string_view(v1).substr(0, v1.size() - 1), read, reason));
  const std::string v2 = WriteSyncState(read);
  EXPECT_EQ(v2.substr(0, 4), u32(kSyncStateVersion));
  SSyncState again;
  ASSERT_TRUE(ReadSyncState(v2, again, reason)) << reason;
  EXPECT_EQ(again, read);
}

TEST(SyncStateTest, shouldAgreeAndForgetContactsOfABinding) {
  SBinding b = TwoBindings().bindings[0];
  b.Agree({"urn:uuid:2", "/addressbooks/jiri/rodina/2.vcf", "e3", 43, "FN:Zdeněk", true});
  ASSERT_NE(b.FindUid("urn:uuid:2"), nullptr);
  EXPECT_FALSE(b.FindUid("urn:uuid:2")->deletedHere);
  EXPECT_EQ(b.FindHref("/addressbooks/jiri/rodina/2.vcf")->etag, "e3");
  EXPECT_EQ(b.contacts.size(), 2u);
  b.Forget("urn:uuid:1");
  EXPECT_EQ(b.FindUid("urn:uuid:1"), nullptr);
  EXPECT_EQ(b.contacts.size(), 1u);
}

TEST(SyncStateTest, shouldTravelWithTheDatabaseThroughSaveAndOpen) {
  CTempDir dir;
  CFakeHost host;
  const std::string path = dir / "kontakty.zvd";
  SSyncState state = TwoBindings();
  {
    CZorvanDoc doc(host);
    doc.OnNewDocument();
    auto* group = new CTreeItem;
    group->m_strLabel = "Rodina";
    group->m_bGroup = 1;
    CTreeItem::AddChild(doc.ContactsRoot(), group);
    auto* record = new CTreeItem;
    record->m_strLabel = "Anezka";
    CTreeItem::AddChild(group, record);
    // The group is bound by a UID of its own, given once.
    state.bindings[0].groupUid = BindingUid(*group);
    EXPECT_EQ(BindingUid(*group), state.bindings[0].groupUid);
    EXPECT_EQ(record->m_pExtras, nullptr);
    StoreSyncState(doc, state);
    EXPECT_TRUE(doc.IsModified());
    ASSERT_TRUE(doc.OnSaveDocument(path));
    // A state equal to the one held changes nothing.
    StoreSyncState(doc, state);
    EXPECT_FALSE(doc.IsModified());
  }
  CZorvanDoc doc(host);
  ASSERT_TRUE(doc.OnOpenDocument(path));
  SSyncState read;
  std::string reason;
  ASSERT_TRUE(LoadSyncState(doc, read, reason)) << reason;
  EXPECT_EQ(read, state);
  const CTreeItem* group = FindBoundGroup(*doc.ContactsRoot(), read.bindings[0].groupUid);
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->m_strLabel.str(), "Rodina");
  EXPECT_EQ(FindBoundGroup(*doc.ContactsRoot(), read.bindings[1].groupUid), nullptr);

  // A damaged section is reported and kept as it is through the next save.
  const std::string damaged("\x01\x00\x00\x00\xFF", 5);
  doc.SetKeptSection(kTagSync, damaged);
  ASSERT_TRUE(doc.OnSaveDocument(path));
  CZorvanDoc again(host);
  ASSERT_TRUE(again.OnOpenDocument(path));
  EXPECT_FALSE(LoadSyncState(again, read, reason));
  ASSERT_NE(again.KeptSection(kTagSync), nullptr);
  EXPECT_EQ(*again.KeptSection(kTagSync), damaged);

  // An empty state takes the section away.
  StoreSyncState(again, SSyncState{});
  EXPECT_EQ(again.KeptSection(kTagSync), nullptr);
  ASSERT_TRUE(LoadSyncState(again, read, reason));
  EXPECT_TRUE(read.Empty());
}
