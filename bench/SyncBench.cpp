// The synchronisation against a Radicale started for the benchmark on 127.0.0.1 with a phone's
// address book of 10,000 cards seeded into its storage (ZORVAN_BENCH_CARDS for another count),
// side by side with vdirsyncer's runs against the same server: the first download, a run with
// nothing changed, ten changes on each side, and an upload of 1,000 new contacts beside 1,000
// plain PUTs over one kept-alive connection. tools/bench-sync-vs-vdirsyncer.sh prints the table.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "GeneratedDatabase.h"
#include "store/TreeItem.h"
#include "store/ZorvanDoc.h"
#include "sync/BoundContacts.h"
#include "sync/DavServers.h"
#include "sync/SyncEngine.h"

using namespace zorvan;
using namespace zorvan::sync;
using test::CDavServer;
using test::EDavServer;

namespace {

std::size_t SeededCards() {
  const char* count = std::getenv("ZORVAN_BENCH_CARDS");
  return count ? std::strtoul(count, nullptr, 10) : 10000;
}

// The server, seeded and warmed up once for all benchmarks; a second address book (made empty)
// takes the uploads, for Radicale's PUT grows slower with the size of its collection.
struct SBenchServer {
  SBenchServer()
      : server(EDavServer::Radicale, test::SServerOptions{.nSeedCards = SeededCards(),
                                                          .strPassword = "heslo-zlutoucky"}) {
    ok = test::OpenSession(server, EDavServer::Radicale, session) && server.WarmUp();
  }
  CDavServer server;
  test::SDavSession session;
  bool ok = false;
  int nextBook = 0;
};

SBenchServer& Server() {
  static SBenchServer server;
  return server;
}

// A new empty address book on the server, its href.
std::string NewBook(SBenchServer& s) {
  const std::string href =
      "/" + std::string(CDavServer::kUser) + "/nove-" + std::to_string(++s.nextBook) + "/";
  s.session.pTransport->Send({"MKCOL",
                              s.server.Url() + href,
                              {{"Content-Type", "application/xml"}},
                              MakeCollectionBody("Nové", false)});
  return href;
}

// A database with a group bound to href.
struct SBoundDoc {
  explicit SBoundDoc(const std::string& href) {
    doc.OnNewDocument();
    group = doc.CreateRecord(doc.ContactsRoot());
    group->m_strLabel = "Telefon";
    group->m_bGroup = 1;
    binding.groupUid = BindingUid(*group);
    binding.bookHref = href;
  }
  bool Sync(CCardDavClient& client) { return Synchronize(doc, client, binding, {}).status.Ok(); }
  bench::CQuietHost host;
  CZorvanDoc doc{host};
  CTreeItem* group = nullptr;
  SBinding binding;
};

int Run(const std::string& command) { return std::system(command.c_str()); }

// vdirsyncer with a filesystem storage of the book's cards in its own folder.
struct SVdirsyncer {
  explicit SVdirsyncer(const CDavServer& server) {
    config = dir / "config";
    test::WriteFile(config, "[general]\nstatus_path = \"" + dir / "status" +
                                "\"\n[pair kniha]\na = \"mistni\"\nb = \"server\"\n"
                                "collections = [\"kontakty\"]\n"
                                "[storage mistni]\ntype = \"filesystem\"\npath = \"" +
                                dir / "cards" +
                                "\"\nfileext = \".vcf\"\n"
                                "[storage server]\ntype = \"carddav\"\nurl = \"" +
                                server.Url() + "/\"\nusername = \"" + CDavServer::kUser +
                                "\"\npassword = \"" + server.Password() + "\"\n");
  }
  bool Sync() {
    if (Run("vdirsyncer -c " + config + " sync >" + dir / "log" + " 2>&1") == 0) return true;
    std::fputs(test::ReadFile(dir / "log").c_str(), stderr);
    return false;
  }
  bool Discover() {
    return Run("yes | vdirsyncer -c " + config + " discover >/dev/null 2>&1") == 0;
  }
  test::CTempDir dir;
  std::string config;
};

void BM_FirstDownload(benchmark::State& state) {
  SBenchServer& s = Server();
  if (!s.ok) return state.SkipWithError(s.server.Why().c_str());
  for (auto _ : state) {
    SBoundDoc bound(s.session.strBook);
    test::CTempDir dir;
    if (!bound.Sync(*s.session.pClient) || !bound.doc.OnSaveDocument(dir / "kontakty.zvd"))
      state.SkipWithError("the first download failed");
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(SeededCards()));
}

// The command line's first run: binding, the download and saving a new database.
void BM_FirstDownloadCli(benchmark::State& state) {
  SBenchServer& s = Server();
  if (!s.ok) return state.SkipWithError(s.server.Why().c_str());
  for (auto _ : state) {
    test::CTempDir dir;
    test::WriteFile(dir / "heslo", s.server.Password());
    if (Run(std::string(ZORVAN_CLI) + " sync " + dir / "k.zvd" + " --url " + s.server.Url() +
            " --user " + CDavServer::kUser + " --password-file " + dir / "heslo" + " >/dev/null") !=
        0)
      state.SkipWithError("zorvan-cli sync failed");
  }
}

void BM_FirstDownloadVdirsyncer(benchmark::State& state) {
  SBenchServer& s = Server();
  if (!s.ok) return state.SkipWithError(s.server.Why().c_str());
  for (auto _ : state) {
    SVdirsyncer v(s.server);
    if (!v.Discover() || !v.Sync()) state.SkipWithError("vdirsyncer failed");
  }
}

// A synchronised book: what the quiet runs and the changes start from.
struct SSynced {
  SSynced() : bound(Server().session.strBook), vdirsyncer(Server().server) {
    ok = Server().ok && bound.Sync(*Server().session.pClient) && vdirsyncer.Discover() &&
         vdirsyncer.Sync();
  }
  SBoundDoc bound;
  SVdirsyncer vdirsyncer;
  bool ok = false;
};

SSynced& Synced() {
  static SSynced synced;
  return synced;
}

void BM_QuietSync(benchmark::State& state) {
  SSynced& s = Synced();
  if (!s.ok) return state.SkipWithError("the first synchronisation failed");
  for (auto _ : state)
    if (!s.bound.Sync(*Server().session.pClient)) state.SkipWithError("the run failed");
}

void BM_QuietSyncVdirsyncer(benchmark::State& state) {
  SSynced& s = Synced();
  if (!s.ok) return state.SkipWithError("the first synchronisation failed");
  for (auto _ : state)
    if (!s.vdirsyncer.Sync()) state.SkipWithError("vdirsyncer failed");
}

// Ten cards changed on the phone (their NOTE, in turn for each round) and ten other contacts
// here.
void ChangeTenThere(int round, std::size_t first) {
  SBenchServer& s = Server();
  for (std::size_t i = first; i < first + 10; ++i) {
    std::string card = test::SeedCard(i);
    const std::size_t note = card.find("NOTE:");
    card.replace(note, card.find("\r\n", note) - note, "NOTE:Změna " + std::to_string(round));
    std::string etag;
    s.session.pClient->PutCard(s.session.strBook + test::SeedUid(i) + ".vcf", card, {}, etag);
  }
}

void BM_TenChangesEachSide(benchmark::State& state) {
  SSynced& s = Synced();
  if (!s.ok) return state.SkipWithError("the first synchronisation failed");
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    ++round;
    ChangeTenThere(round, 100);
    std::size_t changed = 0;
    for (const SBoundContact& c : BoundContacts(*s.bound.group))
      if (c.uid >= test::SeedUid(200) && c.uid < test::SeedUid(210) && ++changed)
        c.pRecord->m_strJobTitle = "Vedoucí " + std::to_string(round);
    state.ResumeTiming();
    const SSyncOutcome outcome =
        Synchronize(s.bound.doc, *Server().session.pClient, s.bound.binding, {});
    if (!outcome.status.Ok() || outcome.counts.fetched != 10 || outcome.counts.uploaded != 10) {
      state.SkipWithError(("not ten each way: " + CountsLine(outcome.counts)).c_str());
      break;
    }
  }
}

void BM_TenChangesEachSideVdirsyncer(benchmark::State& state) {
  SSynced& s = Synced();
  if (!s.ok) return state.SkipWithError("the first synchronisation failed");
  int round = 100;
  for (auto _ : state) {
    state.PauseTiming();
    ++round;
    ChangeTenThere(round, 300);
    // Ten of vdirsyncer's own files changed, as an editor of the folder changes them.
    for (std::size_t i = 400; i < 410; ++i) {
      std::string card = test::SeedCard(i);
      const std::size_t title = card.find("TITLE:");
      card.replace(title, card.find("\r\n", title) - title,
                   "TITLE:Vedoucí " + std::to_string(round));
      test::WriteFile(s.vdirsyncer.dir / ("cards/kontakty/" + test::SeedUid(i) + ".vcf"), card);
    }
    state.ResumeTiming();
    if (!s.vdirsyncer.Sync()) {
      state.SkipWithError("vdirsyncer failed");
      break;
    }
  }
}

constexpr int kUploads = 1000;

void BM_UploadNew(benchmark::State& state) {
  SBenchServer& s = Server();
  if (!s.ok) return state.SkipWithError(s.server.Why().c_str());
  for (auto _ : state) {
    state.PauseTiming();
    SBoundDoc bound(NewBook(s));
    for (int i = 0; i < kUploads; ++i) {
      const SForeignContact contact = ContactOfCard(test::SeedCard(20000 + i));
      CTreeItem* record = bound.doc.CreateRecord(bound.group);
      static_cast<CContactData&>(*record) = static_cast<const CContactData&>(*contact.pRecord);
      record->m_bGroup = 0;
    }
    state.ResumeTiming();
    const SSyncOutcome outcome = Synchronize(bound.doc, *s.session.pClient, bound.binding, {});
    if (!outcome.status.Ok() || outcome.counts.uploaded != kUploads) {
      state.SkipWithError(("not all uploaded: " + CountsLine(outcome.counts)).c_str());
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * kUploads);
}

// The same number of cards PUT alone (If-None-Match, the tag taken from the answer), over the
// transport's one kept-alive connection: the floor an upload can come near.
void BM_PlainPuts(benchmark::State& state) {
  SBenchServer& s = Server();
  if (!s.ok) return state.SkipWithError(s.server.Why().c_str());
  for (auto _ : state) {
    state.PauseTiming();
    const std::string book = NewBook(s);
    state.ResumeTiming();
    for (int i = 0; i < kUploads; ++i) {
      const SHttpOutcome put = s.session.pTransport->Send(
          {"PUT",
           s.server.Url() + book + test::SeedUid(20000 + i) + ".vcf",
           {{"Content-Type", "text/vcard; charset=utf-8"}, {"If-None-Match", "*"}},
           test::SeedCard(20000 + i)});
      if (!put.Ok() || put.response.nStatus != 201) {
        state.SkipWithError("a PUT failed");
        return;
      }
    }
  }
  state.SetItemsProcessed(state.iterations() * kUploads);
}

}  // namespace

// Each a few seconds or more against the server: timed by the clock on the wall, once or thrice.
BENCHMARK(BM_FirstDownload)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_FirstDownloadCli)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_FirstDownloadVdirsyncer)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_QuietSync)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_QuietSyncVdirsyncer)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_TenChangesEachSide)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_TenChangesEachSideVdirsyncer)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(BM_UploadNew)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_PlainPuts)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
