#include "sync/PublishState.h"

#include <algorithm>

#include "store/ZorvanDoc.h"
#include "sync/StateBytes.h"

namespace zorvan::sync {
namespace {

// The fewest bytes a calendar and an event take: an empty URL and the count of events (three
// empty texts and the hash).
constexpr size_t kMinCalendarBytes = 4 + 4;
constexpr size_t kMinEventBytes = 3 * 4 + 8;

bool ReadCalendar(CStateReader& in, SCalendarPublication& calendar) {
  std::uint32_t count = 0;
  if (!in.Text(calendar.calendarUrl, "a calendar's URL") ||
      !in.Count(count, kMinEventBytes, "events"))
    return false;
  calendar.events.resize(count);
  for (SPublishedEvent& e : calendar.events)
    if (!in.Text(e.uid, "an event's UID") || !in.Text(e.href, "an event's href") ||
        !in.Text(e.etag, "an event's entity tag") || !in.U64(e.hash, "an event's hash"))
      return false;
  return true;
}

}  // namespace

const SPublishedEvent* SCalendarPublication::FindUid(std::string_view uid) const {
  auto it = std::find_if(events.begin(), events.end(),
                         [&](const SPublishedEvent& e) { return e.uid == uid; });
  return it == events.end() ? nullptr : &*it;
}

void SCalendarPublication::Record(SPublishedEvent event) {
  auto it = std::find_if(events.begin(), events.end(),
                         [&](const SPublishedEvent& e) { return e.uid == event.uid; });
  if (it != events.end())
    *it = std::move(event);
  else
    events.push_back(std::move(event));
}

void SCalendarPublication::Forget(std::string_view uid) {
  std::erase_if(events, [&](const SPublishedEvent& e) { return e.uid == uid; });
}

std::string CalendarCollectionUrl(std::string_view url) {
  std::string collection(url);
  while (collection.ends_with("//")) collection.pop_back();
  if (!collection.ends_with('/')) collection += '/';
  return collection;
}

SCalendarPublication& SPublishState::ForCalendar(std::string_view url) {
  const std::string collection = CalendarCollectionUrl(url);
  for (SCalendarPublication& c : calendars)
    if (c.calendarUrl == collection) return c;
  calendars.push_back({collection, {}});
  return calendars.back();
}

std::string WritePublishState(const SPublishState& state) {
  std::string out;
  PutU32(out, kPublishStateVersion);
  PutU32(out, static_cast<std::uint32_t>(state.calendars.size()));
  for (const SCalendarPublication& c : state.calendars) {
    PutText(out, c.calendarUrl);
    PutU32(out, static_cast<std::uint32_t>(c.events.size()));
    for (const SPublishedEvent& e : c.events) {
      PutText(out, e.uid);
      PutText(out, e.href);
      PutText(out, e.etag);
      PutU64(out, e.hash);
    }
  }
  return out;
}

bool ReadPublishState(std::string_view payload, SPublishState& state, std::string& reason) {
  state = {};
  CStateReader in(payload);
  std::uint32_t version = 0, count = 0;
  SPublishState read;
  bool ok = in.U32(version, "the version");
  if (ok && version != kPublishStateVersion)
    ok = in.Fail("it is of version " + std::to_string(version) +
                 ", which this program does not read");
  ok = ok && in.Count(count, kMinCalendarBytes, "calendars");
  if (ok) read.calendars.resize(count);
  for (size_t i = 0; ok && i < read.calendars.size(); ++i) ok = ReadCalendar(in, read.calendars[i]);
  if (ok && in.Left() != 0) ok = in.Fail("bytes follow its last calendar");
  if (!ok) {
    reason = "the record of the published calendars is damaged: " + in.Reason();
    return false;
  }
  state = std::move(read);
  return true;
}

bool LoadPublishState(const CZorvanDoc& doc, SPublishState& state, std::string& reason) {
  state = {};
  const std::string* payload = doc.KeptSection(kTagPublish);
  return !payload || ReadPublishState(*payload, state, reason);
}

void StorePublishState(CZorvanDoc& doc, SPublishState state) {
  std::erase_if(state.calendars, [](const SCalendarPublication& c) { return c.events.empty(); });
  doc.SetKeptSection(kTagPublish, state.Empty() ? std::string() : WritePublishState(state));
}

}  // namespace zorvan::sync
