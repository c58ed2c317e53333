#include "interchange/CalendarExport.h"

#include <libical/ical.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <unordered_map>
#include <vector>

#include "interchange/ExportFile.h"
#include "interchange/vcard/ForeignVCardWriter.h"
#include "store/CalendarEvents.h"
#include "store/TreeItem.h"
#include "store/ZorvanDoc.h"

namespace zorvan {
namespace {

struct SComponentFree {
  void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using ComponentPtr = std::unique_ptr<icalcomponent, SComponentFree>;

// The text of a component as libical writes it: escaped, with CR LF line ends and lines
// folded at 75 octets.
std::string ComponentText(icalcomponent* component) {
  char* text = icalcomponent_as_ical_string_r(component);
  if (!text) return {};
  std::string result(text);
  icalmemory_free_buffer(text);
  return result;
}

// 64-bit FNV-1a: small, fixed for all time and the same on every machine, which is what a
// UID that must survive between exports needs (std::hash promises none of it).
// A hash can be carried on over more bytes: the hash of a text is that of its beginning carried
// on over the rest.
constexpr std::uint64_t kFnvBasis = 14695981039346656037ull;

std::uint64_t Fnv1a(std::string_view bytes, std::uint64_t hash = kFnvBasis) {
  for (unsigned char c : bytes) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return hash;
}

// The kinds of event, as they appear in a UID and as the event's category.
enum class EEventKind { birthday, anniversary, nameday, calName };

const char* KindWord(EEventKind kind) {
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

const char* KindCategory(EEventKind kind) {
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

  // keyHash is the hash of the whole key.
  std::string Make(EEventKind kind, std::uint64_t keyHash) {
    const int seen = ++m_seen[keyHash];
    if (seen > 1) keyHash = Fnv1a("#" + std::to_string(seen), keyHash);
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(keyHash));
    return std::string(KindWord(kind)) + '-' + hex + "@zorvan";
  }

 private:
  std::unordered_map<std::uint64_t, int> m_seen;
};

// The hashes of the keys of a contact's three kinds of event, for its path of labels.
struct SPathKeys {
  std::uint64_t birthday, anniversary, nameday;

  static SPathKeys Start() {
    return {CUidMaker::KeyStart(EEventKind::birthday), CUidMaker::KeyStart(EEventKind::anniversary),
            CUidMaker::KeyStart(EEventKind::nameday)};
  }
  // The keys of a path one label longer; first is true for the first label below the root.
  SPathKeys Below(std::string_view label, bool first) const {
    auto more = [&](std::uint64_t h) { return Fnv1a(label, first ? h : Fnv1a("/", h)); };
    return {more(birthday), more(anniversary), more(nameday)};
  }
};

struct SEvent {
  EEventKind kind;
  int nYear, nMonth, nDay;
  std::string strUid, strSummary, strDescription;
};

icaltimetype DateValue(int year, int month, int day) {
  icaltimetype t = icaltime_null_date();
  t.year = year;
  t.month = month;
  t.day = day;
  return t;
}

// A text as an iCalendar TEXT value holds it: a line break (CR LF, or CR or LF alone) as LF,
// which libical writes as "\n", a tab as it is, and every other control character left out, as
// the vCard writer leaves it out: no calendar program shows one, a terminal or a mail program
// may obey it, and a NUL would end the text libical takes as a C string.
std::string CalendarText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += '\n';
    } else if ((static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) || c == '\n' || c == '\t') {
      out += c;
    }
  }
  return out;
}

// One VEVENT: an all-day event on the day, repeated every year. A day of 29 February repeats
// on the last day of February (BYMONTH=2;BYMONTHDAY=-1): the 29th in leap years and the 28th
// in the others, where a plain yearly rule would skip three years out of four. Empty when the
// day (or the day after, which ends the event) lies beyond the last year libical writes (3000):
// it would write such a date as "00000000T000000", which no calendar program reads.
std::string EventText(const SEvent& e, const icaltimetype& stamp) {
  static const icalrecurrencetype yearly = icalrecurrencetype_from_string("FREQ=YEARLY");
  static const icalrecurrencetype lastOfFebruary =
      icalrecurrencetype_from_string("FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=-1");
  ComponentPtr event(icalcomponent_new_vevent());
  icalcomponent_add_property(event.get(), icalproperty_new_uid(e.strUid.c_str()));
  icalcomponent_add_property(event.get(), icalproperty_new_dtstamp(stamp));
  const icaltimetype start = DateValue(e.nYear, e.nMonth, e.nDay);
  icalproperty* dtstart = icalproperty_new_dtstart(start);
  icalcomponent_add_property(event.get(), dtstart);
  icalproperty* dtend =
      icalproperty_new_dtend(icaltime_add(start, icaldurationtype_from_int(86400)));
  icalcomponent_add_property(event.get(), dtend);
  if (icaltime_is_null_time(icalproperty_get_dtstart(dtstart)) ||
      icaltime_is_null_time(icalproperty_get_dtend(dtend)))
    return {};
  icalcomponent_add_property(
      event.get(), icalproperty_new_rrule(e.nMonth == 2 && e.nDay == 29 ? lastOfFebruary : yearly));
  icalcomponent_add_property(event.get(),
                             icalproperty_new_summary(CalendarText(e.strSummary).c_str()));
  if (!e.strDescription.empty())
    icalcomponent_add_property(
        event.get(), icalproperty_new_description(CalendarText(e.strDescription).c_str()));
  icalcomponent_add_property(event.get(), icalproperty_new_categories(KindCategory(e.kind)));
  // A birthday takes no time: the day stays free for meetings.
  icalcomponent_add_property(event.get(), icalproperty_new_transp(ICAL_TRANSP_TRANSPARENT));
  return ComponentText(event.get());
}

// The name a calendar program gives the calendar it subscribes to or imports: the database's
// file name without its extension, or the program's name for a database never saved.
std::string CalendarName(const std::string& databasePath) {
  std::string name = databasePath.substr(databasePath.rfind('/') + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  if (name.empty()) return "Zorvan";
  // libical escapes no comma or semicolon of an X- property: its line is made here, escaped
  // as RFC 5545 escapes a TEXT value.
  std::string escaped;
  for (const char c : CalendarText(name)) {
    if (c == '\\' || c == ',' || c == ';') escaped += '\\';
    if (c == '\n')
      escaped += "\\n";
    else
      escaped += c;
  }
  return escaped;
}

// The calendar's header and its end, as libical writes an empty VCALENDAR; the events go
// between them. Without a name the header has no X-WR-CALNAME: a single event of a CalDAV
// calendar takes its calendar's name.
bool FrameTexts(const std::string& calendarName, std::string& head, std::string& tail) {
  ComponentPtr calendar(icalcomponent_new_vcalendar());
  icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
  icalcomponent_add_property(calendar.get(), icalproperty_new_prodid("-//Tavorin//Zorvan//EN"));
  icalcomponent_add_property(calendar.get(), icalproperty_new_calscale("GREGORIAN"));
  const std::string text = ComponentText(calendar.get());
  const size_t end = text.rfind("END:VCALENDAR");
  if (end == std::string::npos) return false;
  head = text.substr(0, end);
  // Not in RFC 5545, but what calendar programs (and CalDAV servers) show as its name.
  if (!calendarName.empty()) AppendFoldedLine(head, "X-WR-CALNAME:" + calendarName);
  tail = text.substr(end);
  return true;
}

class CCalendarWriter {
 public:
  CCalendarWriter(const SCalendarExportOptions& options, const CalendarEventSink& sink)
      : m_options(options),
        m_sink(sink),
        m_stamp(icaltime_from_timet_with_zone(options.tStamp, 0, icaltimezone_get_utc_timezone())) {
  }

  bool Write(const CZorvanDoc& doc, STransferResult& result);

 private:
  bool Put(const SEvent& e) {
    const std::string text = EventText(e, m_stamp);
    if (text.empty()) {
      ++m_nLeftOut;
      return true;
    }
    ++m_nEvents;
    return m_sink(e.strUid, text);
  }
  bool Contact(const CTreeItem& r, const SPathKeys& keys);

  const SCalendarExportOptions& m_options;
  const CalendarEventSink& m_sink;
  const icaltimetype m_stamp;
  CUidMaker m_uids;
  size_t m_nEvents = 0;
  size_t m_nLeftOut = 0;
};

// A contact's event says what it is in its summary, which is all that a calendar program
// shows of it in a month's view: "Birthday: Jiří Dvořák".
bool CCalendarWriter::Contact(const CTreeItem& r, const SPathKeys& keys) {
  int y = 0, m = 0, d = 0;
  const std::string label = r.m_strLabel.str();
  // A day kept from another program's card without a year (when the record has no date of the
  // kind itself) is an event as well. It starts in 2000, a leap year, as a calendar name does, and
  // has the UID the dated event would have, so that giving it a year later moves the event.
  const SMonthDay noYearBirthday = YearlessEventDay(r, catBirthdays);
  const SMonthDay noYearAnniversary = YearlessEventDay(r, catAnniversaries);
  if (IsDateSet(r.m_bBirthday, r.m_dtBirthday) && r.m_dtBirthday.GetDate(y, m, d)) {
    // The year stays in the description and in the first occurrence, so that a calendar
    // program can tell the age.
    if (!Put({EEventKind::birthday, y, m, d, m_uids.Make(EEventKind::birthday, keys.birthday),
              "Birthday: " + label, "Born " + std::to_string(y)}))
      return false;
  } else if (noYearBirthday.IsSet()) {
    if (!Put({EEventKind::birthday, 2000, noYearBirthday.month, noYearBirthday.day,
              m_uids.Make(EEventKind::birthday, keys.birthday), "Birthday: " + label, ""}))
      return false;
  }
  const CText& text = r.m_strAnniversaryText;
  auto anniversary = [&] {
    return "Anniversary: " + (text.empty() ? label : label + " (" + text + ")");
  };
  if (IsDateSet(r.m_bAnniversary, r.m_dtAnniversary) && r.m_dtAnniversary.GetDate(y, m, d)) {
    if (!Put({EEventKind::anniversary, y, m, d,
              m_uids.Make(EEventKind::anniversary, keys.anniversary), anniversary(),
              text.empty() ? "Since " + std::to_string(y) : text + ", since " + std::to_string(y)}))
      return false;
  } else if (noYearAnniversary.IsSet()) {
    if (!Put({EEventKind::anniversary, 2000, noYearAnniversary.month, noYearAnniversary.day,
              m_uids.Make(EEventKind::anniversary, keys.anniversary), anniversary(), text.str()}))
      return false;
  }
  if (IsDateSet(r.m_bNameDay, r.m_dtNameDay) && r.m_dtNameDay.GetDate(y, m, d)) {
    if (!Put({EEventKind::nameday, y, m, d, m_uids.Make(EEventKind::nameday, keys.nameday),
              "Name day: " + label, "Nameday"}))
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
  if (ok && m_options.bCalNames) {
    const size_t count = doc.CalNameCount();
    for (size_t i = 0; ok && i < count; ++i) {
      const CCalName& entry = (*doc.m_pCalNames)[i];
      if (entry.m_nMonth < 1 || entry.m_nMonth > 12 || entry.m_nDay < 1 ||
          entry.m_nDay > DaysInMonth(2000, entry.m_nMonth))
        continue;
      // A name has no year: its events start in 2000, a leap year, so 29 February has a day.
      // An entry is a name day or a holiday, as the resource has it, and the resource does not
      // say which: the entry is its own summary, and the description is the resource's label
      // for its entries ("Calendar" in the American one, "Jmeniny v kalendáři" in the Czech).
      const std::string identity = std::to_string(entry.m_nMonth) + '-' +
                                   std::to_string(entry.m_nDay) + '\x1f' + entry.m_strName;
      ok = Put({EEventKind::calName, 2000, entry.m_nMonth, entry.m_nDay,
                m_uids.Make(EEventKind::calName,
                            Fnv1a(identity, CUidMaker::KeyStart(EEventKind::calName))),
                entry.m_strName, doc.m_strCalNamesLabel});
    }
  }
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
  std::string head, tail;
  bool written = FrameTexts(CalendarName(doc.GetPathName()), head, tail);
  if (!written)
    result.strReason = "The calendar library could not write a calendar";
  else if ((written = sink(head))) {
    result = WriteCalendarEvents(
        doc, options, [&sink](std::string_view, std::string_view event) { return sink(event); });
    written = result.Succeeded() && sink(tail);
  }
  result.outcome = written ? ETransferOutcome::done : ETransferOutcome::failed;
  result.nMessage = written ? kCalendarMessages.nDone : kCalendarMessages.nError;
  return result;
}

std::string SingleEventCalendar(std::string_view event) {
  std::string head, tail;
  if (!FrameTexts({}, head, tail)) return {};
  head += event;
  return head + tail;
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
  // The calendar library's own reason, when it failed, comes before the file's.
  if (!written.strReason.empty()) result.strReason = written.strReason;
  result.nCount = written.nCount;
  result.nLeftOut = written.nLeftOut;
  return result;
}

}  // namespace zorvan
