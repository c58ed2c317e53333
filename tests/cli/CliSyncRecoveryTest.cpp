// The sync subcommand when its run is cut short or refused: killed in the middle, a server
// that is down, a card too large for the server, a self-signed certificate. Against Radicale
// started for the test on 127.0.0.1.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <thread>

#include "CliRunner.h"
#include "sync/BoundContacts.h"
#include "sync/DavServers.h"

using namespace zorvan;
using namespace zorvan::test;

namespace {

// Czech, Greek and Chinese names, numbered.
std::string Name(int n) {
  static const char* const kNames[] = {"Řehoř Žďárský", "Ελένη Παπαδοπούλου", "王小明"};
  return std::string(kNames[n % 3]) + " " + std::to_string(n);
}

// A vCard file of contacts 0..count-1 with no UID, as another address book exports them.
void WriteCards(const std::string& path, int count, const std::string& note = {}) {
  std::string text;
  for (int n = 0; n < count; ++n)
    text += "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:" + Name(n) + "\r\n" +
            (note.empty() || n ? "" : "NOTE:" + note + "\r\n") + "END:VCARD\r\n";
  WriteFile(path, text);
}

class CliSyncRecovery : public testing::Test {
 protected:
  void Open(SServerOptions options = {}) {
    m_pServer = std::make_unique<CDavServer>(EDavServer::Radicale, options);
    ASSERT_TRUE(OpenSession(*m_pServer, EDavServer::Radicale, m_session));
    WriteFile(m_dir / "heslo", std::string(CDavServer::kPassword) + "\n");
  }

  std::vector<std::string> Words(const std::string& db, std::vector<std::string> more = {}) const {
    std::vector<std::string> words = {"sync",
                                      db,
                                      "--url",
                                      m_pServer->Url(),
                                      "--user",
                                      CDavServer::kUser,
                                      "--password-file",
                                      m_dir / "heslo",
                                      "--group",
                                      "Rodina"};
    words.insert(words.end(), more.begin(), more.end());
    return words;
  }

  // The FNs of the server's cards, each with how many cards have it.
  std::map<std::string, int> ServerNames() {
    std::vector<sync::SRemoteEntry> entries;
    EXPECT_TRUE(m_session.pClient->ListMembers(m_session.strBook, entries).Ok());
    std::vector<std::string> hrefs;
    for (const auto& e : entries) hrefs.push_back(e.href);
    sync::SDavCards cards;
    EXPECT_TRUE(m_session.pClient->Multiget(m_session.strBook, hrefs, cards).Ok());
    std::map<std::string, int> names;
    for (const auto& card : cards.cards)
      ++names[std::string(sync::ContactOfCard(card.vcard).pRecord->m_strLabel.view())];
    return names;
  }
  size_t ServerCount() {
    std::vector<sync::SRemoteEntry> entries;
    return m_session.pClient->ListMembers(m_session.strBook, entries).Ok() ? entries.size() : 0;
  }

  // zorvan-cli with words, killed with SIGKILL as soon as stop() holds (checked every 10 ms).
  // False when it ended first.
  bool KillWhen(const std::vector<std::string>& words, const std::function<bool()>& stop) {
    std::vector<std::string> env = {"HOME=" + m_cli.Home().Path(), "PATH=/usr/bin:/bin",
                                    "LC_ALL=C.UTF-8"};
    std::vector<char*> argv{const_cast<char*>(ZORVAN_CLI)}, envp;
    for (const std::string& w : words) argv.push_back(const_cast<char*>(w.c_str()));
    argv.push_back(nullptr);
    for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const bool spawned =
        posix_spawn(&pid, ZORVAN_CLI, &actions, nullptr, argv.data(), envp.data()) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (!spawned) return false;
    int status = 0;
    for (int waited = 0; ::waitpid(pid, &status, WNOHANG) == 0; ++waited) {
      if (stop() || waited > 6000) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        return true;
      }
      ::usleep(10000);
    }
    return false;
  }

  // How many lines of `show` name n's contact.
  int LocalCount(const std::string& db, int n) const {
    const SRun shown = m_cli.Run({"show", db});
    int count = 0;
    for (size_t at = 0; (at = shown.out.find(Name(n) + "\n", at)) != std::string::npos; ++at)
      count += at == 0 || shown.out[at - 1] == ' ';
    return count;
  }

  std::unique_ptr<CDavServer> m_pServer;
  SDavSession m_session;
  CTempDir m_dir;
  CCliRunner m_cli;
};

// Killed while it uploads 200 new contacts (the database not saved, the server holding some of
// them), then run again: every contact once on each side. The UIDs the first run gave the
// contacts were saved before any card left, so the cards already there are known as theirs.
TEST_F(CliSyncRecovery, KilledWhileUploadingResumesWithoutDuplicates) {
  Open();
  const std::string db = m_dir / "kontakty.zvd";
  WriteCards(m_dir / "Rodina.vcf", 200);
  ASSERT_EQ(m_cli.Run({"import", "--from-other", m_dir / "Rodina.vcf", db}).status, 0);
  ASSERT_TRUE(KillWhen(Words(db), [&] { return ServerCount() >= 30; }));
  const size_t there = ServerCount();
  EXPECT_GE(there, 30u);
  EXPECT_LT(there, 200u) << "killed too late to tell";

  const SRun resumed = m_cli.Run(Words(db));
  EXPECT_EQ(resumed.status, 0) << resumed.err;
  const std::map<std::string, int> names = ServerNames();
  EXPECT_EQ(names.size(), 200u);
  for (int n = 0; n < 200; ++n) EXPECT_EQ(names.count(Name(n)) ? names.at(Name(n)) : 0, 1) << n;
  for (int n : {0, 1, 2, 100, 199}) EXPECT_EQ(LocalCount(db, n), 1) << Name(n);
  const SRun again = m_cli.Run(Words(db));
  EXPECT_TRUE(again.out.starts_with("fetched 0, uploaded 0, deleted here 0, deleted there 0"))
      << again.out << again.err;
}

// Killed at different moments of its first download of 200 cards, then run again: each card
// comes here once, and nothing goes back.
TEST_F(CliSyncRecovery, KilledWhileDownloadingResumesWithoutDuplicates) {
  Open();
  for (int n = 0; n < 200; ++n) {
    std::string etag;
    const std::string uid = "telefon-" + std::to_string(n);
    ASSERT_TRUE(m_session.pClient
                    ->PutCard(m_session.strBook + uid + ".vcf",
                              "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + uid + "\r\nFN:" + Name(n) +
                                  "\r\nEND:VCARD\r\n",
                              {"", true}, etag)
                    .Ok());
  }
  for (int delayMs : {0, 60, 200, 500}) {
    SCOPED_TRACE(delayMs);
    const std::string db = m_dir / ("kontakty-" + std::to_string(delayMs) + ".zvd");
    const auto lock = m_dir / ("." + std::filesystem::path(db).filename().string() + ".lock");
    std::chrono::steady_clock::time_point locked{};
    KillWhen(Words(db), [&] {
      if (locked == std::chrono::steady_clock::time_point{} && std::filesystem::exists(lock))
        locked = std::chrono::steady_clock::now();
      return locked != std::chrono::steady_clock::time_point{} &&
             std::chrono::steady_clock::now() - locked >= std::chrono::milliseconds(delayMs);
    });
    const SRun resumed = m_cli.Run(Words(db));
    EXPECT_EQ(resumed.status, 0) << resumed.err;
    EXPECT_TRUE(resumed.out.find("uploaded 0, deleted here 0, deleted there 0") !=
                std::string::npos)
        << resumed.out;
    for (int n : {0, 1, 2, 99, 100, 199}) EXPECT_EQ(LocalCount(db, n), 1) << Name(n);
  }
  EXPECT_EQ(ServerCount(), 200u);
}

// A server that is down fails the run with status 2 and keeps the database as it was; back up,
// the next run does what was left. A card larger than the server takes stays here, named with
// the server's reason and status 2, while the others go; the next run tries it again.
TEST_F(CliSyncRecovery, ADownServerAndARefusedCardFailWithTheirReasons) {
  Open({.nMaxContentLength = 6000});
  const std::string db = m_dir / "kontakty.zvd";
  std::string note;
  for (int i = 0; i < 500; ++i) note += "Dlouhá poznámka ";
  WriteCards(m_dir / "Rodina.vcf", 3, note);
  ASSERT_EQ(m_cli.Run({"import", "--from-other", m_dir / "Rodina.vcf", db}).status, 0);

  m_pServer->Stop();
  const SRun down = m_cli.Run(Words(db));
  EXPECT_EQ(down.status, 2);
  EXPECT_NE(down.err.find("could not be reached"), std::string::npos) << down.err;
  ASSERT_TRUE(m_pServer->Start()) << m_pServer->Why();

  for (const char* run : {"first", "second"}) {
    SCOPED_TRACE(run);
    const SRun refused = m_cli.Run(Words(db));
    EXPECT_EQ(refused.status, 2) << refused.err;
    EXPECT_NE(refused.err.find(Name(0) + " stays unsynchronised"), std::string::npos)
        << refused.err;
    EXPECT_NE(refused.err.find("HTTP 413"), std::string::npos) << refused.err;
    EXPECT_EQ(ServerNames(), (std::map<std::string, int>{{Name(1), 1}, {Name(2), 1}}));
  }
  EXPECT_EQ(LocalCount(db, 0), 1);
}

// A self-signed certificate through the whole command: refused without a pin and with another
// key's pin, synchronised with its own.
TEST_F(CliSyncRecovery, ASelfSignedServerNeedsItsPin) {
  Open({.bTls = true});
  std::string etag;
  ASSERT_TRUE(m_session.pClient
                  ->PutCard(m_session.strBook + "a.vcf",
                            "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:a\r\nFN:Ελένη\r\nEND:VCARD\r\n",
                            {"", true}, etag)
                  .Ok());
  const std::string db = m_dir / "kontakty.zvd";
  const struct {
    const char* what;
    std::vector<std::string> pin;
    int status;
    const char* out;
    const char* err;
  } cases[] = {
      {"no pin", {}, 2, "", "certificate is not trusted"},
      {"another key's pin",
       {"--pin", "sha256//47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU="},
       2,
       "",
       "certificate is not trusted"},
      {"its own pin", {"--pin", m_pServer->Pin()}, 0, "fetched 1, uploaded 0", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const SRun run = m_cli.Run(Words(db, c.pin));
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_TRUE(run.out.starts_with(c.out)) << run.out;
    EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
  }
  EXPECT_NE(m_cli.Run({"show", db}).out.find("Ελένη"), std::string::npos);
}

}  // namespace
