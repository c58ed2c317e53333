#pragma once

#include "ui/pages/AddressPage.h"

namespace zorvan {

// The home address and the personal ways of reaching the contact.
class CPageHome : public CAddressPage {
  Q_OBJECT

 public:
  explicit CPageHome(CMyPropSheet& sheet);
};

}  // namespace zorvan
