#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "sync/CardDavClient.h"
#include "sync/DavServers.h"

// The client against Radicale and Xandikos, each started for the test on 127.0.0.1.
namespace zorvan::sync {
namespace {

using test::CDavServer;
using test::EDavServer;

// Names that catch a text mangled on its way through the server.
const char* const kNames[] = {"Řehoř Žďárský", "Ελένη Παπαδοπούλου", "王小明", "Zoë Łukasik",
                              "Jürgen Weiß"};

std::string Card(const std::string& uid, const std::string& name) {
  return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + uid + "\r\nFN:" + name + "\r\nN:" + name +
         ";;;;\r\nEND:VCARD\r\n";
}

// The FN of a card's text, "" when it has none.
std::string FormattedName(const std::string& vcard) {
  const auto at = vcard.find("FN:");
  if (at == std::string::npos) return {};
  return vcard.substr(at + 3, vcard.find_first_of("\r\n", at) - at - 3);
}

class CardDavServerTest : public ::testing::TestWithParam<EDavServer> {
 protected:
  void SetUp() override {
    m_pServer = std::make_unique<CDavServer>(GetParam());
    test::SDavSession session;
    ASSERT_TRUE(test::OpenSession(*m_pServer, GetParam(), session));
    m_pTransport = std::move(session.pTransport);
    m_pClient = std::move(session.pClient);
    m_strBook = session.strBook;
  }

  std::string Href(int n) const { return m_strBook + "karta-" + std::to_string(n) + ".vcf"; }

  // Puts n cards as new ones; their tags by href.
  std::map<std::string, std::string> PutCards(int n) {
    std::map<std::string, std::string> tags;
    for (int i = 0; i < n; ++i) {
      std::string etag;
      const auto status = m_pClient->PutCard(
          Href(i), Card("uid-" + std::to_string(i), kNames[i % std::size(kNames)]), {"", true},
          etag);
      EXPECT_TRUE(status.Ok()) << status.strMessage;
      EXPECT_FALSE(etag.empty());
      tags[Href(i)] = etag;
    }
    return tags;
  }

  std::unique_ptr<CDavServer> m_pServer;
  std::unique_ptr<CCurlTransport> m_pTransport;
  std::unique_ptr<CCardDavClient> m_pClient;
  std::string m_strBook;
};

TEST_P(CardDavServerTest, DiscoversTheAddressBookFromThePlainAddressAndItsOwn) {
  std::vector<SDavCollection> books;
  const auto status = m_pClient->Discover(m_pServer->Url(), books);
  ASSERT_TRUE(status.Ok()) << status.strMessage;
  const auto found = std::find_if(books.begin(), books.end(),
                                  [&](const auto& book) { return book.strHref == m_strBook; });
  ASSERT_NE(found, books.end()) << m_pServer->Log();
  EXPECT_TRUE(found->bAddressBook);
  EXPECT_TRUE(found->bSyncCollection);
  ASSERT_TRUE(m_pClient->Discover(m_pServer->Url() + m_strBook, books).Ok());
  ASSERT_EQ(books.size(), 1u);
  EXPECT_EQ(books[0].strHref, m_strBook);
}

// A hundred cards in, listed and fetched back in batches, their text unchanged.
TEST_P(CardDavServerTest, ListsAndFetchesAHundredCardsWithTheirText) {
  const auto tags = PutCards(100);
  std::vector<SRemoteEntry> entries;
  ASSERT_TRUE(m_pClient->ListMembers(m_strBook, entries).Ok());
  std::map<std::string, std::string> listed;
  for (const auto& entry : entries) listed[entry.href] = entry.etag;
  EXPECT_EQ(listed, tags);
  std::vector<std::string> hrefs;
  for (const auto& [href, etag] : tags) hrefs.push_back(href);
  hrefs.push_back(m_strBook + "nikdy.vcf");
  SDavCards fetched;
  const auto status = m_pClient->Multiget(m_strBook, hrefs, fetched, 30);
  ASSERT_TRUE(status.Ok()) << status.strMessage;
  EXPECT_EQ(fetched.missing, std::vector<std::string>{m_strBook + "nikdy.vcf"});
  ASSERT_EQ(fetched.cards.size(), 100u);
  for (const auto& card : fetched.cards) {
    const int n = std::stoi(card.href.substr(card.href.rfind('-') + 1));
    EXPECT_EQ(FormattedName(card.vcard), kNames[n % std::size(kNames)]) << card.vcard;
    EXPECT_EQ(card.etag, tags.at(card.href));
  }
}

TEST_P(CardDavServerTest, SyncCollectionReportsChangesAndRemovals) {
  PutCards(3);
  SDavChanges all;
  ASSERT_TRUE(m_pClient->SyncCollection(m_strBook, "", all).Ok());
  EXPECT_EQ(all.changed.size(), 3u);
  ASSERT_FALSE(all.strToken.empty());
  SDavChanges none;
  ASSERT_TRUE(m_pClient->SyncCollection(m_strBook, all.strToken, none).Ok());
  EXPECT_TRUE(none.changed.empty() && none.removed.empty());

  std::string etag;
  const std::string oldTag = all.changed[0].href == Href(0)   ? all.changed[0].etag
                             : all.changed[1].href == Href(0) ? all.changed[1].etag
                                                              : all.changed[2].etag;
  ASSERT_TRUE(m_pClient->PutCard(Href(0), Card("uid-0", "Řehoř Nový"), {oldTag, false}, etag).Ok());
  SDavChanges later;
  ASSERT_TRUE(m_pClient->SyncCollection(m_strBook, all.strToken, later).Ok());
  EXPECT_EQ(later.changed, (std::vector<SRemoteEntry>{{Href(0), etag}}));
  ASSERT_TRUE(m_pClient->Delete(Href(1), "").Ok());
  SDavChanges removed;
  ASSERT_TRUE(m_pClient->SyncCollection(m_strBook, later.strToken, removed).Ok());
  EXPECT_TRUE(removed.changed.empty());
  EXPECT_EQ(removed.removed, std::vector<std::string>{Href(1)});
  // Xandikos fails on a token it never gave out (its tokens are commits of its store) with a
  // 500 that the client cannot tell from any other failure of the server.
  const auto stale = m_pClient->SyncCollection(m_strBook, "http://example.org/ns/sync/99", none);
  EXPECT_EQ(stale.kind, GetParam() == EDavServer::Radicale ? EDavFailure::TokenInvalid
                                                           : EDavFailure::ServerError)
      << stale.strMessage;
}

// Writes guarded by a tag fail on their own kind when the server's copy moved on.
TEST_P(CardDavServerTest, StaleTagsAndCreatingTwiceArePreconditionFailures) {
  std::string first;
  ASSERT_TRUE(m_pClient->PutCard(Href(0), Card("u", "Žofie"), {"", true}, first).Ok());
  std::string second;
  ASSERT_TRUE(m_pClient->PutCard(Href(0), Card("u", "Žofie Malá"), {first, false}, second).Ok());
  EXPECT_NE(first, second);
  std::string ignored;
  struct SCase {
    const char* name;
    SDavStatus status;
  };
  const SCase cases[] = {
      {"put on a stale tag", m_pClient->PutCard(Href(0), Card("u", "Ž"), {first, false}, ignored)},
      {"create an existing href", m_pClient->PutCard(Href(0), Card("u", "Ž"), {"", true}, ignored)},
      {"delete on a stale tag", m_pClient->Delete(Href(0), first)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.status.kind, EDavFailure::PreconditionFailed) << c.name << c.status.strMessage;
    EXPECT_NE(c.status.strMessage.find("changed on the server"), std::string::npos) << c.name;
  }
  std::string current;
  ASSERT_TRUE(m_pClient->FetchEtag(Href(0), current).Ok());
  EXPECT_EQ(current, second);
  EXPECT_TRUE(m_pClient->Delete(Href(0), second).Ok());
  std::vector<SRemoteEntry> entries;
  ASSERT_TRUE(m_pClient->ListMembers(m_strBook, entries).Ok());
  EXPECT_TRUE(entries.empty());
}

// The calendar is published through the same calls on an iCalendar resource.
TEST_P(CardDavServerTest, PublishesAndWithdrawsAnEvent) {
  std::string calendar = "/user/calendars/calendar/";
  if (GetParam() == EDavServer::Radicale) {
    calendar = std::string("/") + CDavServer::kUser + "/kalendar/";
    const auto made = m_pTransport->Send({"MKCOL",
                                          m_pServer->Url() + calendar,
                                          {{"Content-Type", "application/xml"}},
                                          MakeCollectionBody("Narozeniny", true)});
    ASSERT_EQ(made.response.nStatus, 201) << made.response.strBody;
  }
  const std::string event =
      "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Zorvan//test//CS\r\nBEGIN:VEVENT\r\n"
      "UID:narozeniny-1\r\nDTSTAMP:20260101T000000Z\r\nDTSTART;VALUE=DATE:20260314\r\n"
      "RRULE:FREQ=YEARLY\r\nSUMMARY:Narozeniny: Řehoř Žďárský\r\nEND:VEVENT\r\n"
      "END:VCALENDAR\r\n";
  std::string etag;
  const auto put = m_pClient->PutEvent(calendar + "narozeniny-1.ics", event, {"", true}, etag);
  ASSERT_TRUE(put.Ok()) << put.strMessage;
  std::vector<SRemoteEntry> entries;
  ASSERT_TRUE(m_pClient->ListMembers(calendar, entries).Ok());
  EXPECT_EQ(entries, (std::vector<SRemoteEntry>{{calendar + "narozeniny-1.ics", etag}}));
  ASSERT_TRUE(m_pClient->Delete(calendar + "narozeniny-1.ics", etag).Ok());
  ASSERT_TRUE(m_pClient->ListMembers(calendar, entries).Ok());
  EXPECT_TRUE(entries.empty());
}

INSTANTIATE_TEST_SUITE_P(Servers, CardDavServerTest,
                         ::testing::Values(EDavServer::Radicale, EDavServer::Xandikos),
                         [](const ::testing::TestParamInfo<EDavServer>& server) {
                           return server.param == EDavServer::Radicale ? "Radicale" : "Xandikos";
                         });

}  // namespace
}  // namespace zorvan::sync
