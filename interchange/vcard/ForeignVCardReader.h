#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "interchange/vcard/ForeignVCardFile.h"
#include "interchange/vcard/VCardGatherer.h"
#include "interchange/vcard/VCardMapping.h"
#include "interchange/vcard/VCardProperty.h"
#include "interchange/vcard/VCardValue.h"

namespace zorvan {

// Reads the cards of a stretch of a vCard file's text onto records, one card after the other:
// each property goes to its field, or, when the record has no field for it or the field is
// taken, into a readable line of the remark.
class CForeignVCardReader {
 public:
  // base gives the defaults of a new record. It is made by the caller's thread: a new record
  // asks for the time of day, which the reader's second thread must not.
  // guess is the code page guess shared by the readers of one file's pieces (or none).
  CForeignVCardReader(std::string_view text, const SForeignReadHooks& hooks, const CTreeItem& base,
                      CFileCodePageGuess* guess = nullptr);

  // Reads every card whose BEGIN line starts from from on and before limit (from must be where
  // a card starts, or 0); the cards are read with all of the text after them in view, just as
  // when the text is read from its start. Returns where the first card at or past limit starts,
  // else the text's size.
  size_t Run(size_t from = 0, size_t limit = std::string_view::npos);

  // What each of a record's kept properties says, in the words a line of the remark gives it
  // ("Phone (home): 45678901"); empty for a line that only labels another (X-ABLabel). The
  // lines are read as a card of their own whose fields are all taken.
  static std::vector<std::string> Describe(const std::vector<std::string>& lines);

 private:
  // What a property is read by: its name in upper case, the member that reads it, and what
  // that member is told (the field and the remark's word for the value).
  struct SHandler {
    std::string_view name;
    void (CForeignVCardReader::*read)(const SHandler&, const SParams&, std::string_view label);
    // Pictures and keys are noted, never decoded.
    bool decode = true;
    std::string_view text = {};
    const SPropertyMapping* mapping = nullptr;
  };
  static const SHandler kHandlers[];
  static const SHandler* FindHandler(std::string_view name);

  void ReadCard();
  void StartCard();
  void ReadProperty(const SProperty& p, const SParams& params, std::string_view label);
  void Finish();

  // Mapping
  bool Put(EField f, std::string_view text);
  bool Free(EField f) const { return !m_bDescribe && (m_record.get()->*TextMember(f)).empty(); }
  void PutOrKeep(EField f, std::string_view remark, std::string_view text);
  void Remark(std::string_view label, std::string_view value);
  // The property being read has no place in the record: its whole line is kept, else (when
  // describing, or past the most a card keeps) the remark says what it held.
  void Keep(std::string_view label, std::string_view value);
  bool KeepLine();
  std::string ContentLine() const;
  bool KeepText(std::string line);
  void AppendRemarkLine(std::string_view text);
  std::string Label(std::string_view what, std::uint32_t flags, std::string_view custom,
                    std::string_view abLabel) const;

  // The readers of the properties, by the handler table.
  using SH = SHandler;
  void OnNothing(const SH&, const SParams&, std::string_view) {}
  void OnBlob(const SH& h, const SParams&, std::string_view);
  void OnPhoto(const SH& h, const SParams& params, std::string_view);
  void OnSound(const SH& h, const SParams& params, std::string_view);
  void OnText(const SH& h, const SParams&, std::string_view);
  void OnRemark(const SH& h, const SParams&, std::string_view);
  void OnRelation(const SH& h, const SParams&, std::string_view);
  void OnIm(const SH& h, const SParams& params, std::string_view label);
  void OnFileAs(const SH&, const SParams&, std::string_view);
  void OnDate(const SH& h, const SParams& params, std::string_view);
  void OnAddress(const SH&, const SParams& params, std::string_view label);
  void OnAgent(const SH&, const SParams&, std::string_view);
  void OnCategories(const SH&, const SParams&, std::string_view);
  void OnEmail(const SH&, const SParams& params, std::string_view label);
  void OnUrl(const SH&, const SParams& params, std::string_view label);
  void OnFormattedName(const SH&, const SParams&, std::string_view);
  void OnGender(const SH&, const SParams&, std::string_view);
  void OnImpp(const SH&, const SParams& params, std::string_view label);
  void OnLabel(const SH&, const SParams& params, std::string_view label);
  void OnName(const SH&, const SParams&, std::string_view);
  void OnNote(const SH&, const SParams&, std::string_view);
  void OnOrganization(const SH&, const SParams&, std::string_view);
  void OnRelated(const SH&, const SParams& params, std::string_view);
  void OnPhone(const SH&, const SParams& params, std::string_view label);
  void OnAbDate(const SH&, const SParams& params, std::string_view label);
  void OnExtensionGender(const SH&, const SParams&, std::string_view);
  void OnOutlookGender(const SH&, const SParams&, std::string_view);
  void OnRelatedNames(const SH&, const SParams&, std::string_view label);
  void OnSip(const SH&, const SParams& params, std::string_view label);
  void OnOutlookPhone(const SH&, const SParams& params, std::string_view);
  void OnAndroidCustom(const SH&, const SParams&, std::string_view);
  void OnIdentity(const SH& h, const SParams&, std::string_view);
  void OnOwnProperty(std::string_view name);

  void ReadPostal(const SPostalMapping& side, const std::string* parts);
  void ReadIpPhone(std::string_view address, std::uint32_t flags, std::string_view label);
  bool PutIpPhone(std::string_view text, std::uint32_t flags);
  void ReadIm(std::string_view service, std::string_view uri, std::string_view handle,
              std::uint32_t flags);
  void ReadEmailOrWeb(const SAddressPairMapping& m, const SParams& params, std::string_view label);
  void ReadDate(const SPropertyMapping& m, const SParams& params);
  void ReadGender(std::string_view value);
  void ReadRelation(std::string_view kind, std::string_view name);
  void NoteBlob(std::string_view what);
  std::string DefaultLabel() const;
  bool HoldsNothing() const;

  std::string_view m_text;
  CVCardGatherer m_gatherer;
  CUndeclaredCharset m_undeclared;
  const SForeignReadHooks& m_hooks;
  CTreeItem m_prototype;
  bool m_bCopyPrototype = false;  // it holds a text: a new record is a copy of it
  std::string m_strUnknown;       // the label of a new record

  // The card being read.
  std::unique_ptr<CTreeItem> m_record;
  CTextArena m_texts;  // the records' texts, a block for many
  // The block a card's texts are set in, handed from card to card (see StartCard).
  CRecordTexts m_roomForTexts;
  static constexpr size_t kTextsRoom = 1024;
  struct SAbLabel {
    std::string_view group, label, line;
    bool kept;
  };
  std::vector<SAbLabel> m_abLabels;
  std::string m_strNote, m_strExtra, m_strChildren;
  std::vector<std::string> m_categories;
  std::vector<std::string> m_addressLabels;
  std::vector<std::string> m_addressLabelLines;  // the LABEL lines, kept when no ADR was read
  std::string m_strFileAs, m_strFileAsLine;      // X-EVOLUTION-FILE-AS and its line
  // The property being read, and whether its line was kept already.
  const SProperty* m_pProperty = nullptr;
  bool m_bKept = false;
  bool m_bDecoded = false;     // m_value holds its value
  bool m_bGroupsRead = false;  // the CATEGORIES of the groups, on a card of this program's
  size_t m_nKeptBytes = 0;
  bool m_bDescribe = false;  // every field taken: what has no place goes to the remark
  bool m_bTavorin = false, m_bLabel = false, m_bName = false, m_bAddress = false;
  std::uint32_t m_blobs = 0;
  int m_nPrefEmail = -1, m_nPrefUrl = -1;
  std::optional<int> m_tavorinGender, m_tavorinEmail, m_tavorinUrl;
  std::optional<std::string> m_tavorinChildren;

  // The value of the property being read, and scratch space reused from value to value.
  CVCardValue m_value;
  std::string m_parts[7];
  std::string m_strRemark;
  // Where each line of m_strExtra starts and ends, by the hash of its text: a line already
  // there is found without reading the remark again.
  std::unordered_multimap<std::uint64_t, std::pair<size_t, size_t>> m_remarkLines;
};

}  // namespace zorvan
