#include "store/ZvdFile.h"

#include <array>
#include <utility>
#include <vector>

#include "store/RecordFields.h"

namespace zorvan {
namespace {

// The order of the fields in a file record: the record's own order up to the business e-mail,
// then the file's: family, the three dates each with its flag, the anniversary text, and the
// remark last.
constexpr std::array<EField, 7> kFileOrderTail = {
    fieldSpouse,      fieldChildren,        fieldBirthday, fieldNameDay,
    fieldAnniversary, fieldAnniversaryText, fieldRemark};

constexpr std::array<EField, kRecordFieldCount> kFileOrder = [] {
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

// Bytes a field takes at the least: an empty text its one-byte length, a number four, a date
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
constexpr size_t kMinRecordBytes = MinRecordBytes();
static_assert(kMinRecordBytes == 38 * 1 + 8 * 4 + 3 * 12);

// The fields are written and read one after the other in file order, each step with its member
// and kind fixed at compile time: the same straight sequence of archive calls a hand-written
// record would make, with no lookup per field.
template <EField F>
void StoreField(CArchiveWriter& ar, const CContactData& r) {
  constexpr const SRecordField& f = kRecordFields[F];
  if constexpr (f.type == EFieldType::text) {
    ar.WriteText(r.*f.pText);
  } else if constexpr (f.type == EFieldType::integer) {
    ar.WriteLong(r.*f.pNumber);
  } else {
    ar.WriteDate(r.*f.pDate);
    ar.WriteLong(r.*f.pNumber);
  }
}

template <EField F>
bool LoadField(CArchiveReader& ar, CContactData& r) {
  constexpr const SRecordField& f = kRecordFields[F];
  if constexpr (f.type == EFieldType::text) {
    return ar.ReadText(r.*f.pText);
  } else {
    std::int32_t n = 0;
    bool ok = true;
    if constexpr (f.type == EFieldType::date) ok = ar.ReadDate(r.*f.pDate);
    ok = ok && ar.ReadLong(n);
    r.*f.pNumber = n;
    return ok;
  }
}

template <size_t... I>
void StoreFieldsInOrder(CArchiveWriter& ar, const CContactData& r, std::index_sequence<I...>) {
  (StoreField<kFileOrder[I]>(ar, r), ...);
}

template <size_t... I>
bool LoadFieldsInOrder(CArchiveReader& ar, CContactData& r, std::index_sequence<I...>) {
  return (LoadField<kFileOrder[I]>(ar, r) && ...);
}

void StoreFields(CArchiveWriter& ar, const CContactData& r) {
  StoreFieldsInOrder(ar, r, std::make_index_sequence<kRecordFieldCount>());
}

bool LoadFields(CArchiveReader& ar, CContactData& r) {
  return LoadFieldsInOrder(ar, r, std::make_index_sequence<kRecordFieldCount>());
}

// Reads a child count and checks it against the bytes left.
bool ReadChildCount(CArchiveReader& ar, std::int32_t& count, std::string& error) {
  if (!ar.ReadLong(count)) {
    error = ar.Error();
    return false;
  }
  if (count < 0) {
    error = "a record count is negative";
    return false;
  }
  if (static_cast<size_t>(count) > ar.Remaining() / kMinRecordBytes) {
    error = "a record count is larger than the rest of the file can hold";
    return false;
  }
  return true;
}

}  // namespace

void StoreItem(CArchiveWriter& ar, const CTreeItem& record) {
  WalkSubtreeWhile(record, [&ar](const CTreeItem& r) {
    StoreFields(ar, r);
    ar.WriteLong(static_cast<std::int32_t>(r.ChildCount()));
    return true;
  });
}

bool LoadItem(CArchiveReader& ar, CTreeItem& record, CTreeItem* parent, std::string& error) {
  struct SPending {
    CTreeItem* item;
    std::int32_t left;
  };
  std::vector<SPending> stack;
  record.m_pParent = parent;
  record.m_nKind = kindContacts;
  std::int32_t count = 0;
  if (!LoadFields(ar, record)) {
    error = ar.Error();
    return false;
  }
  if (!ReadChildCount(ar, count, error)) return false;
  stack.push_back({&record, count});
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
    auto* child = new CTreeItem;
    CTreeItem::AddChild(top.item, child);
    if (!LoadFields(ar, *child)) {
      error = ar.Error();
      return false;
    }
    if (!ReadChildCount(ar, count, error)) return false;
    stack.push_back({child, count});
  }
  return true;
}

std::string StoreDatabase(const CTreeItem* contactsRoot) {
  CArchiveWriter ar;
  ar.WriteText(kZvdHeader);
  const size_t n = contactsRoot ? contactsRoot->ChildCount() : 0;
  ar.WriteLong(static_cast<std::int32_t>(n));
  for (size_t i = 0; i < n; ++i) StoreItem(ar, *contactsRoot->Child(i));
  return ar.TakeBytes();
}

bool LoadDatabase(std::string_view bytes, CTreeItem& contactsRoot, std::string& error) {
  CArchiveReader ar(bytes);
  std::int32_t n = 0;
  if (!ar.SkipText()) {
    error = ar.Error();
    return false;
  }
  if (!ReadChildCount(ar, n, error)) return false;
  for (std::int32_t i = 0; i < n; ++i) {
    auto* record = new CTreeItem;
    CTreeItem::AddChild(&contactsRoot, record);
    if (!LoadItem(ar, *record, &contactsRoot, error)) return false;
  }
  return true;
}

}  // namespace zorvan
