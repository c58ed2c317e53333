#include "ui/ZorvanView.h"

#include "store/ZorvanDoc.h"
#include "ui/MyPropSheet.h"

namespace zorvan {

CZorvanView::CZorvanView(QWidget* parent) : QScrollArea(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setWidgetResizable(true);
  setFrameShape(QFrame::NoFrame);
}

CZorvanView::~CZorvanView() {
  if (m_pDoc) m_pDoc->RemoveObserver(this);
}

void CZorvanView::Attach(CZorvanDoc& doc) {
  if (m_pDoc == &doc) return;
  if (m_pDoc) m_pDoc->RemoveObserver(this);
  m_pDoc = &doc;
  doc.AddObserver(this);
}

void CZorvanView::OnInitialUpdate() {
  m_bViewReady = false;
  m_pRecord = nullptr;
  if (m_pSheet) {
    m_pSheet->ForgetRecord();
    delete takeWidget();
  }
  if (!m_pDoc) return;
  auto* sheet = new CMyPropSheet(*m_pDoc);
  sheet->setMinimumSize(sheet->minimumSizeHint());
  setWidget(sheet);
  m_pSheet = sheet;
  m_bViewReady = true;
  m_pSheet->SetActivePage(pageCalendar);
}

void CZorvanView::OnUpdate(IDocObserver* /*sender*/, int hint, CTreeItem* object) {
  if (hint == HINT_NONE) {
    OnInitialUpdate();
    return;
  }
  if (!m_bViewReady || !m_pSheet || !object) return;
  switch (hint) {
    case HINT_SHOW_RECORD:
      m_pRecord = object;
      m_pSheet->ExchangeRecord(false, object);
      // A top-level record keeps the page the user is on; any other shows its summary.
      if (object->m_pParent) m_pSheet->SetActivePage(pageSummary);
      break;
    case HINT_CALENDAR_DAY:
      m_pRecord = object;
      m_pDoc->m_dtCalendarDay = object->m_dtNameDay;
      m_pSheet->ExchangeRecord(false, object);
      m_pSheet->SetActivePage(pageCalendar);
      break;
    case HINT_EVENT_CONTACT:
      m_pRecord = object;
      m_pSheet->ExchangeRecord(false, object);
      m_pSheet->SetActivePage(pagePersonal);
      break;
    default:
      break;
  }
}

void CZorvanView::OnAboutToDestroy(CTreeItem* node) {
  if (!node) {
    m_pRecord = nullptr;
    if (m_pSheet) m_pSheet->ForgetRecord();
    m_bViewReady = false;  // until the next initial update
    return;
  }
  // The sheet always shows the view's record, so both let go of it together.
  for (const CTreeItem* up = m_pRecord; up; up = up->m_pParent) {
    if (up == node) {
      m_pRecord = nullptr;
      if (m_pSheet) m_pSheet->ForgetRecord();
      return;
    }
  }
}

}  // namespace zorvan
