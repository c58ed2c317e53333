#include "ui/pages/PageBusiness.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QVBoxLayout>

#include "res/StringTable.h"
#include "store/TreeItem.h"

namespace zorvan {

using T = CTreeItem;

CPageBusiness::CPageBusiness(CMyPropSheet& sheet) : CAddressPage(sheet, IDS_PAGE_BUSINESS) {
  auto* box = new QGroupBox(QStringLiteral("Business"));
  auto* g = new QGridLayout(box);
  // The company and the address on the left, the ways of reaching the contact on the right.
  AddTextField(g, 0, 0, QStringLiteral("&Company:"), &T::m_strCompany);
  AddTextField(g, 1, 0, QStringLiteral("Positio&n:"), &T::m_strJobTitle);
  AddTextField(g, 2, 0, QStringLiteral("&Department:"), &T::m_strDepartment);
  AddTextField(g, 3, 0, QStringLiteral("&Office:"), &T::m_strOffice);
  AddTextField(g, 4, 0, QStringLiteral("&Street:"), &T::m_strBusinessStreet);
  AddTextField(g, 5, 0, QStringLiteral("Cit&y:"), &T::m_strBusinessCity);
  AddTextField(g, 6, 0, QStringLiteral("S&tate:"), &T::m_strBusinessState);
  AddTextField(g, 7, 0, QStringLiteral("&ZIP:"), &T::m_strBusinessPostalCode);
  AddTextField(g, 8, 0, QStringLiteral("Co&untry:"), &T::m_strBusinessCountry);
  AddTextField(g, 0, 3, QStringLiteral("&Phone:"), &T::m_strBusinessPhone);
  AddTextField(g, 1, 3, QStringLiteral("&Fax:"), &T::m_strBusinessFax);
  AddTextField(g, 2, 3, QStringLiteral("&Mobile:"), &T::m_strBusinessMobile);
  AddTextField(g, 3, 3, QStringLiteral("P&ager:"), &T::m_strBusinessPager);
  AddEmailField(g, 4, 3, QStringLiteral("&E-mail:"), &T::m_strBusinessEmail);
  AddWebField(g, 5, 3, QStringLiteral("&Web URL:"), &T::m_strBusinessWeb);
  AddTextField(g, 6, 3, QStringLiteral("&IP Phone:"), &T::m_strBusinessIpPhone);
  g->setColumnStretch(1, 1);
  g->setColumnStretch(4, 1);
  g->setColumnMinimumWidth(2, 12);
  Body()->addWidget(box);
}

}  // namespace zorvan
