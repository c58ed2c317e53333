#pragma once

#include "ui/pages/PropPage.h"

namespace zorvan {

class CStaticLink;

// What the program is and who makes it, with links to write to the author and to visit the
// maker's pages. It shows no record.
class CPageAbout : public CPropPage {
  Q_OBJECT

 public:
  explicit CPageAbout(CMyPropSheet& sheet);

  CStaticLink* m_pEmailLink;
  CStaticLink* m_pWebLink;
};

}  // namespace zorvan
