#include "interchange/OtherImport.h"

#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <climits>
#include <unordered_map>
#include <utility>

#include "interchange/FieldList.h"
#include "interchange/OtherCsvReader.h"
#include "interchange/OtherVCardReader.h"
#include "res/CodePage.h"
#include "res/StringTable.h"
#include "store/AtomicFile.h"
#include "store/TreeItem.h"
#include "store/ZorvanDoc.h"

namespace zorvan {
namespace {

// The case mapping of the whole of Unicode, as the C library knows it; the code page's own
// lower-casing covers only the letters one code page holds, and a phone's address book
// mixes Czech, Polish and German names in one file.
locale_t UnicodeCType() {
  static const locale_t locale = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  return locale;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The file's name without its folder and its extension.
std::string BaseName(const std::string& path) {
  const size_t slash = path.rfind('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return std::string(Trimmed(name));
}

// text with %1, %2, ... replaced by the values, in one pass so that a value holding "%2"
// (a file may be named so) stays as it is.
std::string Formatted(const std::string& text, const std::vector<std::string>& values) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const size_t n = i + 1 < text.size() ? static_cast<size_t>(text[i + 1] - '1') : values.size();
    if (text[i] == '%' && n < values.size()) {
      out += values[n];
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

// The indicator counts in int; the file read whole is at most kMaxWholeFileBytes.
int IndicatorPosition(size_t n) { return static_cast<int>(std::min<size_t>(n, INT_MAX)); }

// What a contact is recognised by: its label and its two e-mail addresses, each folded.
struct SKeys {
  std::string label;
  std::string personal;
  std::string business;
};

SKeys KeysOf(const CTreeItem& record) {
  return {FoldForComparison(record.m_strLabel.view()),
          FoldForComparison(record.m_strPersonalEmail.view()),
          FoldForComparison(record.m_strBusinessEmail.view())};
}

// The contacts known so far by label and by e-mail address, each key with the first contact
// that had it.
struct SKnown {
  std::unordered_map<std::string, const CTreeItem*> labels;
  std::unordered_map<std::string, const CTreeItem*> emails;

  void Add(SKeys&& keys, const CTreeItem* record) {
    if (!keys.label.empty()) labels.try_emplace(std::move(keys.label), record);
    if (!keys.personal.empty()) emails.try_emplace(std::move(keys.personal), record);
    if (!keys.business.empty()) emails.try_emplace(std::move(keys.business), record);
  }

  // Fills duplicate with the first match of keys (label, then the personal and the business
  // address); false when none matches.
  bool Match(const SKeys& keys, const CTreeItem& record, SDuplicate& duplicate) const {
    if (!keys.label.empty()) {
      if (const auto it = labels.find(keys.label); it != labels.end()) {
        duplicate.strExisting = std::string(it->second->m_strLabel.view());
        duplicate.reason = EDuplicateReason::sameLabel;
        return true;
      }
    }
    const std::pair<const std::string*, std::string_view> addresses[] = {
        {&keys.personal, record.m_strPersonalEmail.view()},
        {&keys.business, record.m_strBusinessEmail.view()}};
    for (const auto& [key, written] : addresses) {
      if (key->empty()) continue;
      if (const auto it = emails.find(*key); it != emails.end()) {
        duplicate.strExisting = std::string(it->second->m_strLabel.view());
        duplicate.reason = EDuplicateReason::sameEmail;
        duplicate.strEmail = std::string(Trimmed(written));
        return true;
      }
    }
    return false;
  }
};

}  // namespace

std::string FoldForComparison(std::string_view utf8) {
  utf8 = Trimmed(utf8);
  std::string folded;
  folded.reserve(utf8.size());
  const locale_t locale = UnicodeCType();
  size_t pos = 0;
  while (pos < utf8.size()) {
    const auto byte = static_cast<unsigned char>(utf8[pos]);
    if (byte < 0x80) {
      folded += static_cast<char>(byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte);
      ++pos;
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
          value = n == 1 ? "male" : n == 2 ? "female" : "";
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
  std::string text =
      reason == EDuplicateReason::sameLabel ? "same label" : "same e-mail address " + strEmail;
  if (bEarlierInFile) text += " (earlier in the file)";
  return text;
}

COtherImport::COtherImport() : m_order(LocaleDateOrder()) {}

COtherImport::~COtherImport() = default;

const CTreeItem* COtherImport::First() const {
  return m_contacts.empty() ? nullptr : m_contacts.front().pRecord.get();
}

STransferResult COtherImport::Open(const std::string& path, const STransferCallbacks& callbacks) {
  m_contacts.clear();
  m_strPath = path;
  m_strGroup = BaseName(path);
  if (m_strGroup.empty()) m_strGroup = LoadString(IDS_OTHER_IMPORT_GROUP);
  m_strLayout.clear();
  m_pGroup = nullptr;
  m_nAdded = m_nSkipped = 0;

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
    SOtherReadHooks hooks;
    hooks.onContact = [this](SForeignContact&& contact) {
      if (contact.pRecord) m_contacts.push_back(std::move(contact));
    };
    if (indicator)
      hooks.onProgress = [indicator](size_t done) {
        indicator->SetPosition(IndicatorPosition(done));
      };
    ReadOtherVCards(bytes, hooks);
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

STransferResult COtherImport::ReadDelimited(std::string_view bytes,
                                            const STransferCallbacks& callbacks) {
  COtherCsvFile file;
  if (!file.Parse(bytes)) return {ETransferOutcome::failed, IDS_OTHER_IMPORT_EMPTY, {}};
  std::vector<ColumnBinding> bindings = file.Bindings();
  if (file.IsKnownLayout()) m_strLayout = std::string(file.LayoutName());
  IImportPrompts* prompts = callbacks.pPrompts;
  if (prompts) {
    // The delimiter is not asked: the reader found it. The user may correct the bindings.
    prompts->NoteLayout(m_strLayout);
    if (!prompts->AskBindings(std::string(file.Delimiter()), bindings))
      return {ETransferOutcome::cancelled, 0, {}};
  } else if (!file.IsKnownLayout()) {
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

std::vector<SDuplicate> COtherImport::FindDuplicates(const CTreeItem& contactsRoot) const {
  SKnown existing;
  WalkSubtreeWhile(contactsRoot, [&](const CTreeItem& record) {
    if (&record != &contactsRoot) existing.Add(KeysOf(record), &record);
    return true;
  });
  SKnown earlier;
  std::vector<SDuplicate> duplicates;
  for (size_t i = 0; i < m_contacts.size(); ++i) {
    const CTreeItem& record = *m_contacts[i].pRecord;
    SKeys keys = KeysOf(record);
    SDuplicate duplicate;
    duplicate.nContact = i;
    if (existing.Match(keys, record, duplicate)) {
      duplicates.push_back(std::move(duplicate));
    } else if (earlier.Match(keys, record, duplicate)) {
      duplicate.bEarlierInFile = true;
      duplicates.push_back(std::move(duplicate));
    }
    // A contact skipped or not, the next one like it is a duplicate too.
    earlier.Add(std::move(keys), &record);
  }
  return duplicates;
}

STransferResult COtherImport::AddTo(CZorvanDoc& doc, const std::vector<bool>& skip) {
  m_pGroup = nullptr;
  m_nAdded = m_nSkipped = 0;
  CTreeItem* root = doc.ContactsRoot();
  if (!root) return {ETransferOutcome::failed, IDS_IMPORT_ERROR, {}};
  auto group = std::make_unique<CTreeItem>();
  group->m_strLabel = m_strGroup;
  group->m_bGroup = 1;
  // The groups of the contacts' group paths, by their path from the new group down; the
  // labels are joined with a byte no label holds.
  std::unordered_map<std::string, CTreeItem*> groups;
  for (size_t i = 0; i < m_contacts.size(); ++i) {
    SForeignContact& contact = m_contacts[i];
    if (!contact.pRecord) continue;  // added before
    if (i < skip.size() && skip[i]) {
      ++m_nSkipped;
      continue;
    }
    CTreeItem* parent = group.get();
    std::string key;
    for (const std::string& label : contact.groupPath) {
      key += label;
      key += '\x1F';
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

std::string COtherImport::MessageText(const STransferResult& result) const {
  std::string text = Formatted(LoadString(result.nMessage), {std::to_string(m_nAdded), m_strGroup});
  if (m_nSkipped != 0 && result.nMessage != IDS_OTHER_IMPORT_ALL_SKIPPED)
    text += " " + Formatted(LoadString(IDS_OTHER_IMPORT_SKIPPED), {std::to_string(m_nSkipped)});
  return text;
}

std::string COtherImport::PreviewText() const {
  const size_t slash = m_strPath.rfind('/');
  return Formatted(
      LoadString(IDS_OTHER_IMPORT_PREVIEW),
      {std::to_string(Count()),
       slash == std::string::npos ? m_strPath : m_strPath.substr(slash + 1), m_strGroup});
}

}  // namespace zorvan
