#pragma once

#include <QDateTime>
#include <QWidget>

#include "store/DateTime.h"

class QCheckBox;
class QDateTimeEdit;

namespace zorvan {

// A date that may be absent: a check box ("no date" when clear) beside a date changed with
// up-down arrows, without a pop-up calendar. The time of day of the date it was given is kept.
class CDateField : public QWidget {
  Q_OBJECT

 public:
  enum class EFormat { shortDate, longDate };

  CDateField(EFormat format, bool withCheckBox, QWidget* parent = nullptr);

  // Shows date; with a check box, ticked exactly when the date's status is valid. A date that
  // cannot be shown leaves the box clear.
  void SetDate(const CDateTime& date);
  // The date shown, with status null when the box is clear.
  CDateTime Date() const;
  bool HasDate() const;

  QCheckBox* CheckBox() const { return m_pCheck; }
  QDateTimeEdit* Editor() const { return m_pEdit; }

 signals:
  // The user changed the date or ticked or cleared the box.
  void DateChanged();

 private:
  void UpdateEnabled();
  // Shows value (today for a day never set), or nothing.
  void ShowDate(const QDateTime& value);
  void Blank();

  QCheckBox* m_pCheck = nullptr;
  QDateTimeEdit* m_pEdit;
  bool m_bLoading = false;
  // The day the record keeps while its box is clear.
  QDateTime m_underneath;
};

// The conversions between the program's dates and Qt's; false when the date has no parts.
bool ToQDateTime(const CDateTime& date, class QDateTime& out);
CDateTime FromQDateTime(const class QDateTime& value);

}  // namespace zorvan
