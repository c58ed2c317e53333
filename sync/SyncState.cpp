#include "sync/SyncState.h"

#include <algorithm>

#include "store/ExtensionTrailer.h"
#include "store/RecordIdentity.h"
#include "store/TreeItem.h"
#include "store/ZorvanDoc.h"
#include "sync/StateBytes.h"

namespace zorvan::sync {
namespace {

// The fewest bytes a binding and a contact take: seven (three) empty texts, the flags, the
// count of contacts (the hash, the flags and the card's empty text). A count that could not fit
// into the bytes left is refused before anything is allocated for it. (A binding of version 2
// has one text more, which only makes this bound looser.)
constexpr size_t kMinBindingBytes = 7 * 4 + 1 + 4;
// The first version, before bindings kept a server's pin.
constexpr std::uint32_t kVersionWithoutPin = 1;
constexpr size_t kMinContactBytes = 3 * 4 + 8 + 1 + 4;

bool ReadContact(CStateReader& in, SContactState& c) {
  std::uint8_t flags = 0;
  if (!in.Text(c.uid, "a contact's UID") || !in.Text(c.href, "a contact's href") ||
      !in.Text(c.etag, "a contact's entity tag") || !in.U64(c.hash, "a contact's hash") ||
      !in.Byte(flags, "a contact's flags") || !in.Text(c.card, "a contact's card"))
    return false;
  if (flags > 1) return in.Fail("a contact's flags hold unknown bits");
  c.deletedHere = flags & 1;
  return true;
}

bool ReadBinding(CStateReader& in, std::uint32_t version, SBinding& b) {
  std::uint8_t flags = 0;
  std::uint32_t count = 0;
  if (!in.Text(b.groupUid, "a binding's group") || !in.Text(b.serverUrl, "a server's URL") ||
      !in.Text(b.userName, "a user name") || !in.Text(b.bookHref, "an address book's href") ||
      !in.Text(b.bookName, "an address book's name") ||
      !in.Text(b.calendarUrl, "a calendar's URL") || !in.Text(b.syncToken, "a sync token") ||
      (version > kVersionWithoutPin && !in.Text(b.pinnedKey, "a server's pin")) ||
      !in.Byte(flags, "a binding's flags") || !in.Count(count, kMinContactBytes, "contacts"))
    return false;
  if (flags > 1) return in.Fail("a binding's flags hold unknown bits");
  b.syncWhenOpened = flags & 1;
  b.contacts.resize(count);
  for (SContactState& c : b.contacts)
    if (!ReadContact(in, c)) return false;
  return true;
}

template <typename Vector>
auto FindIn(Vector& contacts, std::string_view value, std::string SContactState::*member) {
  auto it = std::find_if(contacts.begin(), contacts.end(),
                         [&](const SContactState& c) { return c.*member == value; });
  return it == contacts.end() ? nullptr : &*it;
}

}  // namespace

SContactState* SBinding::FindUid(std::string_view uid) {
  return FindIn(contacts, uid, &SContactState::uid);
}
SContactState* SBinding::FindHref(std::string_view href) {
  return FindIn(contacts, href, &SContactState::href);
}
const SContactState* SBinding::FindUid(std::string_view uid) const {
  return FindIn(contacts, uid, &SContactState::uid);
}
const SContactState* SBinding::FindHref(std::string_view href) const {
  return FindIn(contacts, href, &SContactState::href);
}

void SBinding::Agree(SContactState contact) {
  contact.deletedHere = false;
  if (SContactState* known = FindUid(contact.uid))
    *known = std::move(contact);
  else
    contacts.push_back(std::move(contact));
}

void SBinding::Forget(std::string_view uid) {
  std::erase_if(contacts, [&](const SContactState& c) { return c.uid == uid; });
}

SBinding* SSyncState::FindGroup(std::string_view groupUid) {
  for (SBinding& b : bindings)
    if (b.groupUid == groupUid) return &b;
  return nullptr;
}

std::uint64_t CardHash(std::string_view card) { return zvd_trailer::RecordsHash(card); }

std::string WriteSyncState(const SSyncState& state) {
  std::string out;
  PutU32(out, kSyncStateVersion);
  PutU32(out, static_cast<std::uint32_t>(state.bindings.size()));
  for (const SBinding& b : state.bindings) {
    for (const std::string* text : {&b.groupUid, &b.serverUrl, &b.userName, &b.bookHref,
                                    &b.bookName, &b.calendarUrl, &b.syncToken, &b.pinnedKey})
      PutText(out, *text);
    out.push_back(b.syncWhenOpened ? 1 : 0);
    PutU32(out, static_cast<std::uint32_t>(b.contacts.size()));
    for (const SContactState& c : b.contacts) {
      PutText(out, c.uid);
      PutText(out, c.href);
      PutText(out, c.etag);
      PutU64(out, c.hash);
      out.push_back(c.deletedHere ? 1 : 0);
      PutText(out, c.card);
    }
  }
  return out;
}

bool ReadSyncState(std::string_view payload, SSyncState& state, std::string& reason) {
  state = {};
  CStateReader in(payload);
  std::uint32_t version = 0, count = 0;
  SSyncState read;
  bool ok = in.U32(version, "the version");
  if (ok && version != kSyncStateVersion && version != kVersionWithoutPin)
    ok = in.Fail("it is of version " + std::to_string(version) +
                 ", which this program does not read");
  ok = ok && in.Count(count, kMinBindingBytes, "bindings");
  if (ok) read.bindings.resize(count);
  for (size_t i = 0; ok && i < read.bindings.size(); ++i)
    ok = ReadBinding(in, version, read.bindings[i]);
  if (ok && in.Left() != 0) ok = in.Fail("bytes follow its last binding");
  if (!ok) {
    reason = "the synchronisation state is damaged: " + in.Reason();
    return false;
  }
  state = std::move(read);
  return true;
}

std::string BindingUid(CTreeItem& group) {
  if (!group.m_pExtras) group.m_pExtras = std::make_unique<SRecordExtras>();
  SRecordExtras& x = *group.m_pExtras;
  if (x.uid.empty()) {
    x.uid = NewRecordUid();
    x.rev = RevisionText(IdentityClockNow());
  }
  return x.uid.str();
}

CTreeItem* FindBoundGroup(CTreeItem& top, std::string_view uid) {
  CTreeItem* found = nullptr;
  if (uid.empty()) return found;
  ForEachInSubtree(&top, [&](CTreeItem* r) {
    if (!found && r->m_pExtras && r->m_pExtras->uid == uid) found = r;
  });
  return found;
}

bool LoadSyncState(const CZorvanDoc& doc, SSyncState& state, std::string& reason) {
  state = {};
  const std::string* payload = doc.KeptSection(kTagSync);
  return !payload || ReadSyncState(*payload, state, reason);
}

void StoreSyncState(CZorvanDoc& doc, const SSyncState& state) {
  doc.SetKeptSection(kTagSync, state.Empty() ? std::string() : WriteSyncState(state));
}

}  // namespace zorvan::sync
