#pragma once

#include "ui/pages/PropPage.h"

class QGroupBox;

namespace zorvan {

struct SSummaryTexts;

// The shown record in brief: the name line over the home address, phones and Internet, the
// work line over the same for work. Nothing here is editable.
class CPageSummary : public CPropPage {
  Q_OBJECT

 public:
  explicit CPageSummary(CMyPropSheet& sheet);

  void BuildSummary(const CTreeItem& record);

  QGroupBox* m_pNameBox;
  QGroupBox* m_pWorkBox;
  QLineEdit* m_pHomeAddress;
  QLineEdit* m_pHomePhone;
  QLineEdit* m_pHomeInternet;
  QLineEdit* m_pWorkAddress;
  QLineEdit* m_pWorkPhone;
  QLineEdit* m_pWorkInternet;
};

}  // namespace zorvan
