#include "interchange/ForeignImport.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "interchange/FieldList.h"
#include "interchange/ForeignImportFile.h"
#include "interchange/Progress.h"
#include "interchange/csv/ForeignCsvReader.h"
#include "interchange/vcard/ForeignVCardFile.h"
#include "res/CodePage.h"
#include "res/StringTable.h"
#include "store/FileRead.h"
#include "store/GenderWords.h"
#include "store/TextUtil.h"
#include "store/TreeItem.h"
#include "store/ZorvanDoc.h"

namespace zorvan {
namespace {

std::string_view Trimmed(std::string_view text) { return Trim(text, kSpaceTabAndLineBreaks); }

// The file's name without its folder and its extension.
std::string BaseName(const std::string& path) {
  const size_t slash = path.rfind('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return std::string(Trimmed(name));
}

}  // namespace

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
  CImportFileBytes file;
  std::string error;
  if (!file.Read(path, error)) return {ETransferOutcome::failed, IDS_IMPORT_OPEN_ERROR, error};
  const std::string_view bytes = file.View();
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
