// The likely duplicates of an import: the keys of labels and addresses, the tables of who
// had each first, and the search through the database and the file.
#include <locale.h>
#include <wctype.h>

#include <array>
#include <climits>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "interchange/ForeignImport.h"
#include "res/CodePage.h"
#include "store/TextUtil.h"
#include "store/TreeItem.h"
#include "store/TwoThreads.h"

namespace zorvan {
namespace {

// The case mapping of the whole of Unicode, as the C library knows it; the code page's own
// lower-casing covers only the letters one code page holds, and a phone's address book
// mixes Czech, Polish and German names in one file.
locale_t UnicodeCType() {
  static const locale_t locale = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
  return locale;
}

std::string_view Trimmed(std::string_view text) { return Trim(text, kSpaceTabAndLineBreaks); }

// Folds text into out (cleared first), as FoldForComparison does; a buffer used again and
// again keeps the hundreds of thousands of keys of a large import from each allocating.
void FoldInto(std::string_view utf8, std::string& out);

// The key a text is known by: the hash of its folded form, 0 for a text empty when folded.
// Two texts with one key are compared in full before they count as alike, so a collision of
// hashes never reports a duplicate that is none.
std::uint64_t KeyOf(std::string_view text, std::string& buffer) {
  FoldInto(text, buffer);
  if (buffer.empty()) return 0;
  const std::uint64_t hash = std::hash<std::string_view>()(buffer);
  return hash == 0 ? 1 : hash;
}

// Whether a and b fold alike; the two buffers are reused from comparison to comparison, as a
// file of repeats compares nearly every contact.
struct SFoldBuffers {
  std::string a, b;
};

bool SameFolded(std::string_view a, std::string_view b, SFoldBuffers& buffers) {
  FoldInto(a, buffers.a);
  FoldInto(b, buffers.b);
  return buffers.a == buffers.b;
}

// The UID a record holds, empty when none.
std::string_view UidOf(const CTreeItem& record) {
  return record.m_pExtras ? std::string_view(record.m_pExtras->uid) : std::string_view();
}

// What a contact is recognised by: its label and its two e-mail addresses, and the hash of its
// UID (compared as written, case and all: an identity, not a text), 0 where it has none.
struct SKeys {
  std::uint64_t label = 0;
  std::uint64_t personal = 0;
  std::uint64_t business = 0;
  std::uint64_t uid = 0;
};

SKeys KeysOf(const CTreeItem& record, std::string& buffer) {
  const std::string_view uid = UidOf(record);
  const std::uint64_t uidHash = uid.empty() ? 0 : std::hash<std::string_view>()(uid);
  return {KeyOf(record.m_strLabel.view(), buffer), KeyOf(record.m_strPersonalEmail.view(), buffer),
          KeyOf(record.m_strBusinessEmail.view(), buffer),
          uid.empty()    ? 0
          : uidHash == 0 ? 1
                         : uidHash};
}

// Below this many records a second thread costs more than the keys it makes.
constexpr size_t kKeysOnTwoThreads = 8192;

// The keys of records, in their order; a long list on two threads when split allows.
std::vector<SKeys> KeysOfAll(const std::vector<const CTreeItem*>& records, bool split) {
  std::vector<SKeys> keys(records.size());
  auto make = [&](size_t lo, size_t hi) {
    std::string buffer;
    for (size_t i = lo; i < hi; ++i) keys[i] = KeysOf(*records[i], buffer);
  };
  const size_t n = records.size();
  if (split && n >= kKeysOnTwoThreads)
    RunBeside([&] { make(0, n / 2); }, [&] { make(n / 2, n); });
  else
    make(0, n);
  return keys;
}

// A set of keys, each with a value: open addressing over one array, which a lookup reaches in
// one or two cache lines where a node-based map would chase a pointer per key, and a large
// import looks up three keys for every contact.
template <typename TValue>
class CKeyTable {
 public:
  void Reserve(size_t keys) {
    size_t size = 16;
    while (size < keys * 2) size *= 2;
    m_slots.assign(size, SSlot{});
    m_nUsed = 0;
  }
  // The value of key (never 0), value itself when the key is new (then second is true); one
  // probe serves both. The pointer holds until the next Insert.
  std::pair<TValue*, bool> Insert(std::uint64_t key, const TValue& value) {
    if ((m_nUsed + 1) * 2 > m_slots.size()) Grow();
    SSlot& slot = Find(key);
    const bool made = slot.key == 0;
    if (made) {
      slot = {key, value};
      ++m_nUsed;
    }
    return {&slot.value, made};
  }
  const TValue* Lookup(std::uint64_t key) const {
    if (m_slots.empty()) return nullptr;
    const SSlot& slot = const_cast<CKeyTable*>(this)->Find(key);
    return slot.key == 0 ? nullptr : &slot.value;
  }

 private:
  struct SSlot {
    std::uint64_t key = 0;
    TValue value{};
  };
  SSlot& Find(std::uint64_t key) {
    const size_t mask = m_slots.size() - 1;
    for (size_t i = static_cast<size_t>(key * 0x9E3779B97F4A7C15ull >> 17) & mask;;
         i = (i + 1) & mask)
      if (m_slots[i].key == key || m_slots[i].key == 0) return m_slots[i];
  }
  void Grow() {
    std::vector<SSlot> old = std::move(m_slots);
    Reserve(std::max<size_t>(old.size(), 16));
    for (const SSlot& slot : old)
      if (slot.key != 0) Insert(slot.key, slot.value);
  }

  std::vector<SSlot> m_slots;
  size_t m_nUsed = 0;
};

// The digits of a phone number: "+420 601 234 567" and "+420601234567" are one number.
std::string_view DigitsOf(std::string_view number, std::string& out) {
  out.clear();
  for (const char c : number)
    if (c >= '0' && c <= '9') out += c;
  return out;
}

// Whether two numbers (their digits) are one: equal, or the shorter one, long enough to be a
// whole national number, is the end of the other, as "601 234 567" is of "+420 601 234 567"
// and "00420 601 234 567".
bool SameNumber(std::string_view a, std::string_view b) {
  if (a.size() > b.size()) std::swap(a, b);
  return a == b || (a.size() >= 7 && b.ends_with(a));
}

// Whether both records have phone or fax numbers and none of them is one of the other's. IP
// phones are left out: they are addresses more than numbers.
bool NumbersTellApart(const CTreeItem& a, const CTreeItem& b) {
  const auto numbers = [](const CTreeItem& r) {
    return std::array<std::string_view, 6>{
        r.m_strHomePhone.view(),     r.m_strHomeFax.view(),     r.m_strPersonalMobile.view(),
        r.m_strBusinessPhone.view(), r.m_strBusinessFax.view(), r.m_strBusinessMobile.view()};
  };
  const auto ofA = numbers(a), ofB = numbers(b);
  std::array<std::string, 6> digitsA;
  bool anyA = false, anyB = false;
  for (size_t i = 0; i < ofA.size(); ++i) anyA |= !DigitsOf(ofA[i], digitsA[i]).empty();
  if (!anyA) return false;
  std::string digitsB;
  for (const std::string_view number : ofB) {
    if (DigitsOf(number, digitsB).empty()) continue;
    anyB = true;
    for (const std::string& d : digitsA)
      if (!d.empty() && SameNumber(d, digitsB)) return false;
  }
  return anyB;
}

// Whether both records have e-mail addresses and none of them is one of the other's.
bool EmailsTellApart(const SKeys& a, const SKeys& b) {
  if ((!a.personal && !a.business) || (!b.personal && !b.business)) return false;
  for (const std::uint64_t x : {a.personal, a.business})
    if (x && (x == b.personal || x == b.business)) return false;
  return true;
}

// Whether two contacts of one label are two people all the same: a field both have filled in,
// with different values, tells them apart (a different e-mail address, birthday or phone
// number), a field one of them leaves empty does not, so that a phone's card with only a name
// and a number still finds the full record it came from.
bool ToldApart(const CTreeItem& a, const SKeys& keysA, const CTreeItem& b, const SKeys& keysB) {
  if (EmailsTellApart(keysA, keysB)) return true;
  if (IsDateSet(a.m_bBirthday, a.m_dtBirthday) && IsDateSet(b.m_bBirthday, b.m_dtBirthday) &&
      !(a.m_dtBirthday.DateOnly() == b.m_dtBirthday.DateOnly()))
    return true;
  return NumbersTellApart(a, b);
}

// The most contacts of one label a contact is compared with: a file of one name a hundred
// thousand times over stays linear, and a label shared by so many people is no clue anyway.
constexpr size_t kMaxLabelCandidates = 16;

// A contact's place in the list of records a search knows; kNobody for none.
using Place = std::uint32_t;
constexpr Place kNobody = UINT32_MAX;

// The records a search knows, with their keys, in one order.
struct SRecords {
  std::vector<const CTreeItem*> records;
  std::vector<SKeys> keys;
};

// Who had a contact's label and each of its addresses first; kNobody where nobody did.
struct SHolders {
  Place label = kNobody;
  Place personal = kNobody;
  Place business = kNobody;
};

// The contacts known so far: by label and by e-mail address, each key with the place of the
// first contact that had it, and the few next ones of a label that more contacts have. Only a
// repeated label costs more than its slot: a hundred thousand people of different names need no
// more. The keys stay with the records, so the slots are small and a holder's keys are not made
// again for each contact compared with it.
class CKnown {
 public:
  explicit CKnown(const SRecords& known) : m_known(known) {
    m_labels.Reserve(known.records.size());
    m_emails.Reserve(known.records.size() * 2);
  }

  // Adds the keys of the record at place and returns who had each first (place itself for a
  // new key).
  SHolders Add(Place place) {
    const SKeys& keys = m_known.keys[place];
    SHolders h;
    if (keys.label) {
      const auto [first, made] = m_labels.Insert(keys.label, place);
      h.label = *first;
      if (!made) AddMore(keys, place);
    }
    if (keys.personal) h.personal = *m_emails.Insert(keys.personal, place).first;
    if (keys.business) h.business = *m_emails.Insert(keys.business, place).first;
    return h;
  }

  SHolders Lookup(const SKeys& keys) const {
    SHolders h;
    if (keys.label) h.label = Holder(m_labels, keys.label);
    if (keys.personal) h.personal = Holder(m_emails, keys.personal);
    if (keys.business) h.business = Holder(m_emails, keys.business);
    return h;
  }

  // Fills duplicate with the first holder other than record that has one of its addresses, else
  // with the first of its label that nothing tells apart from it; false when there is none.
  bool Describe(const SHolders& h, const CTreeItem& record, const SKeys& keys,
                SDuplicate& duplicate, SFoldBuffers& buffers) const;

 private:
  // The holders of a label after its first: a chain through one array, its ends in a table.
  // Its keys are kept with it: a contact is compared with every holder of its label, one after
  // the other, and each of them is then one read of memory.
  struct SMore {
    Place place;
    std::uint32_t next;
    SKeys keys;
  };
  struct SChain {
    std::uint32_t first = 0, last = 0, length = 0;
  };
  void AddMore(const SKeys& keys, Place place) {
    const auto index = static_cast<std::uint32_t>(m_more.size());
    const auto [chain, made] = m_moreLabels.Insert(keys.label, {index, index, 1});
    if (!made) {
      if (chain->length + 1 >= kMaxLabelCandidates) return;
      m_more[chain->last].next = index;
      chain->last = index;
      ++chain->length;
    }
    m_more.push_back({place, kNoMore, keys});
  }
  static constexpr std::uint32_t kNoMore = UINT32_MAX;

  static Place Holder(const CKeyTable<Place>& table, std::uint64_t key) {
    const Place* holder = table.Lookup(key);
    return holder ? *holder : kNobody;
  }
  const CTreeItem* RecordAt(Place place) const {
    return place == kNobody ? nullptr : m_known.records[place];
  }
  // Whether the record at place, of record's label key, has record's label and nothing tells the
  // two apart.
  bool LabelAlike(Place place, const SKeys& otherKeys, const CTreeItem& record, const SKeys& keys,
                  SFoldBuffers& buffers) const {
    // The addresses alone tell most namesakes apart, without a look at the other record.
    if (EmailsTellApart(otherKeys, keys)) return false;
    const CTreeItem* other = m_known.records[place];
    return other != &record && !ToldApart(*other, otherKeys, record, keys) &&
           SameFolded(other->m_strLabel.view(), record.m_strLabel.view(), buffers);
  }

  const SRecords& m_known;
  CKeyTable<Place> m_labels;
  CKeyTable<Place> m_emails;
  CKeyTable<SChain> m_moreLabels;
  std::vector<SMore> m_more;
};

bool CKnown::Describe(const SHolders& h, const CTreeItem& record, const SKeys& keys,
                      SDuplicate& duplicate, SFoldBuffers& buffers) const {
  const std::pair<const CTreeItem*, std::string_view> addresses[] = {
      {RecordAt(h.personal), record.m_strPersonalEmail.view()},
      {RecordAt(h.business), record.m_strBusinessEmail.view()}};
  for (const auto& [other, written] : addresses) {
    if (!other || other == &record) continue;
    if (!SameFolded(other->m_strPersonalEmail.view(), written, buffers) &&
        !SameFolded(other->m_strBusinessEmail.view(), written, buffers))
      continue;
    duplicate.strExisting = std::string(other->m_strLabel.view());
    duplicate.reason = EDuplicateReason::sameEmail;
    duplicate.strEmail = std::string(Trimmed(written));
    return true;
  }
  // A label the record itself brought in first has no other holders.
  if (h.label == kNobody || m_known.records[h.label] == &record) return false;
  Place alike =
      LabelAlike(h.label, m_known.keys[h.label], record, keys, buffers) ? h.label : kNobody;
  if (const SChain* chain = alike != kNobody ? nullptr : m_moreLabels.Lookup(keys.label))
    for (std::uint32_t i = chain->first; i != kNoMore && alike == kNobody; i = m_more[i].next)
      if (LabelAlike(m_more[i].place, m_more[i].keys, record, keys, buffers))
        alike = m_more[i].place;
  if (alike == kNobody) return false;
  duplicate.strExisting = std::string(m_known.records[alike]->m_strLabel.view());
  duplicate.reason = EDuplicateReason::sameLabel;
  return true;
}

// The contacts known so far by their UID (those that have one), each UID with the place of the
// first contact that had it. The UIDs are found by their hashes; a UID whose hash another one
// took first is kept apart by its text.
class CUidHolders {
 public:
  explicit CUidHolders(const SRecords& known) : m_known(known) {
    m_holders.Reserve(known.records.size());
  }
  // Adds the UID of the record at place when it is new; returns who had it first (place itself
  // for a new one), kNobody for a record without UID.
  Place Add(Place place) {
    const std::uint64_t hash = m_known.keys[place].uid;
    if (!hash) return kNobody;
    const auto [first, made] = m_holders.Insert(hash, place);
    const std::string_view uid = UidOf(*m_known.records[place]);
    if (made || UidOf(*m_known.records[*first]) == uid) return *first;
    return m_collided.try_emplace(uid, place).first->second;
  }
  // The first holder of uid, whose hash is hash (0 when there is no UID).
  Place Lookup(std::uint64_t hash, std::string_view uid) const {
    if (!hash) return kNobody;
    const Place* first = m_holders.Lookup(hash);
    if (!first) return kNobody;
    if (UidOf(*m_known.records[*first]) == uid) return *first;
    const auto found = m_collided.find(uid);
    return found == m_collided.end() ? kNobody : found->second;
  }
  const CTreeItem* RecordAt(Place place) const {
    return place == kNobody ? nullptr : m_known.records[place];
  }

 private:
  const SRecords& m_known;
  CKeyTable<Place> m_holders;
  std::unordered_map<std::string_view, Place> m_collided;
};

// Fills duplicate when holder, the first contact with record's UID, is another one.
bool DescribeSameUid(const CTreeItem* holder, const CTreeItem& record, SDuplicate& duplicate) {
  if (!holder || holder == &record) return false;
  duplicate.strExisting = std::string(holder->m_strLabel.view());
  duplicate.reason = EDuplicateReason::sameUid;
  return true;
}

void FoldInto(std::string_view utf8, std::string& folded) {
  utf8 = Trimmed(utf8);
  folded.clear();
  const locale_t locale = UnicodeCType();
  size_t pos = 0;
  while (pos < utf8.size()) {
    if (static_cast<unsigned char>(utf8[pos]) < 0x80) {
      // A run of ASCII, lower-cased in place once appended.
      size_t end = pos + 1;
      while (end < utf8.size() && static_cast<unsigned char>(utf8[end]) < 0x80) ++end;
      const size_t at = folded.size();
      folded.append(utf8.data() + pos, end - pos);
      for (size_t i = at; i < folded.size(); ++i) folded[i] = AsciiLower(folded[i]);
      pos = end;
      continue;
    }
    const size_t start = pos;
    const char32_t c = DecodeUtf8(utf8, pos);
    const bool malformed = c == 0xFFFD && utf8.compare(start, pos - start, "\xEF\xBF\xBD") != 0;
    if (malformed) {
      folded.append(utf8.substr(start, pos - start));
    } else if (locale) {
      AppendUtf8(folded, static_cast<char32_t>(::towlower_l(static_cast<wint_t>(c), locale)));
    } else {
      // Without the C library's Unicode tables, the code page's letters at least.
      folded += LowerCase(utf8.substr(start, pos - start));
    }
  }
}

}  // namespace

std::string FoldForComparison(std::string_view utf8) {
  std::string folded;
  FoldInto(utf8, folded);
  return folded;
}

std::string SDuplicate::ReasonText() const {
  std::string text = reason == EDuplicateReason::sameLabel ? "same label"
                     : reason == EDuplicateReason::sameUid ? "same UID"
                                                           : "same e-mail address " + strEmail;
  if (bEarlierInFile) text += " (earlier in the file)";
  return text;
}

std::vector<SDuplicate> CForeignImport::FindDuplicates(
    const CTreeItem& contactsRoot, const std::function<void()>& meanwhile) const {
  SRecords here, imported;
  WalkSubtreeWhile(contactsRoot, [&](const CTreeItem& record) {
    if (&record != &contactsRoot) here.records.push_back(&record);
    return true;
  });
  imported.records.reserve(m_contacts.size());
  for (const SForeignContact& contact : m_contacts)
    imported.records.push_back(contact.pRecord.get());
  std::vector<SDuplicate> duplicates;
  // From here on only the lists are read: the contacts may move into the database meanwhile.
  auto search = [&] {
    // Two long lists take a thread each; else the long one is shared out. Beside meanwhile the
    // search keeps to its one thread: a third would take the processor from meanwhile's.
    const bool alone = !meanwhile;
    const bool both = alone && here.records.size() >= kKeysOnTwoThreads &&
                      imported.records.size() >= kKeysOnTwoThreads;
    auto hereAll = [&] { here.keys = KeysOfAll(here.records, alone && !both); };
    auto importedAll = [&] { imported.keys = KeysOfAll(imported.records, alone && !both); };
    if (both) {
      RunBeside(hereAll, importedAll);
    } else {
      hereAll();
      importedAll();
    }
    CKnown existing(here), earlier(imported);
    CUidHolders existingUids(here), earlierUids(imported);
    for (Place i = 0; i < here.records.size(); ++i) {
      (void)existing.Add(i);
      (void)existingUids.Add(i);
    }
    SFoldBuffers folded;
    for (Place i = 0; i < imported.records.size(); ++i) {
      const CTreeItem& record = *imported.records[i];
      const SKeys& keys = imported.keys[i];
      // Added whether skipped or not: the next contact like it is a duplicate too.
      const SHolders inFile = earlier.Add(i);
      const Place uidInFile = earlierUids.Add(i);
      SDuplicate duplicate;
      duplicate.nContact = i;
      if (DescribeSameUid(existingUids.RecordAt(existingUids.Lookup(keys.uid, UidOf(record))),
                          record, duplicate) ||
          existing.Describe(existing.Lookup(keys), record, keys, duplicate, folded)) {
        duplicates.push_back(std::move(duplicate));
      } else if (DescribeSameUid(earlierUids.RecordAt(uidInFile), record, duplicate) ||
                 earlier.Describe(inFile, record, keys, duplicate, folded)) {
        duplicate.bEarlierInFile = true;
        duplicates.push_back(std::move(duplicate));
      }
    }
  };
  if (meanwhile)
    RunBeside(meanwhile, search);
  else
    search();
  return duplicates;
}

}  // namespace zorvan
