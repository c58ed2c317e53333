#include "ui/pages/PageSummary.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>

#include "interchange/vcard/ForeignVCardReader.h"
#include "qt/QtText.h"
#include "res/StringTable.h"
#include "store/RecordExtras.h"
#include "store/RecordTexts.h"
#include "store/TreeItem.h"

namespace zorvan {
namespace {

QLineEdit* AddReadOnly(QGridLayout* grid, int row, const QString& label) {
  auto* edit = new QLineEdit;
  edit->setReadOnly(true);
  auto* caption = new QLabel(label);
  caption->setBuddy(edit);
  grid->addWidget(caption, row, 0);
  grid->addWidget(edit, row, 1);
  return edit;
}

// The side of the square the photo is shown in, in pixels: a portrait as address books show it.
constexpr int kPhotoSide = 96;

}  // namespace

CPageSummary::CPageSummary(CMyPropSheet& sheet) : CPropPage(sheet, IDS_PAGE_SUMMARY) {
  // Until the first summary the group boxes carry their placeholder caption.
  m_pNameBox = new QGroupBox(QStringLiteral("Static"));
  auto* home = new QGridLayout(m_pNameBox);
  m_pHomeAddress = AddReadOnly(home, 0, QStringLiteral("&Home Address:"));
  m_pHomePhone = AddReadOnly(home, 1, QStringLiteral("&Phone:"));
  m_pHomeInternet = AddReadOnly(home, 2, QStringLiteral("&Internet:"));
  m_pWorkBox = new QGroupBox(QStringLiteral("Static"));
  auto* work = new QGridLayout(m_pWorkBox);
  m_pWorkAddress = AddReadOnly(work, 0, QStringLiteral("&Work Address:"));
  m_pWorkPhone = AddReadOnly(work, 1, QStringLiteral("P&hone:"));
  m_pWorkInternet = AddReadOnly(work, 2, QStringLiteral("I&nternet:"));
  m_pKeptBox = new QGroupBox(QStringLiteral("Kept from other programs"));
  auto* kept = new QHBoxLayout(m_pKeptBox);
  m_pPhoto = new QLabel;
  m_pPhoto->setFixedSize(kPhotoSide, kPhotoSide);
  m_pPhoto->setAlignment(Qt::AlignCenter);
  m_pKept = new QListWidget;
  m_pKept->setAccessibleName(QStringLiteral("Kept properties"));
  m_pKept->setMaximumHeight(kPhotoSide * 2);
  kept->addWidget(m_pPhoto, 0, Qt::AlignTop);
  kept->addWidget(m_pKept, 1);
  m_pKeptBox->hide();
  Body()->addWidget(m_pNameBox);
  Body()->addWidget(m_pWorkBox);
  Body()->addWidget(m_pKeptBox);
}

void CPageSummary::BuildSummary(const CTreeItem& record) {
  const SSummaryTexts s = zorvan::BuildSummary(record);
  // A group box caption would take "&" as a mnemonic; the name shows as it is.
  auto caption = [](const std::string& text) {
    return ToQString(text).replace(QLatin1Char('&'), QLatin1String("&&"));
  };
  m_pNameBox->setTitle(caption(s.strNameLine));
  m_pWorkBox->setTitle(caption(s.strWorkLine));
  m_pHomeAddress->setText(ToQString(s.strHomeAddress));
  m_pHomePhone->setText(ToQString(s.strHomePhone));
  m_pHomeInternet->setText(ToQString(s.strHomeInternet));
  m_pWorkAddress->setText(ToQString(s.strWorkAddress));
  m_pWorkPhone->setText(ToQString(s.strWorkPhone));
  m_pWorkInternet->setText(ToQString(s.strWorkInternet));
  ShowKept(record);
}

void CPageSummary::ShowKept(const CTreeItem& record) {
  m_pKept->clear();
  m_pPhoto->clear();
  const SRecordExtras* extras = record.m_pExtras.get();
  QPixmap photo;
  if (extras && !extras->photo.empty())
    photo.loadFromData(reinterpret_cast<const uchar*>(extras->photo.data()),
                       static_cast<uint>(extras->photo.size()));
  m_pPhoto->setVisible(!photo.isNull());
  if (!photo.isNull())
    m_pPhoto->setPixmap(
        photo.scaled(kPhotoSide, kPhotoSide, Qt::KeepAspectRatio, Qt::SmoothTransformation));
  if (extras) {
    const std::vector<std::string> said = CForeignVCardReader::Describe(extras->properties);
    for (size_t i = 0; i < said.size(); ++i) {
      const std::string& line = extras->properties[i];
      // A label line is shown in the words of the line it labels.
      if (said[i].empty() &&
          ToQString(line).contains(QStringLiteral("X-ABLABEL"), Qt::CaseInsensitive))
        continue;
      auto* item = new QListWidgetItem(ToQString(said[i].empty() ? line : said[i]), m_pKept);
      item->setToolTip(ToQString(line));
    }
  }
  m_pKept->setVisible(m_pKept->count() > 0);
  m_pKeptBox->setVisible(!photo.isNull() || m_pKept->count() > 0);
}

}  // namespace zorvan
