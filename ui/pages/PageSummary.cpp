#include "ui/pages/PageSummary.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "qt/QtText.h"
#include "res/StringTable.h"
#include "store/RecordTexts.h"

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
  Body()->addWidget(m_pNameBox);
  Body()->addWidget(m_pWorkBox);
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
}

}  // namespace zorvan
