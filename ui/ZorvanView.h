#pragma once

#include <QPointer>
#include <QScrollArea>

#include "store/DocObserver.h"
#include "ui/MyPropSheet.h"

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

 private:
  CTreeItem* m_pRecord = nullptr;  // the record shown; not owned
  CZorvanDoc* m_pDoc = nullptr;
  QPointer<CMyPropSheet> m_pSheet;
  bool m_bViewReady = false;
};

}  // namespace zorvan
