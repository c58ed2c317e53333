#pragma once

#include <QDialog>
#include <QString>
#include <string>

#include "interchange/vcard/KeptLines.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace zorvan {

// "Edit Kept Property": one line a contact keeps from another program's card, as the card had
// it. OK takes the text only when it is a content line ("[group.]NAME[;param...]:value") or
// empty, which removes the line; otherwise the dialog says why and stays open with the text as
// typed. What OK takes is one line: line breaks and control characters are gone.
class CKeptLineDlg : public QDialog {
  Q_OBJECT

 public:
  // description is the line in words, as the Summary page shows it; empty where it has none.
  CKeptLineDlg(const QString& line, const QString& description, QWidget* parent = nullptr);

  // The text as typed, and the line OK took from it (empty for a removal).
  QString Text() const;
  void SetText(const QString& text);
  const std::string& Line() const { return m_strLine; }

  void accept() override;

  // The core's message for an error, in the window's language.
  static QString ErrorText(EKeptLineError error);

  // A single-line edit for a line of usual length; a long one (a picture by reference, a key)
  // is shown wrapped in a plain text edit. One of the two is null.
  QLineEdit* m_pEdit = nullptr;
  QPlainTextEdit* m_pLongEdit = nullptr;
  QLabel* m_pError;
  QPushButton* m_pOk;

 private:
  std::string m_strLine;
};

}  // namespace zorvan
