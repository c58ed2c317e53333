#include "ui/pages/PageBusiness.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QVBoxLayout>

#include "res/StringTable.h"
#include "store/RecordFields.h"
#include "store/TreeItem.h"

namespace zorvan {

CPageBusiness::CPageBusiness(CMyPropSheet& sheet) : CAddressPage(sheet, IDS_PAGE_BUSINESS) {
  // The company in two columns, then the address and the ways of reaching the contact laid out
  // as on the Home page.
  auto* box = new QGroupBox(tr("Business"));
  auto* g = new QGridLayout(box);
  AddTextField(g, 0, 0, tr("&Company:"), fieldCompany);
  AddTextField(g, 0, 2, tr("Positio&n:"), fieldJobTitle);
  AddTextField(g, 1, 0, tr("&Department:"), fieldDepartment);
  AddTextField(g, 1, 2, tr("&Office:"), fieldOffice);
  g->setColumnStretch(1, 1);
  g->setColumnStretch(3, 1);
  Body()->addWidget(box);
  Body()->addWidget(AddressBox({fieldBusinessStreet, fieldBusinessCity, fieldBusinessState,
                                fieldBusinessPostalCode, fieldBusinessCountry},
                               tr("Cit&y:"), tr("Co&untry:")));
  Body()->addWidget(
      ReachBox({fieldBusinessPhone, fieldBusinessFax, fieldBusinessMobile, fieldBusinessPager,
                fieldBusinessEmail, fieldBusinessWeb, fieldBusinessIpPhone}));
}

}  // namespace zorvan
