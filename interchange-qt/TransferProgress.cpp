#include "interchange-qt/TransferProgress.h"

#include <QApplication>
#include <QProgressBar>
#include <QStatusBar>

namespace zorvan {
namespace {

constexpr qint64 kPaintIntervalMs = 50;

}  // namespace

CTransferProgress::CTransferProgress(QStatusBar* statusBar) : m_pStatusBar(statusBar) {}

CTransferProgress::~CTransferProgress() {
  if (m_pBar) {
    if (m_pStatusBar) m_pStatusBar->removeWidget(m_pBar);
    delete m_pBar;
  }
  if (m_bWaitCursor) QApplication::restoreOverrideCursor();
}

void CTransferProgress::SetRange(int lower, int upper) {
  Show();
  if (m_pBar) m_pBar->setRange(lower, upper);
  Paint();
}

void CTransferProgress::SetPosition(int position) {
  // A bar repaints itself whenever its value moves by a pixel; one position a record would
  // spend more time painting than transferring. The end of the range is always shown.
  const bool end = m_pBar && position >= m_pBar->maximum();
  if (!end && m_lastPaint.isValid() && m_lastPaint.elapsed() < kPaintIntervalMs) return;
  if (m_pBar) m_pBar->setValue(position);
  Paint();
}

void CTransferProgress::EndWait() {
  if (!m_bWaitCursor) return;
  QApplication::restoreOverrideCursor();
  m_bWaitCursor = false;
}

void CTransferProgress::Show() {
  if (!m_bWaitCursor) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_bWaitCursor = true;
  }
  if (m_pBar || !m_pStatusBar) return;
  // The bar takes the place of the status bar's message pane, so a message must not hide it.
  m_pStatusBar->clearMessage();
  m_pBar = new QProgressBar;
  m_pBar->setTextVisible(false);
  m_pStatusBar->insertWidget(0, m_pBar, 1);
  m_pBar->show();
}

void CTransferProgress::Paint() {
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  m_lastPaint.start();
}

}  // namespace zorvan
