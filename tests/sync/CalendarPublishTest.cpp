#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <map>

#include "FakeHost.h"
#include "store/TreeItem.h"
#include "store/ZorvanDoc.h"
#include "sync/CalendarPublish.h"
#include "sync/DavServers.h"

// The derived calendar published into a calendar of Radicale and of Xandikos, each started for
// the test on 127.0.0.1, beside an event someone else put there.
namespace zorvan::sync {
namespace {

using test::CDavServer;
using test::EDavServer;

constexpr std::time_t kStamp = 1796000000;  // 2026-11-29, UTC

const char kForeignEvent[] =
    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Telefon//CS\r\nBEGIN:VEVENT\r\n"
    "UID:schuzka-1\r\nDTSTAMP:20260101T000000Z\r\nDTSTART;VALUE=DATE:20261224\r\n"
    "SUMMARY:Štědrý večer u Dvořáků\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";

class CalendarPublishTest : public ::testing::TestWithParam<EDavServer> {
 protected:
  void SetUp() override {
    m_pServer = std::make_unique<CDavServer>(GetParam());
    ASSERT_TRUE(test::OpenSession(*m_pServer, GetParam(), m_session));
    ASSERT_TRUE(test::MakeCalendar(*m_pServer, GetParam(), m_session, "narozeniny/", m_strCal));
    const auto put = m_session.pClient->PutEvent(m_strCal + "schuzka-1.ics", kForeignEvent,
                                                 {"", true}, m_strForeignTag);
    ASSERT_TRUE(put.Ok()) << put.strMessage;
    ASSERT_TRUE(m_doc.OnNewDocument());
    CTreeItem* family = Add(*m_doc.ContactsRoot(), "Rodina");
    family->m_bGroup = 1;
    m_pJiri = Add(*family, "Jiří Dvořák", {1980, 3, 14}, {2026, 4, 24});
    m_pLucja = Add(*family, "Łucja Wąsowska", {1976, 2, 29}, {2026, 3, 2});
    Add(*m_doc.ContactsRoot(), "Jürgen Größ", {1990, 12, 1});
  }

  CTreeItem* Add(CTreeItem& parent, const char* label, std::array<int, 3> birthday = {},
                 std::array<int, 3> nameday = {}) {
    CTreeItem* r = m_doc.CreateRecord(&parent);
    r->m_strLabel = label;
    if (birthday[0])
      r->m_bBirthday = r->m_dtBirthday.SetDate(birthday[0], birthday[1], birthday[2]);
    if (nameday[0]) r->m_bNameDay = r->m_dtNameDay.SetDate(nameday[0], nameday[1], nameday[2]);
    return r;
  }

  std::string Publish(CCardDavClient* client = nullptr) {
    const SPublishOutcome outcome =
        PublishCalendar(m_doc, client ? *client : *m_session.pClient, m_pServer->Url() + m_strCal,
                        m_publication, {false, kStamp, {}});
    m_status = outcome.status;
    return PublishCountsLine(outcome.counts);
  }

  // The calendar's members and their tags.
  std::map<std::string, std::string> Listed() {
    std::vector<SRemoteEntry> entries;
    EXPECT_TRUE(m_session.pClient->ListMembers(m_strCal, entries).Ok());
    std::map<std::string, std::string> listed;
    for (const SRemoteEntry& e : entries) listed[e.href] = e.etag;
    return listed;
  }

  // The text the server holds at href.
  std::string Fetched(const std::string& href) {
    const auto got = m_session.pTransport->Send({"GET", m_pServer->Url() + href, {}, {}});
    EXPECT_EQ(got.response.nStatus, 200) << href;
    return got.response.strBody;
  }

  std::unique_ptr<CDavServer> m_pServer;
  test::SDavSession m_session;
  std::string m_strCal, m_strForeignTag;
  test::CFakeHost m_host;
  CZorvanDoc m_doc{m_host};
  CTreeItem* m_pJiri = nullptr;
  CTreeItem* m_pLucja = nullptr;
  SCalendarPublication m_publication;
  SDavStatus m_status;
};

TEST_P(CalendarPublishTest, SendsWhatChangedWithdrawsWhatWentAndLeavesOthersAlone) {
  // Three birthdays and two name days.
  EXPECT_EQ(Publish(), "published 5, unchanged 0, withdrawn 0");
  ASSERT_TRUE(m_status.Ok()) << m_status.strMessage << m_pServer->Log();
  ASSERT_EQ(m_publication.events.size(), 5u);
  std::map<std::string, std::string> listed = Listed();
  EXPECT_EQ(listed.size(), 6u);
  for (const SPublishedEvent& e : m_publication.events) {
    EXPECT_EQ(e.href, EventHref(m_strCal, e.uid));
    EXPECT_EQ(listed[e.href], e.etag) << e.href;
  }
  const std::string jiri = m_publication.events[0].href;
  EXPECT_NE(Fetched(jiri).find("SUMMARY:Birthday: Jiří Dvořák"), std::string::npos);

  EXPECT_EQ(Publish(), "published 0, unchanged 5, withdrawn 0");
  EXPECT_EQ(Listed(), listed);

  m_pJiri->m_dtBirthday.SetDate(1980, 3, 15);
  EXPECT_EQ(Publish(), "published 1, unchanged 4, withdrawn 0");
  EXPECT_NE(Fetched(jiri).find("DTSTART;VALUE=DATE:19800315"), std::string::npos);

  // An event the server lost is sent again.
  ASSERT_TRUE(m_session.pClient->Delete(jiri, "").Ok());
  EXPECT_EQ(Publish(), "published 1, unchanged 4, withdrawn 0");

  // A listing that failed (here: cancelled before it began) sends nothing, and withdraws
  // nothing for missing from it.
  m_doc.RemoveBranch(m_pLucja);
  const SCalendarPublication before = m_publication;
  const std::atomic<bool> cancelled{true};
  SConnectionOptions cancelling;
  cancelling.pCancel = &cancelled;
  CCurlTransport transport(cancelling);
  CCardDavClient client(transport);
  EXPECT_EQ(Publish(&client), "published 0, unchanged 0, withdrawn 0");
  EXPECT_EQ(m_status.kind, EDavFailure::Cancelled) << m_status.strMessage;
  EXPECT_EQ(m_publication, before);

  EXPECT_EQ(Publish(), "published 0, unchanged 3, withdrawn 2");
  ASSERT_TRUE(m_status.Ok()) << m_status.strMessage;
  EXPECT_EQ(m_publication.events.size(), 3u);
  listed = Listed();
  EXPECT_EQ(listed.size(), 4u);
  EXPECT_EQ(listed[m_strCal + "schuzka-1.ics"], m_strForeignTag);
  EXPECT_NE(Fetched(m_strCal + "schuzka-1.ics").find("Štědrý večer"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Servers, CalendarPublishTest,
                         ::testing::Values(EDavServer::Radicale, EDavServer::Xandikos),
                         [](const ::testing::TestParamInfo<EDavServer>& server) {
                           return server.param == EDavServer::Radicale ? "Radicale" : "Xandikos";
                         });

}  // namespace
}  // namespace zorvan::sync
