#pragma once

#include "calendar/CalendarTexts.h"
#include "store/DateTime.h"
#include "ui/pages/PropPage.h"

class QPlainTextEdit;
class QPushButton;

namespace zorvan {

class CDateField;

// The calendar of one day: its namedays, the contacts celebrating on it, and the events of the
// seven days after. The lists are computed afresh whenever the page is painted or the day
// changes.
class CPageCalendar : public CPropPage {
  Q_OBJECT

 public:
  explicit CPageCalendar(CMyPropSheet& sheet);

  const CDateTime& Day() const { return m_dtDay; }
  void SetDay(const CDateTime& day);
  // Asks the document for the day's texts and shows them with the day.
  void Refresh();

  CDateField* m_pDay;
  QPushButton* m_pYesterday;
  QPushButton* m_pTomorrow;
  QLineEdit* m_pNamedaysToday;
  QPlainTextEdit* m_pContactNamedays;
  QPlainTextEdit* m_pBirthdays;
  QPlainTextEdit* m_pNext7Days;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void MoveDay(long days);
  // Puts the day and the texts last computed into the widgets.
  void ShowTexts();

  CDateTime m_dtDay;
  CCalendarTexts m_texts;
  bool m_bShowPending = false;
};

}  // namespace zorvan
