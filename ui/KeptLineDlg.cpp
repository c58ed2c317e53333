#include "ui/KeptLineDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <string>

#include "interchange/vcard/KeptLines.h"
#include "qt/QtText.h"

namespace zorvan {
namespace {

// Past this many characters a line is edited wrapped over several rows.
constexpr qsizetype kLongLine = 100;

// The core's messages (interchange/vcard/KeptLines.cpp) once more, for lupdate to find; the
// dialog shows each in the window's language.
[[maybe_unused]] const char* const kErrorSources[] = {
    QT_TRANSLATE_NOOP("zorvan::CKeptLineDlg",
                      "The line needs a property name before its ':', as in TEL:+30 210 1234567."),
    QT_TRANSLATE_NOOP("zorvan::CKeptLineDlg",
                      "A property name (and a group before its '.') is made of letters, digits "
                      "and '-' only."),
    QT_TRANSLATE_NOOP("zorvan::CKeptLineDlg",
                      "A parameter after ';' needs a name of letters, digits and '-', as in "
                      "TYPE=CELL."),
    QT_TRANSLATE_NOOP("zorvan::CKeptLineDlg",
                      "A parameter's value in quotes is not closed before the ':'."),
    QT_TRANSLATE_NOOP("zorvan::CKeptLineDlg",
                      "The line needs a ':' between the property name and its value."),
    QT_TRANSLATE_NOOP("zorvan::CKeptLineDlg",
                      "BEGIN, END, VERSION, PRODID, UID, REV and KIND are written by the program "
                      "itself."),
};

}  // namespace

CKeptLineDlg::CKeptLineDlg(const QString& line, const QString& description, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(tr("Edit Kept Property"));
  auto* layout = new QVBoxLayout(this);
  if (!description.isEmpty()) {
    auto* said = new QLabel(description);
    said->setTextFormat(Qt::PlainText);
    said->setWordWrap(true);
    QFont bold = said->font();
    bold.setBold(true);
    said->setFont(bold);
    layout->addWidget(said);
  }
  auto* caption = new QLabel(tr("&Line as the card writes it:"));
  layout->addWidget(caption);
  if (line.size() > kLongLine) {
    m_pLongEdit = new QPlainTextEdit(line);
    m_pLongEdit->setAccessibleName(tr("Kept line"));
    m_pLongEdit->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_pLongEdit->setTabChangesFocus(true);
    m_pLongEdit->setMinimumSize(m_pLongEdit->fontMetrics().averageCharWidth() * 72,
                                m_pLongEdit->fontMetrics().lineSpacing() * 6);
    caption->setBuddy(m_pLongEdit);
    layout->addWidget(m_pLongEdit, 1);
  } else {
    m_pEdit = new QLineEdit(line);
    m_pEdit->setAccessibleName(tr("Kept line"));
    m_pEdit->setMinimumWidth(m_pEdit->fontMetrics().averageCharWidth() * 80);
    caption->setBuddy(m_pEdit);
    layout->addWidget(m_pEdit);
  }
  auto* hint =
      new QLabel(tr("A property name (with its group before a '.'), its parameters after ';', "
                    "then ':' and the value, as in TEL;TYPE=CELL:+30 210 1234567. "
                    "An empty line removes the property."));
  hint->setWordWrap(true);
  hint->setEnabled(false);  // the grey of a note
  layout->addWidget(hint);
  m_pError = new QLabel;
  m_pError->setTextFormat(Qt::PlainText);
  m_pError->setWordWrap(true);
  QPalette warning = m_pError->palette();
  warning.setColor(QPalette::WindowText, QColor(0xB0, 0x00, 0x20));
  m_pError->setPalette(warning);
  m_pError->hide();
  layout->addWidget(m_pError);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  m_pOk = buttons->button(QDialogButtonBox::Ok);
  m_pOk->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addSpacing(layout->spacing());
  layout->addWidget(buttons);
  if (m_pEdit)
    m_pEdit->setFocus();
  else
    m_pLongEdit->setFocus();
}

QString CKeptLineDlg::Text() const {
  return m_pEdit ? m_pEdit->text() : m_pLongEdit->toPlainText();
}

void CKeptLineDlg::SetText(const QString& text) {
  if (m_pEdit)
    m_pEdit->setText(text);
  else
    m_pLongEdit->setPlainText(text);
}

QString CKeptLineDlg::ErrorText(EKeptLineError error) {
  return tr(std::string(KeptLineErrorText(error)).c_str());
}

void CKeptLineDlg::accept() {
  std::string line = CleanKeptLine(ToStdString(Text()));
  const EKeptLineError error = line.empty() ? EKeptLineError::none : CheckKeptLine(line);
  if (error != EKeptLineError::none) {
    // The text stays as typed, for the user to mend.
    m_pError->setText(ErrorText(error));
    m_pError->show();
    if (m_pEdit)
      m_pEdit->setFocus();
    else
      m_pLongEdit->setFocus();
    return;
  }
  m_pError->hide();
  m_strLine = std::move(line);
  QDialog::accept();
}

}  // namespace zorvan
