#include "BoundBookTest.h"

// A card's UID names one contact on both sides: a card that a phone wrote anew under another
// name stays that contact, and two cards of one UID on a server that let them in stay two.
namespace zorvan::sync {
namespace {

using CSyncIdentityTest = CBoundBookTest;

constexpr std::string_view kNone =
    "fetched 0, uploaded 0, deleted here 0, deleted there 0, merged 0, conflicts 0";

TEST_P(CSyncIdentityTest, ACardWrittenAnewUnderAnotherNameStaysItsContact) {
  const std::string etag = PhonePut("marek.vcf", CardWithNote("marek-1", "Marek Wójcik", "Kraków"));
  SSyncOutcome run = Synchronize(m_doc, *m_session.pClient, m_binding, {});
  ASSERT_TRUE(run.status.Ok()) << run.status.strMessage;
  ASSERT_EQ(run.counts.fetched, 1u);

  ASSERT_TRUE(m_session.pClient->Delete(m_session.strBook + "marek.vcf", etag).Ok());
  PhonePut("novy-marek.vcf", CardWithNote("marek-1", "Marek Wójcik", "Gdańsk\\, ulice Długa"));
  run = Synchronize(m_doc, *m_session.pClient, m_binding, {});
  ASSERT_TRUE(run.status.Ok()) << run.status.strMessage;
  EXPECT_EQ(CountsLine(run.counts),
            "fetched 1, uploaded 0, deleted here 0, deleted there 0, merged 0, conflicts 0");
  ASSERT_EQ(LocalLabels(), std::vector<std::string>{"Marek Wójcik"});
  CTreeItem* marek = Local("Marek Wójcik");
  EXPECT_EQ(marek->m_strRemark.view(), "Gdańsk, ulice Długa");
  EXPECT_EQ(marek->m_pExtras->uid, "marek-1");
  ASSERT_EQ(m_binding.contacts.size(), 1u);
  EXPECT_TRUE(m_binding.contacts[0].href.ends_with("novy-marek.vcf"));

  // An edit here goes to the new name; the server keeps one card.
  marek->m_strCompany = "Politechnika Gdańska";
  run = Synchronize(m_doc, *m_session.pClient, m_binding, {});
  EXPECT_EQ(run.counts.uploaded, 1u);
  EXPECT_EQ(ServerNames(), std::vector<std::string>{"Marek Wójcik"});
  EXPECT_EQ(CountsLine(Synchronize(m_doc, *m_session.pClient, m_binding, {}).counts), kNone);
}

TEST_P(CSyncIdentityTest, TwoCardsOfOneUidOnTheServerAreTwoContactsForGood) {
  ASSERT_TRUE(m_pServer->PlaceCard("zofia.vcf", CardWithNote("zofia", "Zofia Nowak", "Łódź")));
  ASSERT_TRUE(
      m_pServer->PlaceCard("zofia-2.vcf", CardWithNote("zofia", "Zofia Nowakowa", "Poznań")));
  const std::vector<std::string> both{"Zofia Nowak", "Zofia Nowakowa"};
  for (int run = 0; run < 3; ++run) {
    SCOPED_TRACE(run);
    // A forgotten token makes every run list the whole book, as a server without tokens does.
    m_binding.syncToken.clear();
    const SSyncOutcome outcome = Synchronize(m_doc, *m_session.pClient, m_binding, {});
    ASSERT_TRUE(outcome.status.Ok()) << outcome.status.strMessage;
    EXPECT_EQ(outcome.counts.fetched, run == 0 ? 2u : 0u);
    EXPECT_EQ(outcome.counts.uploaded, 0u);
    EXPECT_EQ(LocalLabels(), both);
    EXPECT_EQ(m_binding.contacts.size(), 2u);
  }
  EXPECT_NE(Local("Zofia Nowak")->m_pExtras->uid, Local("Zofia Nowakowa")->m_pExtras->uid);
  EXPECT_EQ(ServerNames(), both);
}

INSTANTIATE_TEST_SUITE_P(Servers, CSyncIdentityTest,
                         ::testing::Values(test::EDavServer::Radicale, test::EDavServer::Xandikos),
                         [](const ::testing::TestParamInfo<test::EDavServer>& server) {
                           return server.param == test::EDavServer::Radicale ? "Radicale"
                                                                             : "Xandikos";
                         });

}  // namespace
}  // namespace zorvan::sync
