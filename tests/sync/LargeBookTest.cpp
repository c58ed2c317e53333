#include <gtest/gtest.h>

#include <memory>
#include <unordered_map>

#include "FakeHost.h"
#include "store/TreeItem.h"
#include "store/ZorvanDoc.h"
#include "sync/BoundContacts.h"
#include "sync/DavServers.h"
#include "sync/SyncEngine.h"

// A phone's address book of thousands of cards, seeded into the server's storage, taken into an
// empty bound group and then kept in step with ten edits on each side: once listed by
// sync-collection reports, once through a server that refuses them, so that every run compares
// the entity tags of the whole listing.
namespace zorvan::sync {
namespace {

using test::CDavServer;
using test::EDavServer;
using test::SeedCard;
using test::SeedUid;

struct SLargeCase {
  const char* name;
  EDavServer server;
  bool wholeListing;  // through the stub that refuses sync-collection
  std::size_t cards;
};

// Both servers spend milliseconds a card on every listing (Radicale reads, hashes and unpickles
// each card's file for each listing and each sync-collection report, two minutes for the first
// read of 10,000 on a busy machine). Xandikos is slower still: at 10,000 cards it had not
// answered the first download's multigets after twenty minutes, fourteen of them its own
// processor time, so its book is smaller; speed at 10,000 is measured in bench/.
const SLargeCase kCases[] = {
    {"RadicaleSyncCollection", EDavServer::Radicale, false, 10000},
    {"RadicaleWholeListing", EDavServer::Radicale, true, 1500},
    {"XandikosSyncCollection", EDavServer::Xandikos, false, 300},
};

class LargeBookTest : public ::testing::TestWithParam<SLargeCase> {
 protected:
  void SetUp() override {
    const SLargeCase& c = GetParam();
    m_pServer = std::make_unique<CDavServer>(c.server, test::SServerOptions{.nSeedCards = c.cards});
    ASSERT_TRUE(test::OpenSession(*m_pServer, c.server, m_phone));
    // The cards parsed once beforehand, so that the first run is timed by what it does, not by
    // the server's first look at its storage.
    ASSERT_TRUE(m_pServer->WarmUp());
    if (c.wholeListing) {
      m_pStub = std::make_unique<CDavServer>(EDavServer::Stub,
                                             test::SServerOptions{.pForwardTo = m_pServer.get()});
      ASSERT_TRUE(test::OpenSession(*m_pStub, EDavServer::Stub, m_session));
    } else {
      ASSERT_TRUE(test::OpenSession(*m_pServer, c.server, m_session));
    }
    ASSERT_TRUE(m_doc.OnNewDocument());
    m_pGroup = m_doc.CreateRecord(m_doc.ContactsRoot());
    m_pGroup->m_strLabel = "Telefon";
    m_pGroup->m_bGroup = 1;
    m_binding.groupUid = BindingUid(*m_pGroup);
    m_binding.bookHref = m_session.strBook;
  }

  std::string Sync() {
    const SSyncOutcome outcome = Synchronize(m_doc, *m_session.pClient, m_binding, {});
    EXPECT_TRUE(outcome.status.Ok()) << outcome.status.strMessage << m_pServer->Log();
    return CountsLine(outcome.counts);
  }

  std::unordered_map<std::string, CTreeItem*> LocalByUid() {
    std::unordered_map<std::string, CTreeItem*> byUid;
    for (const SBoundContact& c : BoundContacts(*m_pGroup)) byUid[c.uid] = c.pRecord;
    return byUid;
  }

  // The card of uid as the server keeps it now.
  std::unique_ptr<CTreeItem> ServerContact(const std::string& uid) {
    SDavCards cards;
    EXPECT_TRUE(
        m_phone.pClient->Multiget(m_phone.strBook, {m_phone.strBook + uid + ".vcf"}, cards).Ok());
    if (cards.cards.empty()) return {};
    return std::move(ContactOfCard(cards.cards.front().vcard).pRecord);
  }

  test::CFakeHost m_host;
  CZorvanDoc m_doc{m_host};
  std::unique_ptr<CDavServer> m_pServer;
  std::unique_ptr<CDavServer> m_pStub;
  test::SDavSession m_phone;    // straight to the server, as a phone changes it
  test::SDavSession m_session;  // what the synchronisation talks to
  CTreeItem* m_pGroup = nullptr;
  SBinding m_binding;
};

TEST_P(LargeBookTest, TakesTheWholeBookThenOnlyWhatChangedOnEitherSide) {
  const SLargeCase& c = GetParam();
  const std::string none =
      "fetched 0, uploaded 0, deleted here 0, deleted there 0, merged 0, conflicts 0";
  EXPECT_EQ(Sync(), "fetched " + std::to_string(c.cards) +
                        ", uploaded 0, deleted here 0, deleted there 0, merged 0, conflicts 0");
  auto local = LocalByUid();
  ASSERT_EQ(local.size(), c.cards);
  ASSERT_EQ(m_binding.contacts.size(), c.cards);
  EXPECT_EQ(m_binding.syncToken.empty(), c.wholeListing);
  // People of each language, women and men, first and last.
  const struct {
    std::size_t index;
    const char* label;
    const char* company;
    const char* mobile;
    const char* email;
  } spots[] = {
      {0, "Jiří Dvořák", "Škoda Auto a.s.", "+420 601 000000", "k00000@seznam.cz"},
      {2, "王小明", "华为技术有限公司", "+86 601 000002", "k00002@qq.com"},
      {13, "Ελένη Παπαδοπούλου", "Ελληνικά Ταχυδρομεία", "+30 601 000013", "k00013@otenet.gr"},
      {c.cards - 1, nullptr, nullptr, nullptr, nullptr},
  };
  for (const auto& s : spots) {
    SCOPED_TRACE(s.index);
    const auto found = local.find(SeedUid(s.index));
    ASSERT_NE(found, local.end());
    const CTreeItem& record = *found->second;
    if (!s.label) {
      // The last one against its own card read alone.
      const SForeignContact alone = ContactOfCard(SeedCard(s.index));
      EXPECT_EQ(record.m_strLabel.view(), alone.pRecord->m_strLabel.view());
      EXPECT_EQ(record.m_strHomeCity.view(), alone.pRecord->m_strHomeCity.view());
      continue;
    }
    EXPECT_EQ(record.m_strLabel.view(), s.label);
    EXPECT_EQ(record.m_strCompany.view(), s.company);
    EXPECT_EQ(record.m_strPersonalMobile.view(), s.mobile);
    EXPECT_EQ(record.m_strPersonalEmail.view(), s.email);
  }
  EXPECT_EQ(Sync(), none);

  // Ten cards changed on the phone, ten other contacts here.
  for (std::size_t i = 100; i < 110; ++i) {
    const SContactState* agreed = m_binding.FindUid(SeedUid(i));
    ASSERT_TRUE(agreed);
    std::string card = SeedCard(i);
    const std::size_t note = card.find("NOTE:");
    card.replace(note, card.find("\r\n", note) - note, "NOTE:Přestěhoval se do Ostravy");
    std::string etag;
    const SDavStatus put = m_phone.pClient->PutCard(agreed->href, card, {agreed->etag}, etag);
    ASSERT_TRUE(put.Ok()) << put.strMessage;
  }
  for (std::size_t i = 200; i < 210; ++i) local[SeedUid(i)]->m_strJobTitle = "Ředitelka pobočky";
  EXPECT_EQ(Sync(),
            "fetched 10, uploaded 10, deleted here 0, deleted there 0, merged 0, conflicts 0");
  EXPECT_EQ(local[SeedUid(105)]->m_strRemark.view(), "Přestěhoval se do Ostravy");
  const std::unique_ptr<CTreeItem> there = ServerContact(SeedUid(207));
  ASSERT_TRUE(there);
  EXPECT_EQ(there->m_strJobTitle.view(), "Ředitelka pobočky");
  EXPECT_EQ(LocalByUid().size(), c.cards);
  EXPECT_EQ(Sync(), none);
}

INSTANTIATE_TEST_SUITE_P(Servers, LargeBookTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<SLargeCase>& c) {
                           return c.param.name;
                         });

}  // namespace
}  // namespace zorvan::sync
