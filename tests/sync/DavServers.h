#pragma once

#include <sys/types.h>

#include <gtest/gtest.h>

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
};

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

  static constexpr const char* kUser = "jana";
  static constexpr const char* kPassword = "heslo-Žluťoučký";

 private:
  bool StartRadicale(int port, const SServerOptions& options);
  bool MakeCertificate();
  bool WaitUntilAnswers(int port);

  EDavServer m_kind;
  CTempDir m_dir;
  int m_nPort = 0;
  std::vector<std::string> m_argv;  // how the server was started
  std::string m_strUrl;
  std::string m_strWhy;
  std::string m_strPin;
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
