#include "interchange-qt/DelimiterDlg.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zorvan {

CDelimiterDlg::CDelimiterDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(tr("File Import: Delimiter"));

  auto* prompt = new QLabel(tr("Enter fields delimiter:"));
  m_pCombo = new QComboBox;
  m_pCombo->setObjectName(QStringLiteral("delimiter"));
  m_pCombo->setEditable(true);
  // The list is sorted, so "," and ";" come before the two words.
  m_pCombo->setInsertPolicy(QComboBox::InsertAlphabetically);
  m_pCombo->addItems(
      {QStringLiteral(","), QStringLiteral(";"), QStringLiteral("space"), QStringLiteral("tab")});
  m_pCombo->setMinimumContentsLength(8);
  prompt->setBuddy(m_pCombo);
  SetDelimiter(QStringLiteral(","));

  auto* line = new QFrame;
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  auto* hint =
      new QLabel(tr("For tabulator delimiter enter the word tab.\n"
                    "For space delimiter enter the word space."));

  auto* cancel = new QPushButton(tr("Cancel"));
  auto* ok = new QPushButton(tr("OK"));
  ok->setDefault(true);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* ask = new QHBoxLayout;
  ask->addWidget(prompt);
  ask->addWidget(m_pCombo, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cancel);
  buttons->addWidget(ok);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(ask);
  layout->addWidget(line);
  layout->addWidget(hint);
  layout->addSpacing(layout->spacing() * 2);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  m_pCombo->setFocus();
}

QString CDelimiterDlg::Delimiter() const { return m_pCombo->currentText(); }

void CDelimiterDlg::SetDelimiter(const QString& text) {
  m_pCombo->setEditText(text);
  m_pCombo->lineEdit()->selectAll();
}

}  // namespace zorvan
