#pragma once

#include "ui/pages/PropPage.h"

class QCheckBox;
class QComboBox;
class QToolButton;

namespace zorvan {

class CBitmapButton;

// The names, gender, the label the tree shows with its suggestions, the Group flag, and which
// e-mail address and web page are preferred. The label box and the two address lists are filled
// once the page has been seen; the photo beside the names.
class CPageName : public CPropPage {
  Q_OBJECT

 public:
  explicit CPageName(CMyPropSheet& sheet);

  void Load(CTreeItem& record) override;
  void Store(CTreeItem& record) override;

  bool m_bInitialized = false;

  QLineEdit* m_pFirst;
  QLineEdit* m_pMiddle;
  QLineEdit* m_pLast;
  QLineEdit* m_pTitle;
  QLineEdit* m_pNickname;
  QComboBox* m_pGender;
  QComboBox* m_pLabel;
  QCheckBox* m_pGroup;
  QComboBox* m_pPrefEmail;
  QComboBox* m_pPrefWeb;
  CBitmapButton* m_pEmailButton;
  CBitmapButton* m_pWebButton;
  // The contact's photo beside the names; its menu sets it from a file or removes it.
  QToolButton* m_pPhoto;
  QAction* m_pSetPhoto;
  QAction* m_pRemovePhoto;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void AfterUserEdit() override;

 private:
  void FillLabel(const CTreeItem& record);
  void LabelChosen(const QString& label);
  void UpdateButtons();
  void ShowPhoto(const CTreeItem& record);
  void SetPhoto();
  void RemovePhoto();
};

}  // namespace zorvan
