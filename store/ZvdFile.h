#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "store/Archive.h"
#include "store/TreeItem.h"

namespace zorvan {

// The header text written at the start of every database file (ignored when reading).
inline constexpr std::string_view kZvdHeader = "Zorvan 2.1.3";

// Writes one record's 48 fields and its child count, then its children, depth first.
void StoreItem(CArchiveWriter& ar, const CTreeItem& record);

// Reads one record with its whole subtree into record, whose parent becomes parent. False with
// the reason in error on a damaged file; what was read stays attached to record (the caller
// discards it).
bool LoadItem(CArchiveReader& ar, CTreeItem& record, CTreeItem* parent, std::string& error);

// The whole file for the records below the contacts root (null: an empty database).
std::string StoreDatabase(const CTreeItem* contactsRoot);

// The whole file as StoreDatabase above makes it, unless it would be a file that no reader
// opens again: records nested deeper than zvd_layout::kMaxRecordDepth, or a file larger than
// maxBytes (zvd_layout::MaxDatabaseBytes() for a save). False with the reason in error then.
bool StoreDatabase(const CTreeItem* contactsRoot, std::uint64_t maxBytes, std::string& bytes,
                   std::string& error);

// Reads a database file's records and appends them to contactsRoot. False with the reason in
// error when the file is damaged.
bool LoadDatabase(std::string_view bytes, CTreeItem& contactsRoot, std::string& error);

}  // namespace zorvan
