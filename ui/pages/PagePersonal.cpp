#include "ui/pages/PagePersonal.h"

#include <QDateTimeEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "qt/QtText.h"
#include "res/StringTable.h"
#include "store/RecordFields.h"
#include "store/TreeItem.h"
#include "store/ZorvanDoc.h"
#include "ui/DateField.h"
#include "ui/MyPropSheet.h"

namespace zorvan {
namespace {

// Each date box with the record's date field: the date and its set flag.
struct SDateBinding {
  CDateField* CPagePersonal::*box;
  EField field;
};

constexpr SDateBinding kDates[] = {
    {&CPagePersonal::m_pBirthday, fieldBirthday},
    {&CPagePersonal::m_pNameDay, fieldNameDay},
    {&CPagePersonal::m_pAnniversary, fieldAnniversary},
};

// The record keeps CR LF line breaks; the editor shows ordinary lines.
QString RemarkToEditor(std::string_view remark) {
  return ToQString(remark).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

std::string RemarkFromEditor(const QString& text) {
  QString lines = text;
  lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  return ToStdString(lines.replace(QLatin1Char('\n'), QLatin1String("\r\n")));
}

}  // namespace

CPagePersonal::CPagePersonal(CMyPropSheet& sheet) : CPropPage(sheet, IDS_PAGE_PERSONAL) {
  auto* family = new QGroupBox(tr("Family"));
  auto* f = new QGridLayout(family);
  AddTextField(f, 0, 0, tr("&Spouse:"), fieldSpouse);
  AddTextField(f, 1, 0, tr("&Children:"), fieldChildren);
  f->setColumnStretch(1, 1);

  auto* dates = new QGroupBox(tr("Dates"));
  auto* d = new QGridLayout(dates);
  auto addDate = [&](int row, const QString& label) {
    auto* field = new CDateField(CDateField::EFormat::shortDate, true);
    auto* caption = new QLabel(label);
    caption->setBuddy(field->Editor());
    d->addWidget(caption, row, 0);
    d->addWidget(field, row, 1);
    connect(field, &CDateField::DateChanged, this, [this] { OnDateChanged(); });
    return field;
  };
  m_pBirthday = addDate(0, tr("&Birthday:"));
  m_pNameDay = addDate(1, tr("&Nameday:"));
  m_pAnniversary = addDate(2, tr("&Anniversary:"));
  m_pAnniversaryText = BindTextField(fieldAnniversaryText);
  d->addWidget(m_pAnniversaryText, 2, 2);
  d->setColumnStretch(2, 1);

  auto* remark = new QGroupBox(tr("&Remark"));
  auto* r = new QVBoxLayout(remark);
  m_pRemark = new QPlainTextEdit;
  m_pRemark->setTabChangesFocus(true);
  r->addWidget(m_pRemark);
  connect(m_pRemark, &QPlainTextEdit::textChanged, this, [this] {
    if (m_bLoading) return;
    OnUserEdit(m_pRemark);
  });

  Body()->addWidget(family);
  Body()->addWidget(dates);
  Body()->addWidget(remark, 1);
}

void CPagePersonal::Load(CTreeItem& r) {
  const bool other = LoadTextFields(r);
  const QString remark = RemarkToEditor(r.m_strRemark);
  if (other || m_pRemark->toPlainText() != remark) {
    m_bLoading = true;
    m_pRemark->setPlainText(remark);
    m_bLoading = false;
  }
  if (!m_bInitialized) return;
  for (const SDateBinding& b : kDates) {
    const SRecordField& f = RecordField(b.field);
    // The flag decides: a set date is valid, an unset one has no date.
    (r.*f.pDate).m_status = r.*f.pNumber ? CDateTime::valid : CDateTime::null;
    (this->*b.box)->SetDate(r.*f.pDate);
  }
}

void CPagePersonal::Store(CTreeItem& r) {
  StoreTextFields(r);
  r.m_strRemark = RemarkFromEditor(m_pRemark->toPlainText());
  if (!m_bInitialized) return;
  for (const SDateBinding& b : kDates) {
    const SRecordField& f = RecordField(b.field);
    const CDateField* box = this->*b.box;
    r.*f.pNumber = box->HasDate() ? 1 : 0;
    r.*f.pDate = box->Date();
  }
}

void CPagePersonal::showEvent(QShowEvent* event) {
  CPropPage::showEvent(event);
  if (m_bInitialized) return;
  m_bInitialized = true;
  m_sheet.ExchangeRecord(false);
}

void CPagePersonal::OnDateChanged() {
  const CZorvanDoc::CChange change = BeginRecordChange(EStepKind::edit);
  OnUserEdit();
  // The calendar lists follow the flags at once.
  if (CTreeItem* record = m_sheet.Record()) m_sheet.Doc().SyncEventNodes(record);
}

}  // namespace zorvan
