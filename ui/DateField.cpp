#include "ui/DateField.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QHBoxLayout>
#include <QLocale>

namespace zorvan {

bool ToQDateTime(const CDateTime& date, QDateTime& out) {
  SDateParts p;
  if (!date.GetParts(p)) return false;
  out = QDateTime(QDate(p.nYear, p.nMonth, p.nDay), QTime(p.nHour, p.nMinute, p.nSecond));
  return out.isValid();
}

CDateTime FromQDateTime(const QDateTime& value) {
  const QDate d = value.date();
  const QTime t = value.time();
  return CDateTime(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second());
}

CDateField::CDateField(EFormat format, bool withCheckBox, QWidget* parent) : QWidget(parent) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(4);
  if (withCheckBox) {
    m_pCheck = new QCheckBox;
    m_pCheck->setToolTip(QStringLiteral("Clear for no date"));
    layout->addWidget(m_pCheck);
    connect(m_pCheck, &QCheckBox::clicked, this, [this] {
      UpdateEnabled();
      emit DateChanged();
    });
  }
  m_pEdit = new QDateTimeEdit;
  m_pEdit->setCalendarPopup(false);
  m_pEdit->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
  m_pEdit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  m_pEdit->setDateTimeRange(QDateTime(QDate(100, 1, 1), QTime(0, 0)),
                            QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59)));
  QString display = QLocale().dateFormat(format == EFormat::longDate ? QLocale::LongFormat
                                                                     : QLocale::ShortFormat);
  // Birthdays span centuries: the year is always shown, and typed, in full.
  if (!display.contains(QLatin1String("yyyy")))
    display.replace(QLatin1String("yy"), QLatin1String("yyyy"));
  m_pEdit->setDisplayFormat(display);
  layout->addWidget(m_pEdit, 1);
  connect(m_pEdit, &QDateTimeEdit::dateTimeChanged, this, [this] {
    if (!m_bLoading) emit DateChanged();
  });
  setFocusProxy(m_pEdit);
}

void CDateField::SetDate(const CDateTime& date) {
  m_bLoading = true;
  // A date without a date (status null) still shows its day, greyed, under the clear box.
  QDateTime value;
  const bool shown = ToQDateTime(CDateTime(date.m_dt), value);
  if (shown) m_pEdit->setDateTime(value);
  if (m_pCheck) m_pCheck->setChecked(shown && date.m_status == CDateTime::valid);
  m_bLoading = false;
  UpdateEnabled();
}

bool CDateField::HasDate() const { return !m_pCheck || m_pCheck->isChecked(); }

CDateTime CDateField::Date() const {
  CDateTime date = FromQDateTime(m_pEdit->dateTime());
  if (!HasDate()) date.m_status = CDateTime::null;
  return date;
}

void CDateField::UpdateEnabled() { m_pEdit->setEnabled(HasDate()); }

}  // namespace zorvan
