#pragma once

#include <memory>
#include <string>
#include <vector>

namespace zorvan {

// What a record holds beyond its 45 fields, kept in the database file's extension trailer.
// A record points to one only when it has something in it, so that a database of records
// without extras costs a null pointer a record.
struct SRecordExtras {
  // The record's stable identity, as a vCard's UID and REV: the identifier (UTF-8) and the time
  // of the record's last change, UTC ("20261208T120000Z"). Empty while the record has none.
  std::string uid;
  std::string rev;
  // The contact's photo: its media type ("image/jpeg", "image/png", "image/gif") and its bytes.
  // Both empty while it has none.
  std::string photoType;
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
