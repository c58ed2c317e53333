#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "store/Archive.h"
#include "store/RecordFields.h"

// The layout of the records in a database file, shared by the reader that builds the tree and
// the one that only walks the records.
namespace zorvan::zvd_layout {

// Deepest nesting of records a database file may hold, a record at the top being level 1.
// Deeper files are refused as damaged, so that no reader or view of the tree has to descend
// further; a save of a deeper tree is refused too, so that every file written opens again.
inline constexpr int kMaxRecordDepth = 4096;

// A file smaller than this is read and written on one thread: a second one costs more than it
// saves.
inline constexpr size_t kSplitFileBytes = size_t{4} << 20;

// The largest database file that is read, and so the largest that is written. A file is read
// whole and its tree takes several times its size again, so the bound follows the machine's
// memory: an eighth of the physical memory, but never less than 1 GB (a database of millions
// of contacts, which every machine opened so far) nor more than 16 GB (where a "database" is a
// mistake or an attack). The physical memory, not the memory free at the moment: the free
// memory changes from minute to minute, and a file just saved must open again on the same
// machine. The same value for the whole life of the process.
std::uint64_t MaxDatabaseBytes();

// The order of the fields in a file record: the record's own order up to the business e-mail,
// then the file's: family, the three dates each with its flag, the anniversary text, and the
// remark last.
inline constexpr std::array<EField, 7> kFileOrderTail = {
    fieldSpouse,      fieldChildren,        fieldBirthday, fieldNameDay,
    fieldAnniversary, fieldAnniversaryText, fieldRemark};

inline constexpr std::array<EField, kRecordFieldCount> kFileOrder = [] {
  std::array<EField, kRecordFieldCount> order{};
  constexpr int head = fieldBusinessEmail + 1;
  for (int i = 0; i < head; ++i) order[i] = static_cast<EField>(i);
  for (size_t i = 0; i < kFileOrderTail.size(); ++i) order[head + i] = kFileOrderTail[i];
  return order;
}();

constexpr bool FileOrderHasEveryFieldOnce() {
  std::array<int, kRecordFieldCount> seen{};
  for (EField f : kFileOrder) ++seen[f];
  for (int n : seen)
    if (n != 1) return false;
  return true;
}
static_assert(FileOrderHasEveryFieldOnce());

// Bytes a field takes: an empty text at the least its one-byte length, a number four, a date
// twelve and its flag four.
constexpr size_t MinFieldBytes(EFieldType type) {
  return type == EFieldType::text ? 1 : type == EFieldType::integer ? 4 : 12 + 4;
}

constexpr size_t MinRecordBytes() {
  size_t n = 4;  // the record's child count
  for (const SRecordField& f : kRecordFields) n += MinFieldBytes(f.type);
  return n;
}

// The smallest record: 38 empty texts, 8 numbers and 3 dates. A child count that needs more
// bytes than are left is damage, found before anything is allocated for it.
inline constexpr size_t kMinRecordBytes = MinRecordBytes();
static_assert(kMinRecordBytes == 38 * 1 + 8 * 4 + 3 * 12);

// Reads a child count (or the file's count of top records) and checks it against the bytes
// left.
bool ReadChildCount(CArchiveReader& ar, std::int32_t& count, std::string& error);

// Reads the child count of a record whose fields were just read, then its whole subtree, depth
// first: readChild(parent, child) reads the next record's fields below parent and sets child
// to what stands for it, false on damage (the reason is then the archive's). Node is whatever
// the caller keeps per record (a tree item, or nothing for a reader that builds no tree).
template <typename Node, typename ReadChild>
bool ReadSubtree(CArchiveReader& ar, Node root, ReadChild&& readChild, std::string& error) {
  struct SPending {
    Node node;
    std::int32_t left;
  };
  std::vector<SPending> stack;
  std::int32_t count = 0;
  if (!ReadChildCount(ar, count, error)) return false;
  stack.push_back({root, count});
  while (!stack.empty()) {
    SPending& top = stack.back();
    if (top.left == 0) {
      stack.pop_back();
      continue;
    }
    --top.left;
    if (static_cast<int>(stack.size()) >= kMaxRecordDepth) {
      error = "the records are nested too deeply";
      return false;
    }
    const Node parent = top.node;
    Node child{};
    if (!readChild(parent, child)) {
      error = ar.Error();
      return false;
    }
    if (!ReadChildCount(ar, count, error)) return false;
    stack.push_back({child, count});
  }
  return true;
}

}  // namespace zorvan::zvd_layout
