#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "FakeHost.h"
#include "store/TreeItem.h"
#include "store/ZorvanDoc.h"
#include "sync/BoundContacts.h"
#include "sync/DavServers.h"
#include "sync/SyncEngine.h"

// Two-way synchronisation of a group of the tree with Radicale and Xandikos, each started for
// the test on 127.0.0.1, the server's side changed as a phone changes it (plain PUTs and
// DELETEs of its own cards).
namespace zorvan::sync {
namespace {

using test::CDavServer;
using test::EDavServer;

std::string PhoneCard(const std::string& uid, const std::string& name, const std::string& note) {
  return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + uid + "\r\nFN:" + name + "\r\nN:" + name +
         ";;;;\r\n" + (note.empty() ? "" : "NOTE:" + note + "\r\n") + "END:VCARD\r\n";
}

class SyncEngineTest : public ::testing::TestWithParam<EDavServer> {
 protected:
  void SetUp() override {
    m_pServer = std::make_unique<CDavServer>(GetParam());
    ASSERT_TRUE(test::OpenSession(*m_pServer, GetParam(), m_session));
    ASSERT_TRUE(m_doc.OnNewDocument());
    m_pGroup = Add(*m_doc.ContactsRoot(), "Rodina", true);
    Add(*m_pGroup, "Jiří Dvořák");
    Add(*m_pGroup, "Łucja Wąsowska");
    Add(*Add(*m_pGroup, "Přátelé", true), "Jürgen Größ");
    m_binding.groupUid = BindingUid(*m_pGroup);
    m_binding.bookHref = m_session.strBook;
  }

  CTreeItem* Add(CTreeItem& parent, const char* label, bool group = false) {
    CTreeItem* item = m_doc.CreateRecord(&parent);
    item->m_strLabel = label;
    item->m_bGroup = group ? 1 : 0;
    return item;
  }

  // What the phone does: a card of its own put, changed or deleted.
  std::string PhonePut(const std::string& name, const std::string& card,
                       const std::string& ifMatch = {}) {
    std::string etag;
    SPutCondition condition{ifMatch, ifMatch.empty()};
    const auto put = m_session.pClient->PutCard(m_session.strBook + name, card, condition, etag);
    EXPECT_TRUE(put.Ok()) << put.strMessage;
    return etag;
  }

  std::string Sync(EConflictPolicy conflicts = EConflictPolicy::leave, bool massDelete = false,
                   CCardDavClient* client = nullptr) {
    SSyncOptions options;
    options.conflicts = conflicts;
    options.allowMassDelete = massDelete;
    const SSyncOutcome outcome =
        Synchronize(m_doc, client ? *client : *m_session.pClient, m_binding, options);
    EXPECT_TRUE(outcome.status.Ok()) << outcome.status.strMessage << m_pServer->Log();
    return (outcome.massDeletion ? "mass deletion: " : "") + CountsLine(outcome.counts);
  }

  // The labels of the group's contacts, in the tree's order, and the FNs of the server's cards.
  std::vector<std::string> LocalLabels() {
    std::vector<std::string> labels;
    for (const SBoundContact& c : BoundContacts(*m_pGroup))
      labels.emplace_back(c.pRecord->m_strLabel.view());
    std::sort(labels.begin(), labels.end());
    return labels;
  }
  std::vector<std::string> ServerNames() {
    std::vector<SRemoteEntry> entries;
    EXPECT_TRUE(m_session.pClient->ListMembers(m_session.strBook, entries).Ok());
    std::vector<std::string> hrefs;
    for (const SRemoteEntry& e : entries) hrefs.push_back(e.href);
    SDavCards cards;
    EXPECT_TRUE(m_session.pClient->Multiget(m_session.strBook, hrefs, cards).Ok());
    std::vector<std::string> names;
    for (const SRemoteCard& card : cards.cards) {
      const SForeignContact contact = ContactOfCard(card.vcard);
      names.emplace_back(contact.pRecord->m_strLabel.view());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  CTreeItem* Local(std::string_view label) {
    for (const SBoundContact& c : BoundContacts(*m_pGroup))
      if (c.pRecord->m_strLabel.view() == label) return c.pRecord;
    return nullptr;
  }

  test::CFakeHost m_host;
  CZorvanDoc m_doc{m_host};
  std::unique_ptr<CDavServer> m_pServer;
  test::SDavSession m_session;
  CTreeItem* m_pGroup = nullptr;
  SBinding m_binding;
};

TEST_P(SyncEngineTest, KeepsBothSidesInStepThroughEditsDeletionsAndConflicts) {
  std::string eleni = PhonePut("eleni.vcf", PhoneCard("phone-1", "Ελένη Παπαδοπούλου", ""));
  PhonePut("wang.vcf", PhoneCard("phone-2", "王小明", "同事"));
  std::string rehor = PhonePut("rehor.vcf", PhoneCard("phone-3", "Řehoř Žďárský", ""));

  // The first run both ways; the second finds nothing to do.
  EXPECT_EQ(Sync(),
            "fetched 3, uploaded 3, deleted here 0, deleted there 0, merged 0, conflicts 0");
  const std::vector<std::string> all = {"Jiří Dvořák",   "Jürgen Größ",        "Łucja Wąsowska",
                                        "Řehoř Žďárský", "Ελένη Παπαδοπούλου", "王小明"};
  EXPECT_EQ(LocalLabels(), all);
  EXPECT_EQ(ServerNames(), all);
  EXPECT_EQ(Sync(),
            "fetched 0, uploaded 0, deleted here 0, deleted there 0, merged 0, conflicts 0");
  EXPECT_FALSE(m_binding.syncToken.empty());

  // An edit on each side.
  eleni = PhonePut("eleni.vcf", PhoneCard("phone-1", "Ελένη Παπαδοπούλου", "Αθήνα"), eleni);
  Local("Jiří Dvořák")->m_strRemark = "Brno, Údolní 12";
  EXPECT_EQ(Sync(),
            "fetched 1, uploaded 1, deleted here 0, deleted there 0, merged 0, conflicts 0");
  EXPECT_EQ(Local("Ελένη Παπαδοπούλου")->m_strRemark.view(), "Αθήνα");

  // A deletion on each side.
  SDavStatus gone = m_session.pClient->Delete(m_session.strBook + "wang.vcf", "");
  ASSERT_TRUE(gone.Ok()) << gone.strMessage;
  m_doc.RemoveBranch(Local("Łucja Wąsowska"));
  EXPECT_EQ(Sync(),
            "fetched 0, uploaded 0, deleted here 1, deleted there 1, merged 0, conflicts 0");
  const std::vector<std::string> left = {"Jiří Dvořák", "Jürgen Größ", "Řehoř Žďárský",
                                         "Ελένη Παπαδοπούλου"};
  EXPECT_EQ(LocalLabels(), left);
  EXPECT_EQ(ServerNames(), left);

  // Different properties changed on both sides merge; the same one changed two ways is a
  // conflict, left alone until a side is chosen.
  rehor = PhonePut("rehor.vcf", PhoneCard("phone-3", "Řehoř Žďárský", "Praha"), rehor);
  Local("Řehoř Žďárský")->m_strJobTitle = "Kantor";
  EXPECT_EQ(Sync(),
            "fetched 0, uploaded 1, deleted here 0, deleted there 0, merged 1, conflicts 0");
  EXPECT_EQ(Local("Řehoř Žďárský")->m_strRemark.view(), "Praha");
  EXPECT_EQ(Local("Řehoř Žďárský")->m_strJobTitle.view(), "Kantor");

  PhonePut("eleni.vcf", PhoneCard("phone-1", "Ελένη Παπαδοπούλου", "Θεσσαλονίκη"), eleni);
  Local("Ελένη Παπαδοπούλου")->m_strRemark = "Pireas";
  EXPECT_EQ(Sync(),
            "fetched 0, uploaded 0, deleted here 0, deleted there 0, merged 0, conflicts 1");
  EXPECT_EQ(Local("Ελένη Παπαδοπούλου")->m_strRemark.view(), "Pireas");
  EXPECT_EQ(Sync(EConflictPolicy::remote),
            "fetched 0, uploaded 0, deleted here 0, deleted there 0, merged 1, conflicts 0");
  EXPECT_EQ(Local("Ελένη Παπαδοπούλου")->m_strRemark.view(), "Θεσσαλονίκη");
  EXPECT_EQ(Sync(),
            "fetched 0, uploaded 0, deleted here 0, deleted there 0, merged 0, conflicts 0");
}

// A transport that lets the phone change a card just before the first PUT meant to overwrite
// it: the If-Match of that PUT is stale, and the server answers 412.
class CRacingTransport final : public IHttpTransport {
 public:
  CRacingTransport(IHttpTransport& inner, std::function<void()> race)
      : m_inner(inner), m_race(std::move(race)) {}
  SHttpOutcome Send(const SHttpRequest& request) override {
    if (request.method == "PUT" && m_race) std::exchange(m_race, nullptr)();
    return m_inner.Send(request);
  }

 private:
  IHttpTransport& m_inner;
  std::function<void()> m_race;
};

TEST_P(SyncEngineTest, MergesACardChangedThereDuringTheRunAndAsksBeforeAMassDeletion) {
  for (int i = 0; i < 6; ++i)
    PhonePut("karta-" + std::to_string(i) + ".vcf",
             PhoneCard("phone-" + std::to_string(i), "Zoë Łukasik " + std::to_string(i), ""));
  EXPECT_EQ(Sync(),
            "fetched 6, uploaded 3, deleted here 0, deleted there 0, merged 0, conflicts 0");

  // An edit here whose upload meets a change made there meanwhile: fetched again and merged,
  // both edits kept, never overwritten.
  Local("Zoë Łukasik 0")->m_strJobTitle = "Učitelka";
  CRacingTransport racing(*m_session.pTransport, [&] {
    std::vector<SRemoteEntry> entries;
    ASSERT_TRUE(m_session.pClient->ListMembers(m_session.strBook, entries).Ok());
    for (const SRemoteEntry& e : entries)
      if (e.href.ends_with("karta-0.vcf"))
        PhonePut("karta-0.vcf", PhoneCard("phone-0", "Zoë Łukasik 0", "Gdańsk"), e.etag);
  });
  CCardDavClient client(racing);
  client.SetServer(m_pServer->Url());
  EXPECT_EQ(Sync(EConflictPolicy::leave, false, &client),
            "fetched 0, uploaded 1, deleted here 0, deleted there 0, merged 1, conflicts 0");
  EXPECT_EQ(Local("Zoë Łukasik 0")->m_strRemark.view(), "Gdańsk");
  EXPECT_EQ(Local("Zoë Łukasik 0")->m_strJobTitle.view(), "Učitelka");
  EXPECT_EQ(Sync(),
            "fetched 0, uploaded 0, deleted here 0, deleted there 0, merged 0, conflicts 0");

  // Five of nine cards gone there: nothing happens until the deletion is allowed.
  for (int i = 1; i < 6; ++i)
    ASSERT_TRUE(
        m_session.pClient->Delete(m_session.strBook + "karta-" + std::to_string(i) + ".vcf", "")
            .Ok());
  EXPECT_EQ(Sync(),
            "mass deletion: fetched 0, uploaded 0, deleted here 0, deleted there 0, "
            "merged 0, conflicts 0");
  EXPECT_EQ(LocalLabels().size(), 9u);
  EXPECT_EQ(Sync(EConflictPolicy::leave, true),
            "fetched 0, uploaded 0, deleted here 5, deleted there 0, merged 0, conflicts 0");
  EXPECT_EQ(LocalLabels().size(), 4u);
  EXPECT_EQ(ServerNames(), LocalLabels());
}

INSTANTIATE_TEST_SUITE_P(Servers, SyncEngineTest,
                         ::testing::Values(EDavServer::Radicale, EDavServer::Xandikos),
                         [](const ::testing::TestParamInfo<EDavServer>& server) {
                           return server.param == EDavServer::Radicale ? "Radicale" : "Xandikos";
                         });

}  // namespace
}  // namespace zorvan::sync
