#pragma once

#include <memory>
#include <string>

namespace zorvan {

// What a record holds beyond its 45 fields, kept in the database file's extension trailer.
// A record points to one only when it has something in it, so that a database of records
// without extras costs a null pointer a record.
struct SRecordExtras {
  // The record's stable identity, as a vCard's UID and REV: the identifier (UTF-8) and the time
  // of the record's last change, UTC ("20261208T120000Z"). Empty while the record has none.
  std::string uid;
  std::string rev;

  bool Empty() const { return uid.empty() && rev.empty(); }
  // The extras a copy of the record takes: everything but its identity, since the copy is
  // another contact. Null when nothing is left.
  std::unique_ptr<SRecordExtras> ForCopy() const { return nullptr; }
};

}  // namespace zorvan
