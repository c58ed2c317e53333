#pragma once

#include <string>
#include <string_view>

// What the synchronisation with a CardDAV server speaks of on both sides of its seam: the
// transport lists and fetches these, the plan decides over them.
namespace zorvan::sync {

// One resource of an address book as the server lists it: its path on the server (as the
// server writes it in its answers, percent-encoding included) and its entity tag.
struct SRemoteEntry {
  std::string href;
  std::string etag;
  friend bool operator==(const SRemoteEntry&, const SRemoteEntry&) = default;
};

// One card as fetched from the server.
struct SRemoteCard {
  std::string href;
  std::string etag;
  std::string vcard;  // the card's text, UTF-8, as the server sent it
  friend bool operator==(const SRemoteCard&, const SRemoteCard&) = default;
};

// Servers quote entity tags (RFC 9110: "abc", W/"abc") and some drop the quotes in the
// getetag property of a multistatus answer: the tag without its quotes, keeping a weak mark,
// so that two spellings of one tag compare equal.
std::string NormalizeEtag(std::string_view etag);

// The tag as an If-Match header wants it: quoted, the weak mark kept.
std::string QuotedEtag(std::string_view etag);

}  // namespace zorvan::sync
