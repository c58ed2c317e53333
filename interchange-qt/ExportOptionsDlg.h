#pragma once

#include <QDialog>
#include <QString>

#include "interchange/vcard/ForeignVCardWriter.h"

class QCheckBox;
class QLabel;
class QRadioButton;

namespace zorvan {

// "Export for Other Programs": what the standard vCard file holds, asked before the file
// dialog. The vCard version, 3.0 or 4.0, each with a line saying what it suits, and whether
// every contact goes or only the record selected in the tree with the contacts below it.
class CForeignExportDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CForeignExportDlg(QWidget* parent = nullptr);

  // Whether a record of the contacts is selected in the tree, and its label, shown under its
  // choice; without one only "All contacts" can be chosen.
  void SetSelection(bool available, const QString& label = QString());
  void SetVersion(EVCardVersion version);

  EVCardVersion Version() const;
  // True for the selected record and its subtree, false for every contact.
  bool SelectedOnly() const;

  QRadioButton* Version30() const { return m_pVersion30; }
  QRadioButton* Version40() const { return m_pVersion40; }
  QRadioButton* AllContacts() const { return m_pAll; }
  QRadioButton* Selected() const { return m_pSelected; }

 private:
  QRadioButton* m_pVersion30 = nullptr;
  QRadioButton* m_pVersion40 = nullptr;
  QRadioButton* m_pAll = nullptr;
  QRadioButton* m_pSelected = nullptr;
  QLabel* m_pSelectedLabel = nullptr;
};

// "Export Calendar": whether the names of the calendar resource go into the iCalendar file
// beside the contacts' birthdays, anniversaries and namedays.
class CExportCalendarDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CExportCalendarDlg(QWidget* parent = nullptr);

  // The number of names the loaded resource holds; without any the box is off and disabled.
  void SetCalNameCount(size_t count);
  void SetCalNames(bool include);
  bool CalNames() const;

  QCheckBox* CalNamesBox() const { return m_pCalNames; }

 private:
  QCheckBox* m_pCalNames = nullptr;
  QLabel* m_pCalNamesNote = nullptr;
};

}  // namespace zorvan
