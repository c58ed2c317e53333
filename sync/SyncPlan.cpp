#include "sync/SyncPlan.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "sync/CardMerge.h"

namespace zorvan::sync {
namespace {

// How an item the state knows of stands on each side since the last agreement.
enum class ESide { unchanged, changed, deleted, unknown };

struct SListed {
  std::unordered_map<std::string, std::string> etags;  // href → normalised etag
  std::unordered_set<std::string> removed;
};

SListed Index(const SRemoteListing& listing) {
  SListed listed;
  for (const SRemoteEntry& e : listing.entries) listed.etags[e.href] = NormalizeEtag(e.etag);
  if (listing.delta) listed.removed.insert(listing.removed.begin(), listing.removed.end());
  return listed;
}

ESide RemoteSide(const SContactState& known, const SRemoteListing& listing, const SListed& listed,
                 std::string& etag) {
  if (auto it = listed.etags.find(known.href); it != listed.etags.end()) {
    etag = it->second;
    return etag == NormalizeEtag(known.etag) ? ESide::unchanged : ESide::changed;
  }
  etag = known.etag;
  // A removal a delta names is the server's word, cut short or not; an item a whole listing
  // leaves out is gone only when the listing came to its end.
  if (listed.removed.count(known.href)) return ESide::deleted;
  if (listing.delta) return ESide::unchanged;
  return listing.complete ? ESide::deleted : ESide::unknown;
}

void Decide(ESide here, ESide there, const SContactState& known, const std::string& listedEtag,
            SSyncPlan& plan) {
  const SPlanItem agreed{known.uid, known.href, known.etag};
  const SPlanItem listed{known.uid, known.href, listedEtag};
  using enum ESide;
  switch (here) {
    case unchanged:
      if (there == changed)
        plan.fetch.push_back(listed);
      else if (there == deleted)
        plan.deleteLocal.push_back(agreed);
      else
        plan.unchanged.push_back(agreed);
      return;
    case changed:
      // A change here wins over a deletion there: the card goes up again, as a new one.
      if (there == changed)
        plan.merge.push_back(listed);
      else if (there == deleted)
        plan.uploadNew.push_back({known.uid, known.href, {}});
      else
        plan.uploadChanged.push_back(agreed);
      return;
    default:
      // Deleted here. A change there wins and comes back; a deletion there agrees; otherwise the
      // deletion goes up, guarded by the agreed tag, whether the listing told of it or not.
      if (there == changed)
        plan.fetch.push_back(listed);
      else if (there == deleted)
        plan.forget.push_back(agreed);
      else
        plan.deleteRemote.push_back(agreed);
      return;
  }
}

template <typename Match>
bool TakeOut(std::vector<SPlanItem>& list, Match match, SPlanItem& taken) {
  auto it = std::find_if(list.begin(), list.end(), match);
  if (it == list.end()) return false;
  taken = std::move(*it);
  list.erase(it);
  return true;
}

}  // namespace

std::vector<std::string> SSyncPlan::HrefsToFetch() const {
  std::vector<std::string> hrefs;
  for (const auto* list : {&fetch, &merge})
    for (const SPlanItem& item : *list) hrefs.push_back(item.href);
  return hrefs;
}

bool MassDeletion(size_t deletions, size_t sideCount) {
  return deletions >= kMassDeletionMinimum && deletions * 10 > sideCount;
}

SSyncPlan PlanSync(const std::vector<SLocalContact>& local, const SRemoteListing& listing,
                   const SBinding& state) {
  SSyncPlan plan;
  const SListed listed = Index(listing);
  std::unordered_map<std::string_view, std::uint64_t> hashes;
  for (const SLocalContact& c : local) hashes.emplace(c.uid, c.hash);
  std::unordered_set<std::string_view> knownHrefs, knownUids;
  for (const SContactState& known : state.contacts) {
    knownHrefs.insert(known.href);
    knownUids.insert(known.uid);
    const auto it = hashes.find(known.uid);
    const ESide here = it == hashes.end()         ? ESide::deleted
                       : it->second == known.hash ? ESide::unchanged
                                                  : ESide::changed;
    std::string etag;
    const ESide there = RemoteSide(known, listing, listed, etag);
    Decide(here, there, known, etag, plan);
  }
  for (const SRemoteEntry& e : listing.entries)
    if (!knownHrefs.count(e.href)) plan.fetch.push_back({{}, e.href, NormalizeEtag(e.etag)});
  for (const SLocalContact& c : local)
    if (!knownUids.count(c.uid)) plan.uploadNew.push_back({c.uid, {}, {}});

  // What the server held before: a whole listing says; a delta, the state's count.
  const size_t serverCount =
      listing.delta || !listing.complete ? state.contacts.size() : listing.entries.size();
  plan.massDeletion = MassDeletion(plan.deleteLocal.size(), local.size()) ||
                      MassDeletion(plan.deleteRemote.size(), serverCount);
  return plan;
}

void PairFetched(SSyncPlan& plan, const std::vector<SRemoteCard>& fetched,
                 const std::function<std::string(std::string_view uid)>& localCard) {
  // Looked up by hash, not by a pass over the lists per card: a first run fetches every card of
  // a book of thousands.
  std::unordered_set<std::string_view> newHrefs;  // fetched without a contact here
  for (const SPlanItem& i : plan.fetch)
    if (i.uid.empty()) newHrefs.insert(i.href);
  std::unordered_set<std::string_view> newUids;  // contacts uploaded as new
  for (const SPlanItem& i : plan.uploadNew)
    if (i.href.empty()) newUids.insert(i.uid);
  if (newHrefs.empty() || newUids.empty()) return;
  std::unordered_set<std::string> pairedHrefs, pairedUids;
  std::vector<SPlanItem> agree, merge;
  for (const SRemoteCard& card : fetched) {
    if (!newHrefs.contains(card.href) || pairedHrefs.contains(card.href)) continue;
    std::string uid = CardUid(card.vcard);
    if (uid.empty() || !newUids.contains(uid) || pairedUids.contains(uid)) continue;
    pairedHrefs.insert(card.href);
    SPlanItem pair{uid, card.href, NormalizeEtag(card.etag)};
    pairedUids.insert(std::move(uid));
    (CardsEqual(localCard(pair.uid), card.vcard) ? agree : merge).push_back(std::move(pair));
  }
  // The sets view the lists' strings: the lists change only now.
  newHrefs.clear();
  newUids.clear();
  std::erase_if(plan.fetch,
                [&](const SPlanItem& i) { return i.uid.empty() && pairedHrefs.contains(i.href); });
  std::erase_if(plan.uploadNew,
                [&](const SPlanItem& i) { return i.href.empty() && pairedUids.contains(i.uid); });
  for (SPlanItem& i : agree) plan.agree.push_back(std::move(i));
  for (SPlanItem& i : merge) plan.merge.push_back(std::move(i));
}

bool PreconditionFailed(SSyncPlan& plan, std::string_view uid, std::string_view href) {
  SPlanItem item;
  const auto sameHref = [&](const SPlanItem& i) { return !href.empty() && i.href == href; };
  const auto sameUid = [&](const SPlanItem& i) { return i.uid == uid; };
  // The tag the server now has is not known: the fetch brings it.
  if (TakeOut(plan.uploadChanged, sameHref, item) || TakeOut(plan.uploadNew, sameUid, item)) {
    item.etag.clear();
    if (!href.empty()) item.href = std::string(href);
    plan.merge.push_back(std::move(item));
    return true;
  }
  if (TakeOut(plan.deleteRemote, sameHref, item)) {
    item.etag.clear();
    plan.fetch.push_back(std::move(item));
    return true;
  }
  return false;
}

}  // namespace zorvan::sync
