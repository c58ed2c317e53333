#pragma once

#include "ui/pages/PropPage.h"

class QGroupBox;
class QLabel;
class QListWidget;

namespace zorvan {

struct SSummaryTexts;

// The shown record in brief: the name line over the home address, phones and Internet, the
// work line over the same for work, and what the record keeps from other programs. Nothing
// here is editable.
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
  // the properties of another program's card, each in words where the words say more.
  QGroupBox* m_pKeptBox;
  QLabel* m_pPhoto;
  QListWidget* m_pKept;
};

}  // namespace zorvan
