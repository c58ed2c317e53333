#pragma once

#include <cstddef>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>

#include "sync/CardDavClient.h"
#include "sync/PublishState.h"

namespace zorvan {
class CZorvanDoc;
}

// The calendar that Export Calendar derives from the contacts (birthdays, anniversaries, name
// days, and the calendar names when asked), put into a CalDAV calendar one event to a resource,
// named after the event's UID. The derived calendar is the master: an event changed since the
// last publishing is sent again (over a copy changed on the server too), one gone from it is
// withdrawn, and the events the calendar holds besides, put there by anyone else, are left
// alone. A failure stops it where it is, what was done staying recorded.
namespace zorvan::sync {

struct SPublishOptions {
  bool bCalNames = false;  // the calendar names of the loaded resource too
  // The moment the events sent are stamped with (DTSTAMP), in seconds since 1970 (UTC).
  std::time_t tStamp = 0;
  // When set, the calendar is derived from the document through it (the window runs the step on
  // its own thread); the requests run where PublishCalendar was called.
  std::function<void(const std::function<void()>&)> runLocal;
};

struct SPublishCounts {
  size_t published = 0;  // events sent, new or changed
  size_t unchanged = 0;  // events the calendar holds as last published
  size_t withdrawn = 0;  // events deleted from the calendar because they are no longer derived
};

struct SPublishOutcome {
  SDavStatus status;
  SPublishCounts counts;
};

// "published 3, unchanged 12, withdrawn 1".
std::string PublishCountsLine(const SPublishCounts& counts);

// The resource of the event uid in the calendar at collection (a path or URL ending in "/"):
// "<collection><uid>.ics", every byte of the UID but letters, digits and "-._~@" percent-encoded
// so that a "/" or "?" in it cannot reach outside its name; normalised as NormalizeHref.
std::string EventHref(std::string_view collection, std::string_view uid);

// The hash kept of an event's resource: of its text without the DTSTAMP line, the one line that
// differs between two derivations of the same event.
std::uint64_t EventHash(std::string_view resource);

// Publishes the calendar derived from doc into the calendar whose collection is calendarUrl (its
// server becomes the client's), by what publication records of the last time; publication is
// brought up to date as the requests succeed, for the caller to store (StorePublishState) and
// save. Nothing is withdrawn after a failure, nor when the calendar's listing failed.
SPublishOutcome PublishCalendar(const CZorvanDoc& doc, CCardDavClient& client,
                                const std::string& calendarUrl, SCalendarPublication& publication,
                                const SPublishOptions& options);

}  // namespace zorvan::sync
