#include "interchange-qt/FinishPage.h"

#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

namespace zorvan {
namespace {

QFrame* EtchedLine() {
  auto* line = new QFrame;
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  return line;
}

QLabel* Paragraph(const QString& text) {
  auto* label = new QLabel(text);
  label->setWordWrap(true);
  return label;
}

}  // namespace

CFinishPage::CFinishPage(const QString& step, QWidget* parent)
    : QWizardPage(parent), m_strStep(step) {
  setTitle(tr("Binding import fields"));
  auto* stepLabel = new QLabel(step);
  stepLabel->setObjectName(QStringLiteral("step"));
  QFont bold = stepLabel->font();
  bold.setWeight(QFont::Bold);
  stepLabel->setFont(bold);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(stepLabel);
  layout->addWidget(EtchedLine());
  layout->addWidget(Paragraph(
      tr("You have bound all input fields. Now you can import the data from the text file into the "
         "program. During the import the data will be stored to the fields you have selected.")));
  layout->addWidget(EtchedLine());
  layout->addWidget(Paragraph(
      tr("If you want to proceed with the import then click the 'Import' button. Otherwise click "
         "the 'Cancel' button to quit.")));
  layout->addStretch(1);
}

}  // namespace zorvan
