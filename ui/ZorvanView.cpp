#include "ui/ZorvanView.h"

#include <QFrame>

#include "store/ZorvanDoc.h"

namespace zorvan {

CZorvanView::CZorvanView(QWidget* parent) : QScrollArea(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setWidgetResizable(true);
  auto* placeholder = new QFrame;
  placeholder->setObjectName(QStringLiteral("formPlaceholder"));
  setWidget(placeholder);
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
  m_bViewReady = m_pDoc != nullptr;
}

void CZorvanView::OnUpdate(IDocObserver* /*sender*/, int hint, CTreeItem* object) {
  if (hint == HINT_NONE) {
    OnInitialUpdate();
    return;
  }
  if (!m_bViewReady) return;
  if (hint == HINT_SHOW_RECORD || hint == HINT_CALENDAR_DAY || hint == HINT_EVENT_CONTACT)
    m_pRecord = object;
}

void CZorvanView::OnAboutToDestroy(CTreeItem* node) {
  if (!node) {
    m_pRecord = nullptr;
    m_bViewReady = false;  // until the next initial update
    return;
  }
  for (const CTreeItem* up = m_pRecord; up; up = up->m_pParent) {
    if (up == node) {
      m_pRecord = nullptr;
      return;
    }
  }
}

}  // namespace zorvan
