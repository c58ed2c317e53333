#pragma once

#include <QPointer>
#include <QRectF>
#include <QScrollArea>

#include "store/DocObserver.h"
#include "ui/MyPropSheet.h"

class QPainter;
class QPrinter;

namespace zorvan {

class CTreeItem;
class CZorvanDoc;

// The right pane: the form that shows and edits the record selected in the tree. A new sheet
// with fresh pages is made for every new or opened database; a pane smaller than the form
// scrolls.
class CZorvanView : public QScrollArea, public IDocObserver {
  Q_OBJECT

 public:
  explicit CZorvanView(QWidget* parent = nullptr);
  ~CZorvanView() override;

  // Makes the view an observer of the document.
  void Attach(CZorvanDoc& doc);
  // After New or Open (the document's HINT_NONE).
  void OnInitialUpdate();
  void OnUpdate(IDocObserver* sender, int hint, CTreeItem* object) override;
  void OnAboutToDestroy(CTreeItem* node) override;

  CTreeItem* Record() const { return m_pRecord; }
  bool IsViewReady() const { return m_bViewReady; }
  CMyPropSheet* Sheet() const { return m_pSheet; }
  // While a synchronisation changes the shown record's group, its pages show it but take no
  // edits (the tabs still switch).
  void SetReadOnly(bool readOnly);
  bool IsReadOnly() const { return m_bReadOnly; }

  // Printing the shown record: one page, on printer as the user set it up. Print asks with the
  // print dialog first (false when it was cancelled or the printer could not be started),
  // direct print does not; the preview draws the page afresh at every repaint.
  bool OnFilePrint(QPrinter& printer);
  bool OnFilePrintDirect(QPrinter& printer);
  void OnFilePrintPreview(QPrinter& printer);
  // Draws the page of the shown record; printableArea is in the painter's device pixels.
  void PrintPage(QPainter& painter, const QRectF& printableArea) const;

  // Send e-mail and Web page: open the shown record's preferred address; available while it
  // has one.
  bool CanSendEmail() const;
  bool CanOpenWebPage() const;
  void OnSendEmail();
  void OnWebPage();

 signals:
  // Another record is shown, or the shown one was stored from the pages.
  void ShownRecordChanged();

 private:
  bool PrintOn(QPrinter& printer);

  CTreeItem* m_pRecord = nullptr;  // the record shown; not owned
  CZorvanDoc* m_pDoc = nullptr;
  QPointer<CMyPropSheet> m_pSheet;
  bool m_bViewReady = false;
  bool m_bReadOnly = false;
};

}  // namespace zorvan
