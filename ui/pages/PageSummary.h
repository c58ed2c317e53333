#pragma once

#include "ui/pages/PropPage.h"

class QGroupBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace zorvan {

struct SSummaryTexts;

// The shown record in brief: the name line over the home address, phones and Internet, the
// work line over the same for work, and what the record keeps from other programs. The kept
// lines are the only thing edited here: taken out, or changed as the text of their line.
class CPageSummary : public CPropPage {
  Q_OBJECT

 public:
  explicit CPageSummary(CMyPropSheet& sheet);

  void BuildSummary(const CTreeItem& record);
  void ShowKept(const CTreeItem& record);

  QGroupBox* m_pNameBox;
  QGroupBox* m_pWorkBox;
  QLineEdit* m_pHomeAddress;
  QLineEdit* m_pHomePhone;
  QLineEdit* m_pHomeInternet;
  QLineEdit* m_pWorkAddress;
  QLineEdit* m_pWorkPhone;
  QLineEdit* m_pWorkInternet;
  // What the record keeps beyond its fields (shown only when it keeps anything): its photo and
  // the properties of another program's card, each in words where the words say more. Each
  // entry's data (Qt::UserRole) is the index of its line among the record's kept lines.
  QGroupBox* m_pKeptBox;
  QLabel* m_pPhoto;
  QListWidget* m_pKept;
  QPushButton* m_pEditKept;
  QPushButton* m_pRemoveKept;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void UpdateKeptButtons();
  // The selected entries' lines go, with the labels of their groups that name nothing then.
  void RemoveKept();
  // The entry's line as text in a dialog; an empty text removes it.
  void EditKept(QListWidgetItem* item);
  // After a change of the kept lines: the record stored as after any edit, and the entry at
  // row (or the last one) selected, so that Delete can go on.
  void KeptChanged(CTreeItem& record, int row);
};

}  // namespace zorvan
