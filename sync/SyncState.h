#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zorvan {
class CTreeItem;
class CZorvanDoc;
}  // namespace zorvan

// What the last synchronisation of a group of the tree with a CardDAV address book agreed on,
// kept in the database's extension trailer, so that a copied database knows what it last agreed
// with the server. A change since then is told apart from an old state by comparing with it:
// an entity tag that moved on is a change on the server, a hash that moved on a change here.
namespace zorvan::sync {

// The trailer section the state travels in.
inline constexpr std::string_view kTagSync = "SYNC";
// The version of its payload; a payload of another version is not read (and kept as it is).
// Version 1, written before bindings kept a server's pin, is read as well.
inline constexpr std::uint32_t kSyncStateVersion = 2;

// One contact both sides agreed on.
struct SContactState {
  std::string uid;   // the record's UID, the card's UID
  std::string href;  // its resource on the server
  std::string etag;  // the entity tag the server gave that version, without quotes
  // XXH64 of the card this program wrote for the record at the agreement, so that an edit here
  // shows as a different hash of the card it would write now.
  std::uint64_t hash = 0;
  // The text of the card agreed on: the base a three-way merge compares both sides with.
  std::string card;
  // The contact was deleted here and the server has not yet confirmed its deletion there.
  bool deletedHere = false;
  friend bool operator==(const SContactState&, const SContactState&) = default;
};

// One group of the tree bound to an address book.
struct SBinding {
  std::string groupUid;     // the UID of the group record the binding keeps in step
  std::string serverUrl;    // where the server's discovery starts
  std::string userName;     // the account's name; its password is never kept here
  std::string bookHref;     // the address book's collection on the server
  std::string bookName;     // its display name, as the server gave it
  std::string calendarUrl;  // a CalDAV calendar the derived calendar goes to; empty for none
  std::string syncToken;    // the collection's token after the last complete listing
  bool syncWhenOpened = false;
  std::vector<SContactState> contacts;
  // "sha256//<base64>" of the public key of a server whose certificate no authority signed
  // (a self-signed one at home), accepted when its key matches; empty: the system decides.
  std::string pinnedKey;

  SContactState* FindUid(std::string_view uid);
  SContactState* FindHref(std::string_view href);
  const SContactState* FindUid(std::string_view uid) const;
  const SContactState* FindHref(std::string_view href) const;
  // Records that both sides now hold the card of uid at href with etag: the entry is made or
  // replaced, and its deletion mark goes.
  void Agree(SContactState contact);
  // Takes the entry of uid away (the contact is gone on both sides).
  void Forget(std::string_view uid);
  friend bool operator==(const SBinding&, const SBinding&) = default;
};

struct SSyncState {
  std::vector<SBinding> bindings;
  SBinding* FindGroup(std::string_view groupUid);
  bool Empty() const { return bindings.empty(); }
  friend bool operator==(const SSyncState&, const SSyncState&) = default;
};

// The hash the state keeps of a card's text.
std::uint64_t CardHash(std::string_view card);

// The payload of the section, little-endian:
//   4 bytes version, 4 bytes count of bindings, each binding:
//     its eight texts (group UID, server URL, user name, address book href, display name,
//     calendar URL, sync token, pinned key), each a 4-byte length and the UTF-8 bytes (version
//     1 has no pinned key);
//     1 byte of flags (bit 0: sync when opened); 4 bytes count of contacts, each:
//       UID, href, ETag (texts as above), 8 bytes hash, 1 byte of flags (bit 0: deleted here),
//       the card's text (a 4-byte length and the bytes).
std::string WriteSyncState(const SSyncState& state);
// Reads a payload; false with the reason when it is damaged or of another version (state is
// then left empty). Every length and count is checked against the bytes left.
bool ReadSyncState(std::string_view payload, SSyncState& state, std::string& reason);

// The UID a binding knows its group by: the group record's own, or a new one given it now (with
// REV now), so that the binding finds the group again after it was renamed or moved.
std::string BindingUid(CTreeItem& group);
// The record below top whose UID is uid; null when none.
CTreeItem* FindBoundGroup(CTreeItem& top, std::string_view uid);

// The state the database holds: empty when it has none. False with the reason when its section
// is damaged; the section is then kept as it is, and the caller must not replace it unasked.
bool LoadSyncState(const CZorvanDoc& doc, SSyncState& state, std::string& reason);
// Puts the state into the database (saved with it; marks it modified when it changed). An empty
// state takes the section away.
void StoreSyncState(CZorvanDoc& doc, const SSyncState& state);

}  // namespace zorvan::sync
