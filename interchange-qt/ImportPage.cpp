#include "interchange-qt/ImportPage.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>
#include <string>

#include "interchange/FieldList.h"
#include "qt/QtText.h"

namespace zorvan {
namespace {

constexpr int kSampleChars = 60;

// The wizard's targets (interchange/FieldList.cpp) once more, for lupdate to find: the core
// knows no translation, the combo box shows each in the window's language.
const char* const kTargetSources[] = {
    QT_TRANSLATE_NOOP("zorvan::CImportPage", " - Nothing -"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "First Name"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Surname"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Middle Name"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Title"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Label for tree view"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Nickname"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Gender"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Group"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Preferred e-mail (number)"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Preferred URL (number)"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Street (Home Address)"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "City (Home Address)"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "ZIP (Home Address)"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "State (Home Address)"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Country (Home Address)"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Home Phone"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Home Fax"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Personal Mobile Phone"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Personal Pager"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Personal E-mail"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Personal Web Page"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Personal IP Phone"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Company (Business)"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Position (Business)"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Department (Business)"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Office (Business)"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Street (Work Address)"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "City (Work Address)"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "ZIP (Work Address)"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "State (Work Address)"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Country (Work Address)"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Work Phone"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Work Fax"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Business Mobile Phone"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Business Pager"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Business E-mail"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Business Web Page"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Business IP Phone"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Spouse"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Children"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Birthday"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Nameday"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Anniversary"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Anniversary (string)"),
    QT_TRANSLATE_NOOP("zorvan::CImportPage", "Remark"),
};

QFrame* EtchedLine() {
  auto* line = new QFrame;
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  return line;
}

QLabel* Centred(const QString& text) {
  auto* label = new QLabel(text);
  label->setAlignment(Qt::AlignCenter);
  return label;
}

void MakeBold(QLabel* label) {
  QFont font = label->font();
  font.setWeight(QFont::Bold);
  label->setFont(font);
}

// A value as one short line: a remark's line breaks become blanks and a long text is cut.
QString SampleText(const QString& sample) {
  QString text = sample.simplified();
  if (text.isEmpty()) return QCoreApplication::translate("zorvan::CImportPage", "(empty)");
  if (text.size() > kSampleChars) text = text.left(kSampleChars - 1) + QChar(0x2026);
  return text;
}

}  // namespace

std::span<const char* const> CImportPage::TargetSources() { return kTargetSources; }

CImportPage::CImportPage(const QString& step, const QString& field, const QString& sample,
                         bool hasSample, QWidget* parent, int preset)
    : QWizardPage(parent), m_strStep(step), m_strField(field) {
  setTitle(tr("Binding import fields"));
  auto* stepLabel = new QLabel(step);
  stepLabel->setObjectName(QStringLiteral("step"));
  MakeBold(stepLabel);

  auto* fieldLabel = Centred(field);
  fieldLabel->setObjectName(QStringLiteral("field"));
  fieldLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  fieldLabel->setMargin(3);
  fieldLabel->setMinimumWidth(fieldLabel->fontMetrics().averageCharWidth() * 36);
  fieldLabel->setTextFormat(Qt::PlainText);
  MakeBold(fieldLabel);

  m_pCombo = new QComboBox;
  m_pCombo->setObjectName(QStringLiteral("target"));
  for (std::string_view item : TargetItems()) m_pCombo->addItem(tr(std::string(item).c_str()));
  m_pCombo->setCurrentIndex(preset >= 0 && preset < m_pCombo->count() ? preset : -1);
  m_pCombo->setMaxVisibleItems(16);
  auto* corresponds = Centred(tr("This field corresponds to the program field:"));
  corresponds->setBuddy(m_pCombo);

  m_pNote = new QLabel;
  m_pNote->setObjectName(QStringLiteral("note"));
  m_pNote->setWordWrap(true);
  m_pNote->setTextFormat(Qt::PlainText);
  m_pNote->setVisible(false);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(stepLabel);
  layout->addWidget(EtchedLine());
  layout->addWidget(m_pNote);
  layout->addSpacing(m_pNote->fontMetrics().height() / 2);
  layout->addWidget(
      Centred(tr("Choose a field from the Zorvan program corresponding to the field")));
  layout->addWidget(fieldLabel, 0, Qt::AlignHCenter);
  layout->addWidget(Centred(tr("from the text file.")));
  if (hasSample) {
    auto* sampleLabel = Centred(tr("First value in the file: %1").arg(SampleText(sample)));
    sampleLabel->setObjectName(QStringLiteral("sample"));
    sampleLabel->setTextFormat(Qt::PlainText);
    sampleLabel->setForegroundRole(QPalette::PlaceholderText);
    layout->addWidget(sampleLabel);
  }
  layout->addWidget(EtchedLine());
  layout->addWidget(corresponds);
  layout->addWidget(m_pCombo, 0, Qt::AlignHCenter);
  layout->addStretch(1);
  m_pCombo->setMinimumContentsLength(28);
}

void CImportPage::SetNote(const QString& note) {
  m_pNote->setText(note);
  m_pNote->setVisible(!note.isEmpty());
}

int CImportPage::Target() const { return m_pCombo->currentIndex(); }

void CImportPage::initializePage() { m_pCombo->setFocus(); }

}  // namespace zorvan
