#pragma once

#include <QString>

#include "store/Host.h"

class QDialog;
class QUrl;

namespace zorvan {

enum class ESaveAnswer { Yes, No, Cancel };

// What a file dialog is opened with. The filter is in Qt's form ("Name (*.ext)", ";;" between
// entries); the default suffix has no dot.
struct SFileDialog {
  QString title;
  QString directory;
  QString fileName;
  QString filter;
  QString defaultSuffix;
  bool overwritePrompt = true;
};

// Every modal interaction of the program goes through the current prompt: message boxes,
// questions, file dialogs and the modal dialogs themselves. The default shows real dialogs;
// tests install their own to answer without a human.
class CPrompt {
 public:
  virtual ~CPrompt() = default;
  virtual void MessageBox(const QString& text, EMsgIcon icon);
  // Yes and No with No the default; true for Yes.
  virtual bool AskYesNo(const QString& text);
  // Yes, No and Cancel, asked before a modified database is closed.
  virtual ESaveAnswer AskSaveChanges(const QString& text);
  // The chosen file's full path, or an empty text when the dialog was cancelled.
  virtual QString GetOpenFileName(const SFileDialog& dialog);
  virtual QString GetSaveFileName(const SFileDialog& dialog);
  // Runs a dialog modally; returns its result code.
  virtual int RunModal(QDialog& dialog);
  // Hands a web page or e-mail target to the user's browser or mail program; false when none
  // could take it.
  virtual bool OpenUrl(const QUrl& url);
};

// The prompt in use; SetPrompt(nullptr) brings back the real dialogs. Not owned.
CPrompt& Prompt();
void SetPrompt(CPrompt* prompt);

// The "Name (*.ext)|*.ext||" filters of the string table in Qt's form.
QString QtFileFilter(const std::string& windowsFilter);

}  // namespace zorvan
