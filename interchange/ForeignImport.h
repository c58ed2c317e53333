#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "interchange/ForeignContact.h"
#include "interchange/Transfer.h"
#include "store/DateParse.h"

namespace zorvan {

class CTreeItem;
class CZorvanDoc;

// Why an imported contact looks like one the database (or the file) already holds.
enum class EDuplicateReason {
  sameLabel,  // the same label, case ignored, and no e-mail, birthday or phone telling apart
  sameEmail,  // the same e-mail address, personal or business, case ignored
  sameUid,    // the same UID: the same contact by identity, whatever its data say
};

// A contact of the file that looks like a duplicate of another.
struct SDuplicate {
  size_t nContact = 0;      // its place among the file's contacts
  std::string strExisting;  // the label of the contact it looks like
  EDuplicateReason reason = EDuplicateReason::sameLabel;
  std::string strEmail;         // the address both hold, for sameEmail
  bool bEarlierInFile = false;  // the other contact is an earlier one of the same file

  // The reason in words: "same label", "same e-mail address jan@firma.cz", "same UID", each
  // followed by
  // "(earlier in the file)" when the other contact came from the file too.
  std::string ReasonText() const;
};

// A text folded for comparing without case: every letter lower-cased by the Unicode rules
// ("DVOŘÁK" and "dvořák" fold alike, so do "ŁUKASZ" and "łukasz"), surrounding blanks dropped.
// Malformed UTF-8 is kept byte for byte.
std::string FoldForComparison(std::string_view utf8);

// The fields a record holds, as the preview of an import shows them: the name of each field
// that is not empty (the 45-column header's words) and its value in words, in the fields'
// order; a remark keeps its line breaks.
std::vector<std::pair<std::string, std::string>> StoredFieldTexts(const CTreeItem& record);

// Import from Other Programs, in steps so that the user sees what will happen before anything
// is added: Open reads the whole file (a vCard file of any version, else delimited text whose
// column bindings the prompts may correct), the caller looks at the contacts and their likely
// duplicates, and AddTo puts those not skipped into a new group named after the file, so that
// deleting the group undoes the whole import.
class CForeignImport {
 public:
  CForeignImport();
  CForeignImport(const CForeignImport&) = delete;
  CForeignImport& operator=(const CForeignImport&) = delete;
  ~CForeignImport();

  // The order of slash dates in delimited text (the locale's unless set); set before Open.
  void SetDateOrder(EDateOrder order) { m_order = order; }
  // A delimited-text file whose first line is a contact, not a header (the command line's
  // --no-header); without it the reader decides by the line's values.
  void SetFirstLineIsData(bool data) { m_bFirstLineIsData = data; }

  // Reads the file at path. A file whose first lines hold BEGIN:VCARD is read as vCards,
  // any other as delimited text: its columns go to the prompts' AskBindings, preselected when
  // the header is one a known program writes (without prompts only such a file is read). done
  // when contacts were read; cancelled when the bindings were declined; failed (with the
  // Import command's messages) when the file could not be read or holds no contacts.
  STransferResult Open(const std::string& path, const STransferCallbacks& callbacks);

  bool IsVCard() const { return m_bVCard; }
  // The program whose delimited-text layout was recognised; empty for vCards and unknown
  // headers.
  const std::string& LayoutName() const { return m_strLayout; }
  const std::vector<SForeignContact>& Contacts() const { return m_contacts; }
  size_t Count() const { return m_contacts.size(); }
  // The first contact as it will be stored; null when there is none.
  const CTreeItem* First() const;
  // The new group's label: the file's name without folder and extension, and after
  // ChooseGroupName a label no other record directly below the contacts root has.
  const std::string& GroupName() const { return m_strGroup; }
  // Makes the group's label the file's name, or that name with " (2)", " (3)", ... when a
  // record below contactsRoot has it already (the same file imported twice gives two groups
  // told apart). AddTo calls it; a preview calls it first to show the label that will be used.
  void ChooseGroupName(const CTreeItem& contactsRoot);

  // The contacts that look like duplicates, in file order, each once: of a record anywhere
  // below contactsRoot first, else of an earlier contact of the file. A card that holds the
  // UID of another is its duplicate by identity before any likeness; then one of its e-mail
  // addresses held by the other (either address, case ignored); then the other's label, when
  // nothing tells the two apart: a different e-mail address, birthday or phone number on both
  // sides tells apart, a field empty on one side does not (a name alone is no proof, namesakes
  // abound in a large address book). The window's preview and zorvan-cli both ask here.
  // meanwhile, when set, runs on this thread once the records below contactsRoot and the
  // contacts have been listed, while the search goes on beside it: it may move the contacts into
  // the database (AddTo of a command that skips none), but must not change what the search reads
  // of them (labels, addresses, phone numbers, birthdays, UIDs).
  std::vector<SDuplicate> FindDuplicates(const CTreeItem& contactsRoot,
                                         const std::function<void()>& meanwhile = {}) const;

  // Adds the contacts whose skip flag is not set (skip may be shorter than the contacts, or
  // empty: the rest are added) into a new group, the last child of the document's contacts
  // root, with the groups of their group paths below it. The contacts move into the document;
  // a second AddTo adds nothing. When every contact is skipped nothing changes at all.
  STransferResult AddTo(CZorvanDoc& doc, const std::vector<bool>& skip = {});
  // The group AddTo made (null before or when nothing was added), and what it did.
  CTreeItem* AddedGroup() const { return m_pGroup; }
  size_t AddedCount() const { return m_nAdded; }
  size_t SkippedCount() const { return m_nSkipped; }
  // The contacts whose group path went deeper than kMaxGroupPathLevels.
  size_t FlattenedCount() const { return m_nFlattened; }
  // The cards of the file that held nothing at all, left out by Open.
  size_t EmptyCardCount() const { return m_nEmptyCards; }

  // The text of a result of Open or AddTo for the user, its numbers and names filled in.
  std::string MessageText(const STransferResult& result) const;
  // "N contacts will be imported from <file> into a new group "<name>".", N all the contacts
  // or, from a preview whose user skips some, those that remain.
  std::string PreviewText() const { return PreviewText(Count()); }
  std::string PreviewText(size_t nImported) const;

 private:
  STransferResult ReadDelimited(std::string_view bytes, const STransferCallbacks& callbacks);

  std::vector<SForeignContact> m_contacts;
  std::string m_strPath;
  std::string m_strBaseName;
  std::string m_strGroup;
  std::string m_strLayout;
  EDateOrder m_order;
  bool m_bFirstLineIsData = false;
  bool m_bVCard = false;
  CTreeItem* m_pGroup = nullptr;
  size_t m_nAdded = 0;
  size_t m_nSkipped = 0;
  size_t m_nFlattened = 0;
  size_t m_nEmptyCards = 0;
};

}  // namespace zorvan
