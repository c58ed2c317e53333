#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <string_view>

#include "interchange/Transfer.h"

namespace zorvan {

class CZorvanDoc;

// The Export Calendar command after its file dialog, the same for the window and the command
// line: an iCalendar file (RFC 5545) with one yearly all-day event for every set birthday,
// anniversary and nameday of the contacts, and, when asked, one for every calendar name of the
// loaded calendar resource. The file is made event by event and never held whole. The outcome
// is a transfer's: done with IDS_CALENDAR_EXPORT_DONE and the events written (nCount) and left
// out because a calendar file cannot hold their dates (nLeftOut, after 3000), or failed with
// the reason in the system's words.

struct SCalendarExportOptions {
  bool bCalNames = false;  // add the calendar names of the loaded resource
  // The moment the events are stamped with (DTSTAMP), in seconds since 1970 (UTC).
  std::time_t tStamp = 0;
};

// Hands out the file's bytes piece by piece; false stops the export.
using CalendarSink = std::function<bool(std::string_view)>;

// Hands out each event of the calendar of doc by itself, in the order of the file: its UID and
// the text of its VEVENT (CR LF line ends, folded); false stops the export. The outcome as
// WriteCalendar's.
using CalendarEventSink = std::function<bool(std::string_view uid, std::string_view event)>;
STransferResult WriteCalendarEvents(const CZorvanDoc& doc, const SCalendarExportOptions& options,
                                    const CalendarEventSink& sink);

// One event's VEVENT text in a calendar of its own, as a CalDAV calendar keeps every event in a
// resource of its own (RFC 4791): the file's header without its name, the event, its end.
std::string SingleEventCalendar(std::string_view event);

// Writes the calendar of doc to sink.
STransferResult WriteCalendar(const CZorvanDoc& doc, const SCalendarExportOptions& options,
                              const CalendarSink& sink);

// Writes the calendar of doc to the file at path through WriteExportFile, replacing it as a
// whole or not at all.
STransferResult ExportCalendar(const CZorvanDoc& doc, const std::string& path,
                               const SCalendarExportOptions& options);

}  // namespace zorvan
