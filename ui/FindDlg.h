#pragma once

#include <QDialog>
#include <QString>
#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace zorvan {

// The Find dialog: up to three texts, each with the field group it is looked for in, where the
// search starts and whether accents count. The caller fills the members, calls OnInitDialog,
// runs the dialog and reads the members back when it ended with Find; Cancel leaves them as they
// were. Find with a text typed but no field group chosen for any text asks for one and keeps
// the dialog open.
class CFindDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CFindDlg(QWidget* parent = nullptr);

  // Fills the field-group lists and shows the members in the controls.
  void OnInitDialog();

  QString m_strFind1;
  QString m_strFind2;
  QString m_strFind3;
  int m_nWhere1 = -1;  // a field group (EFindGroup), -1 for none
  int m_nWhere2 = -1;
  int m_nWhere3 = -1;
  int m_nDirection = -1;  // 0 from the beginning, 1 from the current item, -1 neither
  bool m_bIgnoreAccents = true;

  std::array<QLineEdit*, 3> m_pText{};
  std::array<QComboBox*, 3> m_pWhere{};
  QRadioButton* m_pFromBeginning = nullptr;
  QRadioButton* m_pFromCurrent = nullptr;
  QCheckBox* m_pIgnoreAccents = nullptr;

  void accept() override;

 private:
  // Moves the members into the controls (save false) or the controls into the members.
  void UpdateData(bool save);
  // True when some text is typed yet no text has a field group to be looked for in.
  bool LacksFieldGroup() const;
};

}  // namespace zorvan
