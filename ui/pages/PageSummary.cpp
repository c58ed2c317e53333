#include "ui/pages/PageSummary.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "interchange/vcard/ForeignVCardReader.h"
#include "interchange/vcard/KeptLines.h"
#include "qt/Prompt.h"
#include "qt/QtText.h"
#include "res/StringTable.h"
#include "store/RecordExtras.h"
#include "store/RecordTexts.h"
#include "store/TreeItem.h"
#include "ui/KeptLineDlg.h"
#include "ui/MyPropSheet.h"

namespace zorvan {
namespace {

QLineEdit* AddReadOnly(QGridLayout* grid, int row, const QString& label) {
  auto* edit = new QLineEdit;
  edit->setReadOnly(true);
  auto* caption = new QLabel(label);
  caption->setBuddy(edit);
  grid->addWidget(caption, row, 0);
  grid->addWidget(edit, row, 1);
  return edit;
}

// The side of the square the photo is shown in, in pixels: a portrait as address books show it.
constexpr int kPhotoSide = 96;

}  // namespace

CPageSummary::CPageSummary(CMyPropSheet& sheet) : CPropPage(sheet, IDS_PAGE_SUMMARY) {
  // Until the first summary the group boxes carry their placeholder caption.
  m_pNameBox = new QGroupBox(tr("Static"));
  auto* home = new QGridLayout(m_pNameBox);
  m_pHomeAddress = AddReadOnly(home, 0, tr("&Home Address:"));
  m_pHomePhone = AddReadOnly(home, 1, tr("&Phone:"));
  m_pHomeInternet = AddReadOnly(home, 2, tr("&Internet:"));
  m_pWorkBox = new QGroupBox(tr("Static"));
  auto* work = new QGridLayout(m_pWorkBox);
  m_pWorkAddress = AddReadOnly(work, 0, tr("&Work Address:"));
  m_pWorkPhone = AddReadOnly(work, 1, tr("P&hone:"));
  m_pWorkInternet = AddReadOnly(work, 2, tr("I&nternet:"));
  m_pKeptBox = new QGroupBox(tr("Kept from other programs"));
  auto* kept = new QHBoxLayout(m_pKeptBox);
  m_pPhoto = new QLabel;
  m_pPhoto->setFixedSize(kPhotoSide, kPhotoSide);
  m_pPhoto->setAlignment(Qt::AlignCenter);
  m_pKept = new QListWidget;
  m_pKept->setAccessibleName(tr("Kept properties"));
  m_pKept->setMaximumHeight(kPhotoSide * 2);
  m_pKept->setSelectionMode(QAbstractItemView::ExtendedSelection);
  m_pKept->installEventFilter(this);
  m_pEditKept = new QPushButton(tr("&Edit..."));
  m_pEditKept->setAccessibleName(tr("Edit kept property"));
  m_pRemoveKept = new QPushButton(tr("&Remove"));
  m_pRemoveKept->setAccessibleName(tr("Remove kept properties"));
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(m_pEditKept);
  buttons->addWidget(m_pRemoveKept);
  buttons->addStretch(1);
  kept->addWidget(m_pPhoto, 0, Qt::AlignTop);
  kept->addWidget(m_pKept, 1);
  kept->addLayout(buttons);
  m_pKeptBox->hide();
  connect(m_pKept, &QListWidget::itemSelectionChanged, this, [this] { UpdateKeptButtons(); });
  connect(m_pKept, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) { EditKept(item); });
  connect(m_pEditKept, &QPushButton::clicked, this, [this] {
    const QList<QListWidgetItem*> selected = m_pKept->selectedItems();
    if (selected.size() == 1) EditKept(selected.front());
  });
  connect(m_pRemoveKept, &QPushButton::clicked, this, [this] { RemoveKept(); });
  UpdateKeptButtons();
  Body()->addWidget(m_pNameBox);
  Body()->addWidget(m_pWorkBox);
  Body()->addWidget(m_pKeptBox);
}

void CPageSummary::BuildSummary(const CTreeItem& record) {
  const SSummaryTexts s = zorvan::BuildSummary(record);
  // A group box caption would take "&" as a mnemonic; the name shows as it is.
  auto caption = [](const std::string& text) {
    return ToQString(text).replace(QLatin1Char('&'), QLatin1String("&&"));
  };
  m_pNameBox->setTitle(caption(s.strNameLine));
  m_pWorkBox->setTitle(caption(s.strWorkLine));
  const std::pair<QLineEdit*, const std::string*> lines[] = {
      {m_pHomeAddress, &s.strHomeAddress},   {m_pHomePhone, &s.strHomePhone},
      {m_pHomeInternet, &s.strHomeInternet}, {m_pWorkAddress, &s.strWorkAddress},
      {m_pWorkPhone, &s.strWorkPhone},       {m_pWorkInternet, &s.strWorkInternet}};
  for (const auto& [edit, text] : lines) {
    edit->setText(ToQString(*text));
    // A line longer than its box shows its beginning, where the street or the first number is.
    edit->setCursorPosition(0);
  }
  ShowKept(record);
}

void CPageSummary::ShowKept(const CTreeItem& record) {
  m_pKept->clear();
  m_pPhoto->clear();
  const SRecordExtras* extras = record.m_pExtras.get();
  QPixmap photo;
  if (extras && !extras->photo.empty())
    photo.loadFromData(reinterpret_cast<const uchar*>(extras->photo.data()),
                       static_cast<uint>(extras->photo.size()));
  m_pPhoto->setVisible(!photo.isNull());
  if (!photo.isNull())
    m_pPhoto->setPixmap(
        photo.scaled(kPhotoSide, kPhotoSide, Qt::KeepAspectRatio, Qt::SmoothTransformation));
  if (extras) {
    const std::vector<std::string> said = CForeignVCardReader::Describe(extras->properties);
    for (size_t i = 0; i < said.size(); ++i) {
      // A label line is shown in the words of the line it labels.
      if (IsLabelOfKeptLine(extras->properties, i)) continue;
      const std::string& line = extras->properties[i];
      auto* item = new QListWidgetItem(ToQString(said[i].empty() ? line : said[i]), m_pKept);
      item->setToolTip(ToQString(line));
      item->setData(Qt::UserRole, QVariant::fromValue(static_cast<qulonglong>(i)));
    }
  }
  const bool lines = m_pKept->count() > 0;
  m_pKept->setVisible(lines);
  m_pEditKept->setVisible(lines);
  m_pRemoveKept->setVisible(lines);
  m_pKeptBox->setVisible(!photo.isNull() || lines);
  UpdateKeptButtons();
}

void CPageSummary::UpdateKeptButtons() {
  const qsizetype selected = m_pKept->selectedItems().size();
  m_pEditKept->setEnabled(selected == 1);
  m_pRemoveKept->setEnabled(selected > 0);
}

bool CPageSummary::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_pKept && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
      RemoveKept();
      return true;
    }
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && m_pKept->currentItem()) {
      EditKept(m_pKept->currentItem());
      return true;
    }
  }
  return CPropPage::eventFilter(watched, event);
}

void CPageSummary::RemoveKept() {
  CTreeItem* record = m_sheet.Record();
  const QList<QListWidgetItem*> selected = m_pKept->selectedItems();
  if (!record || !record->m_pExtras || selected.isEmpty()) return;
  std::vector<size_t> indexes;
  int row = m_pKept->count();
  for (const QListWidgetItem* item : selected) {
    indexes.push_back(item->data(Qt::UserRole).toULongLong());
    row = std::min(row, m_pKept->row(item));
  }
  const CZorvanDoc::CChange change = BeginRecordChange(EStepKind::edit);
  RemoveKeptLines(record->m_pExtras->properties, std::move(indexes));
  KeptChanged(*record, row);
}

void CPageSummary::EditKept(QListWidgetItem* item) {
  CTreeItem* record = m_sheet.Record();
  if (!item || !record || !record->m_pExtras) return;
  const size_t index = item->data(Qt::UserRole).toULongLong();
  std::vector<std::string>& lines = record->m_pExtras->properties;
  if (index >= lines.size()) return;
  const QString line = ToQString(lines[index]);
  CKeptLineDlg dialog(line, item->text() == line ? QString() : item->text(), this);
  if (Prompt().RunModal(dialog) != QDialog::Accepted || dialog.Line() == lines[index]) return;
  const int row = m_pKept->row(item);
  const CZorvanDoc::CChange change = BeginRecordChange(EStepKind::edit);
  ReplaceKeptLine(lines, index, dialog.Line());
  KeptChanged(*record, row);
}

void CPageSummary::KeptChanged(CTreeItem& record, int row) {
  // Identity stays as it is: only a record that keeps nothing at all drops its extras.
  if (record.m_pExtras->Empty()) record.m_pExtras.reset();
  ShowKept(record);
  OnUserEdit();
  // A birthday or anniversary without a year is a kept line: its event node follows it.
  m_sheet.Doc().SyncEventNodes(&record);
  if (m_pKept->count() == 0) return;
  m_pKept->setCurrentRow(std::min(row, m_pKept->count() - 1));
}

}  // namespace zorvan
