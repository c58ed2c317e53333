#include "sync/SyncEngine.h"

#include <functional>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "store/RecordIdentity.h"
#include "store/TreeItem.h"
#include "store/ZorvanDoc.h"
#include "sync/BoundContacts.h"
#include "sync/CardMerge.h"
#include "sync/SyncPlan.h"

namespace zorvan::sync {
namespace {

// A resource name for a new card: its UID with every character that needs escaping in a path
// made a hyphen ("urn:uuid:1b4e…" gives "urn-uuid-1b4e….vcf").
std::string HrefForUid(const std::string& book, std::string_view uid) {
  std::string name;
  for (char c : uid) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '_' || c == '.';
    name += plain ? c : '-';
  }
  if (name.empty()) name = NewRecordUid();
  std::string href = book;
  if (!href.ends_with('/')) href += '/';
  return href + name + ".vcf";
}

std::string UidOfCard(std::string_view card) {
  const SForeignContact contact = ContactOfCard(card);
  return contact.pRecord->m_pExtras ? contact.pRecord->m_pExtras->uid.str() : std::string();
}

class CSyncRun {
 public:
  CSyncRun(CZorvanDoc& doc, CCardDavClient& client, SBinding& binding, const SSyncOptions& options)
      : m_doc(doc), m_client(client), m_binding(binding), m_options(options) {}

  SSyncOutcome Run();

 private:
  bool List(SRemoteListing& listing);
  void ReadLocal();
  bool Fetch(const SSyncPlan& plan);
  void TakeFetched(const SPlanItem& item);
  bool MergeOne(const SPlanItem& item, const SRemoteCard& remote);
  bool Upload(const SPlanItem& item, bool create);
  bool DeleteThere(const SPlanItem& item);
  void DeleteHere(const SPlanItem& item);
  // Records that the contact's card here and the server's resource agree now.
  void AgreeOn(CTreeItem& record, const std::string& href, const std::string& etag);
  // The same for a card whose text is known already (no step on the document).
  void AgreeOn(const std::string& uid, const std::string& href, const std::string& etag,
               std::string card);
  // The server's card at href, fetched alone (after a 412); false on failure.
  bool FetchOne(const std::string& href, SRemoteCard& card);
  // The card's data into record (its place and identity stay).
  void TakeCard(CTreeItem& record, std::string_view card);
  CTreeItem* AddCard(std::string_view card);
  // Whether a failed write on the card of uid is the server refusing that card alone; it is
  // then recorded as refused, for the run to go on without it.
  bool Refused(const SDavStatus& status, const std::string& uid, std::string label);
  bool Failed(SDavStatus status) {
    m_outcome.status = std::move(status);
    return false;
  }
  // Runs a step on the document where the caller wants it run.
  void Local(const std::function<void()>& step) {
    if (m_options.runLocal)
      m_options.runLocal(step);
    else
      step();
  }
  void Advance(size_t steps) {
    m_nDone += steps;
    if (m_options.progress && steps != 0) m_options.progress(m_nDone, m_nTotal);
  }
  // The card read for uid at the start of the run (empty for none).
  std::string CardRead(const std::string& uid) const {
    const auto known = m_cardByUid.find(uid);
    return known == m_cardByUid.end() ? std::string() : known->second;
  }
  // The state's entry of uid, null for none. The state is looked up through an index of its
  // entries, not a pass over them: a first run agrees on every card of a book of thousands.
  SContactState* Known(const std::string& uid);
  // Records the entry as agreed (made or replaced, its deletion mark gone).
  void Agree(SContactState agreed);
  void Forget(const std::string& uid) {
    m_binding.Forget(uid);
    m_bKnownBuilt = false;  // the entries after it moved
  }
  // The choices for a contact's conflicts; nullopt leaves the contact as it is.
  std::optional<std::vector<EMergeChoice>> Choose(const std::string& label,
                                                  const std::vector<SCardConflict>& conflicts);

  CZorvanDoc& m_doc;
  CCardDavClient& m_client;
  SBinding& m_binding;
  const SSyncOptions& m_options;
  CTreeItem* m_pGroup = nullptr;
  SSyncOutcome m_outcome;
  std::string m_strNewToken;
  std::vector<SBoundContact> m_local;
  std::unordered_map<std::string, CTreeItem*> m_byUid;
  std::unordered_map<std::string, std::string> m_cardByUid;  // the cards of m_local
  size_t m_nDone = 0;
  size_t m_nTotal = 0;
  std::unordered_map<std::string, SRemoteCard> m_fetched;  // by href
  std::unordered_map<std::string, size_t> m_known;  // uid → its entry in m_binding.contacts
  // The UIDs whose cards the plan deletes here, and those of them found again under another
  // name (a phone that deleted a card and wrote it anew): taken, not deleted.
  std::unordered_set<std::string> m_goneUids, m_movedUids;
  bool m_bKnownBuilt = false;
};

SContactState* CSyncRun::Known(const std::string& uid) {
  if (!m_bKnownBuilt) {
    m_known.clear();
    for (size_t i = 0; i < m_binding.contacts.size(); ++i)
      m_known.emplace(m_binding.contacts[i].uid, i);  // the first of a UID, as a search finds
    m_bKnownBuilt = true;
  }
  const auto found = m_known.find(uid);
  return found == m_known.end() ? nullptr : &m_binding.contacts[found->second];
}

void CSyncRun::Agree(SContactState agreed) {
  agreed.deletedHere = false;
  if (SContactState* known = Known(agreed.uid)) {
    *known = std::move(agreed);
    return;
  }
  m_known.emplace(agreed.uid, m_binding.contacts.size());
  m_binding.contacts.push_back(std::move(agreed));
}

// Rejected is a 4xx on the card itself, other than 401 (the password, for every request),
// 404/410 and a plain 409 (the address book is gone) and 412 (changed there: merged): a card too
// large (413), one the server cannot read or will not keep (400, 415, 422, a named
// precondition), or 403, which a server answers for this card (a listing's 403 is the
// account's). Another card may well be taken, so the run goes on; a read-only book refuses
// each, and still gives its cards here. A failure of the connection, the password or the
// server (5xx, 507 for a full quota) would meet every request after it: the run stops there.
bool CSyncRun::Refused(const SDavStatus& status, const std::string& uid, std::string label) {
  if (status.kind != EDavFailure::Rejected) return false;
  m_outcome.refused.push_back({uid, std::move(label), status.strMessage});
  return true;
}

bool CSyncRun::List(SRemoteListing& listing) {
  SDavChanges changes;
  if (!m_binding.syncToken.empty()) {
    const SDavStatus delta =
        m_client.SyncCollection(m_binding.bookHref, m_binding.syncToken, changes);
    if (delta.Ok()) {
      listing.delta = true;
      listing.entries = std::move(changes.changed);
      listing.removed = std::move(changes.removed);
      m_strNewToken = changes.strToken;
      return true;
    }
    // A token the server forgot (some servers answer 500 for it): everything is listed again.
    if (delta.kind != EDavFailure::TokenInvalid && delta.kind != EDavFailure::ServerError)
      return Failed(delta);
    changes = {};
  }
  // Nothing agreed yet (the first run): every card is to be fetched, so they come with the
  // listing.
  const bool withCards = m_binding.contacts.empty();
  if (m_client.SyncCollection(m_binding.bookHref, "", changes, withCards).Ok()) {
    listing.entries = std::move(changes.changed);
    m_strNewToken = changes.strToken;
    for (SRemoteCard& card : changes.cards) {
      std::string href = NormalizeHref(card.href);
      m_fetched[href] = std::move(card);
    }
    return true;
  }
  std::vector<SRemoteEntry> entries;
  if (SDavStatus all = m_client.ListMembers(m_binding.bookHref, entries); !all.Ok())
    return Failed(std::move(all));
  listing.entries = std::move(entries);
  return true;
}

void CSyncRun::ReadLocal() {
  m_local = BoundContacts(*m_pGroup);
  for (const SBoundContact& c : m_local) {
    m_byUid[c.uid] = c.pRecord;
    m_cardByUid[c.uid] = c.card;
  }
}

bool CSyncRun::Fetch(const SSyncPlan& plan) {
  std::vector<std::string> hrefs = plan.HrefsToFetch();
  const size_t steps = hrefs.size();
  // Those that came with the listing are there already.
  std::erase_if(hrefs, [&](const std::string& href) {
    const auto known = m_fetched.find(NormalizeHref(href));
    return known != m_fetched.end() && !known->second.vcard.empty();
  });
  if (!hrefs.empty()) {
    SDavCards cards;
    if (SDavStatus got = m_client.Multiget(m_binding.bookHref, hrefs, cards); !got.Ok())
      return Failed(std::move(got));
    for (SRemoteCard& card : cards.cards) {
      std::string href = NormalizeHref(card.href);
      m_fetched[href] = std::move(card);
    }
  }
  Advance(steps);
  return true;
}

void CSyncRun::TakeCard(CTreeItem& record, std::string_view card) {
  SForeignContact contact = ContactOfCard(card);
  const std::string uid = record.m_pExtras ? record.m_pExtras->uid.str() : std::string();
  m_doc.RecordWillChange(&record);
  static_cast<CContactData&>(record) = static_cast<const CContactData&>(*contact.pRecord);
  record.m_pExtras = std::move(contact.pRecord->m_pExtras);
  if (!record.m_pExtras) record.m_pExtras = std::make_unique<SRecordExtras>();
  if (!uid.empty()) record.m_pExtras->uid = uid;
  record.m_bGroup = 0;
  m_doc.SyncEventNodes(&record);
  m_doc.RecordAppearanceChanged(&record, ERecordChange::Label);
}

CTreeItem* CSyncRun::AddCard(std::string_view card) {
  SForeignContact contact = ContactOfCard(card);
  if (!contact.pRecord->m_pExtras) contact.pRecord->m_pExtras = std::make_unique<SRecordExtras>();
  SRecordExtras& extras = *contact.pRecord->m_pExtras;
  // A second card of a UID a contact here has already (two cards of one UID on a server that
  // let them in) is a contact of its own: sharing the UID, the two would be one entry of the
  // state, and the other card would come again as new on every run.
  if (extras.uid.empty() || m_byUid.contains(extras.uid.str())) extras.uid = NewRecordUid();
  CTreeItem* place = PlaceOfContact(*m_pGroup, contact);
  CTreeItem* record = m_doc.AppendImportedBranch(place, std::move(contact.pRecord));
  if (record) m_byUid[record->m_pExtras->uid.str()] = record;
  return record;
}

void CSyncRun::AgreeOn(CTreeItem& record, const std::string& href, const std::string& etag) {
  AgreeOn(record.m_pExtras->uid.str(), href, etag, BoundCard(*m_pGroup, record));
}

void CSyncRun::AgreeOn(const std::string& uid, const std::string& href, const std::string& etag,
                       std::string card) {
  SContactState agreed;
  agreed.uid = uid;
  agreed.href = href;
  agreed.etag = NormalizeEtag(etag);
  agreed.card = std::move(card);
  agreed.hash = CardHash(agreed.card);
  Agree(std::move(agreed));
}

std::optional<std::vector<EMergeChoice>> CSyncRun::Choose(
    const std::string& label, const std::vector<SCardConflict>& conflicts) {
  if (m_options.resolve) return m_options.resolve(label, conflicts);
  if (m_options.conflicts == EConflictPolicy::leave) return std::nullopt;
  return std::vector<EMergeChoice>(conflicts.size(), m_options.conflicts == EConflictPolicy::remote
                                                         ? EMergeChoice::remote
                                                         : EMergeChoice::local);
}

void CSyncRun::TakeFetched(const SPlanItem& item) {
  const auto card = m_fetched.find(NormalizeHref(item.href));
  if (card == m_fetched.end()) return;  // gone since the listing: the next run sees it
  const auto known = m_byUid.find(item.uid);
  CTreeItem* record = known != m_byUid.end() ? known->second : nullptr;
  if (!record && !m_goneUids.empty()) {
    // A new name for a card the listing says is gone under its old one is the same contact.
    const std::string uid = UidOfCard(card->second.vcard);
    const auto here = m_byUid.find(uid);
    if (here != m_byUid.end() && m_goneUids.erase(uid)) {
      record = here->second;
      m_movedUids.insert(uid);
    }
  }
  if (record)
    TakeCard(*record, card->second.vcard);
  else
    record = AddCard(card->second.vcard);
  if (!record) return;
  AgreeOn(*record, item.href, card->second.etag.empty() ? item.etag : card->second.etag);
  ++m_outcome.counts.fetched;
}

bool CSyncRun::FetchOne(const std::string& href, SRemoteCard& card) {
  SDavCards cards;
  if (SDavStatus got = m_client.Multiget(m_binding.bookHref, {href}, cards); !got.Ok())
    return Failed(std::move(got));
  if (cards.cards.empty()) return false;
  card = std::move(cards.cards.front());
  return true;
}

// Merges the contact of item.uid with the server's card against the last agreed one, writes the
// result there (If-Match the card fetched) and takes it here; a 412 meanwhile goes round once
// more with the card fetched again.
bool CSyncRun::MergeOne(const SPlanItem& item, const SRemoteCard& fetched) {
  const auto known = m_byUid.find(item.uid);
  if (known == m_byUid.end()) return true;
  CTreeItem& record = *known->second;
  SRemoteCard remote = fetched;
  for (int attempt = 0; attempt < 2; ++attempt) {
    const SContactState* agreed = Known(item.uid);
    std::string local;
    std::string label;
    Local([&] {
      local = BoundCard(*m_pGroup, record);
      label = record.m_strLabel.view();
    });
    const CCardMerge merge = MergeCards(agreed ? agreed->card : std::string(), local, remote.vcard);
    std::optional<std::vector<EMergeChoice>> choices;
    if (!merge.Conflicts().empty()) {
      choices = Choose(label, merge.Conflicts());
      if (!choices) {
        ++m_outcome.counts.conflicts;
        return true;
      }
    }
    const std::string text = choices ? merge.Text(*choices) : merge.Text(EMergeChoice::local);
    std::string etag = remote.etag;
    if (!CardsEqual(text, remote.vcard)) {
      SPutCondition condition;
      condition.strIfMatch = remote.etag;
      const SDavStatus put = m_client.PutCard(item.href, text, condition, etag);
      if (put.kind == EDavFailure::PreconditionFailed) {
        if (!FetchOne(item.href, remote)) return m_outcome.status.Ok();
        continue;
      }
      if (Refused(put, item.uid, label)) return true;
      if (!put.Ok()) return Failed(put);
      ++m_outcome.counts.uploaded;
    }
    Local([&] {
      if (!CardsEqual(text, local)) TakeCard(record, text);
      AgreeOn(record, item.href, etag);
    });
    ++m_outcome.counts.merged;
    return true;
  }
  return true;  // changed there once more meanwhile: the next run merges again
}

bool CSyncRun::Upload(const SPlanItem& item, bool create) {
  if (!m_byUid.contains(item.uid)) return true;
  // The card read at the start: the contacts to upload are not touched by the run before.
  std::string card = CardRead(item.uid);
  const std::string href = item.href.empty() ? HrefForUid(m_binding.bookHref, item.uid) : item.href;
  SPutCondition condition;
  condition.bCreateOnly = create;
  if (!create) condition.strIfMatch = item.etag;
  std::string etag;
  const SDavStatus put = m_client.PutCard(href, card, condition, etag);
  if (put.kind == EDavFailure::PreconditionFailed) {
    // Changed (or made) there meanwhile: merged with what is there now, never overwritten.
    SRemoteCard remote;
    if (!FetchOne(href, remote)) return m_outcome.status.Ok();
    // Another contact's card under the name made from this UID (two UIDs that differ only in
    // characters a path cannot keep, "a:b" and "a-b"): this one is put under a name of its own
    // instead of being merged into a stranger.
    if (create && item.href.empty() && UidOfCard(remote.vcard) != item.uid)
      return Upload({item.uid, HrefForUid(m_binding.bookHref, NewRecordUid()), {}}, true);
    return MergeOne({item.uid, href, remote.etag}, remote);
  }
  if (put.kind == EDavFailure::Rejected) {
    std::string label;
    Local([&] { label = m_byUid.at(item.uid)->m_strLabel.str(); });
    return Refused(put, item.uid, std::move(label));
  }
  if (!put.Ok()) return Failed(put);
  AgreeOn(item.uid, href, etag, std::move(card));
  ++m_outcome.counts.uploaded;
  return true;
}

bool CSyncRun::DeleteThere(const SPlanItem& item) {
  const SDavStatus gone = m_client.Delete(item.href, item.etag);
  if (gone.kind == EDavFailure::PreconditionFailed) {
    // Changed there since: the change wins over the deletion, the card comes back here.
    SRemoteCard remote;
    if (!FetchOne(item.href, remote)) return m_outcome.status.Ok();
    Forget(item.uid);
    Local([&] {
      if (CTreeItem* record = AddCard(remote.vcard)) {
        AgreeOn(*record, item.href, remote.etag);
        ++m_outcome.counts.fetched;
      }
    });
    return true;
  }
  if (gone.kind == EDavFailure::Rejected) {
    // Kept marked as deleted here: the next run asks again.
    const SContactState* agreed = Known(item.uid);
    return Refused(gone, item.uid,
                   agreed ? ContactOfCard(agreed->card).pRecord->m_strLabel.str() : item.uid);
  }
  if (!gone.Ok() && gone.kind != EDavFailure::NotFound) return Failed(gone);
  Forget(item.uid);
  ++m_outcome.counts.deletedThere;
  return true;
}

void CSyncRun::DeleteHere(const SPlanItem& item) {
  if (m_movedUids.contains(item.uid)) return;  // taken under its new name
  const auto known = m_byUid.find(item.uid);
  if (known != m_byUid.end()) {
    m_doc.RemoveBranch(known->second);
    m_byUid.erase(known);
    ++m_outcome.counts.deletedHere;
  }
  Forget(item.uid);
}

SSyncOutcome CSyncRun::Run() {
  Local([&] {
    m_pGroup =
        m_doc.ContactsRoot() ? FindBoundGroup(*m_doc.ContactsRoot(), m_binding.groupUid) : nullptr;
  });
  if (!m_pGroup) {
    m_outcome.status =
        DavFailure(EDavFailure::NotFound, "the bound group is no longer in the tree");
    return m_outcome;
  }
  SRemoteListing listing;
  if (!List(listing)) return m_outcome;
  Local([&] { ReadLocal(); });
  std::vector<SLocalContact> local;
  for (const SBoundContact& c : m_local) local.push_back({c.uid, c.hash});
  SSyncPlan plan = PlanSync(local, listing, m_binding);
  if (plan.massDeletion && !m_options.allowMassDelete) {
    m_outcome.massDeletion = true;
    m_outcome.wouldDeleteHere = plan.deleteLocal.size();
    m_outcome.wouldDeleteThere = plan.deleteRemote.size();
    return m_outcome;
  }
  m_nTotal = plan.HrefsToFetch().size() + plan.merge.size() + plan.deleteLocal.size() +
             plan.uploadNew.size() + plan.uploadChanged.size() + plan.deleteRemote.size();
  if (!Fetch(plan)) return m_outcome;
  std::vector<SRemoteCard> fetched;
  for (const auto& [href, card] : m_fetched) fetched.push_back(card);
  PairFetched(plan, fetched, [&](std::string_view uid) { return CardRead(std::string(uid)); });
  for (const SPlanItem& item : plan.agree)
    if (m_byUid.contains(item.uid)) AgreeOn(item.uid, item.href, item.etag, CardRead(item.uid));
  for (const SPlanItem& item : plan.deleteLocal) m_goneUids.insert(item.uid);
  Local([&] {
    for (const SPlanItem& item : plan.fetch) TakeFetched(item);
  });
  for (const SPlanItem& item : plan.merge) {
    const auto card = m_fetched.find(NormalizeHref(item.href));
    if (card != m_fetched.end() && !MergeOne(item, card->second)) return m_outcome;
    Advance(1);
  }
  Local([&] {
    for (const SPlanItem& item : plan.deleteLocal) DeleteHere(item);
  });
  Advance(plan.deleteLocal.size());
  for (const SPlanItem& item : plan.forget) Forget(item.uid);
  for (const SPlanItem& item : plan.uploadNew) {
    if (!Upload(item, true)) return m_outcome;
    Advance(1);
  }
  for (const SPlanItem& item : plan.uploadChanged) {
    if (!Upload(item, false)) return m_outcome;
    Advance(1);
  }
  for (const SPlanItem& item : plan.deleteRemote) {
    if (!DeleteThere(item)) return m_outcome;
    Advance(1);
  }
  // Only a run that came to its end moves the token on: the next run asks again from the old
  // one, and what this run agreed on already shows there as unchanged.
  if (listing.complete) m_binding.syncToken = m_strNewToken;
  return m_outcome;
}

}  // namespace

std::string CountsLine(const SSyncCounts& c) {
  return "fetched " + std::to_string(c.fetched) + ", uploaded " + std::to_string(c.uploaded) +
         ", deleted here " + std::to_string(c.deletedHere) + ", deleted there " +
         std::to_string(c.deletedThere) + ", merged " + std::to_string(c.merged) + ", conflicts " +
         std::to_string(c.conflicts);
}

SSyncOutcome Synchronize(CZorvanDoc& doc, CCardDavClient& client, SBinding& binding,
                         const SSyncOptions& options) {
  return CSyncRun(doc, client, binding, options).Run();
}

}  // namespace zorvan::sync
