#include "app/AboutDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "qt/QtText.h"
#include "res/StringTable.h"
#include "ui/Icons.h"
#include "ui/StaticLink.h"

namespace zorvan {
namespace {

const char kAuthorEmail[] = "author@example.com";
const char kMakerWeb[] = "http://www.example.org";

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(tr("About Zorvan"));

  auto* icon = new QLabel;
  icon->setPixmap(PaintIcon(EIcon::Application, 32));
  icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

  auto* purpose =
      new QLabel(tr("Personal database of contact information with calendar features."));
  purpose->setWordWrap(true);
  m_pVersion = new QLabel(QStringLiteral("{Version}"));
  m_pVersion->setObjectName(QStringLiteral("version"));

  auto* ok = new QPushButton(tr("OK"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* logo = new QLabel;
  logo->setPixmap(PaintLogo());
  auto* maker = new QLabel(tr("Tavorin\nSoftware for personal information"));
  auto* emailCaption = new QLabel(tr("e-mail:"));
  const QString email = QString::fromLatin1(kAuthorEmail);
  const QString web = QString::fromLatin1(kMakerWeb);
  m_pEmailLink = new CStaticLink(email);
  m_pEmailLink->setObjectName(QStringLiteral("email"));
  m_pWebLink = new CStaticLink(web);
  m_pWebLink->setObjectName(QStringLiteral("web"));

  auto* information = new QGroupBox(tr("Information"));
  auto* infoGrid = new QGridLayout(information);
  infoGrid->addWidget(maker, 0, 0, 1, 2);
  infoGrid->addWidget(emailCaption, 1, 0);
  infoGrid->addWidget(m_pEmailLink, 1, 1, Qt::AlignLeft);
  infoGrid->addWidget(m_pWebLink, 2, 0, 1, 2, Qt::AlignLeft);
  infoGrid->addWidget(logo, 0, 2, 3, 1, Qt::AlignRight | Qt::AlignVCenter);
  infoGrid->setColumnStretch(1, 1);

  auto* texts = new QVBoxLayout;
  texts->addWidget(purpose);
  texts->addWidget(m_pVersion);
  texts->addStretch();

  auto* top = new QHBoxLayout;
  top->addWidget(icon);
  top->addLayout(texts, 1);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(ok);
  buttons->addStretch();
  top->addLayout(buttons);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(information);
  layout->addWidget(new QLabel(tr("If you like the program then send us an e-mail.")), 0,
                    Qt::AlignHCenter);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  OnInitDialog();
  ok->setFocus();
}

void CAboutDlg::OnInitDialog() {
  m_strVersion = ToQString(LoadString(IDS_VERSION));
  m_pVersion->setText(m_strVersion);
}

}  // namespace zorvan
