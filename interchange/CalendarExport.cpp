#include "interchange/CalendarExport.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "interchange/ExportFile.h"
#include "interchange/vcard/ForeignVCardWriter.h"
#include "store/CalendarEvents.h"
#include "store/DateTime.h"
#include "store/TreeItem.h"
#include "store/ZorvanDoc.h"

namespace zorvan {
namespace {

// The lines every calendar file starts and ends with; the events go between them.
constexpr std::string_view kCalendarHead =
    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Tavorin//Zorvan//EN\r\nCALSCALE:GREGORIAN\r\n";
constexpr std::string_view kCalendarTail = "END:VCALENDAR\r\n";

// RFC 5545 (3.1): a content line holds at most 75 octets, its line break not counted.
constexpr size_t kLineOctets = 75;

// The last year an event may reach. Calendar programs take no later dates (several store a
// date in a form that ends there), so an event that would end after it is left out and
// counted instead of written.
constexpr int kLastYear = 3000;

// 64-bit FNV-1a: small, fixed for all time and the same on every machine, which is what a
// UID that must survive between exports needs (std::hash promises none of it).
// A hash can be carried on over more bytes: the hash of a text is that of its beginning carried
// on over the rest.
constexpr std::uint64_t kFnvBasis = 14695981039346656037ull;
constexpr std::uint64_t kFnvPrime = 1099511628211ull;

std::uint64_t Fnv1a(std::string_view bytes, std::uint64_t hash = kFnvBasis) {
  for (unsigned char c : bytes) {
    hash ^= c;
    hash *= kFnvPrime;
  }
  return hash;
}

// The kinds of event, as they appear in a UID and as the event's category.
enum class EEventKind { birthday, anniversary, nameday, calName };

std::string_view KindWord(EEventKind kind) {
  switch (kind) {
    case EEventKind::birthday:
      return "birthday";
    case EEventKind::anniversary:
      return "anniversary";
    case EEventKind::nameday:
      return "nameday";
    default:
      return "calendar-name";
  }
}

std::string_view KindCategory(EEventKind kind) {
  switch (kind) {
    case EEventKind::birthday:
      return "Birthday";
    case EEventKind::anniversary:
      return "Anniversary";
    case EEventKind::nameday:
      return "Nameday";
    default:
      return "Calendar name";
  }
}

// How many times each key hash has been seen: an open-addressing table of hashes, which are
// well mixed already, grown to stay at most half full.
class CKeyCounts {
 public:
  // The number of times key has been counted, this time included.
  int Count(std::uint64_t key) {
    if (2 * (m_nUsed + 1) > m_slots.size()) Grow();
    SSlot& slot = Find(key);
    if (slot.count == 0) {
      slot.key = key;
      ++m_nUsed;
    }
    return ++slot.count;
  }

 private:
  struct SSlot {
    std::uint64_t key = 0;
    int count = 0;  // 0: the slot is free
  };

  SSlot& Find(std::uint64_t key) {
    const size_t mask = m_slots.size() - 1;
    for (size_t i = (key ^ (key >> 29)) & mask;; i = (i + 1) & mask)
      if (m_slots[i].count == 0 || m_slots[i].key == key) return m_slots[i];
  }
  void Grow() {
    std::vector<SSlot> old(m_slots.empty() ? 1024 : 2 * m_slots.size());
    old.swap(m_slots);
    for (const SSlot& s : old)
      if (s.count != 0) Find(s.key) = s;
  }

  std::vector<SSlot> m_slots;
  size_t m_nUsed = 0;
};

// Makes the UIDs. A calendar program recognises an event it already holds by its UID, so a
// UID must come out the same in every export of the same event and differ between events.
// It is derived from what identifies the event to the user, not from the date: the kind and
// the path of labels from the contacts root down to the contact ("Friends/Jiří Dvořák").
// Changing a birthday's date therefore moves the event in the user's calendar instead of
// adding a second one; renaming a contact or moving it to another group makes a new event,
// which a database without record identities cannot avoid. Two contacts with the same path
// are told apart by their order in the tree (the second gets "#2" in its key), so every UID
// of one file is different. A calendar name is identified by its day and its name.
//
// The key is the kind, a unit separator and the identity; what is kept of it is its hash,
// carried on from the parent's path in a deep tree, so that neither the paths nor the keys
// cost more than the labels themselves.
class CUidMaker {
 public:
  // The hash of a key's beginning: the kind and the separator.
  static std::uint64_t KeyStart(EEventKind kind) { return Fnv1a("\x1f", Fnv1a(KindWord(kind))); }

  // keyHash is the hash of the whole key. The UID stays valid until the next Make.
  std::string_view Make(EEventKind kind, std::uint64_t keyHash) {
    const int seen = m_seen.Count(keyHash);
    if (seen > 1) keyHash = Fnv1a("#" + std::to_string(seen), keyHash);
    m_strUid.assign(KindWord(kind)) += '-';
    for (int shift = 60; shift >= 0; shift -= 4)
      m_strUid += "0123456789abcdef"[(keyHash >> shift) & 15];
    m_strUid += "@zorvan";
    return m_strUid;
  }

 private:
  CKeyCounts m_seen;
  std::string m_strUid;
};

// The hashes of the keys of a contact's three kinds of event, for its path of labels.
struct SPathKeys {
  std::uint64_t birthday, anniversary, nameday;

  static SPathKeys Start() {
    return {CUidMaker::KeyStart(EEventKind::birthday), CUidMaker::KeyStart(EEventKind::anniversary),
            CUidMaker::KeyStart(EEventKind::nameday)};
  }
  // The keys of a path one label longer; first is true for the first label below the root.
  // The three hashes are carried on in one pass over the label: each step waits for the one
  // before it, and three of them side by side keep the processor busy.
  SPathKeys Below(std::string_view label, bool first) const {
    SPathKeys keys =
        first ? *this
              : SPathKeys{Fnv1a("/", birthday), Fnv1a("/", anniversary), Fnv1a("/", nameday)};
    for (const unsigned char c : label) {
      keys.birthday = (keys.birthday ^ c) * kFnvPrime;
      keys.anniversary = (keys.anniversary ^ c) * kFnvPrime;
      keys.nameday = (keys.nameday ^ c) * kFnvPrime;
    }
    return keys;
  }
};

struct SEvent {
  EEventKind kind;
  int nYear, nMonth, nDay;
  std::string_view uid, summary, description;
};

// A text as an iCalendar TEXT value (RFC 5545, 3.3.11): a backslash, semicolon and comma
// escaped with a backslash, a line break (CR LF, or CR or LF alone) as "\n", a tab as it is.
// That is how a component of a compound vCard value is escaped, and the vCard writer's rules
// for the rest hold here too: every other control character is left out (no calendar program
// shows one, and a terminal or a mail program may obey it), and a byte that is no part of a
// UTF-8 character becomes U+FFFD.
void AppendCalendarText(std::string& out, std::string_view text) {
  AppendVCardText(out, text, EVCardEscape::component);
}

// value as digits, width of them with leading zeros (value is never negative here).
void AppendDigits(std::string& out, int value, int width) {
  char digits[10];
  for (int i = width - 1; i >= 0; --i, value /= 10) digits[i] = static_cast<char>('0' + value % 10);
  out.append(digits, static_cast<size_t>(width));
}

// A DATE value (RFC 5545, 3.3.4): yyyymmdd.
void AppendDate(std::string& out, int year, int month, int day) {
  AppendDigits(out, year, 4);
  AppendDigits(out, month, 2);
  AppendDigits(out, day, 2);
}

// The text of one VEVENT at a time, made in a buffer that every event reuses: an all-day event
// on the day, repeated every year. A day of 29 February repeats on the last day of February
// (BYMONTH=2;BYMONTHDAY=-1): the 29th in leap years and the 28th in the others, where a plain
// yearly rule would skip three years out of four. The event ends on the next day (DTEND is
// exclusive), in the proleptic Gregorian calendar that iCalendar counts in.
class CEventText {
 public:
  // The DTSTAMP of every event: the moment of the export, in UTC.
  explicit CEventText(std::time_t stamp) {
    std::tm utc{};
    ::gmtime_r(&stamp, &utc);
    m_strStamp = "DTSTAMP:";
    AppendDate(m_strStamp, utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday);
    m_strStamp += 'T';
    AppendDigits(m_strStamp, utc.tm_hour, 2);
    AppendDigits(m_strStamp, utc.tm_min, 2);
    AppendDigits(m_strStamp, utc.tm_sec, 2);
    m_strStamp += "Z\r\n";
  }

  // The event's text; empty when it would end after kLastYear.
  std::string_view Make(const SEvent& e);

 private:
  // A content line of a TEXT value, folded when it is longer than a line may be.
  void TextLine(std::string_view name, std::string_view value) {
    const size_t start = m_strEvent.size();
    m_strEvent += name;
    AppendCalendarText(m_strEvent, value);
    if (m_strEvent.size() - start <= kLineOctets) {
      m_strEvent += "\r\n";
      return;
    }
    m_strLine.assign(m_strEvent, start);
    m_strEvent.resize(start);
    AppendFoldedLine(m_strEvent, m_strLine);
  }

  std::string m_strStamp;
  std::string m_strEvent;
  std::string m_strLine;
};

std::string_view CEventText::Make(const SEvent& e) {
  int endYear = e.nYear, endMonth = e.nMonth, endDay = e.nDay + 1;
  if (endDay > DaysInMonth(e.nYear, e.nMonth)) {
    endDay = 1;
    if (++endMonth > 12) endMonth = 1, ++endYear;
  }
  if (endYear > kLastYear) return {};
  m_strEvent.assign("BEGIN:VEVENT\r\nUID:");
  m_strEvent += e.uid;
  m_strEvent += "\r\n";
  m_strEvent += m_strStamp;
  m_strEvent += "DTSTART;VALUE=DATE:";
  AppendDate(m_strEvent, e.nYear, e.nMonth, e.nDay);
  m_strEvent += "\r\nDTEND;VALUE=DATE:";
  AppendDate(m_strEvent, endYear, endMonth, endDay);
  m_strEvent += e.nMonth == 2 && e.nDay == 29 ? "\r\nRRULE:FREQ=YEARLY;BYMONTHDAY=-1;BYMONTH=2\r\n"
                                              : "\r\nRRULE:FREQ=YEARLY\r\n";
  TextLine("SUMMARY:", e.summary);
  if (!e.description.empty()) TextLine("DESCRIPTION:", e.description);
  m_strEvent += "CATEGORIES:";
  m_strEvent += KindCategory(e.kind);
  // A birthday takes no time: the day stays free for meetings.
  m_strEvent += "\r\nTRANSP:TRANSPARENT\r\nEND:VEVENT\r\n";
  return m_strEvent;
}

// The line that names the calendar, as calendar programs show the calendar they subscribe to
// or import: the database's file name without its extension, or the program's name for a
// database never saved. Not in RFC 5545, but what calendar programs (and CalDAV servers) read.
std::string CalendarNameLine(const std::string& databasePath) {
  std::string name = databasePath.substr(databasePath.rfind('/') + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  std::string line = "X-WR-CALNAME:";
  AppendCalendarText(line, name.empty() ? "Zorvan" : name);
  std::string folded;
  AppendFoldedLine(folded, line);
  return folded;
}

class CCalendarWriter {
 public:
  CCalendarWriter(const SCalendarExportOptions& options, const CalendarEventSink& sink)
      : m_options(options), m_sink(sink), m_text(options.tStamp) {}

  bool Write(const CZorvanDoc& doc, STransferResult& result);

 private:
  bool Put(const SEvent& e) {
    const std::string_view text = m_text.Make(e);
    if (text.empty()) {
      ++m_nLeftOut;
      return true;
    }
    ++m_nEvents;
    return m_sink(e.uid, text);
  }
  // The summary: its beginning and up to three more pieces.
  std::string_view Summary(std::string_view a, std::string_view b, std::string_view c = {},
                           std::string_view d = {}, std::string_view e = {}) {
    m_strSummary.assign(a).append(b).append(c).append(d).append(e);
    return m_strSummary;
  }
  std::string_view Description(std::string_view text, std::string_view words, int year) {
    m_strDescription.assign(text).append(words) += std::to_string(year);
    return m_strDescription;
  }
  bool Contact(const CTreeItem& r, const SPathKeys& keys);
  bool Anniversary(const CTreeItem& r, const SPathKeys& keys);
  bool CalendarNames(const CZorvanDoc& doc);

  const SCalendarExportOptions& m_options;
  const CalendarEventSink& m_sink;
  CEventText m_text;
  CUidMaker m_uids;
  std::string m_strSummary;
  std::string m_strDescription;
  size_t m_nEvents = 0;
  size_t m_nLeftOut = 0;
};

// A contact's event says what it is in its summary, which is all that a calendar program
// shows of it in a month's view: "Birthday: Jiří Dvořák".
bool CCalendarWriter::Contact(const CTreeItem& r, const SPathKeys& keys) {
  int y = 0, m = 0, d = 0;
  const std::string_view label = r.m_strLabel.view();
  // A day kept from another program's card without a year (when the record has no date of the
  // kind itself) is an event as well. It starts in 2000, a leap year, as a calendar name does, and
  // has the UID the dated event would have, so that giving it a year later moves the event.
  const SMonthDay noYearBirthday = YearlessEventDay(r, catBirthdays);
  if (IsDateSet(r.m_bBirthday, r.m_dtBirthday) && r.m_dtBirthday.GetDate(y, m, d)) {
    // The year stays in the description and in the first occurrence, so that a calendar
    // program can tell the age.
    if (!Put({EEventKind::birthday, y, m, d, m_uids.Make(EEventKind::birthday, keys.birthday),
              Summary("Birthday: ", label), Description({}, "Born ", y)}))
      return false;
  } else if (noYearBirthday.IsSet()) {
    if (!Put({EEventKind::birthday,
              2000,
              noYearBirthday.month,
              noYearBirthday.day,
              m_uids.Make(EEventKind::birthday, keys.birthday),
              Summary("Birthday: ", label),
              {}}))
      return false;
  }
  if (!Anniversary(r, keys)) return false;
  if (IsDateSet(r.m_bNameDay, r.m_dtNameDay) && r.m_dtNameDay.GetDate(y, m, d)) {
    if (!Put({EEventKind::nameday, y, m, d, m_uids.Make(EEventKind::nameday, keys.nameday),
              Summary("Name day: ", label), "Nameday"}))
      return false;
  }
  return true;
}

// "Anniversary: Jiří Dvořák (Svatba)", described as "Svatba, since 2010".
bool CCalendarWriter::Anniversary(const CTreeItem& r, const SPathKeys& keys) {
  int y = 0, m = 0, d = 0;
  const std::string_view label = r.m_strLabel.view();
  const std::string_view text = r.m_strAnniversaryText.view();
  const SMonthDay noYear = YearlessEventDay(r, catAnniversaries);
  const bool dated =
      IsDateSet(r.m_bAnniversary, r.m_dtAnniversary) && r.m_dtAnniversary.GetDate(y, m, d);
  if (!dated && !noYear.IsSet()) return true;
  const std::string_view summary = text.empty() ? Summary("Anniversary: ", label)
                                                : Summary("Anniversary: ", label, " (", text, ")");
  const std::string_view uid = m_uids.Make(EEventKind::anniversary, keys.anniversary);
  if (!dated)
    return Put({EEventKind::anniversary, 2000, noYear.month, noYear.day, uid, summary, text});
  return Put({EEventKind::anniversary, y, m, d, uid, summary,
              text.empty() ? Description({}, "Since ", y) : Description(text, ", since ", y)});
}

// The names of the loaded calendar resource. A name has no year: its events start in 2000, a
// leap year, so 29 February has a day. An entry is a name day or a holiday, as the resource has
// it, and the resource does not say which: the entry is its own summary, and the description is
// the resource's label for its entries ("Calendar" in the American one, "Jmeniny v kalendáři" in
// the Czech).
bool CCalendarWriter::CalendarNames(const CZorvanDoc& doc) {
  const size_t count = doc.CalNameCount();
  for (size_t i = 0; i < count; ++i) {
    const CCalName& entry = (*doc.m_pCalNames)[i];
    if (entry.m_nMonth < 1 || entry.m_nMonth > 12 || entry.m_nDay < 1 ||
        entry.m_nDay > DaysInMonth(2000, entry.m_nMonth))
      continue;
    const std::string identity = std::to_string(entry.m_nMonth) + '-' +
                                 std::to_string(entry.m_nDay) + '\x1f' + entry.m_strName;
    if (!Put({EEventKind::calName, 2000, entry.m_nMonth, entry.m_nDay,
              m_uids.Make(EEventKind::calName,
                          Fnv1a(identity, CUidMaker::KeyStart(EEventKind::calName))),
              entry.m_strName, doc.m_strCalNamesLabel}))
      return false;
  }
  return true;
}

bool CCalendarWriter::Write(const CZorvanDoc& doc, STransferResult& result) {
  bool ok = true;
  if (CTreeItem* root = doc.ContactsRoot()) {
    // The keys of the paths from below the contacts root down to the node being visited, one
    // a level.
    std::vector<SPathKeys> keys{SPathKeys::Start()};
    WalkSubtreeWhile(*root, [&](const CTreeItem& node, size_t depth) {
      if (depth == 0) return true;
      keys.resize(depth);
      keys.push_back(keys.back().Below(node.m_strLabel.view(), depth == 1));
      ok = Contact(node, keys.back());
      return ok;
    });
  }
  if (ok && m_options.bCalNames) ok = CalendarNames(doc);
  result.nCount = m_nEvents;
  result.nLeftOut = m_nLeftOut;
  return ok;
}

// A failed calendar export shows the file's problem alone.
constexpr SExportMessages kCalendarMessages{IDS_CALENDAR_EXPORT_DONE, 0, 0};

}  // namespace

STransferResult WriteCalendarEvents(const CZorvanDoc& doc, const SCalendarExportOptions& options,
                                    const CalendarEventSink& sink) {
  STransferResult result;
  CCalendarWriter writer(options, sink);
  const bool written = writer.Write(doc, result);
  result.outcome = written ? ETransferOutcome::done : ETransferOutcome::failed;
  result.nMessage = written ? kCalendarMessages.nDone : kCalendarMessages.nError;
  return result;
}

STransferResult WriteCalendar(const CZorvanDoc& doc, const SCalendarExportOptions& options,
                              const CalendarSink& sink) {
  STransferResult result;
  // Without a name the header has no X-WR-CALNAME: a single event of a CalDAV calendar takes
  // its calendar's name.
  std::string head(kCalendarHead);
  head += CalendarNameLine(doc.GetPathName());
  bool written = sink(head);
  if (written) {
    result = WriteCalendarEvents(
        doc, options, [&sink](std::string_view, std::string_view event) { return sink(event); });
    written = result.Succeeded() && sink(kCalendarTail);
  }
  result.outcome = written ? ETransferOutcome::done : ETransferOutcome::failed;
  result.nMessage = written ? kCalendarMessages.nDone : kCalendarMessages.nError;
  return result;
}

std::string SingleEventCalendar(std::string_view event) {
  std::string text(kCalendarHead);
  text += event;
  text += kCalendarTail;
  return text;
}

STransferResult ExportCalendar(const CZorvanDoc& doc, const std::string& path,
                               const SCalendarExportOptions& options) {
  STransferResult written;
  STransferResult result = WriteExportFile(
      path, doc.GetPathName(),
      [&](IOutput& out) {
        written = WriteCalendar(doc, options,
                                [&out](std::string_view bytes) { return out.Write(bytes); });
        return written.Succeeded();
      },
      kCalendarMessages);
  result.nCount = written.nCount;
  result.nLeftOut = written.nLeftOut;
  return result;
}

}  // namespace zorvan
