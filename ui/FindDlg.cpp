#include "ui/FindDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "find/Finder.h"
#include "qt/Prompt.h"
#include "qt/QtText.h"

namespace zorvan {

CFindDlg::CFindDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(tr("Find"));

  auto* search = new QGroupBox(tr("Search for what and where"));
  auto* grid = new QGridLayout(search);
  auto* whatLabel = new QLabel(tr("&What to look for:"));
  auto* whereLabel = new QLabel(tr("W&here:"));
  grid->addWidget(whatLabel, 0, 0);
  grid->addWidget(whereLabel, 0, 1);
  for (int i = 0; i < 3; ++i) {
    m_pText[i] = new QLineEdit;
    m_pText[i]->setObjectName(QStringLiteral("text%1").arg(i + 1));
    m_pWhere[i] = new QComboBox;
    m_pWhere[i]->setObjectName(QStringLiteral("where%1").arg(i + 1));
    m_pWhere[i]->setEditable(false);
    m_pWhere[i]->setMinimumContentsLength(14);
    m_pWhere[i]->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    const int row = 1 + 2 * i;
    if (i > 0) grid->addWidget(new QLabel(tr("and")), row - 1, 0);
    grid->addWidget(m_pText[i], row, 0);
    grid->addWidget(m_pWhere[i], row, 1);
  }
  grid->setColumnStretch(0, 3);
  grid->setColumnStretch(1, 2);
  whatLabel->setBuddy(m_pText[0]);
  whereLabel->setBuddy(m_pWhere[0]);

  auto* direction = new QGroupBox(tr("Direction"));
  auto* radios = new QVBoxLayout(direction);
  m_pFromBeginning = new QRadioButton(tr("From the &begining (first occurence)"));
  m_pFromCurrent = new QRadioButton(tr("From the &current (next occurence)"));
  radios->addWidget(m_pFromBeginning);
  radios->addWidget(m_pFromCurrent);

  // "antonin" finds "Antonín" and "LODZ" finds "Łódź" unless accents are to count.
  m_pIgnoreAccents = new QCheckBox(tr("&Ignore accents"));
  m_pIgnoreAccents->setObjectName(QStringLiteral("ignoreAccents"));

  auto* buttons = new QDialogButtonBox;
  QPushButton* find = buttons->addButton(tr("&Find"), QDialogButtonBox::AcceptRole);
  find->setObjectName(QStringLiteral("find"));
  find->setDefault(true);
  buttons->addButton(tr("C&ancel"), QDialogButtonBox::RejectRole)
      ->setObjectName(QStringLiteral("cancel"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(search);
  layout->addWidget(direction);
  layout->addWidget(m_pIgnoreAccents);
  layout->addWidget(buttons);
  // About as wide as the classic dialog, 293 dialog units of an 8-point font, so that the
  // texts have room.
  setMinimumWidth(440);
}

void CFindDlg::OnInitDialog() {
  UpdateData(false);
  for (QComboBox* where : m_pWhere) {
    where->clear();
    for (int group = 0; group < kFindGroupCount; ++group)
      where->addItem(ToQString(FindGroupName(group)));
  }
  const int stored[] = {m_nWhere1, m_nWhere2, m_nWhere3};
  for (int i = 0; i < 3; ++i)
    m_pWhere[i]->setCurrentIndex(stored[i] >= 0 && stored[i] < kFindGroupCount ? stored[i] : -1);
  m_pText[0]->setFocus();
}

bool CFindDlg::LacksFieldGroup() const {
  bool typed = false;
  for (size_t i = 0; i < m_pText.size(); ++i) {
    if (m_pText[i]->text().isEmpty()) continue;
    typed = true;
    if (m_pWhere[i]->currentIndex() >= 0) return false;
  }
  return typed;
}

void CFindDlg::accept() {
  if (LacksFieldGroup()) {
    Prompt().MessageBox(tr("Choose at least one field group to search in."), EMsgIcon::Information);
    m_pWhere[0]->setFocus();
    return;
  }
  UpdateData(true);
  QDialog::accept();
}

void CFindDlg::UpdateData(bool save) {
  QString* texts[] = {&m_strFind1, &m_strFind2, &m_strFind3};
  int* wheres[] = {&m_nWhere1, &m_nWhere2, &m_nWhere3};
  for (int i = 0; i < 3; ++i) {
    if (save) {
      *texts[i] = m_pText[i]->text();
      *wheres[i] = m_pWhere[i]->currentIndex();
    } else {
      m_pText[i]->setText(*texts[i]);
    }
  }
  if (save) {
    m_nDirection = m_pFromBeginning->isChecked() ? 0 : m_pFromCurrent->isChecked() ? 1 : -1;
    m_bIgnoreAccents = m_pIgnoreAccents->isChecked();
  } else {
    m_pIgnoreAccents->setChecked(m_bIgnoreAccents);
    m_pFromBeginning->setChecked(m_nDirection == 0);
    m_pFromCurrent->setChecked(m_nDirection == 1);
  }
}

}  // namespace zorvan
