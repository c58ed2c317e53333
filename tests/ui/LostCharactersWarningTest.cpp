// Characters the database file's code page cannot hold: typing and saving them asks and warns
// nothing, as the file keeps them in its extension trailer; the copy for the older program,
// which reads only the code page, lists the contacts that will have "?" and may go back.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStatusBar>

#include "app/MainFrame.h"
#include "qt/QtText.h"
#include "res/CodePage.h"
#include "store/ExtensionTrailer.h"
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
  // Contacts whose texts the code page Windows-1250 cannot hold, and one whose texts it can.
  QString MakeMixedDatabase() {
    const QString path = MakeDatabase("a.zvd", {"Rodina;g", " Tomáš", " Chen", "Orsted"});
    EXPECT_TRUE(Start({path}));
    Record({"Contacts", "Rodina", "Chen"})->m_strFirstName = "李";
    Record({"Contacts", "Rodina", "Chen"})->m_strHomeCity = "北京";
    CTreeItem* orsted = Record({"Contacts", "Orsted"});
    orsted->m_strLabel = "Ørsted";
    orsted->m_strRemark = "Ο Ørsted";
    Record({"Contacts", "Rodina", "Tomáš"})->m_strLastName = "Dvořák";  // fits
    Doc().SetModifiedFlag();
    return path;
  }
};

}  // namespace

TEST_F(LostCharactersWarningTest, TypingACharacterTheCodePageCannotHoldWarnsNothing) {
  ASSERT_TRUE(Start({MakeDatabase("a.zvd", {"Jana Dvořáková"})}));
  QApplication::setActiveWindow(&Frame());
  Select(Item({"Contacts", "Jana Dvořáková"}));
  Sheet().setCurrentWidget(Sheet().m_pageName);
  QApplication::processEvents();
  Frame().statusBar()->clearMessage();
  Type(Sheet().m_pageName->m_pFirst, QStringLiteral("Jana Øster Νίκη"));
  Type(Sheet().m_pageName->m_pLabel->lineEdit(), QStringLiteral("李"));
  EXPECT_EQ(StatusText(), QString());
  EXPECT_EQ(Record({"Contacts", "Jana Dvořáková"})->m_strFirstName, "Jana Øster Νίκη");
  Sheet().setCurrentWidget(Sheet().m_pagePersonal);
  QApplication::processEvents();
  Type(Sheet().m_pagePersonal->m_pRemark, QStringLiteral("Бетти 王"));
  EXPECT_EQ(StatusText(), QString());
  EXPECT_TRUE(m_prompt.messages.empty());
}

TEST_F(LostCharactersWarningTest, SaveAsksNothingAndTheFileGivesBackTheExactTexts) {
  const QString path = MakeMixedDatabase();
  Frame().Action(ID_FILE_SAVE)->trigger();
  EXPECT_TRUE(m_prompt.questions.isEmpty());
  EXPECT_FALSE(Doc().IsModified());
  ASSERT_TRUE(Doc().OnOpenDocument(ToFilePath(path)));
  EXPECT_EQ(Record({"Contacts", "Rodina", "Chen"})->m_strFirstName, "李");
  EXPECT_EQ(Record({"Contacts", "Rodina", "Chen"})->m_strHomeCity, "北京");
  EXPECT_EQ(Record({"Contacts", "Ørsted"})->m_strRemark, "Ο Ørsted");
  EXPECT_EQ(Record({"Contacts", "Rodina", "Tomáš"})->m_strLastName, "Dvořák");
}

TEST_F(LostCharactersWarningTest, TheCopyForTheOlderProgramListsTheContactsAndNoWritesNothing) {
  const QString path = MakeMixedDatabase();
  const QByteArray before = FileBytes(path);
  const QString copy = TempPath(QStringLiteral("a (older program).zvd"));

  // No: nothing written.
  m_prompt.fileAnswers = {copy};
  m_prompt.yesNoAnswers = {false};
  Frame().Action(ID_FILE_SAVE_OLDER_COPY)->trigger();
  ASSERT_EQ(m_prompt.fileDialogs.size(), 1u);
  EXPECT_EQ(m_prompt.fileDialogs[0].fileName, QStringLiteral("a (older program).zvd"));
  EXPECT_EQ(QDir(m_prompt.fileDialogs[0].directory), QFileInfo(path).absoluteDir());
  ASSERT_EQ(m_prompt.questions.size(), 1);
  const QString question = m_prompt.questions[0];
  for (const QString& listed :
       {QStringLiteral("Chen (First name, Home city)"), QStringLiteral("Ørsted (Label, Remark)"),
        QStringLiteral("older program reads only the file's code page "
                       "Windows-1250")})
    EXPECT_TRUE(question.contains(listed)) << question.toStdString();
  EXPECT_FALSE(question.contains(QStringLiteral("Tomáš"))) << question.toStdString();
  EXPECT_FALSE(QFileInfo::exists(copy));

  // Yes: the records alone, with "?" in place of what the code page lacks.
  m_prompt.fileAnswers = {copy};
  m_prompt.yesNoAnswers = {true};
  Frame().Action(ID_FILE_SAVE_OLDER_COPY)->trigger();
  EXPECT_EQ(m_prompt.questions.size(), 2);
  const QByteArray written = FileBytes(copy);
  EXPECT_TRUE(written.contains("?rsted"));
  EXPECT_TRUE(written.contains("Dvo\xF8\xE1k"));  // "Dvořák" in Windows-1250
  EXPECT_FALSE(written.contains(QByteArray::fromStdString(std::string(zvd_trailer::kMagic))));
  EXPECT_TRUE(StatusText().contains(QDir::toNativeSeparators(copy))) << StatusText().toStdString();
  EXPECT_EQ(FromFilePath(Doc().GetPathName()), path);
  EXPECT_TRUE(Doc().IsModified());
  EXPECT_EQ(FileBytes(path), before);
  EXPECT_EQ(Record({"Contacts", "Rodina", "Chen"})->m_strFirstName, "李");

  // The question as the user sees it.
  QMessageBox box(QMessageBox::Question, QStringLiteral("Zorvan"), question,
                  QMessageBox::Yes | QMessageBox::No, &Frame());
  box.setDefaultButton(QMessageBox::No);
  box.show();
  QApplication::processEvents();
  SaveScreenshot(box, QStringLiteral("lost-characters-older-copy-question"));
}

TEST_F(LostCharactersWarningTest, TheCopyForTheOlderProgramRefusesTheDatabasesOwnFile) {
  const QString path = MakeMixedDatabase();
  const QString link = TempPath(QStringLiteral("odkaz.zvd"));
  ASSERT_TRUE(QFile::link(path, link));
  const QByteArray before = FileBytes(path);
  for (const QString& chosen : {path, link}) {
    m_prompt.messages.clear();
    m_prompt.fileAnswers = {chosen};
    m_prompt.yesNoAnswers = {true};
    Frame().Action(ID_FILE_SAVE_OLDER_COPY)->trigger();
    ASSERT_EQ(m_prompt.messages.size(), 1u) << chosen.toStdString();
    EXPECT_TRUE(m_prompt.messages[0].text.contains(QStringLiteral("open database's own file")))
        << m_prompt.messages[0].text.toStdString();
    EXPECT_EQ(m_prompt.messages[0].icon, EMsgIcon::Error);
    EXPECT_TRUE(m_prompt.questions.isEmpty());
    EXPECT_EQ(FileBytes(path), before);
  }
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
