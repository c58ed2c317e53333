#pragma once

#include "ui/pages/PropPage.h"

class QPlainTextEdit;

namespace zorvan {

class CDateField;

// Family, the three dates that feed the calendar, the anniversary's text and the remark. The
// date fields are set from the record once the page has been seen.
class CPagePersonal : public CPropPage {
  Q_OBJECT

 public:
  explicit CPagePersonal(CMyPropSheet& sheet);

  void Load(CTreeItem& record) override;
  void Store(CTreeItem& record) override;

  bool m_bInitialized = false;

  CDateField* m_pBirthday;
  CDateField* m_pNameDay;
  CDateField* m_pAnniversary;
  QLineEdit* m_pAnniversaryText;
  QPlainTextEdit* m_pRemark;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void OnDateChanged();

  bool m_bLoading = false;
};

}  // namespace zorvan
