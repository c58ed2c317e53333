#include "ui/pages/PageCalendar.h"

#include <algorithm>

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>

#include "qt/QtText.h"
#include "res/StringTable.h"
#include "store/ZorvanDoc.h"
#include "ui/DateField.h"
#include "ui/MyPropSheet.h"
#include "ui/ReminderBar.h"

namespace zorvan {
namespace {

QLineEdit* CentredLine() {
  auto* edit = new QLineEdit;
  edit->setReadOnly(true);
  edit->setAlignment(Qt::AlignCenter);
  return edit;
}

QPlainTextEdit* CentredBox() {
  auto* box = new QPlainTextEdit;
  box->setReadOnly(true);
  box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  box->setTabChangesFocus(true);
  return box;
}

// Texts are set only when they differ, so that showing them does not ask for another paint.
void Show(QLineEdit* edit, const std::string& text) {
  const QString value = ToQString(text);
  if (edit->text() == value) return;
  edit->setText(value);
  edit->setCursorPosition(0);  // a long list shows its first names
}

void Show(QPlainTextEdit* box, const std::string& text) {
  const QString value = ToQString(text);
  if (box->toPlainText() == value) return;
  box->setPlainText(value);
  QTextCursor all(box->document());
  all.select(QTextCursor::Document);
  QTextBlockFormat centred;
  centred.setAlignment(Qt::AlignHCenter);
  all.mergeBlockFormat(centred);
}

bool SameTexts(const CCalendarTexts& a, const CCalendarTexts& b) {
  const auto sameEvent = [](const SReminder& x, const SReminder& y) {
    return x.nDay == y.nDay && x.strText == y.strText;
  };
  return a.m_strNamedaysToday == b.m_strNamedaysToday && a.m_strBirthdays == b.m_strBirthdays &&
         a.m_strContactNamedays == b.m_strContactNamedays &&
         // The coming days' labels are in their events' texts.
         std::equal(a.m_next7DaysEvents.begin(), a.m_next7DaysEvents.end(),
                    b.m_next7DaysEvents.begin(), b.m_next7DaysEvents.end(), sameEvent);
}

}  // namespace

CPageCalendar::CPageCalendar(CMyPropSheet& sheet)
    : CPropPage(sheet, IDS_PAGE_CALENDAR), m_dtDay(CurrentLocalTime()) {
  auto* today = new QGroupBox(tr("Today"));
  auto* t = new QHBoxLayout(today);
  m_pYesterday = new QPushButton(tr("&Yesterday"));
  m_pDay = new CDateField(CDateField::EFormat::longDate, false);
  m_pTomorrow = new QPushButton(tr("&Tomorrow"));
  t->addWidget(m_pYesterday);
  t->addWidget(m_pDay, 1);
  t->addWidget(m_pTomorrow);

  auto* namedays = new QGroupBox(tr("Namedays"));
  auto* n = new QVBoxLayout(namedays);
  m_pNamedaysToday = CentredLine();
  m_pContactNamedays = CentredBox();
  n->addWidget(m_pNamedaysToday);
  n->addWidget(m_pContactNamedays);

  auto* birthdays = new QGroupBox(tr("Birthdays and Anniversaries"));
  auto* b = new QVBoxLayout(birthdays);
  m_pBirthdays = CentredBox();
  b->addWidget(m_pBirthdays);

  auto* next = new QGroupBox(tr("Next 7 days"));
  auto* x = new QVBoxLayout(next);
  // One line per event with its day, four at least in sight; the box scrolls for a busy week
  // and takes a share of a tall window.
  m_pNext7Days = new QPlainTextEdit;
  m_pNext7Days->setReadOnly(true);
  m_pNext7Days->setTabChangesFocus(true);
  m_pNext7Days->setLineWrapMode(QPlainTextEdit::NoWrap);
  m_pNext7Days->setMinimumHeight(m_pNext7Days->fontMetrics().lineSpacing() * 4 +
                                 2 * m_pNext7Days->frameWidth() +
                                 static_cast<int>(2 * m_pNext7Days->document()->documentMargin()));
  x->addWidget(m_pNext7Days);

  auto* lists = new QHBoxLayout;
  lists->addWidget(namedays);
  lists->addWidget(birthdays);
  Body()->addWidget(today);
  Body()->addLayout(lists, 2);
  Body()->addWidget(next, 1);

  m_pDay->SetDate(m_dtDay);
  connect(m_pDay, &CDateField::DateChanged, this, [this] {
    // Choosing a day only shows it: the record and the modified mark stay as they are.
    m_dtDay = m_pDay->Date();
    m_sheet.Doc().m_dtCalendarDay = m_dtDay;
    Refresh();
  });
  connect(m_pYesterday, &QPushButton::clicked, this, [this] { MoveDay(-1); });
  connect(m_pTomorrow, &QPushButton::clicked, this, [this] { MoveDay(1); });
}

void CPageCalendar::SetDay(const CDateTime& day) {
  m_dtDay = day;
  m_pDay->SetDate(day);
}

void CPageCalendar::Refresh() {
  m_texts = FillCalendarTexts(m_sheet.Doc());
  ShowTexts();
}

void CPageCalendar::ShowTexts() {
  m_bShowPending = false;
  m_pDay->SetDate(m_dtDay);
  Show(m_pNamedaysToday, m_texts.m_strNamedaysToday);
  Show(m_pContactNamedays, m_texts.m_strContactNamedays);
  Show(m_pBirthdays, m_texts.m_strBirthdays);
  QStringList lines;
  for (const SReminder& event : m_texts.m_next7DaysEvents)
    lines << ShortDayText(event.dtDay) + QStringLiteral("  ") + ToQString(event.strText);
  const QString coming = lines.join(QLatin1Char('\n'));
  if (m_pNext7Days->toPlainText() != coming) m_pNext7Days->setPlainText(coming);
}

void CPageCalendar::paintEvent(QPaintEvent* event) {
  CPropPage::paintEvent(event);
  // The lists follow every change of the records, so each paint computes them again. A paint
  // must not change a widget (that asks for the next paint, for ever): new texts go into the
  // boxes after it, and only when they differ from those shown.
  const CCalendarTexts texts = FillCalendarTexts(m_sheet.Doc());
  if (SameTexts(texts, m_texts)) return;
  m_texts = texts;
  if (m_bShowPending) return;
  m_bShowPending = true;
  QTimer::singleShot(0, this, &CPageCalendar::ShowTexts);
}

void CPageCalendar::MoveDay(long days) {
  SetDay(m_dtDay.AddDays(days));
  m_sheet.Doc().m_dtCalendarDay = m_dtDay;
  // The buttons store the shown record, as every edit on the pages does; the day itself is no
  // change of the database to undo.
  const CZorvanDoc::CChange change = m_sheet.Doc().BeginChange({});
  m_sheet.ExchangeRecord(true);
  Refresh();
}

}  // namespace zorvan
