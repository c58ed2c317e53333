#include "ui/ReminderBar.h"

#include <QDate>
#include <QLocale>
#include <QResizeEvent>
#include <algorithm>
#include <cmath>

#include "qt/QtText.h"
#include "store/CalendarEvents.h"
#include "store/DateTime.h"
#include "store/TreeItem.h"
#include "store/ZorvanDoc.h"

namespace zorvan {
namespace {

const QString kLinkPrefix = QStringLiteral("reminder:");
const QString kDaySeparator = QStringLiteral(" · ");
const QString kNameSeparator = QStringLiteral(", ");
const QString kEllipsis = QStringLiteral("…");

constexpr double kMsPerDay = 24.0 * 60 * 60 * 1000;
// The timer fires a moment after midnight, so that the clock it reads then is in the new day.
constexpr int kAfterMidnightMs = 1000;

bool InSubtree(const CTreeItem* item, const CTreeItem* top) {
  for (; item; item = item->m_pParent)
    if (item == top) return true;
  return false;
}

}  // namespace

CReminderBar::CReminderBar(QWidget* parent) : QLabel(parent) {
  setObjectName(QStringLiteral("reminders"));
  setTextFormat(Qt::RichText);
  setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  setOpenExternalLinks(false);
  // The line takes the window's width, whatever the length of the list; it never widens it.
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  setContentsMargins(6, 2, 6, 2);
  hide();
  // A timer of hours fires minutes early when coarse; this one is to wake once, after midnight.
  m_midnight.setSingleShot(true);
  m_midnight.setTimerType(Qt::PreciseTimer);
  connect(&m_midnight, &QTimer::timeout, this, &CReminderBar::Refresh);
  connect(this, &QLabel::linkActivated, this, &CReminderBar::OnLink);
}

CReminderBar::~CReminderBar() {
  if (m_pDoc) m_pDoc->RemoveObserver(this);
}

void CReminderBar::Attach(CZorvanDoc& doc) {
  if (m_pDoc == &doc) return;
  if (m_pDoc) m_pDoc->RemoveObserver(this);
  m_pDoc = &doc;
  doc.AddObserver(this);
}

QString CReminderBar::LinkOf(int index) { return kLinkPrefix + QString::number(index); }

void CReminderBar::SetOn(bool on) {
  m_bOn = on;
  Refresh();
}

void CReminderBar::Refresh() {
  m_reminders.clear();
  m_dtListed = CurrentLocalTime().DateOnly();
  if (m_bOn && m_pDoc) m_reminders = CollectReminders(*m_pDoc, m_dtListed);
  Show();
  if (m_bOn)
    ArmMidnightTimer();
  else
    m_midnight.stop();
}

void CReminderBar::Show() {
  m_strFull.clear();
  int day = -1;
  for (const SReminder& r : m_reminders) {
    if (r.nDay != day) {
      if (day >= 0) m_strFull += kDaySeparator;
      m_strFull += DayHeading(r) + QStringLiteral(": ");
      day = r.nDay;
    } else {
      m_strFull += kNameSeparator;
    }
    m_strFull += ToQString(r.strText);
  }
  setToolTip(m_strFull);
  setVisible(!m_reminders.empty());
  ShowFitting();
}

void CReminderBar::RecordChanged(const CTreeItem* record) {
  if (record && m_bOn && m_pDoc) {
    const CDateTime now = CurrentLocalTime();
    const bool listed = std::any_of(m_reminders.begin(), m_reminders.end(),
                                    [record](const SReminder& r) { return r.pContact == record; });
    if (!listed && !MayHaveEventInWeek(*m_pDoc, *record, now)) return;
    if (listed && now.DateOnly() == m_dtListed && UpdateTexts(*record)) return;
  }
  Refresh();
}

bool CReminderBar::UpdateTexts(const CTreeItem& record) {
  // A nameday of the first name lies among the others in the tree's order: listed again.
  if (m_pDoc->NamedaysFromFirstNames() && !record.m_strFirstName.empty() &&
      !HasEvent(record, catNamedays))
    return false;
  std::vector<SReminder> now = ContactReminders(record, m_dtListed);
  size_t j = 0;
  for (const SReminder& r : m_reminders) {
    if (r.pContact != &record) continue;
    if (j == now.size() || now[j].nDay != r.nDay || now[j].nCategory != r.nCategory ||
        now[j].nAge != r.nAge)
      return false;
    ++j;
  }
  if (j != now.size()) return false;
  // The same events on the same days: only the texts (the label, an anniversary's text) change.
  j = 0;
  for (SReminder& r : m_reminders)
    if (r.pContact == &record) r.strText = std::move(now[j++].strText);
  Show();
  return true;
}

QString CReminderBar::DayHeading(const SReminder& reminder) const {
  if (reminder.nDay == 0) return tr("Today");
  if (reminder.nDay == 1) return tr("Tomorrow");
  return ShortDayText(reminder.dtDay);
}

QString ShortDayText(const CDateTime& day) {
  SDateParts parts;
  if (!day.GetParts(parts)) return QString();
  // The weekday and the day of the month, short: "Fri 11 Dec".
  return QLocale().toString(QDate(parts.nYear, parts.nMonth, parts.nDay),
                            CReminderBar::tr("ddd d MMM"));
}

void CReminderBar::ShowFitting() {
  if (m_reminders.empty()) {
    setText(QString());
    return;
  }
  const QFontMetrics metrics = fontMetrics();
  const int room = contentsRect().width();
  QString shown;     // the plain text put in so far
  QString richText;  // the same with the links
  int day = -1;
  bool cut = false;
  for (size_t i = 0; i < m_reminders.size(); ++i) {
    const SReminder& r = m_reminders[i];
    QString lead;
    if (r.nDay != day)
      lead = (day >= 0 ? kDaySeparator : QString()) + DayHeading(r) + QStringLiteral(": ");
    else
      lead = kNameSeparator;
    const QString name = ToQString(r.strText);
    // The first name always shows; each further one when it fits with the "…" of a later cut.
    const bool last = i + 1 == m_reminders.size();
    const QString wanted = shown + lead + name + (last ? QString() : kEllipsis);
    if (i > 0 && metrics.horizontalAdvance(wanted) > room) {
      cut = true;
      break;
    }
    shown += lead + name;
    day = r.nDay;
    richText += lead.toHtmlEscaped() + QStringLiteral("<a href=\"%1\">%2</a>")
                                           .arg(LinkOf(static_cast<int>(i)), name.toHtmlEscaped());
  }
  if (cut) richText += QStringLiteral(" ") + kEllipsis;
  setText(richText);
}

void CReminderBar::ArmMidnightTimer() {
  // The wall clock's time to its next midnight. Where the clock is put forward or back in the
  // night the timer fires an hour off; the list is then made again for the day the clock shows
  // and the timer armed for that day's midnight.
  const CDateTime now = CurrentLocalTime();
  const double toMidnight = (now.DateOnly().AddDays(1).m_dt - now.m_dt) * kMsPerDay;
  const double ms = std::clamp(std::ceil(toMidnight), 0.0, kMsPerDay) + kAfterMidnightMs;
  m_midnight.start(static_cast<int>(ms));
}

void CReminderBar::OnLink(const QString& link) {
  if (!link.startsWith(kLinkPrefix)) return;
  bool ok = false;
  const int index = link.mid(kLinkPrefix.size()).toInt(&ok);
  if (!ok || index < 0 || index >= ReminderCount()) return;
  emit ContactActivated(const_cast<CTreeItem*>(m_reminders[static_cast<size_t>(index)].pContact));
}

void CReminderBar::OnUpdate(IDocObserver* /*sender*/, int hint, CTreeItem* /*object*/) {
  if (hint == HINT_NONE) Refresh();
}

void CReminderBar::OnAboutToDestroy(CTreeItem* node) {
  // An event node leads to its contact and has nothing below it: no link of the list leads to
  // it. (A deletion of thousands tells of each of their event nodes.)
  if (node && node->m_pLinked) return;
  // No link may lead to a record that is gone: those of the subtree leave the list now, and the
  // list is made again once the deletion is over.
  const auto gone = [node](const SReminder& r) { return !node || InSubtree(r.pContact, node); };
  const size_t before = m_reminders.size();
  m_reminders.erase(std::remove_if(m_reminders.begin(), m_reminders.end(), gone),
                    m_reminders.end());
  if (m_reminders.size() == before) return;
  ShowFitting();
  QTimer::singleShot(0, this, &CReminderBar::Refresh);
}

void CReminderBar::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  if (event->size().width() != event->oldSize().width()) ShowFitting();
}

}  // namespace zorvan
