// The sync subcommand against a Radicale server started for the test on 127.0.0.1.
#include <gtest/gtest.h>

#include "CliRunner.h"
#include "sync/DavServers.h"
#include "sync/DavXml.h"

using namespace zorvan;
using namespace zorvan::test;

namespace {

class CliSync : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(OpenSession(m_server, EDavServer::Radicale, m_session));
    for (const char* name : {"Řehoř Žďárský", "王小明"}) {
      std::string etag;
      const std::string uid = "phone-" + std::to_string(++m_nCards);
      const auto put =
          m_session.pClient->PutCard(m_session.strBook + uid + ".vcf",
                                     "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + uid +
                                         "\r\nFN:" + std::string(name) + "\r\nEND:VCARD\r\n",
                                     {"", true}, etag);
      ASSERT_TRUE(put.Ok()) << put.strMessage;
    }
    WriteFile(m_dir / "heslo", std::string(CDavServer::kPassword) + "\n");
    WriteFile(m_dir / "spatne", "heslo\n");
  }

  SRun Sync(std::vector<std::string> words) const {
    words.insert(words.begin(), {"sync", m_dir / "kontakty.zvd"});
    return m_cli.Run(words);
  }

  CDavServer m_server{EDavServer::Radicale};
  SDavSession m_session;
  int m_nCards = 0;
  CTempDir m_dir;
  CCliRunner m_cli;
};

TEST_F(CliSync, BindsOnTheFirstRunAndSynchronisesWithTheStoredBindingLater) {
  const std::string pw = m_dir / "heslo";
  const std::string url = m_server.Url();
  const struct {
    const char* what;
    std::vector<std::string> words;
    int status;
    const char* out;  // the start of standard output
    const char* err;  // a part of standard error
  } steps[] = {
      {"nothing bound yet", {"--password-file", pw}, 1, "", "give --url and --user"},
      {"the wrong password",
       {"--url", url, "--user", CDavServer::kUser, "--password-file", m_dir / "spatne"},
       2,
       "",
       "refused the user name or password"},
      {"the first run binds Rodina/Telefon",
       {"--url", url, "--user", CDavServer::kUser, "--password-file", pw, "--group",
        "Rodina/Telefon"},
       0,
       "fetched 2, uploaded 0, deleted here 0, deleted there 0, merged 0, conflicts 0\n",
       ""},
      {"a later run",
       {"--password-file", pw},
       0,
       "fetched 0, uploaded 0, deleted here 0, deleted there 0, merged 0, conflicts 0\n",
       ""},
      {"a bad choice of conflicts", {"--conflicts", "both"}, 1, "", "local or remote"},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.what);
    const SRun run = Sync(s.words);
    EXPECT_EQ(run.status, s.status) << run.err;
    EXPECT_TRUE(run.out.starts_with(s.out)) << run.out;
    EXPECT_NE(run.err.find(s.err), std::string::npos) << run.err;
  }
  const SRun shown = m_cli.Run({"show", m_dir / "kontakty.zvd"});
  EXPECT_NE(shown.out.find("Telefon"), std::string::npos) << shown.out;
  EXPECT_NE(shown.out.find("Řehoř Žďárský"), std::string::npos) << shown.out;
  EXPECT_NE(shown.out.find("王小明"), std::string::npos) << shown.out;
}

TEST_F(CliSync, ListsTheAddressBooksWhenTheServerHasSeveralAndBindsNone) {
  const auto made =
      m_session.pTransport->Send({"MKCOL",
                                  m_server.Url() + "/" + CDavServer::kUser + "/prace/",
                                  {{"Content-Type", "application/xml"}},
                                  sync::MakeCollectionBody("Práce", false)});
  ASSERT_EQ(made.response.nStatus, 201) << made.response.strBody;
  const std::string pw = m_dir / "heslo";
  const SRun listed =
      Sync({"--url", m_server.Url(), "--user", CDavServer::kUser, "--password-file", pw});
  EXPECT_EQ(listed.status, 1) << listed.err;
  EXPECT_NE(listed.out.find("Kontakty"), std::string::npos) << listed.out;
  EXPECT_NE(listed.out.find("Práce"), std::string::npos) << listed.out;
  EXPECT_FALSE(std::filesystem::exists(m_dir / "kontakty.zvd"));
  const SRun chosen = Sync({"--url", m_server.Url(), "--user", CDavServer::kUser, "--password-file",
                            pw, "--addressbook", "Práce"});
  EXPECT_EQ(chosen.status, 0) << chosen.err;
  EXPECT_TRUE(chosen.out.starts_with("fetched 0, uploaded 0")) << chosen.out;
}

// The pin given when binding a server with a self-signed certificate is kept with the binding:
// a later run without --pin still trusts that server, and --pin given again overrides it.
TEST(CliSyncPin, KeepsThePinOfASelfSignedServerWithTheBinding) {
  CDavServer radicale(EDavServer::Radicale, {.bTls = true});
  ASSERT_FALSE(radicale.Url().empty()) << radicale.Why();
  sync::SConnectionOptions options;
  options.strUser = CDavServer::kUser;
  options.strPassword = CDavServer::kPassword;
  options.strPinnedKey = radicale.Pin();
  sync::CCurlTransport transport(options);
  std::vector<sync::SDavCollection> books;
  ASSERT_TRUE(sync::CCardDavClient(transport).Discover(radicale.Url(), books).Ok());
  ASSERT_EQ(transport
                .Send({"MKCOL",
                       radicale.Url() + radicale.AddressBook(),
                       {{"Content-Type", "application/xml"}},
                       sync::MakeCollectionBody("Kontakty Łódź", false)})
                .response.nStatus,
            201);
  CTempDir dir;
  WriteFile(dir / "heslo", std::string(CDavServer::kPassword) + "\n");
  const std::string db = dir / "kontakty.zvd";
  const std::string pw = dir / "heslo";
  const std::string otherPin = "sha256//47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU=";
  const struct {
    const char* what;
    std::vector<std::string> words;
    int status;
  } steps[] = {
      {"binding with the pin",
       {"--url", radicale.Url(), "--user", CDavServer::kUser, "--pin", radicale.Pin()},
       0},
      {"a later run without --pin", {}, 0},
      {"another pin given", {"--pin", otherPin}, 2},
  };
  CCliRunner cli;
  for (const auto& step : steps) {
    SCOPED_TRACE(step.what);
    std::vector<std::string> words{"sync", db, "--password-file", pw};
    words.insert(words.end(), step.words.begin(), step.words.end());
    const SRun run = cli.Run(words);
    EXPECT_EQ(run.status, step.status) << run.err;
  }
}

}  // namespace
