#include "interchange-qt/ImportPage.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

#include "interchange/FieldList.h"
#include "qt/QtText.h"

namespace zorvan {
namespace {

constexpr int kSampleChars = 60;

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
  if (text.isEmpty()) return QStringLiteral("(empty)");
  if (text.size() > kSampleChars) text = text.left(kSampleChars - 1) + QChar(0x2026);
  return text;
}

}  // namespace

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
  for (std::string_view item : TargetItems()) m_pCombo->addItem(ToQString(item));
  m_pCombo->setCurrentIndex(preset >= 0 && preset < m_pCombo->count() ? preset : -1);
  m_pCombo->setMaxVisibleItems(16);
  auto* corresponds = Centred(QStringLiteral("This field corresponds to the program field:"));
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
      Centred(QStringLiteral("Choose a field from the Zorvan program corresponding to the field")));
  layout->addWidget(fieldLabel, 0, Qt::AlignHCenter);
  layout->addWidget(Centred(QStringLiteral("from the text file.")));
  if (hasSample) {
    auto* sampleLabel =
        Centred(QStringLiteral("First value in the file: %1").arg(SampleText(sample)));
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
