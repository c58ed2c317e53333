#pragma once

#include <sys/types.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "sync/CardDavClient.h"

// Real DAV servers for the transport's tests, started by the test on 127.0.0.1 only, each in
// a temporary folder of its own and in a process group of its own that is killed at the end.
namespace zorvan::test {

// A program the test started; its whole process group is stopped with the object.
class CServerProcess {
 public:
  CServerProcess(const std::vector<std::string>& argv, const std::string& logPath);
  ~CServerProcess();
  CServerProcess(const CServerProcess&) = delete;
  CServerProcess& operator=(const CServerProcess&) = delete;
  bool Running() const;
  // Sends the process group signal, waits for the program to end (killing it after a second),
  // and forgets it.
  void Stop(int signal);

 private:
  pid_t m_pid = -1;
};

// A port of 127.0.0.1 nobody listens on at the moment.
int FreePort();

// Runs a shell command line; its standard output, or empty with ok false when it failed.
std::string CommandOutput(const std::string& command, bool& ok);

enum class EDavServer { Radicale, Xandikos, Stub };

struct SServerOptions {
  bool bTls = false;  // Radicale with a self-signed certificate made in the folder
  // Radicale refuses a request body larger than this (413); 0: its default.
  int nMaxContentLength = 0;
  // Cards in the address book from the start (SeedCard(0) to SeedCard(n - 1)), put into the
  // server's storage before it starts as another program sharing it would leave them: a large
  // address book without thousands of PUTs, each slower than the last on Radicale.
  std::size_t nSeedCards = 0;
  // For the stub: the server every request is passed on to, except that a sync-collection
  // report is refused with 403 DAV:supported-report, as a server without incremental listing
  // answers it. It must outlive the stub.
  const class CDavServer* pForwardTo = nullptr;
  // Radicale's password for the user instead of kPassword (vdirsyncer sends Latin-1 only).
  std::string strPassword{};
};

// The UID of the seeded card index ("seed-00042"), also the name of its resource
// ("seed-00042.vcf").
std::string SeedUid(std::size_t index);
// The seeded card index: a vCard 3.0 of 17 properties as a phone keeps it, Czech, Greek and
// Chinese people in turn.
std::string SeedCard(std::size_t index);

// One server in its folder. Empty Url() (and Why() saying why) when it could not be started,
// for the test to fail with.
class CDavServer {
 public:
  CDavServer(EDavServer kind, SServerOptions options = {});
  const std::string& Url() const { return m_strUrl; }
  const std::string& Why() const { return m_strWhy; }
  // Where the server keeps its address book ready for use (Xandikos makes one, Radicale's is
  // made by the test).
  std::string AddressBook() const;
  // The "sha256//..." pin of the certificate's key, for a TLS server.
  const std::string& Pin() const { return m_strPin; }
  std::string Log() const { return ReadFile(m_dir / "log"); }
  // Stops the server as a crash would (its process group killed), and starts it again on the
  // same port with the same folder: what it stored is there again. Start is false (and Why()
  // says why) when it does not answer again.
  void Stop();
  bool Start();
  // Writes a card straight into the storage of the address book AddressBook() under the
  // resource name, as another program sharing the storage would (Xandikos is stopped, given the
  // card in a commit and started again): what no server's own checks let in, two cards of one
  // UID, say. False when it could not.
  bool PlaceCard(const std::string& name, const std::string& card);
  // The address book was seeded (and exists without being made).
  bool Seeded() const { return m_bSeeded; }
  const std::string& Password() const { return m_strPassword; }
  // A stub passing requests on to a server of kind.
  bool ForwardsTo(EDavServer kind) const { return m_pForwardTo && m_pForwardTo->m_kind == kind; }
  // Reads the whole address book once, as a listing and as a sync-collection report, so that a
  // Radicale seeded behind its back has parsed and cached every card and written its history
  // before anything is measured. False when a request failed.
  bool WarmUp() const;

  static constexpr const char* kUser = "jana";
  static constexpr const char* kPassword = "heslo-Žluťoučký";

 private:
  bool StartRadicale(int port, const SServerOptions& options);
  bool MakeCertificate();
  bool WaitUntilAnswers(int port);
  void SeedRadicale(std::size_t count);
  bool StartXandikos(int port, std::size_t seedCards);

  EDavServer m_kind;
  const CDavServer* m_pForwardTo = nullptr;
  CTempDir m_dir;
  int m_nPort = 0;
  std::vector<std::string> m_argv;  // how the server was started
  std::string m_strUrl;
  std::string m_strWhy;
  std::string m_strPin;
  bool m_bSeeded = false;
  std::string m_strPassword = kPassword;
  std::unique_ptr<CServerProcess> m_pProcess;
};

// A client of server, with the test user's name and password for Radicale, and its address
// book made ready: discovery makes Radicale create the user's principal collection, which the
// address book is then made in (Xandikos comes with one).
struct SDavSession {
  std::unique_ptr<sync::CCurlTransport> pTransport;
  std::unique_ptr<sync::CCardDavClient> pClient;
  std::string strBook;
};
::testing::AssertionResult OpenSession(const CDavServer& server, EDavServer kind,
                                       SDavSession& session);

// Makes an empty calendar with MKCALENDAR in the test user's home on server, named collection
// (ending in "/"); path is where it is on the server.
::testing::AssertionResult MakeCalendar(const CDavServer& server, EDavServer kind,
                                        const SDavSession& session, const std::string& collection,
                                        std::string& path);

}  // namespace zorvan::test
