#include "ui/pages/PageBusiness.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QVBoxLayout>

#include "res/StringTable.h"
#include "store/RecordFields.h"
#include "store/TreeItem.h"

namespace zorvan {

CPageBusiness::CPageBusiness(CMyPropSheet& sheet) : CAddressPage(sheet, IDS_PAGE_BUSINESS) {
  auto* box = new QGroupBox(tr("Business"));
  auto* g = new QGridLayout(box);
  // The company and the address on the left, the ways of reaching the contact on the right.
  AddTextField(g, 0, 0, tr("&Company:"), fieldCompany);
  AddTextField(g, 1, 0, tr("Positio&n:"), fieldJobTitle);
  AddTextField(g, 2, 0, tr("&Department:"), fieldDepartment);
  AddTextField(g, 3, 0, tr("&Office:"), fieldOffice);
  AddTextField(g, 4, 0, tr("&Street:"), fieldBusinessStreet);
  AddTextField(g, 5, 0, tr("Cit&y:"), fieldBusinessCity);
  AddTextField(g, 6, 0, tr("S&tate:"), fieldBusinessState);
  AddTextField(g, 7, 0, tr("&ZIP:"), fieldBusinessPostalCode);
  AddTextField(g, 8, 0, tr("Co&untry:"), fieldBusinessCountry);
  AddReachFields(g, 3,
                 {fieldBusinessPhone, fieldBusinessFax, fieldBusinessMobile, fieldBusinessPager,
                  fieldBusinessEmail, fieldBusinessWeb, fieldBusinessIpPhone});
  g->setColumnStretch(1, 1);
  g->setColumnStretch(4, 1);
  g->setColumnMinimumWidth(2, 12);
  Body()->addWidget(box);
}

}  // namespace zorvan
