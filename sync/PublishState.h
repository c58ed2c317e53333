#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zorvan {
class CZorvanDoc;
}

// What this database last published into CalDAV calendars, kept in the database's extension
// trailer beside the synchronisation state: which events it put where, with the entity tag the
// server gave each and the hash of the text sent, so that a later publishing sends only what
// changed and withdraws only what it put there itself.
namespace zorvan::sync {

// The trailer section the record travels in.
inline constexpr std::string_view kTagPublish = "PUBL";
// The version of its payload; a payload of another version is not read (and kept as it is).
inline constexpr std::uint32_t kPublishStateVersion = 1;

// One event this database put into a calendar.
struct SPublishedEvent {
  std::string uid;   // the event's UID, as the calendar export derives it
  std::string href;  // its resource in the calendar (NormalizeHref)
  std::string etag;  // the entity tag the server gave it, without quotes
  // XXH64 of the resource's text without its DTSTAMP line, which changes at every publishing.
  std::uint64_t hash = 0;
  friend bool operator==(const SPublishedEvent&, const SPublishedEvent&) = default;
};

// The events published into one calendar.
struct SCalendarPublication {
  std::string calendarUrl;  // the calendar's collection, ending in "/"
  std::vector<SPublishedEvent> events;

  const SPublishedEvent* FindUid(std::string_view uid) const;
  // Records the event as the calendar now holds it, in place of what was recorded of its UID.
  void Record(SPublishedEvent event);
  void Forget(std::string_view uid);
  friend bool operator==(const SCalendarPublication&, const SCalendarPublication&) = default;
};

struct SPublishState {
  std::vector<SCalendarPublication> calendars;
  // The publication into the calendar at url (a trailing "/" added), made when there is none.
  SCalendarPublication& ForCalendar(std::string_view url);
  bool Empty() const { return calendars.empty(); }
  friend bool operator==(const SPublishState&, const SPublishState&) = default;
};

// The URL of a calendar's collection as the record keys it: with one "/" at its end.
std::string CalendarCollectionUrl(std::string_view url);

// The payload of the section, little-endian:
//   4 bytes version, 4 bytes count of calendars, each: its URL (a 4-byte length and the UTF-8
//   bytes), 4 bytes count of events, each: UID, href, ETag (texts as the URL), 8 bytes hash.
std::string WritePublishState(const SPublishState& state);
// Reads a payload; false with the reason when it is damaged or of another version (state is
// then left empty).
bool ReadPublishState(std::string_view payload, SPublishState& state, std::string& reason);

// The record the database holds: empty when it has none. False with the reason when its section
// is damaged; the section is then kept as it is, and the caller must not replace it unasked.
bool LoadPublishState(const CZorvanDoc& doc, SPublishState& state, std::string& reason);
// Puts the record into the database (marks it modified when it changed); an empty one takes
// the section away. A publication without events is left out.
void StorePublishState(CZorvanDoc& doc, SPublishState state);

}  // namespace zorvan::sync
