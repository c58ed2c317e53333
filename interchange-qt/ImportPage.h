#pragma once

#include <QString>
#include <QWizardPage>

class QComboBox;
class QLabel;

namespace zorvan {

// A page of the import wizard for one column of the text file: the column's name, the value it
// holds in the first data line, and the choice of the record field it goes to (" - Nothing -"
// and the 45 fields), with nothing chosen at first.
class CImportPage : public QWizardPage {
  Q_OBJECT

 public:
  // sample: the column's first data value; hasSample false when the file has no data line.
  CImportPage(const QString& step, const QString& field, const QString& sample, bool hasSample,
              QWidget* parent = nullptr);

  // The chosen index into the wizard's targets, -1 while none is chosen.
  int Target() const;
  QComboBox* ComboBox() const { return m_pCombo; }
  QString Step() const { return m_strStep; }
  QString Field() const { return m_strField; }

 protected:
  void initializePage() override;

 private:
  QString m_strStep;
  QString m_strField;
  QComboBox* m_pCombo = nullptr;
};

}  // namespace zorvan
