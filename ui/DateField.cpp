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
    m_pCheck->setToolTip(tr("Clear for no date"));
    layout->addWidget(m_pCheck);
    connect(m_pCheck, &QCheckBox::clicked, this, [this] {
      m_bLoading = true;
      if (HasDate()) {
        ShowDate(m_underneath);
      } else {
        m_underneath = m_pEdit->dateTime();
        Blank();
      }
      m_bLoading = false;
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
  // The lowest date stands for none: a field without a date shows nothing, not a day of 1899.
  m_pEdit->setSpecialValueText(QStringLiteral(" "));
  layout->addWidget(m_pEdit, 1);
  connect(m_pEdit, &QDateTimeEdit::dateTimeChanged, this, [this] {
    if (!m_bLoading) emit DateChanged();
  });
  setFocusProxy(m_pEdit);
}

void CDateField::SetDate(const CDateTime& date) {
  m_bLoading = true;
  // A record without the date keeps a day under it all the same (the day of 0, 30 December 1899,
  // when it never had one): it is not shown, and comes back when the box is checked.
  QDateTime value;
  const bool shown = ToQDateTime(CDateTime(date.m_dt), value);
  if (shown) m_underneath = value;
  if (m_pCheck) m_pCheck->setChecked(shown && date.m_status == CDateTime::valid);
  if (HasDate())
    ShowDate(m_underneath);
  else
    Blank();
  m_bLoading = false;
  UpdateEnabled();
}

void CDateField::ShowDate(const QDateTime& value) {
  // A day never set is no day to offer: checking the box starts from today.
  const bool never = !value.isValid() || value.date() == QDate(1899, 12, 30);
  m_pEdit->setDateTime(never && m_pCheck ? QDateTime(QDate::currentDate(), QTime(0, 0)) : value);
}

void CDateField::Blank() { m_pEdit->setDateTime(m_pEdit->minimumDateTime()); }

bool CDateField::HasDate() const { return !m_pCheck || m_pCheck->isChecked(); }

CDateTime CDateField::Date() const {
  CDateTime date = FromQDateTime(HasDate() ? m_pEdit->dateTime() : m_underneath);
  if (!HasDate()) date.m_status = CDateTime::null;
  return date;
}

void CDateField::UpdateEnabled() { m_pEdit->setEnabled(HasDate()); }

}  // namespace zorvan
