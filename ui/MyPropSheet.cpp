#include "ui/MyPropSheet.h"

#include <QFont>
#include <QPainter>

#include "qt/QtText.h"
#include "res/StringTable.h"
#include "store/ZorvanDoc.h"
#include "ui/pages/PageAbout.h"
#include "ui/pages/PageBusiness.h"
#include "ui/pages/PageCalendar.h"
#include "ui/pages/PageHome.h"
#include "ui/pages/PageName.h"
#include "ui/pages/PagePersonal.h"
#include "ui/pages/PageSummary.h"

namespace zorvan {

CMyPropSheet::CMyPropSheet(CZorvanDoc& doc, QWidget* parent) : QTabWidget(parent), m_doc(doc) {
  m_pageSummary = new CPageSummary(*this);
  m_pageName = new CPageName(*this);
  m_pageHome = new CPageHome(*this);
  m_pageBusiness = new CPageBusiness(*this);
  m_pagePersonal = new CPagePersonal(*this);
  m_pageCalendar = new CPageCalendar(*this);
  m_pageAbout = new CPageAbout(*this);
  addTab(m_pageSummary, tr("Summary"));
  addTab(m_pageName, tr("Name"));
  addTab(m_pageHome, tr("Home"));
  addTab(m_pageBusiness, tr("Business"));
  addTab(m_pagePersonal, tr("Personal"));
  addTab(m_pageCalendar, tr("Calendar"));
  addTab(m_pageAbout, tr("About Zorvan"));
}

CMyPropSheet::~CMyPropSheet() = default;

void CMyPropSheet::ExchangeRecord(bool save, CTreeItem* record) {
  if (record) m_pRecord = record;
  if (!m_pRecord) return;
  if (save) {
    Store(*m_pRecord);
    emit RecordStored();
  } else {
    Load(*m_pRecord);
  }
}

void CMyPropSheet::Load(CTreeItem& r) {
  // The controls hold the pages' values, so the page that is showing shows the new record at
  // once; no page has to be left and entered again.
  m_pageBusiness->Load(r);
  m_pageCalendar->SetDay(m_doc.m_dtCalendarDay);
  m_pageHome->Load(r);
  m_pageName->Load(r);
  m_pagePersonal->Load(r);
  m_pageSummary->BuildSummary(r);
}

void CMyPropSheet::Store(CTreeItem& r) {
  m_pageBusiness->Store(r);
  m_pageHome->Store(r);
  m_doc.m_dtCalendarDay = m_pageCalendar->Day();
  m_pageName->Store(r);
  m_pagePersonal->Store(r);
  m_pageSummary->BuildSummary(r);
  m_doc.SetModifiedFlag();
}

void CMyPropSheet::RecordAppearanceChanged(ERecordChange change) {
  if (m_pRecord) m_doc.RecordAppearanceChanged(m_pRecord, change);
}

void CMyPropSheet::DrawPageHeader(QWidget& header, const QString& text) {
  QPainter p(&header);
  QFont font(QStringList{QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(33);
  font.setWeight(QFont::Black);
  font.setItalic(true);
  p.setFont(font);
  const QFontMetrics metrics(font);
  const QRect r = header.contentsRect();
  const int cx = metrics.horizontalAdvance(text), cy = metrics.height();
  const int x0 = r.left() + (r.width() - cx) / 2;
  const int y0 = r.top() + (r.height() - cy) / 2;
  // Text is placed by the top of its line; QPainter draws at the baseline.
  // The theme's colours, so that a dark or high-contrast theme shows the title as well as the
  // classic one (black over grey there).
  const QPalette& palette = header.palette();
  p.setPen(palette.color(QPalette::Dark));
  p.drawText(x0 + 2, y0 + 2 + metrics.ascent(), text);
  p.setPen(palette.color(header.foregroundRole()));
  p.drawText(x0 - 2, y0 - 2 + metrics.ascent(), text);
}

}  // namespace zorvan
