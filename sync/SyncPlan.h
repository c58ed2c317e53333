#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "sync/SyncState.h"
#include "sync/SyncTypes.h"

// The plan of one two-way synchronisation of a bound group with its address book: pure logic
// over the contacts here, the server's listing and the state of the last agreement (after the
// algorithm vdirsyncer publishes). A side changed an item when it differs from what both last
// agreed on: here its card's hash, there its entity tag. An item changed on one side only goes
// to the other; changed on both it is merged; deleted on one side and unchanged on the other it
// is deleted there; a change wins over a deletion.
namespace zorvan::sync {

// A contact of the binding as it is here now.
struct SLocalContact {
  std::string uid;
  std::uint64_t hash = 0;  // CardHash of the card this program would write for it now
};

// The server's answer to the listing of the address book.
struct SRemoteListing {
  // A delta (sync-collection since the state's token): entries holds what changed or came in,
  // removed what went; an item named in neither is as it was. Otherwise entries is the whole
  // collection.
  bool delta = false;
  // The listing came to its end. One cut short (an error, a cancel, a truncated answer) tells
  // nothing of the items it does not name: none of them is deleted for their absence.
  bool complete = true;
  std::vector<SRemoteEntry> entries;
  std::vector<std::string> removed;  // hrefs, a delta's only
};

// One step on one item. Which of the fields a list's items fill is told at the list.
struct SPlanItem {
  std::string uid;   // the contact here, when there is one
  std::string href;  // its resource on the server, when it has one
  std::string etag;  // the server's tag of it: the one to match, or the one listed
  friend bool operator==(const SPlanItem&, const SPlanItem&) = default;
};

struct SSyncPlan {
  // Cards to fetch and take here as they are (href, listed etag; uid when a contact here has
  // the state's entry): new on the server, or changed there and not here.
  std::vector<SPlanItem> fetch;
  // Contacts to create on the server, refused when the resource exists (If-None-Match: *):
  // uid, and the href of a card deleted there meanwhile, else empty for the caller to name one.
  std::vector<SPlanItem> uploadNew;
  // Contacts changed here and not there: uid, href, and the etag of If-Match.
  std::vector<SPlanItem> uploadChanged;
  // Contacts deleted here and unchanged there: uid, href, and the etag of If-Match.
  std::vector<SPlanItem> deleteRemote;
  // Contacts deleted there and unchanged here: uid, href.
  std::vector<SPlanItem> deleteLocal;
  // Changed on both sides: fetch the card (href, listed etag) and merge it with the contact
  // (uid) against the state's card; with no state's card (a card of the same UID on both sides
  // at the first synchronisation, or a creation refused), merged with no base.
  std::vector<SPlanItem> merge;
  // Gone on both sides: the state's entry goes (uid, href).
  std::vector<SPlanItem> forget;
  // As both last agreed (uid, href), and items the listing did not tell of.
  std::vector<SPlanItem> unchanged;
  // Both sides agree on a card of the same UID that the state did not know of: recorded as
  // agreed (uid, href, etag), nothing moves. Filled by PairFetched.
  std::vector<SPlanItem> agree;

  // Deletions on either side above the bound (MassDeletion): the caller asks before doing them.
  bool massDeletion = false;

  // Every href whose card the plan needs: fetch's and merge's.
  std::vector<std::string> HrefsToFetch() const;
};

// More than a tenth of a side's contacts, and at least this many, is a mass deletion.
inline constexpr size_t kMassDeletionMinimum = 5;
bool MassDeletion(size_t deletions, size_t sideCount);

// The first step: what to do with every item either side or the state knows of.
SSyncPlan PlanSync(const std::vector<SLocalContact>& local, const SRemoteListing& listing,
                   const SBinding& state);

// The second step, after the fetch: a fetched card the state knows no href of and a contact
// here of the same UID that the state knows nothing of (a tree and a server that shared contacts
// before their first synchronisation) are one contact, not two. When their cards are equal
// (CardsEqual) the pair is recorded as agreed, else merged with no base; either way the contact
// is no longer uploaded as new, nor the card taken here as new. localCard gives the card this
// program would write for the contact of a UID.
void PairFetched(SSyncPlan& plan, const std::vector<SRemoteCard>& fetched,
                 const std::function<std::string(std::string_view uid)>& localCard);

// An upload or a deletion on the server was refused for its precondition (412: the card was
// changed there, or created there, meanwhile): the item of href (or, for a new one, of uid) goes
// back to fetch-and-merge; a refused deletion, the card having changed there, to fetch. False
// when the plan holds no such upload or deletion.
bool PreconditionFailed(SSyncPlan& plan, std::string_view uid, std::string_view href);

}  // namespace zorvan::sync
