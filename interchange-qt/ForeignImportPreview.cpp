#include "interchange-qt/ForeignImportPreview.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "qt/QtText.h"
#include "res/StringTable.h"
#include "store/TreeItem.h"

namespace zorvan {
namespace {

// The first contact's fields as a read-only table of two columns.
QTableWidget* FieldTable(const CTreeItem* record) {
  const auto rows =
      record ? StoredFieldTexts(*record) : std::vector<std::pair<std::string, std::string>>();
  auto* table = new QTableWidget(static_cast<int>(rows.size()), 2);
  table->setObjectName(QStringLiteral("firstContact"));
  table->setHorizontalHeaderLabels(
      {QCoreApplication::translate("zorvan::CForeignImportPreview", "Field"),
       QCoreApplication::translate("zorvan::CForeignImportPreview", "Value")});
  table->verticalHeader()->setVisible(false);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setWordWrap(true);
  for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
    const auto& [name, value] = rows[static_cast<size_t>(i)];
    table->setItem(i, 0, new QTableWidgetItem(ToQString(name)));
    // The remark's CR LF line breaks as the lines they are.
    table->setItem(i, 1, new QTableWidgetItem(ToQString(value).remove(QLatin1Char('\r'))));
  }
  table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  table->horizontalHeader()->setStretchLastSection(true);
  table->resizeRowsToContents();
  return table;
}

// The import's own summary, in bold; UpdateCount fills in its number.
QLabel* SummaryLabel() {
  auto* summary = new QLabel;
  summary->setObjectName(QStringLiteral("summary"));
  summary->setWordWrap(true);
  summary->setTextFormat(Qt::PlainText);
  QFont bold = summary->font();
  bold.setWeight(QFont::Bold);
  summary->setFont(bold);
  return summary;
}

}  // namespace

CForeignImportPreview::CForeignImportPreview(const CForeignImport& import,
                                             std::vector<SDuplicate> duplicates, QWidget* parent)
    : QDialog(parent),
      m_import(import),
      m_nContacts(import.Count()),
      m_duplicates(std::move(duplicates)) {
  setWindowTitle(ToQString(LoadString(IDS_OTHER_IMPORT_TITLE)));

  m_pSummary = SummaryLabel();
  m_pFirst = FieldTable(import.First());
  auto* firstBox = new QGroupBox(tr("The &first contact as it will be stored"));
  auto* firstLayout = new QVBoxLayout(firstBox);
  firstLayout->addWidget(m_pFirst);
  // The group box's mnemonic takes the focus into the table.
  firstBox->setFocusProxy(m_pFirst);

  QGroupBox* dupBox = DuplicatesBox(import);

  auto* buttons = new QDialogButtonBox;
  m_pImport = buttons->addButton(tr("&Import"), QDialogButtonBox::AcceptRole);
  m_pImport->setObjectName(QStringLiteral("import"));
  QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
  // Enter means Import wherever the focus is, after a click on Skip all, Import all or a box of
  // the list too; only Escape and Cancel itself cancel. A button that becomes the default when
  // it takes the focus would make Enter cancel once a click left the focus on Cancel.
  cancel->setAutoDefault(false);
  m_pImport->setAutoDefault(false);
  m_pImport->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_pSummary);
  layout->addWidget(firstBox, 3);
  layout->addWidget(dupBox, m_duplicates.empty() ? 0 : 2);
  layout->addWidget(buttons);
  UpdateCount();
  resize(760, m_duplicates.empty() ? 520 : 640);
  m_pImport->setFocus();
}

QGroupBox* CForeignImportPreview::DuplicatesBox(const CForeignImport& import) {
  auto* dupBox = new QGroupBox(tr("Contacts that look like &duplicates"));
  auto* dupLayout = new QVBoxLayout(dupBox);
  m_pDuplicates = new QTreeWidget;
  m_pDuplicates->setObjectName(QStringLiteral("duplicates"));
  m_pDuplicates->setRootIsDecorated(false);
  m_pDuplicates->setUniformRowHeights(true);
  m_pDuplicates->setHeaderLabels(
      {tr("Contact of the file (checked: skipped)"), tr("Looks like"), tr("Why")});
  AddDuplicateItems(import.Contacts());
  m_pDuplicates->header()->setStretchLastSection(true);
  for (int c = 0; c < 2; ++c) m_pDuplicates->resizeColumnToContents(c);
  dupBox->setFocusProxy(m_pDuplicates);
  connect(m_pDuplicates, &QTreeWidget::itemChanged, this, [this] { UpdateCount(); });

  m_pSkipCount = new QLabel;
  m_pSkipCount->setObjectName(QStringLiteral("skipCount"));
  m_pSkipAll = new QPushButton(tr("&Skip all"));
  m_pImportAll = new QPushButton(tr("Import &all"));
  m_pSkipAll->setAutoDefault(false);
  m_pImportAll->setAutoDefault(false);
  connect(m_pSkipAll, &QPushButton::clicked, this, [this] { SetAllSkipped(true); });
  connect(m_pImportAll, &QPushButton::clicked, this, [this] { SetAllSkipped(false); });
  auto* dupButtons = new QHBoxLayout;
  dupButtons->addWidget(m_pSkipCount, 1);
  dupButtons->addWidget(m_pSkipAll);
  dupButtons->addWidget(m_pImportAll);
  dupLayout->addWidget(m_pDuplicates);
  dupLayout->addLayout(dupButtons);
  if (m_duplicates.empty()) {
    m_pDuplicates->setVisible(false);
    m_pSkipAll->setVisible(false);
    m_pImportAll->setVisible(false);
  }
  return dupBox;
}

QString CForeignImportPreview::ReasonText(const SDuplicate& duplicate) {
  QString text;
  switch (duplicate.reason) {
    case EDuplicateReason::sameLabel:
      text = tr("same label");
      break;
    case EDuplicateReason::sameUid:
      text = tr("same UID");
      break;
    case EDuplicateReason::sameEmail:
      text = tr("same e-mail address %1").arg(ToQString(duplicate.strEmail));
      break;
  }
  return duplicate.bEarlierInFile ? tr("%1 (earlier in the file)").arg(text) : text;
}

void CForeignImportPreview::AddDuplicateItems(const std::vector<SForeignContact>& contacts) {
  QList<QTreeWidgetItem*> items;
  items.reserve(static_cast<qsizetype>(m_duplicates.size()));
  for (const SDuplicate& d : m_duplicates) {
    auto* item = new QTreeWidgetItem({ToQString(contacts[d.nContact].pRecord->m_strLabel.view()),
                                      ToQString(d.strExisting), ReasonText(d)});
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(0, Qt::Checked);
    items.append(item);
  }
  m_pDuplicates->addTopLevelItems(items);
}

void CForeignImportPreview::UpdateCount() {
  size_t skipped = 0;
  for (int i = 0; i < m_pDuplicates->topLevelItemCount(); ++i)
    if (m_pDuplicates->topLevelItem(i)->checkState(0) == Qt::Checked) ++skipped;
  // The heading counts what the footer counts: the contacts that will be imported.
  m_pSummary->setText(ToQString(m_import.PreviewText(m_nContacts - skipped)));
  if (m_duplicates.empty()) {
    m_pSkipCount->setText(tr("No contact looks like one already in the database."));
  } else {
    m_pSkipCount->setText(tr("Likely duplicates: %1 of %2. To be skipped (checked): %3; "
                             "to be imported: %4.")
                              .arg(m_duplicates.size())
                              .arg(m_nContacts)
                              .arg(skipped)
                              .arg(m_nContacts - skipped));
  }
  m_pImport->setEnabled(skipped < m_nContacts);
}

std::vector<bool> CForeignImportPreview::SkipFlags() const {
  std::vector<bool> skip(m_nContacts, false);
  for (size_t i = 0; i < m_duplicates.size(); ++i)
    skip[m_duplicates[i].nContact] =
        m_pDuplicates->topLevelItem(static_cast<int>(i))->checkState(0) == Qt::Checked;
  return skip;
}

void CForeignImportPreview::SetAllSkipped(bool skipped) {
  const QSignalBlocker block(m_pDuplicates);
  for (int i = 0; i < m_pDuplicates->topLevelItemCount(); ++i)
    m_pDuplicates->topLevelItem(i)->setCheckState(0, skipped ? Qt::Checked : Qt::Unchecked);
  UpdateCount();
}

}  // namespace zorvan
