#include <gtest/gtest.h>

#include "sync/CardDavClient.h"
#include "sync/DavServers.h"

// The ways talking to a server goes wrong, each reported as its own kind and never as a
// shorter list: a stub server answering wrongly on purpose, Radicale refusing a password, and
// Radicale behind a self-signed certificate.
namespace zorvan::sync {
namespace {

using test::CDavServer;
using test::EDavServer;

TEST(DavFailureTest, WrongAnswersAreFailuresOfTheirKind) {
  CDavServer stub(EDavServer::Stub);
  if (stub.Url().empty()) GTEST_FAIL() << stub.Why();
  CCurlTransport transport({});
  CCardDavClient client(transport);
  std::vector<SDavCollection> books;
  client.Discover(stub.Url() + "/good/", books);  // sets the server the hrefs are on
  struct SCase {
    const char* path;
    EDavFailure kind;
    const char* words;  // in the message
  };
  const SCase cases[] = {
      {"/good/", EDavFailure::None, ""},
      {"/moved/", EDavFailure::None, ""},   // PROPFIND and its body kept on the redirect
      {"/near-0/", EDavFailure::None, ""},  // five redirects, the last to /good/
      {"/far-0/", EDavFailure::RedirectLoop, "redirects in a loop"},
      {"/loop-a/", EDavFailure::RedirectLoop, "/loop-a/"},
      {"/malformed/", EDavFailure::DamagedAnswer, "mismatched tag"},
      {"/cut/", EDavFailure::DamagedAnswer, "damaged or incomplete"},
      {"/html/", EDavFailure::DamagedAnswer, "HTTP 200 instead of a multistatus"},
      {"/error/", EDavFailure::ServerError, "database is locked"},
      {"/nothing/", EDavFailure::NotFound, "/nothing/"},
  };
  for (const auto& c : cases) {
    std::vector<SRemoteEntry> entries{{"/stale.vcf", "1"}};
    const SDavStatus status = client.ListMembers(c.path, entries);
    EXPECT_EQ(status.kind, c.kind) << c.path << ": " << status.strMessage;
    EXPECT_NE(status.strMessage.find(c.words), std::string::npos) << status.strMessage;
    EXPECT_EQ(entries.size(), status.Ok() ? 2u : 0u) << c.path;
  }
  // A card refused for what it is, whatever the status it comes with, is told apart from a card
  // changed meanwhile and from an address book that is gone.
  const SCase puts[] = {
      {"/rejected/a.vcf", EDavFailure::Rejected, "HTTP 415"},
      {"/rejected/a.vcf", EDavFailure::Rejected, "není podporována"},
      {"/refused/a.vcf", EDavFailure::Rejected, "valid-address-data"},
      {"/stale/a.vcf", EDavFailure::PreconditionFailed, "changed on the server"},
      {"/gone/a.vcf", EDavFailure::NotFound, "HTTP 409"},
  };
  for (const auto& c : puts) {
    std::string etag;
    const auto put = client.PutCard(c.path, "BEGIN:VCARD\r\n", {}, etag);
    EXPECT_EQ(put.kind, c.kind) << c.path << ": " << put.strMessage;
    EXPECT_NE(put.strMessage.find(c.words), std::string::npos) << put.strMessage;
  }
}

TEST(DavFailureTest, UnreachableCancelledAndOversizedRequestsSaySo) {
  std::atomic<bool> cancel{true};
  CDavServer stub(EDavServer::Stub);
  if (stub.Url().empty()) GTEST_FAIL() << stub.Why();
  SConnectionOptions options;
  options.pCancel = &cancel;
  CCurlTransport cancelled(options);
  std::vector<SDavCollection> books;
  EXPECT_EQ(CCardDavClient(cancelled).Discover(stub.Url(), books).kind, EDavFailure::Cancelled);
  CCurlTransport transport({});
  const auto status = CCardDavClient(transport).Discover(
      "http://127.0.0.1:" + std::to_string(test::FreePort()), books);
  EXPECT_EQ(status.kind, EDavFailure::Unreachable);
  EXPECT_NE(status.strMessage.find("could not be reached"), std::string::npos);
  // The listing of /good/ is some 400 bytes.
  SConnectionOptions small;
  small.nMaxBodyBytes = 300;
  CCurlTransport capped(small);
  CCardDavClient client(capped);
  client.Discover(stub.Url() + "/good/", books);
  std::vector<SRemoteEntry> entries;
  const auto oversized = client.ListMembers("/good/", entries);
  EXPECT_EQ(oversized.kind, EDavFailure::DamagedAnswer);
  EXPECT_NE(oversized.strMessage.find("too large"), std::string::npos) << oversized.strMessage;
}

TEST(DavFailureTest, RadicaleRefusesAWrongPassword) {
  CDavServer radicale(EDavServer::Radicale);
  if (radicale.Url().empty()) GTEST_FAIL() << radicale.Why();
  struct SCase {
    const char* password;
    EDavFailure kind;
  };
  for (const SCase c : {SCase{CDavServer::kPassword, EDavFailure::None},
                        SCase{"heslo-Zlutoucky", EDavFailure::Unauthorized}}) {
    SConnectionOptions options;
    options.strUser = CDavServer::kUser;
    options.strPassword = c.password;
    CCurlTransport transport(options);
    std::vector<SDavCollection> books;
    const auto status = CCardDavClient(transport).Discover(radicale.Url(), books);
    EXPECT_EQ(status.kind, c.kind) << c.password << ": " << status.strMessage;
    if (!status.Ok()) {
      EXPECT_NE(status.strMessage.find("refused the user name or password"), std::string::npos);
      EXPECT_EQ(status.strMessage.find(c.password), std::string::npos);
    }
  }
}

// A self-signed certificate is trusted only through the pin of its key.
TEST(DavFailureTest, SelfSignedCertificateNeedsTheRightPin) {
  CDavServer radicale(EDavServer::Radicale, {.bTls = true});
  if (radicale.Url().empty()) GTEST_FAIL() << radicale.Why();
  struct SCase {
    const char* name;
    std::string pin;
    EDavFailure kind;
  };
  const SCase cases[] = {
      {"no pin", "", EDavFailure::Untrusted},
      {"the key's pin", radicale.Pin(), EDavFailure::None},
      {"another key's pin",
       "sha256//47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU=", EDavFailure::Untrusted},
  };
  for (const auto& c : cases) {
    SConnectionOptions options;
    options.strUser = CDavServer::kUser;
    options.strPassword = CDavServer::kPassword;
    options.strPinnedKey = c.pin;
    CCurlTransport transport(options);
    std::vector<SDavCollection> books;
    const auto status = CCardDavClient(transport).Discover(radicale.Url(), books);
    EXPECT_EQ(status.kind, c.kind) << c.name << ": " << status.strMessage;
  }
}

}  // namespace
}  // namespace zorvan::sync
