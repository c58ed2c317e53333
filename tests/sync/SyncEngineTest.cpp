#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

#include "FakeHost.h"
#include "store/TreeItem.h"
#include "store/ZorvanDoc.h"
#include "sync/BoundBookTest.h"
#include "sync/BoundContacts.h"
#include "sync/DavServers.h"
#include "sync/SyncEngine.h"

// Two-way synchronisation of a group of the tree with Radicale and Xandikos, each started for
// the test on 127.0.0.1, the server's side changed as a phone changes it (plain PUTs and
// DELETEs of its own cards).
namespace zorvan::sync {
namespace {

using test::CDavServer;
using test::EDavServer;

std::string PhoneCard(const std::string& uid, const std::string& name, const std::string& note) {
  return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + uid + "\r\nFN:" + name + "\r\nN:" + name +
         ";;;;\r\n" + (note.empty() ? "" : "NOTE:" + note + "\r\n") + "END:VCARD\r\n";
}

class SyncEngineTest : public CBoundBookTest {
 protected:
  void SetUp() override {
    CBoundBookTest::SetUp();
    if (HasFatalFailure()) return;
    Add(*m_pGroup, "Jiří Dvořák");
    Add(*m_pGroup, "Łucja Wąsowska");
    Add(*Add(*m_pGroup, "Přátelé", true), "Jürgen Größ");
  }

  std::string Sync(EConflictPolicy conflicts = EConflictPolicy::leave, bool massDelete = false,
                   CCardDavClient* client = nullptr) {
    SSyncOptions options;
    options.conflicts = conflicts;
    options.allowMassDelete = massDelete;
    const SSyncOutcome outcome =
        Synchronize(m_doc, client ? *client : *m_session.pClient, m_binding, options);
    EXPECT_TRUE(outcome.status.Ok()) << outcome.status.strMessage << m_pServer->Log();
    return (outcome.massDeletion ? "mass deletion: " : "") + CountsLine(outcome.counts);
  }
};

TEST_P(SyncEngineTest, KeepsBothSidesInStepThroughEditsDeletionsAndConflicts) {
  std::string eleni = PhonePut("eleni.vcf", PhoneCard("phone-1", "Ελένη Παπαδοπούλου", ""));
  PhonePut("wang.vcf", PhoneCard("phone-2", "王小明", "同事"));
  std::string rehor = PhonePut("rehor.vcf", PhoneCard("phone-3", "Řehoř Žďárský", ""));

  // The first run both ways; the second finds nothing to do.
  EXPECT_EQ(Sync(),
            "fetched 3, uploaded 3, deleted here 0, deleted there 0, merged 0, conflicts 0");
  const std::vector<std::string> all = {"Jiří Dvořák",   "Jürgen Größ",        "Łucja Wąsowska",
                                        "Řehoř Žďárský", "Ελένη Παπαδοπούλου", "王小明"};
  EXPECT_EQ(LocalLabels(), all);
  EXPECT_EQ(ServerNames(), all);
  EXPECT_EQ(Sync(),
            "fetched 0, uploaded 0, deleted here 0, deleted there 0, merged 0, conflicts 0");
  EXPECT_FALSE(m_binding.syncToken.empty());

  // An edit on each side.
  eleni = PhonePut("eleni.vcf", PhoneCard("phone-1", "Ελένη Παπαδοπούλου", "Αθήνα"), eleni);
  Local("Jiří Dvořák")->m_strRemark = "Brno, Údolní 12";
  EXPECT_EQ(Sync(),
            "fetched 1, uploaded 1, deleted here 0, deleted there 0, merged 0, conflicts 0");
  EXPECT_EQ(Local("Ελένη Παπαδοπούλου")->m_strRemark.view(), "Αθήνα");

  // A deletion on each side.
  SDavStatus gone = m_session.pClient->Delete(m_session.strBook + "wang.vcf", "");
  ASSERT_TRUE(gone.Ok()) << gone.strMessage;
  m_doc.RemoveBranch(Local("Łucja Wąsowska"));
  EXPECT_EQ(Sync(),
            "fetched 0, uploaded 0, deleted here 1, deleted there 1, merged 0, conflicts 0");
  const std::vector<std::string> left = {"Jiří Dvořák", "Jürgen Größ", "Řehoř Žďárský",
                                         "Ελένη Παπαδοπούλου"};
  EXPECT_EQ(LocalLabels(), left);
  EXPECT_EQ(ServerNames(), left);

  // Different properties changed on both sides merge; the same one changed two ways is a
  // conflict, left alone until a side is chosen.
  rehor = PhonePut("rehor.vcf", PhoneCard("phone-3", "Řehoř Žďárský", "Praha"), rehor);
  Local("Řehoř Žďárský")->m_strJobTitle = "Kantor";
  EXPECT_EQ(Sync(),
            "fetched 0, uploaded 1, deleted here 0, deleted there 0, merged 1, conflicts 0");
  EXPECT_EQ(Local("Řehoř Žďárský")->m_strRemark.view(), "Praha");
  EXPECT_EQ(Local("Řehoř Žďárský")->m_strJobTitle.view(), "Kantor");

  PhonePut("eleni.vcf", PhoneCard("phone-1", "Ελένη Παπαδοπούλου", "Θεσσαλονίκη"), eleni);
  Local("Ελένη Παπαδοπούλου")->m_strRemark = "Pireas";
  EXPECT_EQ(Sync(),
            "fetched 0, uploaded 0, deleted here 0, deleted there 0, merged 0, conflicts 1");
  EXPECT_EQ(Local("Ελένη Παπαδοπούλου")->m_strRemark.view(), "Pireas");
  EXPECT_EQ(Sync(EConflictPolicy::remote),
            "fetched 0, uploaded 0, deleted here 0, deleted there 0, merged 1, conflicts 0");
  EXPECT_EQ(Local("Ελένη Παπαδοπούλου")->m_strRemark.view(), "Θεσσαλονίκη");
  EXPECT_EQ(Sync(),
            "fetched 0, uploaded 0, deleted here 0, deleted there 0, merged 0, conflicts 0");
}

// A transport that lets the phone change a card just before the first PUT meant to overwrite
// it: the If-Match of that PUT is stale, and the server answers 412.
class CRacingTransport final : public IHttpTransport {
 public:
  CRacingTransport(IHttpTransport& inner, std::function<void()> race)
      : m_inner(inner), m_race(std::move(race)) {}
  SHttpOutcome Send(const SHttpRequest& request) override {
    if (request.method == "PUT" && m_race) std::exchange(m_race, nullptr)();
    return m_inner.Send(request);
  }

 private:
  IHttpTransport& m_inner;
  std::function<void()> m_race;
};

TEST_P(SyncEngineTest, MergesACardChangedThereDuringTheRunAndAsksBeforeAMassDeletion) {
  for (int i = 0; i < 6; ++i)
    PhonePut("karta-" + std::to_string(i) + ".vcf",
             PhoneCard("phone-" + std::to_string(i), "Zoë Łukasik " + std::to_string(i), ""));
  EXPECT_EQ(Sync(),
            "fetched 6, uploaded 3, deleted here 0, deleted there 0, merged 0, conflicts 0");

  // An edit here whose upload meets a change made there meanwhile: fetched again and merged,
  // both edits kept, never overwritten.
  Local("Zoë Łukasik 0")->m_strJobTitle = "Učitelka";
  CRacingTransport racing(*m_session.pTransport, [&] {
    std::vector<SRemoteEntry> entries;
    ASSERT_TRUE(m_session.pClient->ListMembers(m_session.strBook, entries).Ok());
    for (const SRemoteEntry& e : entries)
      if (e.href.ends_with("karta-0.vcf"))
        PhonePut("karta-0.vcf", PhoneCard("phone-0", "Zoë Łukasik 0", "Gdańsk"), e.etag);
  });
  CCardDavClient client(racing);
  client.SetServer(m_pServer->Url());
  EXPECT_EQ(Sync(EConflictPolicy::leave, false, &client),
            "fetched 0, uploaded 1, deleted here 0, deleted there 0, merged 1, conflicts 0");
  EXPECT_EQ(Local("Zoë Łukasik 0")->m_strRemark.view(), "Gdańsk");
  EXPECT_EQ(Local("Zoë Łukasik 0")->m_strJobTitle.view(), "Učitelka");
  EXPECT_EQ(Sync(),
            "fetched 0, uploaded 0, deleted here 0, deleted there 0, merged 0, conflicts 0");

  // Five of nine cards gone there: nothing happens until the deletion is allowed.
  for (int i = 1; i < 6; ++i)
    ASSERT_TRUE(
        m_session.pClient->Delete(m_session.strBook + "karta-" + std::to_string(i) + ".vcf", "")
            .Ok());
  EXPECT_EQ(Sync(),
            "mass deletion: fetched 0, uploaded 0, deleted here 0, deleted there 0, "
            "merged 0, conflicts 0");
  EXPECT_EQ(LocalLabels().size(), 9u);
  EXPECT_EQ(Sync(EConflictPolicy::leave, true),
            "fetched 0, uploaded 0, deleted here 5, deleted there 0, merged 0, conflicts 0");
  EXPECT_EQ(LocalLabels().size(), 4u);
  EXPECT_EQ(ServerNames(), LocalLabels());
}

// Hears of every record about to be destroyed, and on which thread.
class CDestroyWatch final : public IDocObserver {
 public:
  void OnUpdate(IDocObserver*, int, CTreeItem*) override {}
  void OnAboutToDestroy(CTreeItem*) override { threads.push_back(std::this_thread::get_id()); }
  std::vector<std::thread::id> threads;
};

// The engine on a worker thread, as the window runs it, its steps on the document run here; the
// document's changes are heard of on this thread only, and the steps are few.
TEST_P(SyncEngineTest, RunsItsStepsOnTheDocumentWhereToldAndAsksForTheConflicts) {
  const std::thread::id here = std::this_thread::get_id();
  CDestroyWatch destroyed;
  m_doc.AddObserver(&destroyed);
  std::vector<std::thread::id> modified;
  m_doc.SetModifiedListener([&](bool) { modified.push_back(std::this_thread::get_id()); });
  std::vector<std::pair<std::string, std::vector<std::string>>> asked;
  std::map<std::string, EMergeChoice> answer;  // by the conflict's key; empty: left
  const auto syncOnWorker = [&](size_t& steps) {
    SSyncOptions options;
    std::mutex mutex;
    std::condition_variable changed;
    const std::function<void()>* pending = nullptr;
    bool done = false;
    options.runLocal = [&](const std::function<void()>& step) {
      std::unique_lock lock(mutex);
      pending = &step;
      changed.notify_all();
      changed.wait(lock, [&] { return pending == nullptr; });
    };
    options.resolve = [&](const std::string& label, const std::vector<SCardConflict>& conflicts)
        -> std::optional<std::vector<EMergeChoice>> {
      EXPECT_NE(std::this_thread::get_id(), here);
      std::vector<std::string> keys;
      std::vector<EMergeChoice> choices;
      for (const SCardConflict& c : conflicts) {
        keys.push_back(c.key);
        const auto chosen = answer.find(c.key);
        choices.push_back(chosen == answer.end() ? EMergeChoice::local : chosen->second);
      }
      std::sort(keys.begin(), keys.end());
      asked.emplace_back(label, keys);
      if (answer.empty()) return std::nullopt;
      return choices;
    };
    SSyncOutcome outcome;
    std::thread worker([&] {
      outcome = Synchronize(m_doc, *m_session.pClient, m_binding, options);
      const std::lock_guard lock(mutex);
      done = true;
      changed.notify_all();
    });
    m_doc.SetModifiedFlag(false);
    for (std::unique_lock lock(mutex);;) {
      changed.wait(lock, [&] { return pending || done; });
      if (!pending) break;
      (*pending)();
      ++steps;
      pending = nullptr;
      changed.notify_all();
    }
    worker.join();
    EXPECT_TRUE(outcome.status.Ok()) << outcome.status.strMessage;
    return CountsLine(outcome.counts);
  };

  const auto eleniCard = [](const char* note, const char* title) {
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:phone-1\r\nFN:Ελένη Παπαδοπούλου\r\n"
           "N:Ελένη Παπαδοπούλου;;;;\r\nNOTE:" +
           std::string(note) + "\r\nTITLE:" + title + "\r\nEND:VCARD\r\n";
  };
  std::string eleni = PhonePut("eleni.vcf", eleniCard("Αθήνα", "Učitelka"));
  for (int i = 0; i < 4; ++i)
    PhonePut("wang-" + std::to_string(i) + ".vcf",
             PhoneCard("phone-w" + std::to_string(i), "王小明 " + std::to_string(i), ""));
  size_t steps = 0;
  EXPECT_EQ(syncOnWorker(steps),
            "fetched 5, uploaded 3, deleted here 0, deleted there 0, merged 0, conflicts 0");
  EXPECT_LE(steps, 4u);  // the group, the cards read, the cards taken, the deletions here

  // The same property and another changed both ways: asked, left, then decided one by one.
  PhonePut("eleni.vcf", eleniCard("Θεσσαλονίκη", "Γιατρός"), eleni);
  Local("Ελένη Παπαδοπούλου")->m_strRemark = "Pireas";
  Local("Ελένη Παπαδοπούλου")->m_strJobTitle = "Lékařka";
  EXPECT_EQ(syncOnWorker(steps),
            "fetched 0, uploaded 0, deleted here 0, deleted there 0, merged 0, conflicts 1");
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].first, "Ελένη Παπαδοπούλου");
  ASSERT_EQ(asked[0].second, (std::vector<std::string>{"NOTE", "TITLE"}));
  answer = {{"NOTE", EMergeChoice::remote}, {"TITLE", EMergeChoice::local}};
  EXPECT_EQ(syncOnWorker(steps),
            "fetched 0, uploaded 1, deleted here 0, deleted there 0, merged 1, conflicts 0");
  EXPECT_EQ(Local("Ελένη Παπαδοπούλου")->m_strRemark.view(), "Θεσσαλονίκη");
  EXPECT_EQ(Local("Ελένη Παπαδοπούλου")->m_strJobTitle.view(), "Lékařka");
  answer.clear();
  EXPECT_EQ(syncOnWorker(steps),
            "fetched 0, uploaded 0, deleted here 0, deleted there 0, merged 0, conflicts 0");
  EXPECT_EQ(asked.size(), 2u);

  ASSERT_TRUE(m_session.pClient->Delete(m_session.strBook + "wang-0.vcf", "").Ok());
  EXPECT_EQ(syncOnWorker(steps),
            "fetched 0, uploaded 0, deleted here 1, deleted there 0, merged 0, conflicts 0");
  EXPECT_EQ(destroyed.threads, std::vector<std::thread::id>{here});
  EXPECT_FALSE(modified.empty());
  for (const std::thread::id& id : modified) EXPECT_EQ(id, here);
  m_doc.RemoveObserver(&destroyed);
}

INSTANTIATE_TEST_SUITE_P(Servers, SyncEngineTest,
                         ::testing::Values(EDavServer::Radicale, EDavServer::Xandikos),
                         [](const ::testing::TestParamInfo<EDavServer>& server) {
                           return server.param == EDavServer::Radicale ? "Radicale" : "Xandikos";
                         });

}  // namespace
}  // namespace zorvan::sync
