#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace zorvan {

class CTreeItem;

// A contact gets a stable identity (a UID, and REV, the time of its last change) when it is
// first shared with other programs; from then on every change of it moves its REV on, so that
// a phone or a server can tell which of two versions is the newer. A record without identity
// keeps none: an edit alone gives it nothing, and its database file stays as it was.

// The UTC time REV takes, as seconds since 1970. The system clock unless set otherwise (a
// test's fixed time); an empty function gives the system clock back.
std::time_t IdentityClockNow();
void SetIdentityClock(std::function<std::time_t()> clock);

// A time as REV writes it, UTC: "20261209T063000Z".
std::string RevisionText(std::time_t utc);

// A new random UID: "urn:uuid:" and a version 4 UUID of RFC 9562 in lower case
// ("urn:uuid:xxxxxxxx-xxxx-4xxx-yxxx-xxxxxxxxxxxx", y one of 8, 9, a, b), its 122 random bits
// from a generator seeded by the system's random source.
// The 128 bits as an RFC 9562 UUID URN of the version given ("urn:uuid:xxxxxxxx-..."), its
// version and variant bits set.
std::string UuidUrn(std::uint64_t high, std::uint64_t low, int version);
std::string NewRecordUid();

// A record GiveIdentities gave an identity, and the REV it held before (a card's, or none).
struct SGivenIdentity {
  CTreeItem* pRecord = nullptr;
  std::string strOldRev;
};

// Gives every contact of top's subtree (top too unless it is a root; groups are no contacts)
// that has no UID a new one, and REV now. Returns the records given one, in pre-order.
std::vector<SGivenIdentity> GiveIdentities(CTreeItem& top);
// Takes back what GiveIdentities gave, when the sharing it was for did not happen: the records
// are as they were before.
void TakeBackIdentities(const std::vector<SGivenIdentity>& given);

// After a change of the record: its REV becomes now when it has an identity. Returns whether
// it had one (and was touched).
bool TouchRecord(CTreeItem& record);

}  // namespace zorvan
