// File > Accounts against a Radicale server started for the test on 127.0.0.1: the address
// books found from the server's plain address off the window's thread, a new group named after
// the chosen one, the binding stored with the database (and its password kept out of it), the
// refusals shown with their reason, and Remove keeping the group with its contacts.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <functional>
#include <map>

#include "app/AccountEditDlg.h"
#include "app/MainFrame.h"
#include "app/SyncPassword.h"
#include "store/TreeItem.h"
#include "store/ZorvanDoc.h"
#include "sync/DavServers.h"
#include "sync/DavXml.h"
#include "sync/SyncState.h"
#include "tests/ui/GuiTest.h"
#include "tests/ui/Screenshot.h"

namespace zorvan::test {
namespace {

const QString kFriends = QStringLiteral("Přátelé z Brna");
const QString kPassword = QString::fromUtf8(CDavServer::kPassword);

template <typename T>
T* Child(QDialog& dialog, const char* name) {
  T* found = dialog.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(found, nullptr) << name;
  return found;
}

class AccountsTest : public CGuiTest {
 protected:
  void SetUp() override {
    CGuiTest::SetUp();
    app::SetSyncPasswordPromptForTesting([this](const QString&, const QString&) {
      ++m_nAsked;
      return std::optional<QString>(kPassword);
    });
  }
  void TearDown() override {
    app::SetSyncPasswordPromptForTesting({});
    CGuiTest::TearDown();
  }

  // Radicale with two address books of the test user: "Kontakty" and kFriends.
  void StartServer() {
    ASSERT_TRUE(OpenSession(m_server, EDavServer::Radicale, m_session));
    const auto made =
        m_session.pTransport->Send({"MKCOL",
                                    m_server.Url() + "/jana/pratele/",
                                    {{"Content-Type", "application/xml"}},
                                    sync::MakeCollectionBody(kFriends.toStdString(), false)});
    ASSERT_EQ(made.response.nStatus, 201) << made.status.strMessage;
  }

  // Runs File > Accounts; each dialog it opens goes to the handler of its object name
  // ("accounts", "accountEdit"), shown so that it is laid out as the user sees it.
  void RunAccounts(std::map<QString, std::function<void(QDialog&)>> handlers) {
    m_prompt.onModal = [&](QDialog& dialog) {
      dialog.show();
      QApplication::processEvents();
      auto handler = handlers.find(dialog.objectName());
      ASSERT_NE(handler, handlers.end()) << dialog.objectName().toStdString();
      handler->second(dialog);
    };
    Frame().Action(ID_FILE_ACCOUNTS)->trigger();
    m_prompt.onModal = nullptr;
  }

  // Fills in the account and finds its address books, waiting for the answer as the user
  // would, the window's events going on meanwhile.
  static void FindBooks(QDialog& dialog, const QString& server, const QString& password) {
    Child<QLineEdit>(dialog, "server")->setText(server);
    Child<QLineEdit>(dialog, "user")->setText(QString::fromLatin1(CDavServer::kUser));
    Child<QLineEdit>(dialog, "password")->setText(password);
    auto* find = Child<QPushButton>(dialog, "find");
    find->click();
    // Asked off the window's thread: the button waits and the indicator moves meanwhile.
    EXPECT_FALSE(find->isEnabled());
    EXPECT_TRUE(Child<QProgressBar>(dialog, "busy")->isVisible());
    auto& edit = static_cast<CAccountEditDlg&>(dialog);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !edit.IsFinding(); }, 30000));
    EXPECT_TRUE(find->isEnabled());
    EXPECT_FALSE(Child<QProgressBar>(dialog, "busy")->isVisible());
  }

  static QPushButton* OkButton(QDialog& dialog) {
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    EXPECT_NE(buttons, nullptr);
    return buttons ? buttons->button(QDialogButtonBox::Ok) : nullptr;
  }

  CDavServer m_server{EDavServer::Radicale};
  SDavSession m_session;
  int m_nAsked = 0;
};

TEST_F(AccountsTest, BindsANewGroupNamedAfterTheAddressBookFoundFromTheServersAddress) {
  ASSERT_NO_FATAL_FAILURE(StartServer());
  const QString path = MakeDatabase(QStringLiteral("kontakty.zvd"),
                                    {QStringLiteral("Rodina;g"), QStringLiteral(" Eva Dvořáková")});
  ASSERT_TRUE(Start({path}));
  RunAccounts({{"accounts",
                [&](QDialog& list) {
                  auto* bindings = Child<QTreeWidget>(list, "bindings");
                  EXPECT_EQ(bindings->topLevelItemCount(), 0);
                  EXPECT_FALSE(Child<QPushButton>(list, "remove")->isEnabled());
                  Child<QPushButton>(list, "add")->click();
                  ASSERT_EQ(bindings->topLevelItemCount(), 1);
                  EXPECT_EQ(bindings->topLevelItem(0)->text(1), kFriends);
                  SaveScreenshot(list, QStringLiteral("accounts-list"));
                  OkButton(list)->click();
                }},
               {"accountEdit", [&](QDialog& edit) {
                  EXPECT_FALSE(OkButton(edit)->isEnabled());  // no address book yet
                  FindBooks(edit, QString::fromStdString(m_server.Url()), kPassword);
                  auto* books = Child<QComboBox>(edit, "books");
                  ASSERT_EQ(books->count(), 2);
                  const int friends = books->findText(kFriends, Qt::MatchStartsWith);
                  ASSERT_GE(friends, 0);
                  books->setCurrentIndex(friends);
                  EXPECT_EQ(Child<QComboBox>(edit, "groups")->currentIndex(), 0);  // a new group
                  Child<QCheckBox>(edit, "syncWhenOpened")->setChecked(true);
                  EXPECT_FALSE(Child<QLabel>(edit, "afresh")->isVisible());
                  SaveScreenshot(edit, QStringLiteral("accounts-edit"));
                  OkButton(edit)->click();
                }}});
  EXPECT_TRUE(Doc().IsModified());
  ASSERT_NE(Item({"Contacts", kFriends}), nullptr);
  Frame().Action(ID_FILE_SAVE)->trigger();
  ASSERT_FALSE(Doc().IsModified());
  // The password went to the secret store's stand-in, not into the file.
  const std::string bytes = ReadFile(path.toStdString());
  EXPECT_EQ(bytes.find(CDavServer::kPassword), std::string::npos);
  QString kept;
  ASSERT_TRUE(app::FindSyncPassword(nullptr, QString::fromStdString(m_server.Url()),
                                    QString::fromLatin1(CDavServer::kUser), kept));
  EXPECT_EQ(kept, kPassword);
  EXPECT_EQ(m_nAsked, 0);

  ASSERT_TRUE(Doc().OnOpenDocument(path.toStdString()));
  sync::SSyncState state;
  std::string reason;
  ASSERT_TRUE(sync::LoadSyncState(Doc(), state, reason)) << reason;
  ASSERT_EQ(state.bindings.size(), 1u);
  const sync::SBinding& b = state.bindings[0];
  EXPECT_EQ(b.serverUrl, m_server.Url());
  EXPECT_EQ(b.userName, CDavServer::kUser);
  EXPECT_EQ(b.bookHref, "/jana/pratele/");
  EXPECT_EQ(b.bookName, kFriends.toStdString());
  EXPECT_TRUE(b.syncWhenOpened);
  const CTreeItem* group = sync::FindBoundGroup(*Doc().ContactsRoot(), b.groupUid);
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->m_strLabel.str(), kFriends.toStdString());
  EXPECT_NE(group->m_bGroup, 0);
}

TEST_F(AccountsTest, ShowsWhyNoAddressBookWasFoundAndCancelChangesNothing) {
  ASSERT_NO_FATAL_FAILURE(StartServer());
  ASSERT_TRUE(Start({MakeDatabase(QStringLiteral("kontakty.zvd"), {QStringLiteral("Zdeněk")})}));
  const struct {
    const char* what;
    QString server;
    QString password;
    const char* said;
  } cases[] = {
      {"a wrong password", QString::fromStdString(m_server.Url()), QStringLiteral("heslo"),
       "refused the user name or password"},
      {"nobody listening", QStringLiteral("http://127.0.0.1:%1/").arg(FreePort()), kPassword,
       "cannot be reached"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    RunAccounts(
        {{"accounts", [](QDialog& list) { Child<QPushButton>(list, "add")->click(); }},
         {"accountEdit", [&](QDialog& edit) {
            FindBooks(edit, c.server, c.password);
            EXPECT_TRUE(Child<QLabel>(edit, "findStatus")->text().contains(QLatin1String(c.said)))
                << Child<QLabel>(edit, "findStatus")->text().toStdString();
            EXPECT_EQ(Child<QComboBox>(edit, "books")->count(), 0);
            EXPECT_FALSE(OkButton(edit)->isEnabled());
          }}});
  }
  EXPECT_FALSE(Doc().IsModified());
  EXPECT_EQ(Doc().KeptSection(sync::kTagSync), nullptr);
}

TEST_F(AccountsTest, EditSaysWhenTheBindingStartsAfreshAndRemoveKeepsTheGroup) {
  ASSERT_TRUE(Start({MakeDatabase(QStringLiteral("kontakty.zvd"),
                                  {QStringLiteral("Práce;g"), QStringLiteral(" Łucja Wąsowska"),
                                   QStringLiteral("Rodina;g")})}));
  sync::SSyncState state;
  state.bindings.push_back({sync::BindingUid(*Record({"Contacts", "Práce"})),
                            "https://dav.example.cz/",
                            "jana",
                            "/jana/prace/",
                            "Práce",
                            "",
                            "token-1",
                            false,
                            {{"urn:uuid:1", "/jana/prace/1.vcf", "e1", 1, "", false}},
                            ""});
  sync::StoreSyncState(Doc(), state);
  Doc().SetModifiedFlag(false);
  m_prompt.yesNoAnswers = {true};
  RunAccounts({{"accounts",
                [](QDialog& list) {
                  auto* bindings = Child<QTreeWidget>(list, "bindings");
                  ASSERT_EQ(bindings->topLevelItemCount(), 1);
                  EXPECT_EQ(bindings->topLevelItem(0)->text(0), QStringLiteral("Práce"));
                  Child<QPushButton>(list, "edit")->click();
                  Child<QPushButton>(list, "remove")->click();
                  EXPECT_EQ(bindings->topLevelItemCount(), 0);
                  OkButton(list)->click();
                }},
               {"accountEdit", [](QDialog& edit) {
                  auto* groups = Child<QComboBox>(edit, "groups");
                  // Its own group, and the other one that no binding has.
                  EXPECT_EQ(groups->count(), 3);
                  EXPECT_EQ(groups->currentText(), QStringLiteral("Práce"));
                  EXPECT_TRUE(OkButton(edit)->isEnabled());  // its address book as bound
                  EXPECT_FALSE(Child<QLabel>(edit, "afresh")->isVisible());
                  groups->setCurrentIndex(groups->findText(QStringLiteral("Rodina")));
                  EXPECT_TRUE(Child<QLabel>(edit, "afresh")->isVisible());
                  edit.reject();
                }}});
  ASSERT_EQ(m_prompt.questions.size(), 1);
  EXPECT_TRUE(m_prompt.questions[0].contains(QStringLiteral("Práce")));
  std::string reason;
  ASSERT_TRUE(sync::LoadSyncState(Doc(), state, reason)) << reason;
  EXPECT_TRUE(state.Empty());
  EXPECT_TRUE(Doc().IsModified());
  EXPECT_NE(Item({"Contacts", "Práce", "Łucja Wąsowska"}), nullptr);
}

}  // namespace
}  // namespace zorvan::test
