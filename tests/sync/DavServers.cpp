#include "sync/DavServers.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

namespace zorvan::test {

CServerProcess::CServerProcess(const std::vector<std::string>& argv, const std::string& logPath) {
  std::vector<char*> args;
  for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  m_pid = ::fork();
  if (m_pid == 0) {
    ::setpgid(0, 0);
    const int log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(log, 1);
    ::dup2(log, 2);
    ::execv(args[0], args.data());
    ::_exit(127);
  }
  if (m_pid > 0) ::setpgid(m_pid, m_pid);
}

CServerProcess::~CServerProcess() { Stop(SIGTERM); }

void CServerProcess::Stop(int signal) {
  if (m_pid <= 0) return;
  ::kill(-m_pid, signal);
  for (int i = 0; i < 50; ++i) {
    if (::waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
      m_pid = -1;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ::kill(-m_pid, SIGKILL);
  ::waitpid(m_pid, nullptr, 0);
  m_pid = -1;
}

bool CServerProcess::Running() const {
  return m_pid > 0 && ::waitpid(m_pid, nullptr, WNOHANG) == 0;
}

namespace {

sockaddr_in Loopback(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

bool Answers(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address = Loopback(port);
  const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return ok;
}

bool Executable(const std::string& path) { return ::access(path.c_str(), X_OK) == 0; }

}  // namespace

int FreePort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address = Loopback(0);
  socklen_t length = sizeof address;
  ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(fd);
  return ntohs(address.sin_port);
}

std::string CommandOutput(const std::string& command, bool& ok) {
  std::string output;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) {
    ok = false;
    return output;
  }
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
  ok = ::pclose(pipe) == 0;
  return output;
}

CDavServer::CDavServer(EDavServer kind, SServerOptions options) : m_kind(kind) {
  m_nPort = FreePort();
  const std::string port = std::to_string(m_nPort);
  bool started = false;
  if (kind == EDavServer::Radicale) {
    started = StartRadicale(m_nPort, options);
  } else if (kind == EDavServer::Xandikos) {
    started = Executable(ZORVAN_XANDIKOS);
    if (!started)
      m_strWhy = "xandikos is not installed";
    else
      m_argv = {ZORVAN_XANDIKOS, "--defaults", "-d", m_dir / "store", "-l",
                "127.0.0.1",     "-p",         port};
  } else {
    m_argv = {ZORVAN_DAV_PYTHON, ZORVAN_DAV_STUB, port};
    started = true;
  }
  if (!started || !Start()) return;
  m_strUrl = std::string(options.bTls ? "https" : "http") + "://127.0.0.1:" + port;
}

void CDavServer::Stop() {
  if (m_pProcess) m_pProcess->Stop(SIGKILL);
}

bool CDavServer::Start() {
  m_pProcess = std::make_unique<CServerProcess>(m_argv, m_dir / "log");
  if (WaitUntilAnswers(m_nPort)) return true;
  m_strWhy = "the server did not start: " + Log();
  return false;
}

bool CDavServer::StartRadicale(int port, const SServerOptions& options) {
  bool ok = false;
  CommandOutput(std::string(ZORVAN_DAV_PYTHON) + " -c 'import radicale' 2>/dev/null", ok);
  if (!ok) {
    m_strWhy = "radicale is not installed";
    return false;
  }
  WriteFile(m_dir / "users", std::string(kUser) + ":" + kPassword + "\n");
  std::vector<std::string> argv{ZORVAN_DAV_PYTHON,
                                "-m",
                                "radicale",
                                "-C",
                                "",
                                "--storage-filesystem-folder",
                                m_dir / "store",
                                "--server-hosts",
                                "127.0.0.1:" + std::to_string(port),
                                "--auth-type",
                                "htpasswd",
                                "--auth-htpasswd-filename",
                                m_dir / "users",
                                "--auth-htpasswd-encryption",
                                "plain"};
  if (options.nMaxContentLength > 0) {
    argv.push_back("--server-max-content-length");
    argv.push_back(std::to_string(options.nMaxContentLength));
  }
  if (options.bTls) {
    if (!MakeCertificate()) return false;
    for (const char* arg : {"--server-ssl", "True", "--server-certificate"}) argv.push_back(arg);
    argv.push_back(m_dir / "cert.pem");
    argv.push_back("--server-key");
    argv.push_back(m_dir / "key.pem");
  }
  m_argv = std::move(argv);
  return true;
}

// A self-signed certificate for 127.0.0.1 and the pin of its public key, the way a user
// reads it off (openssl's base64 of the SHA-256 of the key's DER form).
bool CDavServer::MakeCertificate() {
  const std::string cert = m_dir / "cert.pem";
  const std::string key = m_dir / "key.pem";
  bool ok = false;
  CommandOutput("openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1 -keyout " +
                    key + " -out " + cert + " 2>/dev/null",
                ok);
  if (ok)
    m_strPin = CommandOutput("openssl x509 -in " + cert +
                                 " -pubkey -noout | openssl pkey -pubin -outform der | openssl "
                                 "dgst -sha256 -binary | openssl base64 -A",
                             ok);
  if (!ok) m_strWhy = "openssl could not make a certificate";
  m_strPin = "sha256//" + m_strPin;
  return ok;
}

bool CDavServer::WaitUntilAnswers(int port) {
  for (int i = 0; i < 300; ++i) {
    if (Answers(port)) return true;
    if (!m_pProcess->Running()) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
  }
  return false;
}

std::string CDavServer::AddressBook() const {
  return m_kind == EDavServer::Xandikos ? "/user/contacts/addressbook/"
                                        : std::string("/") + kUser + "/kontakty/";
}

::testing::AssertionResult OpenSession(const CDavServer& server, EDavServer kind,
                                       SDavSession& session) {
  if (server.Url().empty()) return ::testing::AssertionFailure() << server.Why();
  sync::SConnectionOptions options;
  if (kind == EDavServer::Radicale) {
    options.strUser = CDavServer::kUser;
    options.strPassword = CDavServer::kPassword;
  }
  options.strPinnedKey = server.Pin();
  session.pTransport = std::make_unique<sync::CCurlTransport>(options);
  session.pClient = std::make_unique<sync::CCardDavClient>(*session.pTransport);
  session.strBook = server.AddressBook();
  std::vector<sync::SDavCollection> books;
  if (const auto found = session.pClient->Discover(server.Url(), books); !found.Ok())
    return ::testing::AssertionFailure() << found.strMessage;
  if (kind != EDavServer::Radicale) return ::testing::AssertionSuccess();
  const auto made = session.pTransport->Send({"MKCOL",
                                              server.Url() + session.strBook,
                                              {{"Content-Type", "application/xml"}},
                                              sync::MakeCollectionBody("Kontakty", false)});
  if (made.response.nStatus != 201)
    return ::testing::AssertionFailure() << made.status.strMessage << made.response.strBody;
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult MakeCalendar(const CDavServer& server, EDavServer kind,
                                        const SDavSession& session, const std::string& collection,
                                        std::string& path) {
  // Xandikos keeps its user's calendars under /user/calendars/, Radicale in the principal's
  // collection.
  path = (kind == EDavServer::Xandikos ? std::string("/user/calendars/")
                                       : "/" + std::string(CDavServer::kUser) + "/") +
         collection;
  const auto made = session.pTransport->Send(
      {"MKCALENDAR",
       server.Url() + path,
       {{"Content-Type", "application/xml; charset=utf-8"}},
       "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
       "<c:mkcalendar xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:caldav\"><d:set><d:prop>"
       "<d:displayname>Narozeniny a jmeniny</d:displayname></d:prop></d:set></c:mkcalendar>"});
  if (made.response.nStatus != 201)
    return ::testing::AssertionFailure()
           << "MKCALENDAR " << path << ": HTTP " << made.response.nStatus << " "
           << made.status.strMessage << made.response.strBody;
  return ::testing::AssertionSuccess();
}

}  // namespace zorvan::test
