#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <memory>
#include <sstream>
#include <vector>

#include "app/ZorvanApp.h"
#include "qt/Prompt.h"

class QTreeWidgetItem;

// Failed comparisons print Qt's texts as texts.
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

namespace zorvan {

class CMainFrame;
class CTreeItem;
class CZorvanDoc;
class CZorvanTreeView;

namespace test {

// Answers every modal interaction from a script and records what was asked. Unscripted
// questions get No, save prompts Cancel, file dialogs a cancel.
class CScriptedPrompt : public CPrompt {
 public:
  struct SMessage {
    QString text;
    EMsgIcon icon;
  };

  void MessageBox(const QString& text, EMsgIcon icon) override;
  bool AskYesNo(const QString& text) override;
  ESaveAnswer AskSaveChanges(const QString& text) override;
  QString GetOpenFileName(const SFileDialog& dialog) override;
  QString GetSaveFileName(const SFileDialog& dialog) override;
  int RunModal(QDialog& dialog) override;

  QStringList MessageTexts() const;

  std::vector<SMessage> messages;
  QStringList questions;
  QStringList savePrompts;
  std::vector<SFileDialog> fileDialogs;
  std::deque<bool> yesNoAnswers;
  std::deque<ESaveAnswer> saveAnswers;
  std::deque<QString> fileAnswers;
  // Drives a modal dialog; the dialog's result (Accepted once accept() or its OK button ran)
  // is what RunModal returns.
  std::function<void(QDialog&)> onModal;
};

// Opens nothing: the test's own record of what the program asked to open. answer is what the
// user's programs answer: false as when none can take the target.
class CRecordingPrompt : public CScriptedPrompt {
 public:
  bool OpenUrl(const QUrl& url) override;
  QStringList opened;
  bool answer = true;
};

// A test with its own settings, folder, clock and prompt, and the program started in it.
class CGuiTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the program with these arguments after the program's name; true when its window
  // is up.
  bool Start(const QStringList& arguments = {});
  // Ends the program as its window would be closed (the save prompt included).
  bool CloseWindow();
  void Stop();

  CZorvanApp& App() const { return *m_pApp; }
  CMainFrame& Frame() const;
  CZorvanDoc& Doc() const;
  CZorvanTreeView& Tree() const;
  // The window's title as the desktop shows it: with "*" for unsaved changes, without "[*]".
  QString ShownTitle() const;

  QString TempPath(const QString& name) const { return m_dir.filePath(name); }
  // Writes a small calendar resource and makes it the one in the settings.
  void UseCalendar(const QString& entries);
  // A database file with contacts below the "Contacts" root, described as lines of
  // "<depth spaces>label[;g][;b=day.month.year]": g for a group, b for a birthday.
  QString MakeDatabase(const QString& name, const QStringList& lines);

  // The item reached by its labels from the top, e.g. {"Contacts", "Friends", "Eve"}.
  QTreeWidgetItem* Item(const QStringList& labels) const;
  CTreeItem* Record(const QStringList& labels) const;
  QStringList ChildLabels(QTreeWidgetItem* item) const;
  void Select(QTreeWidgetItem* item);
  // Types text into widget as key presses carrying each character (QTest's own typing knows
  // only Latin-1 keys, and the names here are Czech and Polish).
  static void Type(QWidget* widget, const QString& text);

  CScriptedPrompt m_prompt;
  std::ostringstream m_out;
  std::ostringstream m_err;

 private:
  QTemporaryDir m_dir;
  std::unique_ptr<CZorvanApp> m_pApp;
};

}  // namespace test
}  // namespace zorvan
