#pragma once

#include <QString>
#include <QWizardPage>
#include <span>

class QComboBox;
class QLabel;

namespace zorvan {

// A page of the import wizard for one column of the text file: the column's name, the value it
// holds in the first data line, and the choice of the record field it goes to (" - Nothing -"
// and the 45 fields), with nothing chosen at first unless the column comes bound already (the
// recognised layout of another program's file).
class CImportPage : public QWizardPage {
  Q_OBJECT

 public:
  // sample: the column's first data value; hasSample false when the file has no data line.
  // preset: the target chosen at first (-1 none, out of range too).
  CImportPage(const QString& step, const QString& field, const QString& sample, bool hasSample,
              QWidget* parent = nullptr, int preset = -1);

  // A paragraph above the column's name (hidden while empty).
  void SetNote(const QString& note);
  QLabel* Note() const { return m_pNote; }

  // The chosen index into the wizard's targets, -1 while none is chosen.
  int Target() const;
  QComboBox* ComboBox() const { return m_pCombo; }
  QString Step() const { return m_strStep; }
  QString Field() const { return m_strField; }

  // The English texts of the targets that the page translates, in the wizard's order.
  static std::span<const char* const> TargetSources();

 protected:
  void initializePage() override;

 private:
  QString m_strStep;
  QString m_strField;
  QComboBox* m_pCombo = nullptr;
  QLabel* m_pNote = nullptr;
};

}  // namespace zorvan
