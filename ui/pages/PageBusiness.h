#pragma once

#include "ui/pages/AddressPage.h"

namespace zorvan {

// The company, the work address and the business ways of reaching the contact.
class CPageBusiness : public CAddressPage {
  Q_OBJECT

 public:
  explicit CPageBusiness(CMyPropSheet& sheet);
};

}  // namespace zorvan
