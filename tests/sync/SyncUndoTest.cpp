#include "BoundBookTest.h"
#include "sync/SyncState.h"

// A synchronisation undone here is one step: its changes and the state it agreed go back
// together, and the next run brings the server's cards again instead of sending the older
// versions over them.
namespace zorvan::sync {
namespace {

class CSyncUndoTest : public CBoundBookTest {
 protected:
  // A run as the window makes it: the state read from the database and written back into it,
  // all within the run's step.
  SSyncOutcome Run() {
    const CZorvanDoc::CChange step = m_doc.BeginChange({EStepKind::sync, "Rodina"});
    SSyncState state;
    std::string reason;
    if (LoadSyncState(m_doc, state, reason) && state.bindings.size() == 1)
      m_binding = state.bindings[0];
    SSyncOutcome outcome = Synchronize(m_doc, *m_session.pClient, m_binding, {});
    state.bindings = {m_binding};
    StoreSyncState(m_doc, state);
    return outcome;
  }
};

TEST_P(CSyncUndoTest, TheNextRunBringsBackWhatAnUndoneRunTook) {
  const std::string etag = PhonePut("marek.vcf", CardWithNote("marek-1", "Marek Wójcik", "Kraków"));
  ASSERT_EQ(Run().counts.fetched, 1u);
  PhonePut("marek.vcf", CardWithNote("marek-1", "Marek Wójcik", "Gdańsk"), etag);
  PhonePut("zofia.vcf", CardWithNote("zofia-1", "Zofia Nowak", "Łódź"));
  ASSERT_EQ(Run().counts.fetched, 2u);
  const std::vector<std::string> both{"Marek Wójcik", "Zofia Nowak"};
  ASSERT_EQ(LocalLabels(), both);

  ASSERT_EQ(m_doc.UndoName()->kind, EStepKind::sync);
  m_doc.Undo();
  EXPECT_EQ(LocalLabels(), std::vector<std::string>{"Marek Wójcik"});
  EXPECT_EQ(Local("Marek Wójcik")->m_strRemark.view(), "Kraków");

  const SSyncOutcome again = Run();
  ASSERT_TRUE(again.status.Ok()) << again.status.strMessage;
  EXPECT_EQ(CountsLine(again.counts),
            "fetched 2, uploaded 0, deleted here 0, deleted there 0, merged 0, conflicts 0");
  EXPECT_EQ(LocalLabels(), both);
  EXPECT_EQ(Local("Marek Wójcik")->m_strRemark.view(), "Gdańsk");
  EXPECT_EQ(ServerNames(), both);
}

INSTANTIATE_TEST_SUITE_P(Servers, CSyncUndoTest,
                         ::testing::Values(test::EDavServer::Radicale, test::EDavServer::Xandikos),
                         [](const ::testing::TestParamInfo<test::EDavServer>& server) {
                           return server.param == test::EDavServer::Radicale ? "Radicale"
                                                                             : "Xandikos";
                         });

}  // namespace
}  // namespace zorvan::sync
