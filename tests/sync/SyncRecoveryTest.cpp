#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <utility>

#include "FakeHost.h"
#include "interchange/vcard/VCardBase64.h"
#include "store/TreeItem.h"
#include "store/ZorvanDoc.h"
#include "sync/BoundBookTest.h"
#include "sync/BoundContacts.h"
#include "sync/DavServers.h"
#include "sync/SyncEngine.h"

// A synchronisation that meets trouble on its way: a server that goes down in the middle and
// comes back, a card the server refuses, answers no server should give; and cards with photos,
// which are the large ones. Each against Radicale and Xandikos started for the test on
// 127.0.0.1, the wrong answers from the stub server.
namespace zorvan::sync {
namespace {

using test::CDavServer;
using test::EDavServer;

// A transport that calls its hook before the request it is given (by method, and by the end of
// its address when one is given), once, then sends the request on.
class CHookedTransport final : public IHttpTransport {
 public:
  CHookedTransport(IHttpTransport& inner, std::string method, int nth, std::function<void()> hook,
                   std::string urlEnd = {})
      : m_inner(inner),
        m_method(std::move(method)),
        m_nLeft(nth),
        m_hook(std::move(hook)),
        m_urlEnd(std::move(urlEnd)) {}
  SHttpOutcome Send(const SHttpRequest& request) override {
    m_methods.push_back(request.method);
    if (m_hook && (m_method.empty() || request.method == m_method) &&
        request.url.ends_with(m_urlEnd) && --m_nLeft == 0)
      std::exchange(m_hook, nullptr)();
    return m_inner.Send(request);
  }
  const std::vector<std::string>& Methods() const { return m_methods; }

 private:
  IHttpTransport& m_inner;
  std::string m_method;
  int m_nLeft;
  std::function<void()> m_hook;
  std::string m_urlEnd;
  std::vector<std::string> m_methods;
};

std::string PhoneCard(const std::string& uid, const std::string& name,
                      const std::string& more = {}) {
  return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + uid + "\r\nFN:" + name + "\r\nN:" + name +
         ";;;;\r\n" + more + "END:VCARD\r\n";
}

// About 50 KB a JPEG reader recognises by its start, the rest varied bytes.
std::string JpegBytes() {
  std::string bytes = "\xFF\xD8\xFF\xE0";
  for (unsigned i = 0; bytes.size() < 50000; ++i) bytes += static_cast<char>((i * 7919u) >> 5);
  return bytes + "\xFF\xD9";
}

// A line folded the way vCards are, 75 octets at most.
std::string Folded(const std::string& line) {
  std::string out;
  for (size_t at = 0; at < line.size(); at += 74) out += (at ? "\r\n " : "") + line.substr(at, 74);
  return out + "\r\n";
}

class SyncRecoveryTest : public CBoundBookTest {
 protected:
  SSyncOutcome Sync(CCardDavClient* client = nullptr,
                    EConflictPolicy conflicts = EConflictPolicy::leave) {
    SSyncOptions options;
    options.conflicts = conflicts;
    return Synchronize(m_doc, client ? *client : *m_session.pClient, m_binding, options);
  }
  CCardDavClient ClientOver(IHttpTransport& transport) {
    CCardDavClient client(transport);
    client.SetServer(m_pServer->Url());
    return client;
  }
};

// The server goes down before the second upload of the first run and comes back with what it
// stored: the run says it could not reach it and deletes nothing; the next run finishes the
// work without putting anything there twice. Down again before a later run's listing, the state
// stays exactly as it was.
TEST_P(SyncRecoveryTest, AServerDownInTheMiddleLosesNothingAndTheNextRunConverges) {
  PhonePut("eleni.vcf", PhoneCard("phone-1", "Ελένη Παπαδοπούλου"));
  PhonePut("wang.vcf", PhoneCard("phone-2", "王小明"));
  for (const char* name : {"Αθηνά Κωνσταντίνου", "李娜", "Řehoř Žďárský", "Jürgen Größ"})
    Add(*m_pGroup, name);
  const std::vector<std::string> all = {"Jürgen Größ",        "Řehoř Žďárský", "Αθηνά Κωνσταντίνου",
                                        "Ελένη Παπαδοπούλου", "李娜",          "王小明"};

  CHookedTransport stopping(*m_session.pTransport, "PUT", 2, [&] { m_pServer->Stop(); });
  CCardDavClient client = ClientOver(stopping);
  const SSyncOutcome cut = Sync(&client);
  EXPECT_EQ(cut.status.kind, EDavFailure::Unreachable) << cut.status.strMessage;
  EXPECT_EQ(CountsLine(cut.counts),
            "fetched 2, uploaded 1, deleted here 0, deleted there 0, merged 0, conflicts 0");
  EXPECT_EQ(LocalLabels(), all);
  EXPECT_TRUE(m_binding.syncToken.empty());

  ASSERT_TRUE(m_pServer->Start()) << m_pServer->Why();
  EXPECT_EQ(ServerNames().size(), 3u);
  const SSyncOutcome resumed = Sync();
  EXPECT_TRUE(resumed.status.Ok()) << resumed.status.strMessage;
  EXPECT_EQ(CountsLine(resumed.counts),
            "fetched 0, uploaded 3, deleted here 0, deleted there 0, merged 0, conflicts 0");
  EXPECT_EQ(LocalLabels(), all);
  EXPECT_EQ(ServerNames(), all);

  // Down before anything of a later run is asked: nothing moves, the token stays.
  m_doc.RemoveBranch(Local("李娜"));
  const SBinding before = m_binding;
  CHookedTransport down(*m_session.pTransport, "", 1, [&] { m_pServer->Stop(); });
  CCardDavClient downClient = ClientOver(down);
  EXPECT_EQ(Sync(&downClient).status.kind, EDavFailure::Unreachable);
  EXPECT_EQ(m_binding, before);
  ASSERT_TRUE(m_pServer->Start()) << m_pServer->Why();
  EXPECT_EQ(CountsLine(Sync().counts),
            "fetched 0, uploaded 0, deleted here 0, deleted there 1, merged 0, conflicts 0");
  EXPECT_EQ(ServerNames(), LocalLabels());
}

// A create that meets a card already under its name: its own, put by an earlier run whose answer
// was lost after the listing was taken, is merged with it (one card); a stranger's, of a UID
// that makes the same name ("sestra:1" and "sestra-1"), makes it go under a name of its own
// instead of being merged into it.
TEST_P(SyncRecoveryTest, ACreateMeetingACardUnderItsNameConverges) {
  for (const char* uid : {"sestra:1", "sestra-1", "eleni"}) {
    CTreeItem* contact = Add(*m_pGroup, uid[0] == 'e'   ? "Ελένη"
                                        : uid[6] == ':' ? "Σοφία"
                                                        : "Ιωάννα");
    contact->m_pExtras = std::make_unique<SRecordExtras>();
    contact->m_pExtras->uid = uid;
  }
  CHookedTransport earlier(
      *m_session.pTransport, "PUT", 1,
      [&] { PhonePut("eleni.vcf", BoundCard(*m_pGroup, *Local("Ελένη"))); }, "/eleni.vcf");
  CCardDavClient client = ClientOver(earlier);
  EXPECT_EQ(CountsLine(Sync(&client).counts),
            "fetched 0, uploaded 2, deleted here 0, deleted there 0, merged 1, conflicts 0");
  const std::vector<std::string> all = {"Ελένη", "Ιωάννα", "Σοφία"};
  EXPECT_EQ(ServerNames(), all);
  EXPECT_EQ(LocalLabels(), all);
  EXPECT_NE(m_binding.FindUid("sestra:1")->href, m_binding.FindUid("sestra-1")->href);
  EXPECT_EQ(CountsLine(Sync().counts),
            "fetched 0, uploaded 0, deleted here 0, deleted there 0, merged 0, conflicts 0");
}

INSTANTIATE_TEST_SUITE_P(Servers, SyncRecoveryTest,
                         ::testing::Values(EDavServer::Radicale, EDavServer::Xandikos),
                         [](const ::testing::TestParamInfo<EDavServer>& server) {
                           return server.param == EDavServer::Radicale ? "Radicale" : "Xandikos";
                         });

// Radicale refuses a card whose UID another card of the book has (409, no-uid-conflict);
// Xandikos takes it.
class SyncRefusalTest : public SyncRecoveryTest {};

// A card the server refuses stays here, unsynchronised, named in the outcome, while the others
// go there: here its UID is taken by a card a phone put there meanwhile under another name.
// The next run finds the phone's card and pairs the two.
TEST_P(SyncRefusalTest, ACardTheServerRefusesIsLeftOutAndTheOthersGoOn) {
  Add(*m_pGroup, "Zoë Łukasik");
  CTreeItem* taken = Add(*m_pGroup, "Dorota Kołodziej");
  taken->m_pExtras = std::make_unique<SRecordExtras>();
  taken->m_pExtras->uid = "kolize-1";
  Add(*m_pGroup, "王小明");
  CHookedTransport racing(
      *m_session.pTransport, "PUT", 1,
      [&] {
        PhonePut("telefon.vcf", PhoneCard("kolize-1", "Dorota Kołodziej", "NOTE:z mobilu\r\n"));
      },
      "/kolize-1.vcf");
  CCardDavClient client = ClientOver(racing);
  const SSyncOutcome first = Sync(&client);
  EXPECT_TRUE(first.status.Ok()) << first.status.strMessage;
  EXPECT_EQ(CountsLine(first.counts),
            "fetched 0, uploaded 2, deleted here 0, deleted there 0, merged 0, conflicts 0");
  ASSERT_EQ(first.refused.size(), 1u);
  EXPECT_EQ(first.refused[0].uid, "kolize-1");
  EXPECT_EQ(first.refused[0].label, "Dorota Kołodziej");
  EXPECT_NE(first.refused[0].reason.find("no-uid-conflict"), std::string::npos)
      << first.refused[0].reason;
  EXPECT_EQ(m_binding.FindUid("kolize-1"), nullptr);

  // Paired with no card agreed on before, the two differ in ways no side can be told to have
  // made: the server's side is chosen.
  const SSyncOutcome second = Sync(nullptr, EConflictPolicy::remote);
  EXPECT_TRUE(second.status.Ok() && second.refused.empty()) << second.status.strMessage;
  EXPECT_EQ(second.counts.merged, 1u) << CountsLine(second.counts);
  const std::vector<std::string> all = {"Dorota Kołodziej", "Zoë Łukasik", "王小明"};
  EXPECT_EQ(ServerNames(), all);
  EXPECT_EQ(LocalLabels(), all);
  EXPECT_EQ(Local("Dorota Kołodziej")->m_strRemark.view(), "z mobilu");
  EXPECT_EQ(CountsLine(Sync().counts),
            "fetched 0, uploaded 0, deleted here 0, deleted there 0, merged 0, conflicts 0");
}

// A server that keeps one card from being deleted (a card another account shares, say): a
// DELETE of the resource whose address ends so is answered 403 with DAV:need-privileges.
class CDeleteRefusingTransport final : public IHttpTransport {
 public:
  CDeleteRefusingTransport(IHttpTransport& inner, std::string urlEnd)
      : m_inner(inner), m_urlEnd(std::move(urlEnd)) {}
  SHttpOutcome Send(const SHttpRequest& request) override {
    if (request.method != "DELETE" || !request.url.ends_with(m_urlEnd))
      return m_inner.Send(request);
    SHttpOutcome refused;
    refused.response.nStatus = 403;
    refused.response.strContentType = "application/xml; charset=utf-8";
    refused.response.strBody =
        "<?xml version=\"1.0\"?><d:error xmlns:d=\"DAV:\"><d:need-privileges/></d:error>";
    refused.response.strUrl = request.url;
    return refused;
  }

 private:
  IHttpTransport& m_inner;
  std::string m_urlEnd;
};

// Contacts deleted here whose deletion the server refuses stay there and in the state, named
// in the outcome, and the other deletions go on; once the server lets the deletion in, the next
// run makes it.
TEST_P(SyncRefusalTest, ADeletionTheServerRefusesIsKeptForTheNextRun) {
  Add(*m_pGroup, "Agnieszka Wróbel");
  Add(*m_pGroup, "Βασίλης Οικονόμου");
  ASSERT_EQ(Sync().counts.uploaded, 2u);
  const std::string kept = Local("Agnieszka Wróbel")->m_pExtras->uid.str();
  const std::string keptHref = m_binding.FindUid(kept)->href;
  m_doc.RemoveBranch(Local("Agnieszka Wróbel"));
  m_doc.RemoveBranch(Local("Βασίλης Οικονόμου"));

  CDeleteRefusingTransport refusing(*m_session.pTransport, keptHref.substr(keptHref.rfind('/')));
  CCardDavClient client = ClientOver(refusing);
  const SSyncOutcome first = Sync(&client);
  EXPECT_TRUE(first.status.Ok()) << first.status.strMessage;
  EXPECT_EQ(first.counts.deletedThere, 1u);
  ASSERT_EQ(first.refused.size(), 1u);
  EXPECT_EQ(first.refused[0].uid, kept);
  EXPECT_EQ(first.refused[0].label, "Agnieszka Wróbel");
  EXPECT_EQ(ServerNames(), std::vector<std::string>{"Agnieszka Wróbel"});
  ASSERT_EQ(m_binding.contacts.size(), 1u);
  EXPECT_EQ(m_binding.contacts[0].uid, kept);
  EXPECT_TRUE(LocalLabels().empty());

  const SSyncOutcome second = Sync();
  EXPECT_TRUE(second.status.Ok() && second.refused.empty()) << second.status.strMessage;
  EXPECT_EQ(CountsLine(second.counts),
            "fetched 0, uploaded 0, deleted here 0, deleted there 1, merged 0, conflicts 0");
  EXPECT_TRUE(ServerNames().empty());
  EXPECT_TRUE(m_binding.contacts.empty());
}

INSTANTIATE_TEST_SUITE_P(Server, SyncRefusalTest, ::testing::Values(EDavServer::Radicale),
                         [](const ::testing::TestParamInfo<EDavServer>&) { return "Radicale"; });

// A photo comes here from a card of either version and goes back with the same bytes; one
// added here reaches the server; a card nobody changed is never written again.
TEST_P(SyncRecoveryTest, PhotosTravelBothWaysUnchanged) {
  const std::string jpeg = JpegBytes();
  std::string base64;
  AppendBase64(base64, jpeg);
  PhonePut("v3.vcf",
           PhoneCard("phone-3", "Řehoř Žďárský", Folded("PHOTO;ENCODING=b;TYPE=JPEG:" + base64)));
  const std::string v4 = "BEGIN:VCARD\r\nVERSION:4.0\r\nUID:phone-4\r\nFN:Ελένη Παπαδοπούλου\r\n" +
                         Folded("PHOTO:data:image/jpeg;base64," + base64) + "END:VCARD\r\n";
  // Radicale's vCard library cuts a 4.0 data: URI at its comma as it stores the card, so the
  // photo is gone on the server before any client reads it: there the 3.0 card alone.
  const bool v4Kept = GetParam() == EDavServer::Xandikos;
  const std::string v4Etag = v4Kept ? PhonePut("v4.vcf", v4) : std::string();
  CTreeItem* mine = Add(*m_pGroup, "王小明");
  mine->m_pExtras = std::make_unique<SRecordExtras>();
  mine->m_pExtras->photo = jpeg.substr(0, 20000);
  mine->m_pExtras->photoType = "image/jpeg";

  EXPECT_EQ(Sync().counts.fetched, v4Kept ? 2u : 1u);
  for (const char* name : {"Řehoř Žďárský", "Ελένη Παπαδοπούλου"}) {
    if (!v4Kept && std::string_view(name) != "Řehoř Žďárský") continue;
    ASSERT_TRUE(Local(name) && Local(name)->m_pExtras) << name;
    EXPECT_TRUE(Local(name)->m_pExtras->photo == jpeg) << name;
  }
  Local("Řehoř Žďárský")->m_strRemark = "Fotka z dovolené";
  EXPECT_EQ(CountsLine(Sync().counts),
            "fetched 0, uploaded 1, deleted here 0, deleted there 0, merged 0, conflicts 0");
  for (const SRemoteCard& card : ServerCards()) {
    const SForeignContact contact = ContactOfCard(card.vcard);
    const std::string_view name = contact.pRecord->m_strLabel.view();
    ASSERT_TRUE(contact.pRecord->m_pExtras) << name;
    EXPECT_TRUE(contact.pRecord->m_pExtras->photo ==
                (name == "王小明" ? jpeg.substr(0, 20000) : jpeg))
        << name;
    if (name == "Ελένη Παπαδοπούλου") {
      EXPECT_EQ(card.etag, v4Etag);  // never written again
    }
  }
  EXPECT_EQ(CountsLine(Sync().counts),
            "fetched 0, uploaded 0, deleted here 0, deleted there 0, merged 0, conflicts 0");
}

// A whole run over answers no server should give (a broken or cut multistatus, an HTML page
// with 200, redirects in a loop, a failing server): it fails of that kind, sends no write and
// leaves the contacts and the state as they were, however many cards the answer seemed to drop.
TEST(SyncRecoveryStubTest, WrongAnswersDeleteNothingAndLeaveTheState) {
  CDavServer stub(EDavServer::Stub);
  if (stub.Url().empty()) GTEST_FAIL() << stub.Why();
  struct SCase {
    const char* book;
    EDavFailure kind;
  };
  const SCase cases[] = {
      {"/malformed/", EDavFailure::DamagedAnswer}, {"/cut/", EDavFailure::DamagedAnswer},
      {"/html/", EDavFailure::DamagedAnswer},      {"/loop-a/", EDavFailure::RedirectLoop},
      {"/far-0/", EDavFailure::RedirectLoop},      {"/error/", EDavFailure::ServerError},
  };
  for (const auto& c : cases) {
    for (const char* token : {"", "http://radicale.org/ns/sync/1"}) {
      SCOPED_TRACE(std::string(c.book) + " token " + token);
      test::CFakeHost host;
      CZorvanDoc doc{host};
      ASSERT_TRUE(doc.OnNewDocument());
      CTreeItem* group = doc.CreateRecord(doc.ContactsRoot());
      group->m_bGroup = 1;
      for (const char* name : {"Jiří Dvořák", "Ελένη", "王小明"})
        doc.CreateRecord(group)->m_strLabel = name;
      SBinding binding;
      binding.groupUid = BindingUid(*group);
      binding.bookHref = c.book;
      binding.syncToken = token;
      for (const SBoundContact& b : BoundContacts(*group))
        binding.Agree({b.uid, std::string(c.book) + b.uid + ".vcf", "1", b.hash, b.card, false});
      const SBinding before = binding;
      CCurlTransport curl({});
      CHookedTransport recording(curl, "", 0, nullptr);
      CCardDavClient client(recording);
      client.SetServer(stub.Url());
      const SSyncOutcome outcome = Synchronize(doc, client, binding, {});
      EXPECT_EQ(outcome.status.kind, c.kind) << outcome.status.strMessage;
      EXPECT_EQ(binding, before);
      EXPECT_EQ(BoundContacts(*group).size(), 3u);
      for (const std::string& method : recording.Methods())
        EXPECT_TRUE(method == "REPORT" || method == "PROPFIND") << method;
    }
  }
}

}  // namespace
}  // namespace zorvan::sync
