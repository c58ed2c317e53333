#include "ui/pages/PageHome.h"

#include <QVBoxLayout>

#include <QGroupBox>

#include "res/StringTable.h"
#include "store/RecordFields.h"
#include "store/TreeItem.h"

namespace zorvan {

CPageHome::CPageHome(CMyPropSheet& sheet) : CAddressPage(sheet, IDS_PAGE_HOME) {
  Body()->addWidget(AddressBox(
      {fieldHomeStreet, fieldHomeCity, fieldHomeState, fieldHomePostalCode, fieldHomeCountry},
      tr("&City:"), tr("C&ountry:")));
  Body()->addWidget(ReachBox({fieldHomePhone, fieldHomeFax, fieldPersonalMobile, fieldPersonalPager,
                              fieldPersonalEmail, fieldPersonalWeb, fieldHomeIpPhone}));
}

}  // namespace zorvan
