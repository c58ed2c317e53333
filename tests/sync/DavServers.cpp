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

#include "sync/DavXml.h"

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

namespace {

struct SSeedPeople {
  const char* men[4];
  const char* menFamily[4];
  const char* women[4];
  const char* womenFamily[4];
  const char* company;
  const char* title;
  const char* street;
  const char* city;
  const char* postalCode;
  const char* country;
  const char* phone;  // the country's prefix
  const char* domain;
  const char* note;
  const char* category;
};

// Czech, Greek and Chinese contacts in turn, with the surnames of each sex where the language
// has them (Chinese family names come first and have none).
const SSeedPeople kSeedPeople[] = {
    {{"Jiří", "Řehoř", "Tomáš", "Ondřej"},
     {"Dvořák", "Šťastný", "Kříž", "Hájek"},
     {"Eliška", "Zdeňka", "Kateřina", "Lucie"},
     {"Nováková", "Černá", "Procházková", "Růžičková"},
     "Škoda Auto a.s.",
     "Vedoucí údržby",
     "Údolní 12",
     "Brno",
     "602 00",
     "Česko",
     "+420",
     "seznam.cz",
     "Chodí na kolo\\; má rád houby",
     "Práce"},
    {{"Γιώργος", "Νίκος", "Δημήτρης", "Κώστας"},
     {"Παπαδόπουλος", "Αντωνίου", "Οικονόμου", "Γεωργίου"},
     {"Ελένη", "Μαρία", "Αικατερίνη", "Σοφία"},
     {"Παπαδοπούλου", "Αντωνίου", "Οικονόμου", "Γεωργίου"},
     "Ελληνικά Ταχυδρομεία",
     "Λογίστρια",
     "Οδός Ερμού 25",
     "Αθήνα",
     "105 63",
     "Ελλάδα",
     "+30",
     "otenet.gr",
     "Γνωριμία από το συνέδριο",
     "Συνεργάτες"},
    {{"小明", "伟", "强", "建国"},
     {"王", "张", "刘", "陈"},
     {"静", "芳", "秀英", "丽"},
     {"李", "杨", "赵", "黄"},
     "华为技术有限公司",
     "工程师",
     "长安街 8号",
     "北京",
     "100000",
     "中国",
     "+86",
     "qq.com",
     "同事\\, 喜欢喝茶",
     "同事"},
};

std::string Numbered(const char* format, std::size_t value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

std::string SeedUid(std::size_t index) { return Numbered("seed-%05zu", index); }

std::string SeedCard(std::size_t index) {
  const SSeedPeople& p = kSeedPeople[index % 3];
  const std::size_t who = (index / 3) % 4;
  const bool woman = (index / 12) % 2 == 1;
  const std::string given = woman ? p.women[who] : p.men[who];
  const std::string family =
      woman ? p.womenFamily[(index / 24) % 4] : p.menFamily[(index / 24) % 4];
  const bool chinese = index % 3 == 2;
  const std::string full = chinese ? family + given : given + " " + family;
  const std::string mail = Numbered("k%05zu@", index) + p.domain;
  std::string card = "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + SeedUid(index) + "\r\n";
  for (const std::string& line :
       {"FN:" + full, "N:" + family + ";" + given + ";;;",
        "NICKNAME:" + (chinese ? "小" + given : given), "ORG:" + std::string(p.company),
        "TITLE:" + std::string(p.title),
        "TEL;TYPE=CELL:" + std::string(p.phone) + Numbered(" 601 %06zu", index),
        "TEL;TYPE=WORK:" + std::string(p.phone) + Numbered(" 2 %07zu", index),
        "EMAIL;TYPE=INTERNET,HOME:" + mail, "EMAIL;TYPE=INTERNET,WORK:work." + mail,
        "ADR;TYPE=HOME:;;" + std::string(p.street) + ";" + p.city + ";;" + p.postalCode + ";" +
            p.country,
        "ADR;TYPE=WORK:;;" + std::string(p.street) + Numbered("/%zu", index % 90 + 1) + ";" +
            p.city + ";;" + p.postalCode + ";" + p.country,
        Numbered("BDAY:19%02zu", 50 + index % 50) + Numbered("-%02zu", index % 12 + 1) +
            Numbered("-%02zu", index % 28 + 1),
        "URL:https://www." + std::string(p.domain) + Numbered("/~k%05zu", index),
        "NOTE:" + std::string(p.note), "CATEGORIES:" + std::string(p.category),
        Numbered("REV:2026-03-%02zuT08:15:00Z", index % 28 + 1)})
    card += line + "\r\n";
  return card + "END:VCARD\r\n";
}

CDavServer::CDavServer(EDavServer kind, SServerOptions options)
    : m_kind(kind), m_pForwardTo(options.pForwardTo) {
  if (!options.strPassword.empty()) m_strPassword = options.strPassword;
  m_nPort = FreePort();
  const std::string port = std::to_string(m_nPort);
  bool started = false;
  if (kind == EDavServer::Radicale) {
    if (options.nSeedCards) SeedRadicale(options.nSeedCards);
    started = StartRadicale(m_nPort, options);
  } else if (kind == EDavServer::Xandikos) {
    started = StartXandikos(m_nPort, options.nSeedCards);
  } else {
    m_argv = {ZORVAN_DAV_PYTHON, ZORVAN_DAV_STUB, port};
    if (m_pForwardTo) {
      m_argv.push_back(m_pForwardTo->Url());
      m_bSeeded = m_pForwardTo->Seeded();
    }
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
  WriteFile(m_dir / "users", std::string(kUser) + ":" + m_strPassword + "\n");
  std::vector<std::string> argv{ZORVAN_DAV_PYTHON,
                                ZORVAN_RADICALE_QUICK,
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

// Radicale keeps a collection as a folder of one file a card and a .Radicale.props of its
// properties; it reads cards it did not write the way it reads its own. It caches what it parsed
// of each file under .Radicale.cache, keyed by a hash of the file's bytes, so a file written
// behind its back is parsed (once) when first read; and its sync token is a hash over the
// history entries of all cards, so that such cards are new since any earlier token.
void CDavServer::SeedRadicale(std::size_t count) {
  const std::string book = m_dir / ("store/collection-root/" + std::string(kUser) + "/kontakty");
  std::filesystem::create_directories(book);
  WriteFile(book + "/.Radicale.props", R"({"D:displayname": "Kontakty", "tag": "VADDRESSBOOK"})");
  for (std::size_t i = 0; i < count; ++i) WriteFile(book + "/" + SeedUid(i) + ".vcf", SeedCard(i));
  m_bSeeded = true;
}

bool CDavServer::StartXandikos(int port, std::size_t seedCards) {
  if (!Executable(ZORVAN_XANDIKOS)) {
    m_strWhy = "xandikos is not installed";
    return false;
  }
  m_argv = {ZORVAN_XANDIKOS,     "--defaults", "-d", m_dir / "store", "-l", "127.0.0.1", "-p",
            std::to_string(port)};
  if (!seedCards) return true;
  // Xandikos keeps each collection as a git repository and serves what its last commit holds:
  // the address book it made is stopped, given the cards in one commit and served again.
  if (!Start()) return false;
  m_pProcess.reset();
  const std::string book = m_dir / "store/user/contacts/addressbook";
  for (std::size_t i = 0; i < seedCards; ++i)
    WriteFile(book + "/" + SeedUid(i) + ".vcf", SeedCard(i));
  bool ok = false;
  CommandOutput("git -C " + book + " add -A && git -C " + book +
                    " -c user.name=Zorvan -c user.email=zorvan@127.0.0.1 commit -q -m Seeded",
                ok);
  if (!ok) {
    m_strWhy = "git could not commit the seeded cards";
    return false;
  }
  m_bSeeded = true;
  return true;
}

bool CDavServer::WarmUp() const {
  sync::SConnectionOptions options;
  // A Radicale reading thousands of seeded cards for the first time is silent for minutes on a
  // busy machine before its answer starts.
  options.nLowSpeedSeconds = 900;
  if (m_kind == EDavServer::Radicale) {
    options.strUser = kUser;
    options.strPassword = m_strPassword;
  }
  sync::CCurlTransport transport(options);
  sync::CCardDavClient client(transport);
  client.SetServer(m_strUrl);
  std::vector<sync::SRemoteEntry> entries;
  sync::SDavChanges changes;
  return client.ListMembers(AddressBook(), entries).Ok() &&
         client.SyncCollection(AddressBook(), "", changes).Ok();
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

bool CDavServer::PlaceCard(const std::string& name, const std::string& card) {
  if (m_kind == EDavServer::Radicale) {
    WriteFile(m_dir / ("store/collection-root" + AddressBook() + name), card);
    return true;
  }
  if (m_kind != EDavServer::Xandikos) return false;
  Stop();
  const std::string book = m_dir / ("store" + AddressBook());
  WriteFile(book + name, card);
  bool ok = false;
  CommandOutput("git -C " + book + " add -A && git -C " + book +
                    " -c user.name=Zorvan -c user.email=zorvan@127.0.0.1 commit -q -m Placed",
                ok);
  return Start() && ok;
}

std::string CDavServer::AddressBook() const {
  if (m_pForwardTo) return m_pForwardTo->AddressBook();
  return m_kind == EDavServer::Xandikos ? "/user/contacts/addressbook/"
                                        : std::string("/") + kUser + "/kontakty/";
}

::testing::AssertionResult OpenSession(const CDavServer& server, EDavServer kind,
                                       SDavSession& session) {
  if (server.Url().empty()) return ::testing::AssertionFailure() << server.Why();
  sync::SConnectionOptions options;
  if (kind == EDavServer::Radicale || server.ForwardsTo(EDavServer::Radicale)) {
    options.strUser = CDavServer::kUser;
    options.strPassword = server.Password();
  }
  options.strPinnedKey = server.Pin();
  session.pTransport = std::make_unique<sync::CCurlTransport>(options);
  session.pClient = std::make_unique<sync::CCardDavClient>(*session.pTransport);
  session.strBook = server.AddressBook();
  std::vector<sync::SDavCollection> books;
  if (const auto found = session.pClient->Discover(server.Url(), books); !found.Ok())
    return ::testing::AssertionFailure() << found.strMessage;
  if (kind != EDavServer::Radicale || server.Seeded()) return ::testing::AssertionSuccess();
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
