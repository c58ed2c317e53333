#include "ui/pages/AddressPage.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>

#include "qt/QtText.h"
#include "store/LinkTargets.h"
#include "ui/BitmapButton.h"
#include "ui/OpenTarget.h"

namespace zorvan {

CAddressPage::CAddressPage(CMyPropSheet& sheet, int headerStringId)
    : CPropPage(sheet, headerStringId) {}

void CAddressPage::AddEmailField(QGridLayout* grid, int row, int column, const QString& label,
                                 EField field) {
  m_pEmail = AddTextField(grid, row, column, label, field);
  m_pEmailButton = new CBitmapButton(QStringLiteral("EMAIL"), EIcon::SendEmail);
  grid->addWidget(m_pEmailButton, row, column + 2);
  connect(m_pEmailButton, &QAbstractButton::clicked, this,
          [this] { OpenTarget(MailTarget(ToStdString(m_pEmail->text()))); });
  UpdateButtons();
}

void CAddressPage::AddWebField(QGridLayout* grid, int row, int column, const QString& label,
                               EField field) {
  m_pWeb = AddTextField(grid, row, column, label, field);
  m_pWebButton = new CBitmapButton(QStringLiteral("WEB"), EIcon::WebPage);
  grid->addWidget(m_pWebButton, row, column + 2);
  connect(m_pWebButton, &QAbstractButton::clicked, this,
          [this] { OpenTarget(WebTarget(ToStdString(m_pWeb->text()))); });
  UpdateButtons();
}

void CAddressPage::AddReachFields(QGridLayout* grid, int column, const SReachFields& f) {
  AddTextField(grid, 0, column, tr("&Phone:"), f.phone);
  AddTextField(grid, 1, column, tr("&Fax:"), f.fax);
  AddTextField(grid, 2, column, tr("&Mobile:"), f.mobile);
  AddTextField(grid, 3, column, tr("P&ager:"), f.pager);
  AddEmailField(grid, 4, column, tr("&E-mail:"), f.email);
  AddWebField(grid, 5, column, tr("&Web URL:"), f.web);
  AddTextField(grid, 6, column, tr("&IP Phone:"), f.ipPhone);
}

QGroupBox* CAddressPage::AddressBox(const SAddressFields& f, const QString& cityLabel,
                                    const QString& countryLabel) {
  auto* box = new QGroupBox(tr("Address"));
  auto* a = new QGridLayout(box);
  AddTextField(a, 0, 0, tr("&Street:"), f.street);
  AddTextField(a, 1, 0, cityLabel, f.city);
  AddTextField(a, 2, 0, tr("S&tate:"), f.state);
  AddTextField(a, 2, 2, tr("&ZIP:"), f.postalCode);
  AddTextField(a, 3, 0, countryLabel, f.country);
  a->setColumnStretch(1, 2);
  a->setColumnStretch(3, 1);
  return box;
}

QGroupBox* CAddressPage::ReachBox(const SReachFields& fields) {
  auto* box = new QGroupBox(tr("Contact Information"));
  auto* c = new QGridLayout(box);
  AddReachFields(c, 0, fields);
  c->setColumnStretch(1, 1);
  return box;
}

void CAddressPage::Load(CTreeItem& record) {
  CPropPage::Load(record);
  UpdateButtons();
}

void CAddressPage::AfterUserEdit() { UpdateButtons(); }

void CAddressPage::UpdateButtons() {
  if (m_pEmailButton) m_pEmailButton->setEnabled(!m_pEmail->text().isEmpty());
  if (m_pWebButton) m_pWebButton->setEnabled(!m_pWeb->text().isEmpty());
}

}  // namespace zorvan
