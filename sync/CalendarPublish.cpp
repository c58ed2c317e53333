#include "sync/CalendarPublish.h"

#include <cctype>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "interchange/CalendarExport.h"
#include "store/ExtensionTrailer.h"

namespace zorvan::sync {
namespace {

// One derived event as its resource holds it.
struct SEventResource {
  std::string uid;
  std::string text;  // a VCALENDAR holding the one VEVENT
};

// The calendar's members by href, with their tags, as listed before anything is sent.
using ListedTags = std::unordered_map<std::string, std::string>;

// Sends event unless the calendar holds it as last published. A resource the calendar lists is
// replaced on the tag listed, so that a change made meanwhile is not overwritten unseen; one it
// does not list is created, failing when it appeared meanwhile. A resource at the event's own
// href that the record does not know of was put there by a publishing of this calendar whose
// record was not saved (the href is named after a UID derived from this database): it is
// replaced as well.
bool PublishEvent(CCardDavClient& client, const std::string& collection,
                  const SEventResource& event, const ListedTags& listed,
                  SCalendarPublication& publication, SPublishOutcome& outcome) {
  const std::uint64_t hash = EventHash(event.text);
  const SPublishedEvent* known = publication.FindUid(event.uid);
  const std::string href = known ? known->href : EventHref(collection, event.uid);
  const auto there = listed.find(href);
  if (known && known->hash == hash && there != listed.end() && there->second == known->etag) {
    ++outcome.counts.unchanged;
    return true;
  }
  SPutCondition condition;
  if (there != listed.end())
    condition.strIfMatch = there->second;
  else
    condition.bCreateOnly = true;
  std::string etag;
  outcome.status = client.PutEvent(href, event.text, condition, etag);
  if (!outcome.status.Ok()) return false;
  publication.Record({event.uid, href, etag, hash});
  ++outcome.counts.published;
  return true;
}

// Deletes the events published before that are derived no longer, each on the tag it was given.
// One already gone from the calendar is forgotten; so is one changed on the server since (its
// delete fails on the tag): whoever changed it keeps it, and it is no longer this database's.
void Withdraw(CCardDavClient& client, const std::unordered_set<std::string>& derived,
              const ListedTags& listed, SCalendarPublication& publication,
              SPublishOutcome& outcome) {
  std::vector<SPublishedEvent> gone;
  for (const SPublishedEvent& e : publication.events)
    if (!derived.contains(e.uid)) gone.push_back(e);
  for (const SPublishedEvent& e : gone) {
    if (listed.contains(e.href)) {
      const SDavStatus deleted = client.Delete(e.href, e.etag);
      if (!deleted.Ok() && deleted.kind != EDavFailure::NotFound &&
          deleted.kind != EDavFailure::PreconditionFailed) {
        outcome.status = deleted;
        return;
      }
      if (deleted.Ok()) ++outcome.counts.withdrawn;
    }
    publication.Forget(e.uid);
  }
}

}  // namespace

std::string PublishCountsLine(const SPublishCounts& counts) {
  return "published " + std::to_string(counts.published) + ", unchanged " +
         std::to_string(counts.unchanged) + ", withdrawn " + std::to_string(counts.withdrawn);
}

std::string EventHref(std::string_view collection, std::string_view uid) {
  constexpr char kHex[] = "0123456789ABCDEF";
  std::string href = CalendarCollectionUrl(collection);
  for (const char c : uid) {
    const auto byte = static_cast<unsigned char>(c);
    if (std::isalnum(byte) || std::string_view("-._~@").find(c) != std::string_view::npos) {
      href += c;
    } else {
      href += '%';
      href += kHex[byte >> 4];
      href += kHex[byte & 15];
    }
  }
  return NormalizeHref(href + ".ics");
}

std::uint64_t EventHash(std::string_view resource) {
  std::string text(resource);
  const size_t stamp = text.find("\r\nDTSTAMP");
  if (stamp != std::string::npos) text.erase(stamp, text.find("\r\n", stamp + 2) - stamp);
  return zvd_trailer::RecordsHash(text);
}

SPublishOutcome PublishCalendar(const CZorvanDoc& doc, CCardDavClient& client,
                                const std::string& calendarUrl, SCalendarPublication& publication,
                                const SPublishOptions& options) {
  SPublishOutcome outcome;
  client.SetServer(calendarUrl);
  const std::string collection = NormalizeHref(CalendarCollectionUrl(calendarUrl));
  std::vector<SEventResource> events;
  STransferResult derived;
  const auto derive = [&] {
    derived =
        WriteCalendarEvents(doc, {options.bCalNames, options.tStamp},
                            [&](std::string_view uid, std::string_view event) {
                              events.push_back({std::string(uid), SingleEventCalendar(event)});
                              return true;
                            });
  };
  if (options.runLocal)
    options.runLocal(derive);
  else
    derive();
  if (!derived.Succeeded()) {
    outcome.status = {EDavFailure::Rejected,
                      "the calendar could not be derived: " + derived.strReason};
    return outcome;
  }
  std::vector<SRemoteEntry> members;
  outcome.status = client.ListMembers(calendarUrl, members);
  if (!outcome.status.Ok()) return outcome;
  ListedTags listed;
  for (SRemoteEntry& m : members) listed.emplace(std::move(m.href), std::move(m.etag));
  std::unordered_set<std::string> uids;
  for (const SEventResource& event : events) {
    uids.insert(event.uid);
    if (!PublishEvent(client, collection, event, listed, publication, outcome)) return outcome;
  }
  Withdraw(client, uids, listed, publication, outcome);
  return outcome;
}

}  // namespace zorvan::sync
