#pragma once

#include <QTabWidget>

#include "store/ZorvanDoc.h"

class QWidget;

namespace zorvan {

class CPageAbout;
class CPageBusiness;
class CPageCalendar;
class CPageHome;
class CPageName;
class CPagePersonal;
class CPageSummary;

// The pages of the form, by their place in the sheet.
enum EPageIndex {
  pageSummary = 0,
  pageName = 1,
  pageHome = 2,
  pageBusiness = 3,
  pagePersonal = 4,
  pageCalendar = 5,
  pageAbout = 6,
};

// The form's seven pages as tabs, without OK or Cancel: every edit goes into the shown record at
// once. The sheet moves values between the record and the pages (ExchangeRecord) and draws the
// header strip every page carries.
class CMyPropSheet : public QTabWidget {
  Q_OBJECT

 public:
  CMyPropSheet(CZorvanDoc& doc, QWidget* parent = nullptr);
  ~CMyPropSheet() override;

  // A non-null record first becomes the shown one; with none shown nothing happens. Load
  // (save false) fills the pages from the record and never marks the database modified; store
  // (save true) writes every page into the record and marks the database modified.
  void ExchangeRecord(bool save, CTreeItem* record = nullptr);

  // The label box or the Group box changed the shown record's label or group flag.
  void RecordAppearanceChanged(ERecordChange change);

  // Draws text centred in rect as every page's header: a big black italic title with a grey
  // shadow four pixels down and to the right.
  static void DrawPageHeader(QWidget& header, const QString& text);

  CZorvanDoc& Doc() const { return m_doc; }
  int ActivePage() const { return currentIndex(); }
  void SetActivePage(int index) { setCurrentIndex(index); }
  CTreeItem* Record() const { return m_pRecord; }
  void ForgetRecord() { m_pRecord = nullptr; }

  CPageSummary* m_pageSummary;
  CPageName* m_pageName;
  CPageHome* m_pageHome;
  CPageBusiness* m_pageBusiness;
  CPagePersonal* m_pagePersonal;
  CPageCalendar* m_pageCalendar;
  CPageAbout* m_pageAbout;

 signals:
  // The pages were stored into the shown record: its addresses may have changed.
  void RecordStored();

 private:
  void Load(CTreeItem& r);
  void Store(CTreeItem& r);

  CZorvanDoc& m_doc;
  CTreeItem* m_pRecord = nullptr;  // the record the pages show; not owned
};

}  // namespace zorvan
