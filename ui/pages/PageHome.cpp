#include "ui/pages/PageHome.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QVBoxLayout>

#include "res/StringTable.h"
#include "store/RecordFields.h"
#include "store/TreeItem.h"

namespace zorvan {

CPageHome::CPageHome(CMyPropSheet& sheet) : CAddressPage(sheet, IDS_PAGE_HOME) {
  auto* address = new QGroupBox(QStringLiteral("Address"));
  auto* a = new QGridLayout(address);
  AddTextField(a, 0, 0, QStringLiteral("&Street:"), fieldHomeStreet);
  AddTextField(a, 1, 0, QStringLiteral("&City:"), fieldHomeCity);
  AddTextField(a, 2, 0, QStringLiteral("S&tate:"), fieldHomeState);
  AddTextField(a, 2, 2, QStringLiteral("&ZIP:"), fieldHomePostalCode);
  AddTextField(a, 3, 0, QStringLiteral("C&ountry:"), fieldHomeCountry);
  a->setColumnStretch(1, 2);
  a->setColumnStretch(3, 1);

  auto* contact = new QGroupBox(QStringLiteral("Contact Information"));
  auto* c = new QGridLayout(contact);
  AddTextField(c, 0, 0, QStringLiteral("&Phone:"), fieldHomePhone);
  AddTextField(c, 1, 0, QStringLiteral("&Fax:"), fieldHomeFax);
  AddTextField(c, 2, 0, QStringLiteral("&Mobile:"), fieldPersonalMobile);
  AddTextField(c, 3, 0, QStringLiteral("P&ager:"), fieldPersonalPager);
  AddEmailField(c, 4, 0, QStringLiteral("&E-mail:"), fieldPersonalEmail);
  AddWebField(c, 5, 0, QStringLiteral("&Web URL:"), fieldPersonalWeb);
  AddTextField(c, 6, 0, QStringLiteral("&IP Phone:"), fieldHomeIpPhone);
  c->setColumnStretch(1, 1);

  Body()->addWidget(address);
  Body()->addWidget(contact);
}

}  // namespace zorvan
