#pragma once

#include <QDialog>
#include <QString>

class QComboBox;

namespace zorvan {

// "File Import: Delimiter": asks which delimiter splits the columns of a text file the program
// does not know. The text is editable, so any delimiter can be typed; the words "space" and
// "tab" stand for the characters that cannot be seen.
class CDelimiterDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CDelimiterDlg(QWidget* parent = nullptr);

  // The delimiter as typed or chosen, preset to ",".
  QString Delimiter() const;
  void SetDelimiter(const QString& text);
  QComboBox* ComboBox() const { return m_pCombo; }

 private:
  QComboBox* m_pCombo = nullptr;
};

}  // namespace zorvan
