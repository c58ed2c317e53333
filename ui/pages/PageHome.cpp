#include "ui/pages/PageHome.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QVBoxLayout>

#include "res/StringTable.h"
#include "store/TreeItem.h"

namespace zorvan {

using T = CTreeItem;

CPageHome::CPageHome(CMyPropSheet& sheet) : CAddressPage(sheet, IDS_PAGE_HOME) {
  auto* address = new QGroupBox(QStringLiteral("Address"));
  auto* a = new QGridLayout(address);
  AddTextField(a, 0, 0, QStringLiteral("&Street:"), &T::m_strHomeStreet);
  AddTextField(a, 1, 0, QStringLiteral("&City:"), &T::m_strHomeCity);
  AddTextField(a, 2, 0, QStringLiteral("S&tate:"), &T::m_strHomeState);
  AddTextField(a, 2, 2, QStringLiteral("&ZIP:"), &T::m_strHomePostalCode);
  AddTextField(a, 3, 0, QStringLiteral("C&ountry:"), &T::m_strHomeCountry);
  a->setColumnStretch(1, 2);
  a->setColumnStretch(3, 1);

  auto* contact = new QGroupBox(QStringLiteral("Contact Information"));
  auto* c = new QGridLayout(contact);
  AddTextField(c, 0, 0, QStringLiteral("&Phone:"), &T::m_strHomePhone);
  AddTextField(c, 1, 0, QStringLiteral("&Fax:"), &T::m_strHomeFax);
  AddTextField(c, 2, 0, QStringLiteral("&Mobile:"), &T::m_strPersonalMobile);
  AddTextField(c, 3, 0, QStringLiteral("P&ager:"), &T::m_strPersonalPager);
  AddEmailField(c, 4, 0, QStringLiteral("&E-mail:"), &T::m_strPersonalEmail);
  AddWebField(c, 5, 0, QStringLiteral("&Web URL:"), &T::m_strPersonalWeb);
  AddTextField(c, 6, 0, QStringLiteral("&IP Phone:"), &T::m_strHomeIpPhone);
  c->setColumnStretch(1, 1);

  Body()->addWidget(address);
  Body()->addWidget(contact);
}

}  // namespace zorvan
