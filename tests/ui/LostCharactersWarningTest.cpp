// Characters the database file's code page cannot hold: a word in the status bar when the
// first is typed in the form, and on Save the contacts that will lose characters, with the
// choice to go back.
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStatusBar>

#include "app/MainFrame.h"
#include "res/CodePage.h"
#include "store/ZorvanDoc.h"
#include "tests/ui/GuiTest.h"
#include "tests/ui/Screenshot.h"
#include "ui/MyPropSheet.h"
#include "ui/ZorvanTreeView.h"
#include "ui/ZorvanView.h"
#include "ui/pages/PageName.h"
#include "ui/pages/PagePersonal.h"

namespace zorvan::test {
namespace {

class LostCharactersWarningTest : public CGuiTest {
 protected:
  void TearDown() override {
    CGuiTest::TearDown();
    SetActiveCodePage(ECodePage::Windows1250);
  }
  CMyPropSheet& Sheet() { return *Frame().FormView()->Sheet(); }
  QString StatusText() { return Frame().statusBar()->currentMessage(); }
  QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
};

}  // namespace

TEST_F(LostCharactersWarningTest, TheFirstCharacterTheFileCannotHoldTypedInTheFormWarnsOnce) {
  ASSERT_TRUE(Start({MakeDatabase("a.zvd", {"Jana Dvořáková", "Piotr"})}));
  QApplication::setActiveWindow(&Frame());
  Select(Item({"Contacts", "Jana Dvořáková"}));
  Sheet().setCurrentWidget(Sheet().m_pageName);
  QApplication::processEvents();
  Type(Sheet().m_pageName->m_pFirst, QStringLiteral("Jana Łucja"));  // Windows-1250 has Ł
  EXPECT_EQ(StatusText(), QString());
  Type(Sheet().m_pageName->m_pFirst, QStringLiteral(" Øster"));
  EXPECT_TRUE(StatusText().contains(QStringLiteral("\"Ø\""))) << StatusText().toStdString();
  EXPECT_EQ(Record({"Contacts", "Jana Dvořáková"})->m_strFirstName, "Jana Łucja Øster");
  EXPECT_TRUE(m_prompt.messages.empty());
  SaveScreenshot(Frame(), QStringLiteral("lost-characters-status"));

  // Once in a session, whichever box.
  Frame().statusBar()->clearMessage();
  Sheet().setCurrentWidget(Sheet().m_pagePersonal);
  QApplication::processEvents();
  Type(Sheet().m_pagePersonal->m_pRemark, QStringLiteral("李"));
  EXPECT_EQ(StatusText(), QString());
}

TEST_F(LostCharactersWarningTest, TheLabelBoxAndTheRemarkWarnToo) {
  ASSERT_TRUE(Start({MakeDatabase("a.zvd", {"Eva"})}));
  QApplication::setActiveWindow(&Frame());
  Select(Item({"Contacts", "Eva"}));
  Sheet().setCurrentWidget(Sheet().m_pageName);
  QApplication::processEvents();
  Type(Sheet().m_pageName->m_pLabel->lineEdit(), QStringLiteral("李"));
  EXPECT_TRUE(StatusText().contains(QStringLiteral("\"李\""))) << StatusText().toStdString();
  Stop();

  // The remark in a new session, under Windows-1252, which lacks "ř".
  SetActiveCodePage(ECodePage::Windows1252);
  ASSERT_TRUE(Start({MakeDatabase("b.zvd", {"Eva"})}));
  QApplication::setActiveWindow(&Frame());
  Select(Item({"Contacts", "Eva"}));
  Sheet().setCurrentWidget(Sheet().m_pagePersonal);
  QApplication::processEvents();
  Type(Sheet().m_pagePersonal->m_pRemark, QStringLiteral("Müller, Dvořák"));
  EXPECT_TRUE(StatusText().contains(QStringLiteral("\"ř\""))) << StatusText().toStdString();
  EXPECT_TRUE(StatusText().contains(QStringLiteral("Windows-1252"))) << StatusText().toStdString();
}

TEST_F(LostCharactersWarningTest, SaveListsTheContactsThatLoseCharactersAndNoGoesBack) {
  const QString path = MakeDatabase("a.zvd", {"Rodina;g", " Tomáš", " Chen", "Orsted"});
  ASSERT_TRUE(Start({path}));
  const QByteArray before = FileBytes(path);
  Record({"Contacts", "Rodina", "Chen"})->m_strFirstName = "李";
  Record({"Contacts", "Rodina", "Chen"})->m_strHomeCity = "北京";
  CTreeItem* orsted = Record({"Contacts", "Orsted"});
  orsted->m_strLabel = "Ørsted";
  orsted->m_strRemark = "H. C. Ørsted";
  Record({"Contacts", "Rodina", "Tomáš"})->m_strLastName = "Dvořák";  // fits
  Doc().SetModifiedFlag();

  // No: nothing written, still modified.
  m_prompt.yesNoAnswers = {false};
  Frame().Action(ID_FILE_SAVE)->trigger();
  ASSERT_EQ(m_prompt.questions.size(), 1);
  const QString question = m_prompt.questions[0];
  EXPECT_TRUE(question.contains(QStringLiteral("Chen (First name, Home city)")))
      << question.toStdString();
  EXPECT_TRUE(question.contains(QStringLiteral("Ørsted (Label, Remark)")))
      << question.toStdString();
  EXPECT_FALSE(question.contains(QStringLiteral("Tomáš"))) << question.toStdString();
  EXPECT_TRUE(question.contains(QStringLiteral("Windows-1250"))) << question.toStdString();
  EXPECT_EQ(FileBytes(path), before);
  EXPECT_TRUE(Doc().IsModified());

  // Yes: saved with "?" in their place.
  m_prompt.yesNoAnswers = {true};
  Frame().Action(ID_FILE_SAVE)->trigger();
  EXPECT_EQ(m_prompt.questions.size(), 2);
  EXPECT_FALSE(Doc().IsModified());
  EXPECT_TRUE(FileBytes(path).contains("?rsted"));

  // Closing a modified database: Yes to saving, then No to the loss keeps the window.
  Doc().SetModifiedFlag();
  m_prompt.saveAnswers = {ESaveAnswer::Yes};
  m_prompt.yesNoAnswers = {false};
  EXPECT_FALSE(CloseWindow());
  EXPECT_EQ(m_prompt.questions.size(), 3);

  // The question as the user sees it.
  QMessageBox box(QMessageBox::Question, QStringLiteral("Zorvan"), question,
                  QMessageBox::Yes | QMessageBox::No, &Frame());
  box.setDefaultButton(QMessageBox::No);
  box.show();
  QApplication::processEvents();
  SaveScreenshot(box, QStringLiteral("lost-characters-save-question"));
}

TEST_F(LostCharactersWarningTest, ASaveThatLosesNothingAsksNothing) {
  const QString path = MakeDatabase("a.zvd", {"Żaneta Łęcka", "Šimon Ďurčo", "Müller"});
  ASSERT_TRUE(Start({path}));
  Doc().SetModifiedFlag();
  Frame().Action(ID_FILE_SAVE)->trigger();
  EXPECT_TRUE(m_prompt.questions.isEmpty());
  EXPECT_FALSE(Doc().IsModified());
}

}  // namespace zorvan::test
