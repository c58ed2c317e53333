#include "ui/pages/PageAbout.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "res/StringTable.h"
#include "ui/Icons.h"
#include "ui/StaticLink.h"

namespace zorvan {

CPageAbout::CPageAbout(CMyPropSheet& sheet) : CPropPage(sheet, IDS_PAGE_ABOUT) {
  auto* information = new QGroupBox(tr("Information"));
  auto* layout = new QVBoxLayout(information);

  auto* icon = new QLabel;
  icon->setPixmap(PaintIcon(EIcon::Application, 32));
  auto* purpose = new QLabel(
      tr("Personal database of contact information. The program allows saving and managing of all "
         "possible contact information. The program also includes automatic calendar for your "
         "contacts."));
  purpose->setWordWrap(true);
  purpose->setAlignment(Qt::AlignCenter);
  auto* top = new QHBoxLayout;
  top->addWidget(icon, 0, Qt::AlignTop);
  top->addWidget(purpose, 1);

  auto* contact = new QGroupBox(tr("Contact Information"));
  auto* c = new QGridLayout(contact);
  c->addWidget(new QLabel(tr("Tavorin\nSoftware for personal information")), 0, 0, 1, 2);
  c->addWidget(new QLabel(tr("e-mail:")), 1, 0);
  m_pEmailLink = new CStaticLink(QStringLiteral("author@example.com"));
  c->addWidget(m_pEmailLink, 1, 1, Qt::AlignLeft);
  m_pWebLink = new CStaticLink(QStringLiteral("http://www.example.org"));
  c->addWidget(m_pWebLink, 2, 0, 1, 2, Qt::AlignLeft);
  auto* logo = new QLabel;
  logo->setPixmap(PaintLogo());
  c->addWidget(logo, 0, 2, 3, 1, Qt::AlignRight | Qt::AlignVCenter);
  c->setColumnStretch(1, 1);

  layout->addLayout(top);
  layout->addWidget(contact);
  layout->addStretch(1);
  layout->addWidget(new QLabel(tr("If you like the program then send us an e-mail.")), 0,
                    Qt::AlignHCenter);
  Body()->addWidget(information, 1);
}

}  // namespace zorvan
