#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <string_view>

namespace zorvan {

class CZorvanDoc;

// The Export Calendar command after its file dialog, the same for the window and the command
// line: an iCalendar file (RFC 5545) with one yearly all-day event for every set birthday,
// anniversary and nameday of the contacts, and, when asked, one for every calendar name of the
// loaded calendar resource. The file is made event by event and never held whole.

struct SCalendarExportOptions {
  bool bCalNames = false;  // add the calendar names of the loaded resource
  // The moment the events are stamped with (DTSTAMP), in seconds since 1970 (UTC).
  std::time_t tStamp = 0;
};

struct SCalendarExportResult {
  bool bOk = false;
  std::string strError;  // the reason of a failure, in the system's words
  size_t nEvents = 0;    // the events written
  size_t nLeftOut = 0;   // the events of dates a calendar file cannot hold (after 3000)
};

// What the user should know of a calendar written with events left out ("1 event was left
// out: ..."); empty when none was.
std::string LeftOutNote(const SCalendarExportResult& result);

// Hands out the file's bytes piece by piece; false stops the export.
using CalendarSink = std::function<bool(std::string_view)>;

// Writes the calendar of doc to sink.
SCalendarExportResult WriteCalendar(const CZorvanDoc& doc, const SCalendarExportOptions& options,
                                    const CalendarSink& sink);

// Writes the calendar of doc to the file at path, replacing it as a whole or not at all.
SCalendarExportResult ExportCalendar(const CZorvanDoc& doc, const std::string& path,
                                     const SCalendarExportOptions& options);

}  // namespace zorvan
