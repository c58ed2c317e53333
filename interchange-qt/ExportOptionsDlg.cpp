#include "interchange-qt/ExportOptionsDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

namespace zorvan {
namespace {

// The line under a choice that says what it is for, indented to the choice's text.
QLabel* NoteUnder(QAbstractButton* choice, const QString& text, bool radio) {
  auto* note = new QLabel(text);
  const QStyle* style = choice->style();
  const int indicator = radio ? style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth)
                              : style->pixelMetric(QStyle::PM_IndicatorWidth);
  const int spacing = radio ? style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing)
                            : style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
  note->setContentsMargins(indicator + spacing, 0, 0, 0);
  // Lighter than the choice while it can be chosen, the disabled grey when it cannot.
  QPalette palette = note->palette();
  for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
    palette.setColor(group, QPalette::WindowText, palette.color(group, QPalette::PlaceholderText));
  note->setPalette(palette);
  return note;
}

// OK (the default) and Cancel, as every dialog of the program has them.
QDialogButtonBox* OkCancel(QDialog* dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

void Finish(QDialog* dialog, QVBoxLayout* layout, QDialogButtonBox* buttons) {
  layout->addSpacing(layout->spacing());
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  dialog->setSizeGripEnabled(false);
}

}  // namespace

CForeignExportDlg::CForeignExportDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(tr("Export for Other Programs"));

  auto* versionBox = new QGroupBox(tr("vCard version"));
  m_pVersion30 = new QRadioButton(tr("vCard &3.0"));
  m_pVersion30->setObjectName(QStringLiteral("version30"));
  m_pVersion40 = new QRadioButton(tr("vCard &4.0"));
  m_pVersion40->setObjectName(QStringLiteral("version40"));
  auto* versions = new QVBoxLayout(versionBox);
  versions->addWidget(m_pVersion30);
  versions->addWidget(
      NoteUnder(m_pVersion30, tr("Phones and webmail import it most reliably."), true));
  versions->addWidget(m_pVersion40);
  versions->addWidget(
      NoteUnder(m_pVersion40, tr("The newer standard, for address books that read it."), true));

  auto* contactsBox = new QGroupBox(tr("Contacts"));
  m_pAll = new QRadioButton(tr("&All contacts"));
  m_pAll->setObjectName(QStringLiteral("allContacts"));
  m_pSelected = new QRadioButton(tr("The &selected group and the contacts below it"));
  m_pSelected->setObjectName(QStringLiteral("selected"));
  m_pSelectedLabel = NoteUnder(m_pSelected, QString(), true);
  m_pSelectedLabel->setObjectName(QStringLiteral("selectedLabel"));
  auto* contacts = new QVBoxLayout(contactsBox);
  contacts->addWidget(m_pAll);
  contacts->addWidget(m_pSelected);
  contacts->addWidget(m_pSelectedLabel);

  // Two groups of radio buttons in one dialog: each its own exclusive group.
  auto* versionGroup = new QButtonGroup(this);
  versionGroup->addButton(m_pVersion30);
  versionGroup->addButton(m_pVersion40);
  auto* contactsGroup = new QButtonGroup(this);
  contactsGroup->addButton(m_pAll);
  contactsGroup->addButton(m_pSelected);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(versionBox);
  layout->addWidget(contactsBox);
  Finish(this, layout, OkCancel(this));

  SetVersion(EVCardVersion::v30);
  SetSelection(false);
  m_pVersion30->setFocus();
}

void CForeignExportDlg::SetSelection(bool available, const QString& label) {
  m_pSelected->setEnabled(available);
  m_pSelectedLabel->setEnabled(available);
  m_pSelectedLabel->setText(available ? label : tr("Select a group or contact in the tree."));
  if (!available || !m_pSelected->isChecked()) m_pAll->setChecked(true);
}

void CForeignExportDlg::SetVersion(EVCardVersion version) {
  (version == EVCardVersion::v40 ? m_pVersion40 : m_pVersion30)->setChecked(true);
}

EVCardVersion CForeignExportDlg::Version() const {
  return m_pVersion40->isChecked() ? EVCardVersion::v40 : EVCardVersion::v30;
}

bool CForeignExportDlg::SelectedOnly() const {
  return m_pSelected->isEnabled() && m_pSelected->isChecked();
}

CExportCalendarDlg::CExportCalendarDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(tr("Export Calendar"));

  auto* eventsBox = new QGroupBox(tr("Events"));
  auto* intro =
      new QLabel(tr("A yearly all-day event for every birthday, anniversary\n"
                    "and nameday of the contacts."));
  m_pCalNames = new QCheckBox(tr("Include the calendar's &names"));
  m_pCalNames->setObjectName(QStringLiteral("calNames"));
  m_pCalNamesNote = NoteUnder(m_pCalNames, QString(), false);
  m_pCalNamesNote->setObjectName(QStringLiteral("calNamesNote"));
  auto* events = new QVBoxLayout(eventsBox);
  events->addWidget(intro);
  events->addSpacing(events->spacing());
  events->addWidget(m_pCalNames);
  events->addWidget(m_pCalNamesNote);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(eventsBox);
  Finish(this, layout, OkCancel(this));

  SetCalNameCount(0);
  m_pCalNames->setFocus();
}

void CExportCalendarDlg::SetCalNameCount(size_t count) {
  m_pCalNames->setEnabled(count > 0);
  m_pCalNamesNote->setEnabled(count > 0);
  if (count == 0) m_pCalNames->setChecked(false);
  m_pCalNamesNote->setText(
      count == 0 ? tr("The calendar resource in use holds no names.")
                 : tr("An event for each of the %1 names of the calendar resource.").arg(count));
}

void CExportCalendarDlg::SetCalNames(bool include) {
  m_pCalNames->setChecked(include && m_pCalNames->isEnabled());
}

bool CExportCalendarDlg::CalNames() const {
  return m_pCalNames->isEnabled() && m_pCalNames->isChecked();
}

}  // namespace zorvan
