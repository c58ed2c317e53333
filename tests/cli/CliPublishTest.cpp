// The publish-calendar subcommand against a Radicale server started for the test on 127.0.0.1.
#include <gtest/gtest.h>

#include "CliRunner.h"
#include "FakeHost.h"
#include "store/TreeItem.h"
#include "store/ZorvanDoc.h"
#include "sync/DavServers.h"

using namespace zorvan;
using namespace zorvan::test;

namespace {

TEST(CliPublish, PublishesTheDerivedCalendarAndSaysWhyItCannot) {
  CDavServer server(EDavServer::Radicale);
  SDavSession session;
  ASSERT_TRUE(OpenSession(server, EDavServer::Radicale, session));
  std::string calendar;
  ASSERT_TRUE(MakeCalendar(server, EDavServer::Radicale, session, "svatky/", calendar));
  CTempDir dir;
  const std::string db = dir / "kontakty.zvd";
  {
    CFakeHost host;
    CZorvanDoc doc(host);
    ASSERT_TRUE(doc.OnNewDocument());
    for (const char* name : {"Anežka Šťastná", "Ζωή Παπαδάκη"}) {
      CTreeItem* r = doc.CreateRecord(doc.ContactsRoot());
      r->m_strLabel = name;
      r->m_bBirthday = r->m_dtBirthday.SetDate(1985, 7, 21);
    }
    ASSERT_TRUE(doc.OnSaveDocument(db));
  }
  WriteFile(dir / "heslo", std::string(CDavServer::kPassword) + "\n");
  WriteFile(dir / "spatne", "heslo\n");
  const std::string url = server.Url() + calendar, pw = dir / "heslo";
  const std::string user = CDavServer::kUser;
  const struct {
    const char* what;
    std::vector<std::string> words;
    int status;
    const char* out;
    const char* err;  // a part of standard error
  } steps[] = {
      {"no calendar named", {db, "--user", user}, 1, "", "--url"},
      {"no database named", {"--url", url, "--user", user}, 1, "", "give a database file"},
      {"the wrong password",
       {db, "--url", url, "--user", user, "--password-file", dir / "spatne"},
       2,
       "published 0, unchanged 0, withdrawn 0\n",
       "refused the user name or password"},
      {"the first run",
       {db, "--url", url, "--user", user, "--password-file", pw},
       0,
       "published 2, unchanged 0, withdrawn 0\n",
       ""},
      {"a later run",
       {db, "--url", url, "--user", user, "--password-file", pw},
       0,
       "published 0, unchanged 2, withdrawn 0\n",
       ""},
  };
  CCliRunner cli;
  for (const auto& s : steps) {
    SCOPED_TRACE(s.what);
    std::vector<std::string> words = s.words;
    words.insert(words.begin(), "publish-calendar");
    const SRun run = cli.Run(words);
    EXPECT_EQ(run.status, s.status) << run.err;
    EXPECT_EQ(run.out, s.out);
    EXPECT_NE(run.err.find(s.err), std::string::npos) << run.err;
  }
}

}  // namespace
