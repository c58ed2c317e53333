#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "store/Text.h"

namespace zorvan {

// What a record holds beyond its 45 fields, kept in the database file's extension trailer.
// A record points to one only when it has something in it, so that a database of records
// without extras costs a null pointer a record.
// The most a contact's photo may take: a portrait as phones and address books keep one is a few
// tens of kilobytes; a camera's full picture is refused rather than carried in every card.
inline constexpr size_t kMaxPhotoBytes = 4u << 20;

// The media type of a picture by its first bytes: JPEG, PNG and GIF, the three every address
// book shows; empty for anything else.
inline std::string_view PhotoMediaType(std::string_view bytes) {
  if (bytes.starts_with("\xFF\xD8\xFF")) return "image/jpeg";
  if (bytes.starts_with("\x89PNG\r\n\x1A\n")) return "image/png";
  if (bytes.starts_with("GIF87a") || bytes.starts_with("GIF89a")) return "image/gif";
  return {};
}

struct SRecordExtras {
  // The record's stable identity, as a vCard's UID and REV: the identifier (UTF-8) and the time
  // of the record's last change, UTC ("20261208T120000Z"). Empty while the record has none.
  // Texts as the record's fields are, so that a file's identities go into the blocks of its
  // texts: a pointer each, where a string takes four and its own allocation for a UID.
  CText uid;
  CText rev;
  // The contact's photo: its media type ("image/jpeg", "image/png", "image/gif") and its bytes.
  // Both empty while it has none.
  CText photoType;
  std::string photo;
  // The vCard properties the 45 fields have no place for, as unfolded UTF-8 content lines
  // ("TEL;TYPE=CELL:+30 210 1234567", "CATEGORIES:Rodina,Přátelé"), in the card's order.
  std::vector<std::string> properties;

  bool Empty() const { return uid.empty() && rev.empty() && photo.empty() && properties.empty(); }
  // The extras a copy of the record takes: everything but its identity, since the copy is
  // another contact. Null when nothing is left.
  std::unique_ptr<SRecordExtras> ForCopy() const {
    if (photo.empty() && properties.empty()) return nullptr;
    auto copy = std::make_unique<SRecordExtras>();
    copy->photoType = photoType;
    copy->photo = photo;
    copy->properties = properties;
    return copy;
  }
};

}  // namespace zorvan
