#include "ui/pages/PageHome.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QVBoxLayout>

#include "res/StringTable.h"
#include "store/RecordFields.h"
#include "store/TreeItem.h"

namespace zorvan {

CPageHome::CPageHome(CMyPropSheet& sheet) : CAddressPage(sheet, IDS_PAGE_HOME) {
  auto* address = new QGroupBox(tr("Address"));
  auto* a = new QGridLayout(address);
  AddTextField(a, 0, 0, tr("&Street:"), fieldHomeStreet);
  AddTextField(a, 1, 0, tr("&City:"), fieldHomeCity);
  AddTextField(a, 2, 0, tr("S&tate:"), fieldHomeState);
  AddTextField(a, 2, 2, tr("&ZIP:"), fieldHomePostalCode);
  AddTextField(a, 3, 0, tr("C&ountry:"), fieldHomeCountry);
  a->setColumnStretch(1, 2);
  a->setColumnStretch(3, 1);

  auto* contact = new QGroupBox(tr("Contact Information"));
  auto* c = new QGridLayout(contact);
  AddReachFields(c, 0,
                 {fieldHomePhone, fieldHomeFax, fieldPersonalMobile, fieldPersonalPager,
                  fieldPersonalEmail, fieldPersonalWeb, fieldHomeIpPhone});
  c->setColumnStretch(1, 1);

  Body()->addWidget(address);
  Body()->addWidget(contact);
}

}  // namespace zorvan
