#include "ui/ZorvanView.h"

#include <QDir>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "print/PrintContact.h"
#include "qt/Prompt.h"
#include "store/DateTime.h"
#include "store/LinkTargets.h"
#include "store/RecordTexts.h"
#include "store/ZorvanDoc.h"
#include "ui/MyPropSheet.h"
#include "ui/OpenTarget.h"
#include "ui/QtPrintCanvas.h"

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
  connect(sheet, &CMyPropSheet::RecordStored, this, &CZorvanView::ShownRecordChanged);
  sheet->setMinimumSize(sheet->minimumSizeHint());
  setWidget(sheet);
  m_pSheet = sheet;
  SetReadOnly(false);
  m_bViewReady = true;
  m_pSheet->SetActivePage(pageCalendar);
  emit ShownRecordChanged();
}

void CZorvanView::SetReadOnly(bool readOnly) {
  m_bReadOnly = readOnly;
  if (!m_pSheet) return;
  for (int i = 0; i < m_pSheet->count(); ++i) m_pSheet->widget(i)->setEnabled(!readOnly);
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
      return;
  }
  emit ShownRecordChanged();
}

void CZorvanView::OnAboutToDestroy(CTreeItem* node) {
  if (!node) {
    m_pRecord = nullptr;
    if (m_pSheet) m_pSheet->ForgetRecord();
    m_bViewReady = false;  // until the next initial update
    emit ShownRecordChanged();
    return;
  }
  // The sheet always shows the view's record, so both let go of it together.
  for (const CTreeItem* up = m_pRecord; up; up = up->m_pParent) {
    if (up == node) {
      m_pRecord = nullptr;
      if (m_pSheet) m_pSheet->ForgetRecord();
      emit ShownRecordChanged();
      return;
    }
  }
}

// --- Printing ---

bool CZorvanView::OnFilePrint(QPrinter& printer) {
  QPrintDialog dialog(&printer, window());
  // The card is one page: the dialog offers no other.
  dialog.setMinMax(1, 1);
  dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
  if (Prompt().RunModal(dialog) != QDialog::Accepted) return false;
  return PrintOn(printer);
}

bool CZorvanView::OnFilePrintDirect(QPrinter& printer) { return PrintOn(printer); }

void CZorvanView::OnFilePrintPreview(QPrinter& printer) {
  QPrintPreviewDialog preview(&printer, window());
  connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* target) {
    QPainter painter(target);
    PrintPage(painter, QRectF(QPointF(0, 0), target->pageRect(QPrinter::DevicePixel).size()));
  });
  Prompt().RunModal(preview);
}

bool CZorvanView::PrintOn(QPrinter& printer) {
  printer.setFromTo(1, 1);
  QPainter painter;
  bool printed = painter.begin(&printer);
  if (printed) {
    // The painter starts at the top-left corner of the printable area.
    PrintPage(painter, QRectF(QPointF(0, 0), printer.pageRect(QPrinter::DevicePixel).size()));
    printed = painter.end();
  }
  if (!printed) {
    // A printer that went away or a file that cannot be written: say where it failed.
    const QString target = printer.outputFileName().isEmpty()
                               ? printer.printerName()
                               : QDir::toNativeSeparators(printer.outputFileName());
    Prompt().MessageBox(tr("The contact could not be printed on %1.").arg(target), EMsgIcon::Error);
  }
  return printed;
}

void CZorvanView::PrintPage(QPainter& painter, const QRectF& printableArea) const {
  CQtPrintCanvas canvas(painter, printableArea);
  PrintContact(canvas, m_bViewReady ? m_pRecord : nullptr, 1, CurrentLocalTime());
}

// --- Send e-mail and Web page ---

bool CZorvanView::CanSendEmail() const {
  return m_bViewReady && m_pRecord && m_pRecord->m_nPrefEmail >= 0;
}

bool CZorvanView::CanOpenWebPage() const {
  return m_bViewReady && m_pRecord && m_pRecord->m_nPrefUrl >= 0;
}

void CZorvanView::OnSendEmail() {
  if (CanSendEmail()) OpenTarget(MailTarget(PreferredAddress(*m_pRecord, EPreferredKind::email)));
}

void CZorvanView::OnWebPage() {
  if (CanOpenWebPage()) OpenTarget(WebTarget(PreferredAddress(*m_pRecord, EPreferredKind::web)));
}

}  // namespace zorvan
