// What leaves the program for the mail program or the browser: Send e-mail and Web page on the
// shown record, the Help menu's web commands and the About box's links.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "app/AboutDlg.h"
#include "app/MainFrame.h"
#include "store/ZorvanDoc.h"
#include "tests/ui/GuiTest.h"
#include "ui/MyPropSheet.h"
#include "ui/StaticLink.h"
#include "ui/ZorvanView.h"
#include "ui/pages/PageHome.h"

namespace zorvan::test {
namespace {

class LinkCommandsTest : public CGuiTest {
 protected:
  void SetUp() override {
    CGuiTest::SetUp();
    SetPrompt(&m_opener);
  }
  void TearDown() override {
    SetPrompt(&m_prompt);
    CGuiTest::TearDown();
  }
  // Jiří Dvořák has both e-mail addresses and a personal web page; Agnieszka has no address.
  void OpenSample() {
    const QString path = MakeDatabase("links.zvd", {"Jiří Dvořák", "Agnieszka Wójcik"});
    ASSERT_TRUE(Start({path}));
    QApplication::setActiveWindow(&Frame());
    CTreeItem* jiri = Record({"Contacts", "Jiří Dvořák"});
    jiri->m_strPersonalEmail = "jiri@dvořák.example";
    jiri->m_strBusinessEmail = "dvorak@firma.example";
    jiri->m_nPrefEmail = 0;
    jiri->m_strPersonalWeb = "www.dvorak.example";
    jiri->m_nPrefUrl = 0;
  }
  bool Enabled(int id) { return Frame().Action(id)->isEnabled(); }

  CRecordingPrompt m_opener;
};

}  // namespace

TEST_F(LinkCommandsTest, SendEmailAndWebPageOpenThePreferredAddressOfTheShownRecord) {
  OpenSample();
  Select(Item({"Contacts", "Jiří Dvořák"}));
  ASSERT_TRUE(Enabled(ID_EDIT_SEND_EMAIL));
  ASSERT_TRUE(Enabled(ID_EDIT_WEB_PAGE));
  Frame().Action(ID_EDIT_SEND_EMAIL)->trigger();
  Frame().Action(ID_EDIT_WEB_PAGE)->trigger();
  CTreeItem* jiri = Record({"Contacts", "Jiří Dvořák"});
  jiri->m_nPrefEmail = 1;
  Frame().Action(ID_EDIT_SEND_EMAIL)->trigger();
  // Only a business address: the personal one is empty, so the business one is taken.
  jiri->m_strPersonalEmail = "";
  jiri->m_nPrefEmail = 0;
  Frame().Action(ID_EDIT_SEND_EMAIL)->trigger();
  // A secure address is opened as it is.
  jiri->m_strPersonalWeb = "HTTPS://www.dvorak.example/č";
  Frame().Action(ID_EDIT_WEB_PAGE)->trigger();
  EXPECT_EQ(m_opener.opened,
            (QStringList{"mailto:jiri@dvo%C5%99%C3%A1k.example", "http://www.dvorak.example",
                         "mailto:dvorak@firma.example", "mailto:dvorak@firma.example",
                         "https://www.dvorak.example/%C4%8D"}));
}

TEST_F(LinkCommandsTest, SendEmailIsAvailableExactlyWhileTheShownRecordHasAnAddress) {
  OpenSample();
  Select(Item({"Contacts", "Agnieszka Wójcik"}));
  EXPECT_FALSE(Enabled(ID_EDIT_SEND_EMAIL));
  EXPECT_FALSE(Enabled(ID_EDIT_WEB_PAGE));
  // Typing an address into the form makes it the preferred one at once.
  CPageHome& home = *Frame().FormView()->Sheet()->m_pageHome;
  Frame().FormView()->Sheet()->setCurrentWidget(&home);
  Type(home.m_pEmail, QStringLiteral("agnieszka@wójcik.example"));
  EXPECT_TRUE(Enabled(ID_EDIT_SEND_EMAIL));
  EXPECT_FALSE(Enabled(ID_EDIT_WEB_PAGE));
  Frame().Action(ID_EDIT_SEND_EMAIL)->trigger();
  EXPECT_EQ(m_opener.opened, QStringList{"mailto:agnieszka@w%C3%B3jcik.example"});
  // Whichever pane is active.
  Select(Item({"Contacts", "Jiří Dvořák"}));
  EXPECT_TRUE(Enabled(ID_EDIT_WEB_PAGE));
  Frame().FormView()->setFocus();
  QApplication::processEvents();
  EXPECT_TRUE(Enabled(ID_EDIT_WEB_PAGE));
  // No record shown (a new database) disables both.
  m_opener.saveAnswers.push_back(ESaveAnswer::No);
  Frame().Action(ID_FILE_NEW)->trigger();
  EXPECT_FALSE(Enabled(ID_EDIT_SEND_EMAIL));
  EXPECT_FALSE(Enabled(ID_EDIT_WEB_PAGE));
}

// Without a mail program or a browser the desktop opens nothing; the user is told so.
TEST_F(LinkCommandsTest, ALinkNoProgramCouldOpenIsToldOfInAMessage) {
  OpenSample();
  Select(Item({"Contacts", "Jiří Dvořák"}));
  m_opener.answer = false;
  Frame().Action(ID_EDIT_SEND_EMAIL)->trigger();
  Frame().Action(ID_EDIT_WEB_PAGE)->trigger();
  EXPECT_EQ(m_opener.MessageTexts(),
            (QStringList{"No e-mail program could be started to write to jiri@dvořák.example.",
                         "No web browser could be started to open http://www.dvorak.example."}));
  EXPECT_EQ(m_opener.opened.size(), 2);
}

TEST_F(LinkCommandsTest, TheHelpWebCommandsOpenTheMakersPagesAndWriteToTheAuthor) {
  ASSERT_TRUE(Start());
  for (int id : {ID_HELP_HOME_PAGE, ID_HELP_SUPPORT, ID_HELP_EMAIL_AUTHOR}) {
    EXPECT_TRUE(Enabled(id));
    Frame().Action(id)->trigger();
  }
  EXPECT_EQ(m_opener.opened,
            (QStringList{"http://www.example.org", "http://www.example.org/zorvan/support",
                         "mailto:author@example.com?subject=Zorvan%202.1.3"}));
}

TEST_F(LinkCommandsTest, AnAboutBoxLinkThatCannotBeOpenedStaysUnvisitedUntilOneOpens) {
  ASSERT_TRUE(Start());
  bool checked = false;
  m_opener.onModal = [&](QDialog& dialog) {
    auto* about = dynamic_cast<CAboutDlg*>(&dialog);
    ASSERT_NE(about, nullptr);
    m_opener.answer = false;
    QTest::mouseClick(about->m_pEmailLink, Qt::LeftButton);
    EXPECT_FALSE(about->m_pEmailLink->IsVisited());
    EXPECT_EQ(about->m_pEmailLink->palette().color(QPalette::WindowText).rgb(),
              CStaticLink::kUnvisited);
    EXPECT_TRUE(about->m_pEmailLink->font().underline());
    m_opener.answer = true;
    QTest::mouseClick(about->m_pEmailLink, Qt::LeftButton);
    QTest::mouseClick(about->m_pWebLink, Qt::LeftButton);
    EXPECT_TRUE(about->m_pEmailLink->IsVisited());
    EXPECT_EQ(about->m_pWebLink->palette().color(QPalette::WindowText).rgb(),
              CStaticLink::kVisited);
    checked = true;
  };
  Frame().Action(ID_APP_ABOUT)->trigger();
  EXPECT_TRUE(checked);
  EXPECT_EQ(m_opener.opened, (QStringList{"mailto:author@example.com", "mailto:author@example.com",
                                          "http://www.example.org"}));
  // A new About box starts unvisited again.
  m_opener.onModal = [&](QDialog& dialog) {
    EXPECT_FALSE(dynamic_cast<CAboutDlg&>(dialog).m_pEmailLink->IsVisited());
  };
  Frame().Action(ID_APP_ABOUT)->trigger();
}

}  // namespace zorvan::test
