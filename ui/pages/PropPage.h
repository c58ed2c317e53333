#pragma once

#include <QFrame>
#include <QString>
#include <utility>
#include <vector>

#include "store/RecordFields.h"
#include "store/ZorvanDoc.h"

class QGridLayout;
class QLineEdit;
class QVBoxLayout;

namespace zorvan {

class CMyPropSheet;
class CTreeItem;

// The strip at the top of every page with the page's title.
class CPageHeader : public QFrame {
  Q_OBJECT

 public:
  CPageHeader(const QString& text, QWidget* parent);
  const QString& Text() const { return m_strText; }
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString m_strText;
};

// One page of the form: the header strip over the page's own controls. A page moves its values
// between its controls and the record when the sheet asks (Load, Store); a user's edit on a page
// makes the sheet store the whole record at once.
class CPropPage : public QWidget {
  Q_OBJECT

 public:
  using TextField = CTextField CContactData::*;

  CPropPage(CMyPropSheet& sheet, int headerStringId, QWidget* parent = nullptr);

  virtual void Load(CTreeItem& record);
  virtual void Store(CTreeItem& record);

  CPageHeader* Header() const { return m_pHeader; }

 protected:
  // Where the page puts its controls, below the header.
  QVBoxLayout* Body() const { return m_pBody; }
  // A labelled single-line edit in row of grid (label in column, edit in column + 1) whose
  // text is the record's text field; a user's edit stores the record.
  QLineEdit* AddTextField(QGridLayout* grid, int row, int column, const QString& label,
                          EField field);
  // A single-line edit bound to the record's text field, for the page to place itself.
  QLineEdit* BindTextField(EField field);
  // Takes the text fields from the record into the edits, or the edits' texts into the record.
  // True when record is another than the one loaded last: the boxes then start without any
  // typing of their own to undo, which belonged to the other record.
  bool LoadTextFields(const CTreeItem& record);
  void StoreTextFields(CTreeItem& record) const;
  // A user changed a value: the sheet stores its record, then the page reacts. One step of the
  // undo history; with a key (the edit box typed in), keystrokes in a row in it make one step.
  void OnUserEdit(const void* key = nullptr);
  // A step of the undo history about the shown record, begun before the record changes in
  // place (a photo, a kept line): the record is kept as it is for Undo.
  [[nodiscard]] CZorvanDoc::CChange BeginRecordChange(EStepKind kind, const void* key = nullptr);
  virtual void AfterUserEdit() {}

  CMyPropSheet& m_sheet;

 private:
  CPageHeader* m_pHeader;
  QVBoxLayout* m_pBody;
  std::vector<std::pair<QLineEdit*, TextField>> m_textFields;
  const CTreeItem* m_pLoaded = nullptr;
};

}  // namespace zorvan
