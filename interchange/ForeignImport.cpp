#include "interchange/ForeignImport.h"

#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "interchange/FieldList.h"
#include "interchange/Progress.h"
#include "interchange/csv/ForeignCsvReader.h"
#include "interchange/vcard/ForeignVCardFile.h"
#include "res/CodePage.h"
#include "res/StringTable.h"
#include "store/FileRead.h"
#include "store/GenderWords.h"
#include "store/TextUtil.h"
#include "store/TreeItem.h"
#include "store/TwoThreads.h"
#include "store/ZorvanDoc.h"

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

// The file's name without its folder and its extension.
std::string BaseName(const std::string& path) {
  const size_t slash = path.rfind('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return std::string(Trimmed(name));
}

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

// What a contact is recognised by: its label and its two e-mail addresses.
struct SKeys {
  std::uint64_t label = 0;
  std::uint64_t personal = 0;
  std::uint64_t business = 0;
};

SKeys KeysOf(const CTreeItem& record, std::string& buffer) {
  return {KeyOf(record.m_strLabel.view(), buffer), KeyOf(record.m_strPersonalEmail.view(), buffer),
          KeyOf(record.m_strBusinessEmail.view(), buffer)};
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

// Who had a contact's label and each of its addresses first; null where nobody did.
struct SHolders {
  const CTreeItem* label = nullptr;
  const CTreeItem* personal = nullptr;
  const CTreeItem* business = nullptr;
};

// The contacts known so far: by label and by e-mail address, each key with the first contact
// that had it, and the few next ones of a label that more contacts have. Only a repeated label
// costs more than its slot: a hundred thousand people of different names need no more.
class CKnown {
 public:
  void Reserve(size_t records) {
    m_labels.Reserve(records);
    m_emails.Reserve(records * 2);
  }

  // Adds the record's keys and returns who had each first (record itself for a new key).
  SHolders Add(const SKeys& keys, const CTreeItem* record) {
    SHolders h;
    if (keys.label) {
      const auto [first, made] = m_labels.Insert(keys.label, record);
      h.label = *first;
      if (!made) AddMore(keys, record);
    }
    if (keys.personal) h.personal = *m_emails.Insert(keys.personal, record).first;
    if (keys.business) h.business = *m_emails.Insert(keys.business, record).first;
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
  struct SMore {
    const CTreeItem* record;
    SKeys keys;
    std::uint32_t next;
  };
  struct SChain {
    std::uint32_t first = 0, last = 0, length = 0;
  };
  void AddMore(const SKeys& keys, const CTreeItem* record) {
    const auto index = static_cast<std::uint32_t>(m_more.size());
    const auto [chain, made] = m_moreLabels.Insert(keys.label, {index, index, 1});
    if (!made) {
      if (chain->length + 1 >= kMaxLabelCandidates) return;
      m_more[chain->last].next = index;
      chain->last = index;
      ++chain->length;
    }
    m_more.push_back({record, keys, kNoMore});
  }
  static constexpr std::uint32_t kNoMore = UINT32_MAX;

  static const CTreeItem* Holder(const CKeyTable<const CTreeItem*>& table, std::uint64_t key) {
    const CTreeItem* const* holder = table.Lookup(key);
    return holder ? *holder : nullptr;
  }
  // Whether other, of record's label key, has record's label and nothing tells the two apart.
  static bool LabelAlike(const CTreeItem* other, const SKeys& otherKeys, const CTreeItem& record,
                         const SKeys& keys, SFoldBuffers& buffers) {
    return other != &record && !ToldApart(*other, otherKeys, record, keys) &&
           SameFolded(other->m_strLabel.view(), record.m_strLabel.view(), buffers);
  }

  CKeyTable<const CTreeItem*> m_labels;
  CKeyTable<const CTreeItem*> m_emails;
  CKeyTable<SChain> m_moreLabels;
  std::vector<SMore> m_more;
};

bool CKnown::Describe(const SHolders& h, const CTreeItem& record, const SKeys& keys,
                      SDuplicate& duplicate, SFoldBuffers& buffers) const {
  const std::pair<const CTreeItem*, std::string_view> addresses[] = {
      {h.personal, record.m_strPersonalEmail.view()},
      {h.business, record.m_strBusinessEmail.view()}};
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
  if (!h.label || h.label == &record) return false;
  std::string buffer;
  const CTreeItem* alike =
      LabelAlike(h.label, KeysOf(*h.label, buffer), record, keys, buffers) ? h.label : nullptr;
  if (const SChain* chain = alike ? nullptr : m_moreLabels.Lookup(keys.label))
    for (std::uint32_t i = chain->first; i != kNoMore && !alike; i = m_more[i].next)
      if (LabelAlike(m_more[i].record, m_more[i].keys, record, keys, buffers))
        alike = m_more[i].record;
  if (!alike) return false;
  duplicate.strExisting = std::string(alike->m_strLabel.view());
  duplicate.reason = EDuplicateReason::sameLabel;
  return true;
}

// The contacts known so far by their UID (those that have one), each UID with the first
// contact that had it.
class CUidHolders {
 public:
  // Adds the record's UID when it is new; returns who had it first (record itself for a new
  // one), null for a record without UID.
  const CTreeItem* Add(const CTreeItem& record) {
    const std::string_view uid = UidOf(record);
    if (uid.empty()) return nullptr;
    return m_holders.try_emplace(uid, &record).first->second;
  }
  const CTreeItem* Lookup(const CTreeItem& record) const {
    const std::string_view uid = UidOf(record);
    if (uid.empty()) return nullptr;
    const auto found = m_holders.find(uid);
    return found == m_holders.end() ? nullptr : found->second;
  }

 private:
  static std::string_view UidOf(const CTreeItem& record) {
    return record.m_pExtras ? std::string_view(record.m_pExtras->uid) : std::string_view();
  }
  std::unordered_map<std::string_view, const CTreeItem*> m_holders;
};

// Fills duplicate when holder, the first contact with record's UID, is another one.
bool DescribeSameUid(const CTreeItem* holder, const CTreeItem& record, SDuplicate& duplicate) {
  if (!holder || holder == &record) return false;
  duplicate.strExisting = std::string(holder->m_strLabel.view());
  duplicate.reason = EDuplicateReason::sameUid;
  return true;
}

}  // namespace

namespace {

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

std::vector<std::pair<std::string, std::string>> StoredFieldTexts(const CTreeItem& record) {
  std::vector<std::pair<std::string, std::string>> rows;
  for (const SFieldInfo& f : FieldList()) {
    std::string name(f.header), value;
    switch (f.kind) {
      case EFieldKind::text:
        value = std::string(Trimmed((record.*f.pText).view()));
        break;
      case EFieldKind::groupFlag:
        if (record.*f.pNumber == 1) value = "yes";
        break;
      case EFieldKind::integer: {
        const int n = record.*f.pNumber;
        if (f.field == fieldGender) {
          if (n == 1 || n == 2) value = AsciiLowerCase(GenderName(n));
        } else {
          name = f.field == fieldPrefEmail ? "Preferred E-mail" : "Preferred Web Page";
          value = n == 0 ? "personal" : n == 1 ? "business" : "";
        }
        break;
      }
      case EFieldKind::date: {
        const CDateTime& date = record.*f.pDate;
        if (!IsDateSet(record.*f.pNumber, date)) break;
        value = std::to_string(date.GetDay()) + ". " + std::to_string(date.GetMonth()) + ".";
        // A nameday is a day of every year.
        if (f.field != fieldNameDay) value += " " + std::to_string(date.GetYear());
        break;
      }
    }
    if (!value.empty()) rows.emplace_back(std::move(name), std::move(value));
  }
  return rows;
}

std::string SDuplicate::ReasonText() const {
  std::string text = reason == EDuplicateReason::sameLabel ? "same label"
                     : reason == EDuplicateReason::sameUid ? "same UID"
                                                           : "same e-mail address " + strEmail;
  if (bEarlierInFile) text += " (earlier in the file)";
  return text;
}

CForeignImport::CForeignImport() : m_order(LocaleDateOrder()) {}

CForeignImport::~CForeignImport() = default;

const CTreeItem* CForeignImport::First() const {
  return m_contacts.empty() ? nullptr : m_contacts.front().pRecord.get();
}

STransferResult CForeignImport::Open(const std::string& path, const STransferCallbacks& callbacks) {
  m_contacts.clear();
  m_strPath = path;
  m_strBaseName = BaseName(path);
  if (m_strBaseName.empty()) m_strBaseName = LoadString(IDS_OTHER_IMPORT_GROUP);
  m_strGroup = m_strBaseName;
  m_strLayout.clear();
  m_pGroup = nullptr;
  m_nAdded = m_nSkipped = m_nFlattened = m_nEmptyCards = 0;

  // The whole file at once: both formats are read from memory, and a FIFO, a device or a
  // file larger than any address book are refused before a byte is read.
  std::string bytes, error;
  if (!ReadWholeFile(path, bytes, error))
    return {ETransferOutcome::failed, IDS_IMPORT_OPEN_ERROR, error};
  ITransferProgress* indicator = callbacks.pProgress;
  m_bVCard = LooksLikeVCardFile(bytes);
  STransferResult result;
  if (m_bVCard) {
    if (indicator) indicator->SetRange(1, IndicatorPosition(std::max<size_t>(bytes.size(), 1)));
    SForeignReadHooks hooks;
    hooks.onContact = [this](SForeignContact&& contact) {
      if (contact.pRecord) m_contacts.push_back(std::move(contact));
    };
    // A card with nothing in it would become a contact named like a new record, and a file of
    // millions of them a database of nothing: such cards are counted and left out.
    hooks.onEmptyCard = [this] { ++m_nEmptyCards; };
    if (indicator)
      hooks.onProgress = [indicator](size_t done) {
        indicator->SetPosition(IndicatorPosition(done));
      };
    ReadForeignVCards(bytes, hooks);
  } else {
    result = ReadDelimited(bytes, callbacks);
  }
  if (indicator) indicator->SetFull();
  if (result.outcome != ETransferOutcome::done) {
    m_contacts.clear();
    return result;
  }
  if (m_contacts.empty()) return {ETransferOutcome::failed, IDS_OTHER_IMPORT_EMPTY, {}};
  return {};
}

STransferResult CForeignImport::ReadDelimited(std::string_view bytes,
                                              const STransferCallbacks& callbacks) {
  CForeignCsvFile file;
  file.SetFirstLineIsData(m_bFirstLineIsData);
  if (!file.Parse(bytes)) {
    if (!file.Error().empty())
      return {ETransferOutcome::failed, IDS_IMPORT_OPEN_ERROR, file.Error()};
    return {ETransferOutcome::failed, IDS_OTHER_IMPORT_EMPTY, {}};
  }
  std::vector<ColumnBinding> bindings = file.Bindings();
  if (file.IsKnownLayout()) m_strLayout = std::string(file.LayoutName());
  IImportPrompts* prompts = callbacks.pPrompts;
  if (prompts) {
    // The delimiter is not asked: the reader found it. The user may correct the bindings.
    prompts->NoteLayout(m_strLayout);
    // A header-less form a known exporter writes is read as that layout says.
    if (file.IsFirstLineData() && !file.IsKnownLayout())
      prompts->NoteFirstLineIsData();
    else if (file.IsBoundByNames())
      prompts->NoteBoundByNames();
    if (!prompts->AskBindings(std::string(file.Delimiter()), bindings))
      return {ETransferOutcome::cancelled, 0, {}};
  } else if (!file.IsKnownLayout() && !file.IsBoundByNames() && !file.IsFirstLineData()) {
    return {ETransferOutcome::cancelled, 0, {}};
  }
  ITransferProgress* indicator = callbacks.pProgress;
  const size_t rows = file.RowCount();
  if (indicator) indicator->SetRange(1, IndicatorPosition(std::max<size_t>(rows, 1)));
  m_contacts.reserve(rows);
  file.ReadContacts(bindings, m_order, [this, indicator](SForeignContact&& contact) {
    if (!contact.pRecord) return;
    m_contacts.push_back(std::move(contact));
    // Now and then: telling the indicator of every row would cost more than reading it.
    if (indicator && m_contacts.size() % 1024 == 0)
      indicator->SetPosition(IndicatorPosition(m_contacts.size()));
  });
  return {};
}

std::vector<SDuplicate> CForeignImport::FindDuplicates(const CTreeItem& contactsRoot) const {
  std::vector<const CTreeItem*> here, imported;
  WalkSubtreeWhile(contactsRoot, [&](const CTreeItem& record) {
    if (&record != &contactsRoot) here.push_back(&record);
    return true;
  });
  imported.reserve(m_contacts.size());
  for (const SForeignContact& contact : m_contacts) imported.push_back(contact.pRecord.get());
  // Two long lists take a thread each; else the long one is shared out.
  const bool both = here.size() >= kKeysOnTwoThreads && imported.size() >= kKeysOnTwoThreads;
  std::vector<SKeys> hereKeys, importedKeys;
  auto hereAll = [&] { hereKeys = KeysOfAll(here, !both); };
  auto importedAll = [&] { importedKeys = KeysOfAll(imported, !both); };
  if (both) {
    RunBeside(hereAll, importedAll);
  } else {
    hereAll();
    importedAll();
  }
  CKnown existing;
  existing.Reserve(here.size());
  CUidHolders existingUids, earlierUids;
  for (size_t i = 0; i < here.size(); ++i) {
    (void)existing.Add(hereKeys[i], here[i]);
    (void)existingUids.Add(*here[i]);
  }
  CKnown earlier;
  earlier.Reserve(m_contacts.size());
  std::vector<SDuplicate> duplicates;
  SFoldBuffers folded;
  for (size_t i = 0; i < m_contacts.size(); ++i) {
    const CTreeItem& record = *m_contacts[i].pRecord;
    const SKeys& keys = importedKeys[i];
    // Added whether skipped or not: the next contact like it is a duplicate too.
    const SHolders inFile = earlier.Add(keys, &record);
    const CTreeItem* uidInFile = earlierUids.Add(record);
    SDuplicate duplicate;
    duplicate.nContact = i;
    if (DescribeSameUid(existingUids.Lookup(record), record, duplicate) ||
        existing.Describe(existing.Lookup(keys), record, keys, duplicate, folded)) {
      duplicates.push_back(std::move(duplicate));
    } else if (DescribeSameUid(uidInFile, record, duplicate) ||
               earlier.Describe(inFile, record, keys, duplicate, folded)) {
      duplicate.bEarlierInFile = true;
      duplicates.push_back(std::move(duplicate));
    }
  }
  return duplicates;
}

void CForeignImport::ChooseGroupName(const CTreeItem& contactsRoot) {
  std::unordered_set<std::string> taken;
  for (size_t i = 0; i < contactsRoot.ChildCount(); ++i)
    taken.insert(FoldForComparison(contactsRoot.Child(i)->m_strLabel.view()));
  m_strGroup = m_strBaseName;
  for (int n = 2; taken.count(FoldForComparison(m_strGroup)) != 0; ++n)
    m_strGroup = m_strBaseName + " (" + std::to_string(n) + ")";
}

STransferResult CForeignImport::AddTo(CZorvanDoc& doc, const std::vector<bool>& skip) {
  m_pGroup = nullptr;
  m_nAdded = m_nSkipped = m_nFlattened = 0;
  CTreeItem* root = doc.ContactsRoot();
  if (!root) return {ETransferOutcome::failed, IDS_IMPORT_ERROR, {}};
  ChooseGroupName(*root);
  auto group = std::make_unique<CTreeItem>();
  group->m_strLabel = m_strGroup;
  group->m_bGroup = 1;
  // The groups of the contacts' group paths, each by its parent and its label: the key costs
  // one label, where a key of the whole path would cost the square of a deep path's length.
  std::unordered_map<std::string, CTreeItem*> groups;
  std::string key;
  for (size_t i = 0; i < m_contacts.size(); ++i) {
    SForeignContact& contact = m_contacts[i];
    if (!contact.pRecord) continue;  // added before
    if (i < skip.size() && skip[i]) {
      ++m_nSkipped;
      continue;
    }
    CTreeItem* parent = group.get();
    // A database deeper than its reader accepts could never be opened again: a contact that
    // lay deeper goes into the deepest group allowed, and the message says how many did.
    const size_t levels = std::min(contact.groupPath.size(), kMaxGroupPathLevels);
    if (levels < contact.groupPath.size()) ++m_nFlattened;
    for (size_t level = 0; level < levels; ++level) {
      const std::string& label = contact.groupPath[level];
      key.assign(reinterpret_cast<const char*>(&parent), sizeof parent);
      key += label;
      auto [it, made] = groups.try_emplace(key, nullptr);
      if (made) {
        auto* sub = new CTreeItem;
        sub->m_strLabel = label;
        sub->m_bGroup = 1;
        CTreeItem::AddChild(parent, sub);
        it->second = sub;
      }
      parent = it->second;
    }
    CTreeItem::AddChild(parent, contact.pRecord.release());
    ++m_nAdded;
  }
  if (m_nAdded == 0) return {ETransferOutcome::done, IDS_OTHER_IMPORT_ALL_SKIPPED, {}};
  m_pGroup = doc.AppendImportedBranch(root, std::move(group));
  if (!m_pGroup) return {ETransferOutcome::failed, IDS_IMPORT_ERROR, {}};
  return {ETransferOutcome::done,
          m_nAdded == 1 ? IDS_OTHER_IMPORT_DONE_ONE : IDS_OTHER_IMPORT_DONE,
          {}};
}

std::string CForeignImport::MessageText(const STransferResult& result) const {
  std::string text = Formatted(LoadString(result.nMessage), {std::to_string(m_nAdded), m_strGroup});
  if (m_nSkipped != 0 && result.nMessage != IDS_OTHER_IMPORT_ALL_SKIPPED)
    text += " " + Formatted(LoadString(IDS_OTHER_IMPORT_SKIPPED), {std::to_string(m_nSkipped)});
  if (m_nFlattened != 0 && m_nAdded != 0)
    text += " " + Formatted(LoadString(IDS_OTHER_IMPORT_FLATTENED),
                            {std::to_string(m_nFlattened), std::to_string(kMaxGroupPathLevels)});
  if (m_nEmptyCards != 0 && m_nAdded != 0)
    text +=
        " " + Formatted(LoadString(IDS_OTHER_IMPORT_EMPTY_CARDS), {std::to_string(m_nEmptyCards)});
  return text;
}

std::string CForeignImport::PreviewText(size_t nImported) const {
  const size_t slash = m_strPath.rfind('/');
  return Formatted(
      LoadString(nImported == 1 ? IDS_OTHER_IMPORT_PREVIEW_ONE : IDS_OTHER_IMPORT_PREVIEW),
      {std::to_string(nImported),
       slash == std::string::npos ? m_strPath : m_strPath.substr(slash + 1), m_strGroup});
}

}  // namespace zorvan
