#pragma once

#include <QLabel>
#include <QTimer>
#include <vector>

#include "calendar/CalendarTexts.h"
#include "store/DocObserver.h"

namespace zorvan {

class CTreeItem;
class CZorvanDoc;

// The line above the form that reminds of today's and the coming week's birthdays,
// anniversaries and namedays, "Today: Jiří Dvořák (45 let) · Fri 11 Dec: Νίκος". Each name is a
// link to its contact. A list longer than the line ends in "…" and the tool tip holds all of it.
// The line is hidden when there is nothing to remind of, and when the user turned it off.
//
// It lists the days again at start, after New and Open, when asked to (the records changed), and
// at the next midnight, on a single-shot timer armed anew each time: an idle window wakes once a
// day, and not at all with the reminders off.
class CReminderBar : public QLabel, public IDocObserver {
  Q_OBJECT

 public:
  explicit CReminderBar(QWidget* parent = nullptr);
  ~CReminderBar() override;

  void Attach(CZorvanDoc& doc);
  // Lists the reminders of the host clock's today again and arms the timer for its midnight.
  void Refresh();
  // A record changed (a keystroke in the form) or came into the form (null: none): lists again
  // only when the record is on the line or has an event in the week now, as no other record's
  // reminder can have changed; listing 100,000 contacts at every keystroke costs milliseconds.
  // A record on the line with the same events as before has only its texts made again.
  void RecordChanged(const CTreeItem* record);
  // The View menu's setting: off hides the line and stops the timer.
  void SetOn(bool on);
  bool IsOn() const { return m_bOn; }

  // The whole list as plain text, as the tool tip shows it; empty when there is none.
  QString FullText() const { return m_strFull; }
  int ReminderCount() const { return static_cast<int>(m_reminders.size()); }
  // The link of the reminder at index, as the line's text carries it.
  static QString LinkOf(int index);
  QTimer& MidnightTimer() { return m_midnight; }

  // IDocObserver: a new tree lists again; records about to go leave the list at once.
  void OnUpdate(IDocObserver* sender, int hint, CTreeItem* object) override;
  void OnAboutToDestroy(CTreeItem* node) override;

 signals:
  // A name of the line was clicked: the contact is to be shown.
  void ContactActivated(CTreeItem* contact);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void OnLink(const QString& link);
  // The heading of a day of the list: "Today", "Tomorrow", or its weekday and date.
  QString DayHeading(const SReminder& reminder) const;
  // The list's texts: the tool tip, and as much as the width holds in the line.
  void Show();
  // Puts as much of the list as the width holds into the line.
  void ShowFitting();
  // The texts of record's reminders made again; false when its events are no longer those
  // listed, which only listing the week again tells.
  bool UpdateTexts(const CTreeItem& record);
  void ArmMidnightTimer();

  CZorvanDoc* m_pDoc = nullptr;
  std::vector<SReminder> m_reminders;
  CDateTime m_dtListed;  // the day they were listed for
  QString m_strFull;
  QTimer m_midnight;
  bool m_bOn = true;
};

// A day as the reminders and the Calendar page's coming days name it: "Fri 11 Dec".
QString ShortDayText(const CDateTime& day);

}  // namespace zorvan
