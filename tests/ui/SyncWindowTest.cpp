// File > Synchronize in the window against a Radicale server started for the test on 127.0.0.1:
// the run on its worker with the progress in the status bar, the bound group locked meanwhile,
// the conflict dialog, Cancel, and the question before a mass deletion.
#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidgetItem>

#include "FakeHost.h"
#include "app/DocumentCommands.h"
#include "app/MainFrame.h"
#include "app/SyncCommands.h"
#include "app/SyncPassword.h"
#include "qt/QtText.h"
#include "store/TreeItem.h"
#include "store/ZorvanDoc.h"
#include "sync/BoundContacts.h"
#include "sync/DavServers.h"
#include "sync/PublishState.h"
#include "sync/SyncState.h"
#include "tests/ui/GuiTest.h"
#include "tests/ui/Screenshot.h"
#include "ui/SyncConflictDlg.h"
#include "ui/ZorvanTreeView.h"
#include "ui/ZorvanView.h"

namespace zorvan::test {
namespace {

std::string PhoneCard(const std::string& uid, const std::string& name, const std::string& more) {
  return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + uid + "\r\nFN:" + name + "\r\nN:" + name +
         ";;;;\r\n" + more + "END:VCARD\r\n";
}

class SyncWindowTest : public CGuiTest {
 protected:
  void SetUp() override {
    CGuiTest::SetUp();
    ASSERT_TRUE(OpenSession(m_server, EDavServer::Radicale, m_session));
    app::SetSyncPasswordPromptForTesting([this](const QString&, const QString& user) {
      ++m_nPasswordAsked;
      EXPECT_EQ(user, QString::fromLatin1(CDavServer::kUser));
      return std::optional<QString>(QString::fromUtf8(CDavServer::kPassword));
    });
  }
  void TearDown() override {
    CGuiTest::TearDown();
    app::SetSyncPasswordPromptForTesting({});
  }

  // What the phone does: a card of its own put (over the tag it last saw) or deleted.
  std::string PhonePut(const std::string& name, const std::string& card,
                       const std::string& ifMatch = {}) {
    std::string etag;
    const auto put = m_session.pClient->PutCard(m_session.strBook + name, card,
                                                {ifMatch, ifMatch.empty()}, etag);
    EXPECT_TRUE(put.Ok()) << put.strMessage;
    return etag;
  }
  std::vector<std::string> ServerCards() {
    std::vector<sync::SRemoteEntry> entries;
    EXPECT_TRUE(m_session.pClient->ListMembers(m_session.strBook, entries).Ok());
    std::vector<std::string> hrefs;
    for (const sync::SRemoteEntry& e : entries) hrefs.push_back(e.href);
    sync::SDavCards cards;
    EXPECT_TRUE(m_session.pClient->Multiget(m_session.strBook, hrefs, cards).Ok());
    std::vector<std::string> texts;
    for (const sync::SRemoteCard& card : cards.cards) texts.push_back(card.vcard);
    return texts;
  }

  // A database whose group "Telefon" (with the contacts of lines below it) is bound to the
  // test's address book, as the Accounts dialog binds it.
  QString BoundDatabase(const QString& name, const QStringList& contacts, bool whenOpened,
                        const std::string& calendarUrl = {}) {
    QStringList lines{QStringLiteral("Telefon;g")};
    for (const QString& contact : contacts) lines << QStringLiteral(" ") + contact;
    lines << QStringLiteral("Jiné;g") << QStringLiteral(" Zdeněk Nový");
    const QString path = MakeDatabase(name, lines);
    CFakeHost host;
    CZorvanDoc doc(host);
    EXPECT_TRUE(doc.OnOpenDocument(ToStdString(path)));
    sync::SSyncState state;
    sync::SBinding& binding = state.bindings.emplace_back();
    binding.groupUid = sync::BindingUid(*doc.ContactsRoot()->Child(0));
    binding.serverUrl = m_server.Url();
    binding.userName = CDavServer::kUser;
    binding.bookHref = m_session.strBook;
    binding.bookName = "Kontakty";
    binding.syncWhenOpened = whenOpened;
    binding.calendarUrl = calendarUrl;
    // Every contact of the group born on the first of some month.
    CTreeItem* group = doc.ContactsRoot()->Child(0);
    for (size_t i = 0; i < group->ChildCount(); ++i) {
      CTreeItem* contact = group->Child(i);
      contact->m_bBirthday = contact->m_dtBirthday.SetDate(1970, static_cast<int>(i) + 1, 1);
    }
    sync::StoreSyncState(doc, state);
    EXPECT_TRUE(doc.OnSaveDocument(ToStdString(path)));
    return path;
  }

  CSyncCommands& Sync() const { return Frame().Sync(); }
  // F5, then the run to its end; the status bar's line.
  QString Synchronize() {
    Frame().Action(ID_FILE_SYNCHRONIZE)->trigger();
    EXPECT_TRUE(Sync().IsRunning());
    return WaitForEnd();
  }
  QString WaitForEnd() {
    EXPECT_TRUE(QTest::qWaitFor([this] { return !Sync().IsRunning(); }, 60000));
    return Frame().statusBar()->currentMessage();
  }
  QStringList Contacts(const QString& group = QStringLiteral("Telefon")) const {
    QStringList labels = ChildLabels(Item({QStringLiteral("Contacts"), group}));
    labels.sort();
    return labels;
  }

  CDavServer m_server{EDavServer::Radicale};
  SDavSession m_session;
  int m_nPasswordAsked = 0;
};

TEST_F(SyncWindowTest, ADatabaseOpenedSynchronisesItsBoundGroupAndTheWindowShowsTheCards) {
  PhonePut("rehor.vcf",
           PhoneCard("phone-1", "Řehoř Žďárský", "TEL;TYPE=CELL:+420 602 111 222\r\n"));
  PhonePut("eleni.vcf", PhoneCard("phone-2", "Ελένη Παπαδοπούλου", ""));
  PhonePut("wang.vcf", PhoneCard("phone-3", "王小明", "NOTE:同事\r\n"));
  ASSERT_TRUE(Start({MakeDatabase(QStringLiteral("prázdná.zvd"), {QStringLiteral("Anna")})}));
  Frame().Action(ID_FILE_SYNCHRONIZE)->trigger();
  EXPECT_EQ(m_prompt.MessageTexts(),
            QStringList{QStringLiteral("No group is bound to an address book yet; bind one with "
                                       "File > Accounts...")});
  EXPECT_FALSE(Sync().IsRunning());

  // Opened, the database synchronises the binding that asks for it, without a question.
  const QString bound =
      BoundDatabase(QStringLiteral("kontakty.zvd"), {QStringLiteral("Łucja Wąsowska")}, true);
  ASSERT_TRUE(Frame().Documents().OpenDocumentFile(bound));
  EXPECT_TRUE(QTest::qWaitFor([this] { return !Sync().LastResult().isEmpty(); }, 60000));
  EXPECT_EQ(WaitForEnd(), QStringLiteral("Synchronized: fetched 3, uploaded 1, deleted here 0, "
                                         "deleted there 0, merged 0, conflicts left 0"));
  const QStringList all{QStringLiteral("Łucja Wąsowska"), QStringLiteral("Řehoř Žďárský"),
                        QStringLiteral("Ελένη Παπαδοπούλου"), QStringLiteral("王小明")};
  EXPECT_EQ(Contacts(), all);
  EXPECT_EQ(Contacts(QStringLiteral("Jiné")), QStringList{QStringLiteral("Zdeněk Nový")});
  EXPECT_EQ(ServerCards().size(), 4u);
  // The contact here went to the server with a UID of its own that the file on disk holds
  // already: a window killed now finds the same contact, not a new one, on the next run.
  {
    CFakeHost host;
    CZorvanDoc saved(host);
    ASSERT_TRUE(saved.OnOpenDocument(ToStdString(bound)));
    const CTreeItem* lucja = saved.ContactsRoot()->Child(0)->Child(0);
    ASSERT_TRUE(lucja->m_pExtras);
    EXPECT_EQ(lucja->m_pExtras->uid, Record({QStringLiteral("Contacts"), QStringLiteral("Telefon"),
                                             QStringLiteral("Łucja Wąsowska")})
                                         ->m_pExtras->uid);
  }
  Select(Item({QStringLiteral("Contacts"), QStringLiteral("Telefon"), QStringLiteral("王小明")}));
  EXPECT_EQ(Frame().FormView()->Record()->m_strRemark.view(), "同事");
  EXPECT_TRUE(ShownTitle().contains(QLatin1Char('*'))) << ShownTitle().toStdString();
  // The state went into the database, to be saved with it.
  sync::SSyncState state;
  std::string reason;
  ASSERT_TRUE(sync::LoadSyncState(Doc(), state, reason)) << reason;
  EXPECT_EQ(state.bindings.at(0).contacts.size(), 4u);

  // F5 again: nothing to do, the password not asked again.
  EXPECT_EQ(Synchronize(), QStringLiteral("Synchronized: fetched 0, uploaded 0, deleted here 0, "
                                          "deleted there 0, merged 0, conflicts left 0"));
  EXPECT_EQ(m_nPasswordAsked, 1);
  EXPECT_TRUE(m_prompt.questions.isEmpty());
}

TEST_F(SyncWindowTest, AConflictIsDecidedPerPropertyInTheDialogWhileTheGroupIsLocked) {
  std::string etag = PhonePut(
      "eleni.vcf", PhoneCard("phone-1", "Ελένη Παπαδοπούλου", "NOTE:Αθήνα\r\nTITLE:Učitelka\r\n"));
  ASSERT_TRUE(Start({BoundDatabase(QStringLiteral("kontakty.zvd"), {}, false)}));
  EXPECT_TRUE(Synchronize().startsWith(QStringLiteral("Synchronized: fetched 1,")));

  etag = PhonePut("eleni.vcf",
                  PhoneCard("phone-1", "Ελένη Παπαδοπούλου",
                            "NOTE:Θεσσαλονίκη\r\nTITLE:Γιατρός\r\nTEL;TYPE=CELL:+30 691 000\r\n"),
                  etag);
  const QStringList eleni{QStringLiteral("Contacts"), QStringLiteral("Telefon"),
                          QStringLiteral("Ελένη Παπαδοπούλου")};
  CTreeItem* record = Record(eleni);
  record->m_strRemark = "Pireas";
  record->m_strJobTitle = "Lékařka";
  Doc().SetModifiedFlag();

  int asked = 0;
  m_prompt.onModal = [&](QDialog& dialog) {
    auto* conflict = qobject_cast<CSyncConflictDlg*>(&dialog);
    ASSERT_NE(conflict, nullptr);
    QStringList texts;
    for (const QLabel* label : conflict->findChildren<QLabel*>()) texts << label->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("Ελένη Παπαδοπούλου")))
        << texts.join('|').toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("Note")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Job title")));
    EXPECT_EQ(conflict->findChildren<QRadioButton*>().size(), 4);
    // The group is locked meanwhile: the contact is shown but neither edited nor deleted.
    EXPECT_TRUE(Sync().IsRunning());
    Select(Item(eleni));
    EXPECT_TRUE(Frame().FormView()->IsReadOnly());
    EXPECT_FALSE(Tree().CanDeleteContact());
    EXPECT_FALSE(Frame().Action(ID_EDIT_DELETE_CONTACT)->isEnabled());
    Select(Item({QStringLiteral("Contacts"), QStringLiteral("Jiné")}));
    EXPECT_TRUE(Tree().CanDeleteContact());
    EXPECT_TRUE(Sync().ProgressBar()->isVisible());
    if (asked++ == 0) {
      SaveScreenshot(Frame(), QStringLiteral("sync-progress"));
      conflict->LeaveButton()->click();
      return;
    }
    for (size_t row = 0; row < 2; ++row) {
      const bool note = conflict->MineButton(row)->text() == QStringLiteral("Pireas");
      (note ? conflict->ServersButton(row) : conflict->MineButton(row))->click();
    }
    conflict->show();
    SaveScreenshot(*conflict, QStringLiteral("sync-conflict"));
    conflict->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  };
  EXPECT_EQ(Synchronize(), QStringLiteral("Synchronized: fetched 0, uploaded 0, deleted here 0, "
                                          "deleted there 0, merged 0, conflicts left 1"));
  EXPECT_EQ(Record(eleni)->m_strRemark.view(), "Pireas");
  EXPECT_EQ(Synchronize(), QStringLiteral("Synchronized: fetched 0, uploaded 1, deleted here 0, "
                                          "deleted there 0, merged 1, conflicts left 0"));
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(Record(eleni)->m_strRemark.view(), "Θεσσαλονίκη");
  EXPECT_EQ(Record(eleni)->m_strJobTitle.view(), "Lékařka");
  const std::vector<std::string> cards = ServerCards();
  ASSERT_EQ(cards.size(), 1u);
  EXPECT_NE(cards[0].find("NOTE:Θεσσαλονίκη"), std::string::npos) << cards[0];
  EXPECT_NE(cards[0].find("TITLE:Lékařka"), std::string::npos) << cards[0];
  // Free again once the run is over.
  Select(Item(eleni));
  EXPECT_FALSE(Frame().FormView()->IsReadOnly());
  EXPECT_TRUE(Tree().CanDeleteContact());
}

TEST_F(SyncWindowTest, CancelStopsARunAndClosingTheDatabaseWaitsForIt) {
  for (int i = 0; i < 8; ++i)
    PhonePut("karta-" + std::to_string(i) + ".vcf",
             PhoneCard("phone-" + std::to_string(i), "Zoë Łukasik " + std::to_string(i), ""));
  const QStringList mine{QStringLiteral("Jürgen Größ"), QStringLiteral("Łucja Wąsowska")};
  ASSERT_TRUE(Start({BoundDatabase(QStringLiteral("kontakty.zvd"), mine, false)}));

  Frame().Action(ID_FILE_SYNCHRONIZE)->trigger();
  ASSERT_TRUE(Sync().IsRunning());
  EXPECT_FALSE(Frame().Action(ID_FILE_SYNCHRONIZE)->isEnabled());
  Sync().CancelButton()->click();
  EXPECT_EQ(WaitForEnd(),
            QStringLiteral("Synchronization cancelled; what was done so far is kept."));
  EXPECT_EQ(Contacts(), mine);
  EXPECT_EQ(ServerCards().size(), 8u);
  EXPECT_TRUE(Frame().Action(ID_FILE_SYNCHRONIZE)->isEnabled());

  // New during a run: the run is stopped and waited for before the save question.
  Frame().Action(ID_FILE_SYNCHRONIZE)->trigger();
  ASSERT_TRUE(Sync().IsRunning());
  m_prompt.saveAnswers = {ESaveAnswer::No};
  EXPECT_TRUE(Frame().Documents().OnFileNew());
  EXPECT_FALSE(Sync().IsRunning());
  EXPECT_EQ(ServerCards().size(), 8u);
}

TEST_F(SyncWindowTest, AMassDeletionIsAskedFirstAndDoneOnlyWhenAllowed) {
  for (int i = 0; i < 6; ++i)
    PhonePut("karta-" + std::to_string(i) + ".vcf",
             PhoneCard("phone-" + std::to_string(i), "Zoë Łukasik " + std::to_string(i), ""));
  ASSERT_TRUE(Start({BoundDatabase(QStringLiteral("kontakty.zvd"), {}, false)}));
  EXPECT_TRUE(Synchronize().startsWith(QStringLiteral("Synchronized: fetched 6,")));
  for (int i = 1; i < 6; ++i)
    ASSERT_TRUE(
        m_session.pClient->Delete(m_session.strBook + "karta-" + std::to_string(i) + ".vcf", "")
            .Ok());

  m_prompt.yesNoAnswers = {false, true};
  EXPECT_EQ(Synchronize(), QStringLiteral("Nothing was synchronized with Kontakty: it would have "
                                          "deleted too many contacts."));
  ASSERT_EQ(m_prompt.questions.size(), 1);
  EXPECT_EQ(m_prompt.questions[0], QStringLiteral("Synchronizing with Kontakty would delete 5 "
                                                  "contacts here and 0 on the server.\nDelete "
                                                  "them?"));
  EXPECT_EQ(Contacts().size(), 6);
  EXPECT_EQ(Synchronize(), QStringLiteral("Synchronized: fetched 0, uploaded 0, deleted here 5, "
                                          "deleted there 0, merged 0, conflicts left 0"));
  EXPECT_EQ(Contacts(), QStringList{QStringLiteral("Zoë Łukasik 0")});
}

// A binding with a calendar publishes the birthdays there after its contacts are in step, and
// only what changed the next time.
TEST_F(SyncWindowTest, ABindingsCalendarReceivesTheBirthdaysAfterTheSynchronisation) {
  std::string calendar;
  ASSERT_TRUE(MakeCalendar(m_server, EDavServer::Radicale, m_session, "narozeniny/", calendar));
  const QString bound =
      BoundDatabase(QStringLiteral("kalendář.zvd"),
                    {QStringLiteral("Łucja Wąsowska"), QStringLiteral("Jiří Dvořák")}, false,
                    m_server.Url() + calendar);
  ASSERT_TRUE(Start({bound}));
  EXPECT_EQ(Synchronize(), QStringLiteral("Synchronized: fetched 0, uploaded 2, deleted here 0, "
                                          "deleted there 0, merged 0, conflicts left 0; calendar: "
                                          "published 2, unchanged 0, withdrawn 0"));
  std::vector<sync::SRemoteEntry> events;
  ASSERT_TRUE(m_session.pClient->ListMembers(calendar, events).Ok());
  EXPECT_EQ(events.size(), 2u);
  EXPECT_EQ(Synchronize(), QStringLiteral("Synchronized: fetched 0, uploaded 0, deleted here 0, "
                                          "deleted there 0, merged 0, conflicts left 0; calendar: "
                                          "published 0, unchanged 2, withdrawn 0"));
  // What was published is kept with the database.
  ASSERT_TRUE(Frame().Documents().OnFileSave());
  CFakeHost host;
  CZorvanDoc saved(host);
  ASSERT_TRUE(saved.OnOpenDocument(ToStdString(bound)));
  sync::SPublishState published;
  std::string reason;
  ASSERT_TRUE(sync::LoadPublishState(saved, published, reason)) << reason;
  EXPECT_EQ(published.ForCalendar(m_server.Url() + calendar).events.size(), 2u);
}

}  // namespace
}  // namespace zorvan::test
