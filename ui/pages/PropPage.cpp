#include "ui/pages/PropPage.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "qt/QtText.h"
#include "res/StringTable.h"
#include "store/RecordIdentity.h"
#include "store/TreeItem.h"
#include "ui/MyPropSheet.h"

namespace zorvan {

CPageHeader::CPageHeader(const QString& text, QWidget* parent) : QFrame(parent), m_strText(text) {
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize CPageHeader::sizeHint() const { return {300, 44}; }

void CPageHeader::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  CMyPropSheet::DrawPageHeader(*this, m_strText);
}

CPropPage::CPropPage(CMyPropSheet& sheet, int headerStringId, QWidget* parent)
    : QWidget(parent), m_sheet(sheet) {
  auto* layout = new QVBoxLayout(this);
  m_pHeader = new CPageHeader(ToQString(LoadString(headerStringId)), this);
  layout->addWidget(m_pHeader);
  m_pBody = new QVBoxLayout;
  layout->addLayout(m_pBody);
  layout->addStretch(1);
}

void CPropPage::Load(CTreeItem& record) { LoadTextFields(record); }

void CPropPage::Store(CTreeItem& record) { StoreTextFields(record); }

QLineEdit* CPropPage::AddTextField(QGridLayout* grid, int row, int column, const QString& label,
                                   EField field) {
  auto* edit = BindTextField(field);
  auto* caption = new QLabel(label);
  caption->setBuddy(edit);
  grid->addWidget(caption, row, column);
  grid->addWidget(edit, row, column + 1);
  return edit;
}

QLineEdit* CPropPage::BindTextField(EField field) {
  auto* edit = new QLineEdit;
  // Only what the user types stores the record; a load's setText does not.
  connect(edit, &QLineEdit::textEdited, this, [this, edit] { OnUserEdit(edit); });
  m_textFields.emplace_back(edit, TextMember(field));
  return edit;
}

bool CPropPage::LoadTextFields(const CTreeItem& record) {
  const bool other = std::exchange(m_pLoaded, &record) != &record;
  for (const auto& [edit, field] : m_textFields) {
    const QString text = ToQString((record.*field).view());
    // Setting the same text again would move the cursor of the edit being typed in; for
    // another record it clears the box's own undo.
    if (other || edit->text() != text) edit->setText(text);
  }
  return other;
}

void CPropPage::StoreTextFields(CTreeItem& record) const {
  for (const auto& [edit, field] : m_textFields) record.*field = ToStdString(edit->text());
}

CZorvanDoc::CChange CPropPage::BeginRecordChange(EStepKind kind, const void* key) {
  CTreeItem* record = m_sheet.Record();
  CZorvanDoc& doc = m_sheet.Doc();
  CZorvanDoc::CChange change =
      doc.BeginChange({kind, record ? record->m_strLabel.str() : std::string()}, key, record);
  doc.RecordWillChange(record);
  return change;
}

void CPropPage::OnUserEdit(const void* key) {
  const CZorvanDoc::CChange change = BeginRecordChange(EStepKind::edit, key);
  m_sheet.ExchangeRecord(true);
  // An edit is a change of the record: a contact already shared tells so by its REV.
  if (CTreeItem* record = m_sheet.Record()) TouchRecord(*record);
  AfterUserEdit();
}

}  // namespace zorvan
