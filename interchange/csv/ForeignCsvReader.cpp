#include "interchange/csv/ForeignCsvReader.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <memory>
#include <utility>

#include "interchange/CodePageGuess.h"
#include "interchange/FieldList.h"
#include "interchange/TextImport.h"
#include "interchange/csv/ColumnDictionary.h"
#include "interchange/csv/ForeignCsvLayouts.h"
#include "interchange/csv/ForeignCsvSplit.h"
#include "res/CodePage.h"
#include "store/FileRead.h"
#include "store/GenderWords.h"
#include "store/RecordTexts.h"
#include "store/TextUtil.h"
#include "store/TreeItem.h"

namespace zorvan {
namespace {

using namespace foreign_csv;

// ---------------------------------------------------------------------------------------------
// Decoding

// How many of the first line's names a known layout writes, split at whichever delimiter makes
// the most of them known.
size_t KnownNamesOfFirstLine(std::string_view line) {
  size_t most = 0, count = 0;
  std::vector<std::string> names;
  for (char delimiter : {',', ';', '\t'}) {
    ReadRecord(line, 0, delimiter, &names, count);
    const auto known = std::count_if(names.begin(), names.begin() + static_cast<long>(count),
                                     [](const std::string& name) { return IsKnownName(name); });
    most = std::max(most, static_cast<size_t>(known));
  }
  return most;
}

// Text in an 8-bit code page it does not name. Given a few accented names the detector takes
// a western export for a central European one (or the reverse), but a known export's column
// names are known words: of the program's own two code pages, one that makes more of the first
// line's names known ones wins over the detector's answer.
std::string DecodeUndeclaredCsv(std::string_view text) {
  CCodePageSample sample;
  sample.AddLines(text);
  std::string best = GuessCodePage(sample.Text());
  const std::string_view line = text.substr(0, text.find_first_of("\r\n"));
  if (!IsAscii(line)) {
    size_t most = KnownNamesOfFirstLine(DecodeCodePage(best, line));
    for (std::string_view name : {"WINDOWS-1252", "WINDOWS-1250"}) {
      const size_t known = KnownNamesOfFirstLine(DecodeCodePage(name, line));
      if (known > most) {
        most = known;
        best = name;
      }
    }
  }
  return DecodeCodePage(best, text);
}

// The file as UTF-8: a byte-order mark decides; unmarked bytes are UTF-8 when they are valid
// UTF-8, else in the code page the detector finds in the lines that are not (the active code
// page when it finds none better, the other of the program's own when the header's names say
// so). A file marked as UTF-8 keeps its good characters even where some bytes are broken.
std::string DecodeFile(std::string_view bytes) {
  std::string storage;
  EFileStart start = EFileStart::plain;
  const std::string_view text = TextAfterFileStart(bytes, storage, start);
  switch (start) {
    case EFileStart::utf8Mark:
      return IsWellFormedUtf8(text) ? std::string(text) : RepairUtf8(text);
    case EFileStart::utf16LittleEndian:
    case EFileStart::utf16BigEndian:
      return storage;
    case EFileStart::plain:
      break;
  }
  return IsWellFormedUtf8(text) ? std::string(text) : DecodeUndeclaredCsv(text);
}

// ---------------------------------------------------------------------------------------------
// Reading rows

template <size_t N>
bool IsOneOfIgnoringAsciiCase(std::string_view text, const std::string_view (&words)[N]) {
  return std::any_of(std::begin(words), std::end(words),
                     [text](std::string_view word) { return SameIgnoringAsciiCase(word, text); });
}

// Values that, in the columns that carry them, only say "nothing" or "the usual".
bool IsNoise(std::string_view value) {
  static constexpr std::string_view kNoise[] = {
      "normal",      "aus", "off",  "false",    "nein", "no",    "keine angabe",
      "unspecified", "0",   "標準", "指定なし", "なし", "いいえ"};
  return IsOneOfIgnoringAsciiCase(value, kNoise);
}

// True for a date that is all zeros, as "0.0.00" or "00.00.0000": no date at all.
bool IsZeroDate(std::string_view value) {
  return value.find_first_of("123456789") == std::string_view::npos;
}

// A gender in the words the exporters use, or in the program's own numbers 1 and 2 (a column
// of the 45-column layout): 1 male, 2 female, 0 unknown (a value that only says "nothing"
// counts as unknown); -1 when the text names none of these.
int ParseGender(std::string_view value) {
  if (value == "1" || value == "2") return value[0] - '0';
  const int gender = GenderOfWord(value);
  return gender < 0 && IsNoise(value) ? 0 : gender;
}

bool IsNotesName(std::string_view name) {
  static constexpr std::string_view kNotes[] = {"notes", "note",   "notizen",
                                                "メモ",  "remark", "comments"};
  return IsOneOfIgnoringAsciiCase(name, kNotes);
}

// A list of groups ("* My Contacts ::: Friends", "Freunde;Meine Kontakte") as "Friends, ...":
// the webmail's marker of its own all-contacts group is left out, and the star that marks its
// system groups is taken off the others.
std::string CleanGroups(std::string_view value) {
  const std::string_view separator = value.find(" ::: ") != std::string_view::npos ? " ::: " : ";";
  std::string out;
  size_t pos = 0;
  for (;;) {
    const size_t end = value.find(separator, pos);
    std::string_view item =
        Trim(value.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos));
    if (item.substr(0, 2) == "* ") item = Trim(item.substr(2));
    const bool own =
        SameIgnoringAsciiCase(item, "my contacts") || SameIgnoringAsciiCase(item, "mycontacts");
    if (!item.empty() && !own) {
      if (!out.empty()) out += ", ";
      out += item;
    }
    if (end == std::string_view::npos) break;
    pos = end + separator.size();
  }
  return out;
}

// What ReadContacts works out once per file for each binding.
struct SPlanned {
  size_t column;
  int target;
  const SColumnRole* role;  // null when the column's preselection was changed
  std::string_view header;
};

void SetText(CTreeItem& record, const SFieldInfo& field, std::string_view value) {
  record.*field.pText = value;
}

bool IsFieldTarget(int target) { return target > targetNothing && target < kTargetCount; }

// Turns the rows of one file into records, one row at a time; its buffers serve every row.
class CRowReader {
 public:
  CRowReader(const std::vector<std::string>& header, EDateOrder order)
      : m_header(header), m_order(order) {}

  // The record of one row; null when the row holds no value.
  std::unique_ptr<CTreeItem> Read(const std::vector<SPlanned>& plan,
                                  const std::vector<std::string>& fields, size_t count);

 private:
  // A whole address in one value, kept until every part of the row is read.
  struct SDeferred {
    int target;
    std::string label, value;
  };

  // A field's value with the further lines joined to it (a street's second and third line),
  // kept until the row is read so that joining many costs no more than their length.
  struct SJoined {
    int target;
    std::string text;
  };

  void Reset();
  void WriteJoined(CTreeItem& record);
  void ReadColumn(CTreeItem& record, const SPlanned& p, const std::vector<std::string>& fields,
                  size_t count);
  void SplitValues(std::string_view separator);
  void FurtherValues(std::string_view label);
  int TypedTarget(const SPlanned& p, const SColumnRole& role,
                  const std::vector<std::string>& fields, size_t count, bool& starred);
  void ReadBeyondHeader(const std::vector<std::string>& fields, size_t count);
  void ReadBirthDate(CTreeItem& record);
  void ReadWholeAddresses(CTreeItem& record);
  void JoinRemark(CTreeItem& record) const;
  static void MakeLabel(CTreeItem& record);

  void Line(std::string_view label, std::string_view value) {
    m_any = true;
    m_lines.emplace_back(label);
    m_lines.back() += ": ";
    m_lines.back() += value;
  }
  // Puts value into target's field, or into the remark as "label: value" when the field has a
  // value already or cannot take this one.
  void Put(CTreeItem& record, int target, std::string_view label, std::string_view value,
           bool append, bool notes);

  const std::vector<std::string>& m_header;
  EDateOrder m_order;
  std::array<bool, kTargetCount> m_filled{};
  std::string m_notes;
  std::vector<std::string> m_lines;
  bool m_any = false;
  std::string m_value, m_type, m_label;
  std::vector<std::string> m_more;  // the further values of a column that joins several
  std::vector<SDeferred> m_formatted;
  std::vector<SJoined> m_joined;
  std::array<std::string, 3> m_birth;  // year, month, day
  std::array<std::string_view, 3> m_birthLabels;
};

void CRowReader::Put(CTreeItem& record, int target, std::string_view label, std::string_view value,
                     bool append, bool notes) {
  if (target == targetRemark) {
    if (notes && m_notes.empty()) {
      m_notes = value;
      m_any = true;
    } else {
      Line(label, value);
    }
    return;
  }
  const SFieldInfo* field = FieldByTarget(target);
  if (!field) return;  // bound to nothing: the user's choice
  if (m_filled[target]) {
    if (field->kind == EFieldKind::text) {
      const auto joined = std::find_if(m_joined.begin(), m_joined.end(),
                                       [target](const SJoined& j) { return j.target == target; });
      const std::string_view current =
          joined != m_joined.end() ? std::string_view(joined->text) : (record.*field->pText).view();
      // The same text again says nothing new (the oldest webmail export repeats the first
      // address of its first section in its own "E-mail" column).
      if (current == value) return;
      if (append) {
        std::string& text = joined != m_joined.end()
                                ? joined->text
                                : m_joined.emplace_back(SJoined{target, std::string(current)}).text;
        text += "\r\n";
        text += value;
        return;
      }
    }
    Line(label, value);
    return;
  }
  switch (field->kind) {
    case EFieldKind::text:
      SetText(record, *field, value);
      break;
    case EFieldKind::integer:
      if (field->field == fieldGender) {
        const int gender = ParseGender(value);
        if (gender < 0) {
          Line(label, value);
          return;
        }
        if (gender == 0) return;
        record.*field->pNumber = gender;
      } else {
        record.*field->pNumber = ParseInteger(value);
      }
      break;
    case EFieldKind::groupFlag:
      record.*field->pNumber = ParseInteger(value) == 1 ? 1 : 0;
      break;
    case EFieldKind::date:
      if (IsZeroDate(value)) return;
      if (!ParseDateValue(value, record.*field->pDate, m_order)) {
        Line(label, value);
        return;
      }
      record.*field->pNumber = 1;
      break;
  }
  m_filled[target] = true;
  m_any = true;
}

void CRowReader::Reset() {
  m_filled.fill(false);
  m_notes.clear();
  m_lines.clear();
  m_any = false;
  m_formatted.clear();
  m_joined.clear();
  for (std::string& part : m_birth) part.clear();
}

void CRowReader::WriteJoined(CTreeItem& record) {
  for (const SJoined& j : m_joined) SetText(record, *FieldByTarget(j.target), j.text);
}

std::unique_ptr<CTreeItem> CRowReader::Read(const std::vector<SPlanned>& plan,
                                            const std::vector<std::string>& fields, size_t count) {
  auto record = std::make_unique<CTreeItem>();
  Reset();
  // The plan goes by column: a short row below a wide header costs its own length only.
  for (const SPlanned& p : plan) {
    if (p.column >= count) break;
    ReadColumn(*record, p, fields, count);
  }
  WriteJoined(*record);
  ReadBeyondHeader(fields, count);
  ReadBirthDate(*record);
  ReadWholeAddresses(*record);
  if (!m_any) return nullptr;
  JoinRemark(*record);
  if (!m_filled[targetLabel]) MakeLabel(*record);
  return record;
}

void CRowReader::ReadColumn(CTreeItem& record, const SPlanned& p,
                            const std::vector<std::string>& fields, size_t count) {
  CleanValue(fields[p.column], m_value);
  if (m_value.empty()) return;
  if (!p.role) {
    Put(record, p.target, p.header, m_value, false,
        p.target == targetRemark && IsNotesName(p.header));
    return;
  }
  const unsigned flags = p.role->nFlags;
  if (flags & fType) return;  // read with the value it describes
  if ((flags & fNoise) && IsNoise(m_value)) return;
  if (flags & fGroups) {
    m_value = CleanGroups(m_value);
    if (m_value.empty()) return;
  }
  m_more.clear();
  if ((flags & fMulti) && m_value.find(":::") != std::string::npos) {
    SplitValues(":::");
    if (m_value.empty()) return;
  }
  if ((flags & fEmailList) && m_value.find(',') != std::string::npos) {
    SplitValues(",");
    if (m_value.empty()) return;
  }
  if (flags & (fBirthYear | fBirthMonth | fBirthDay)) {
    const int i = flags & fBirthYear ? 0 : flags & fBirthMonth ? 1 : 2;
    m_birth[i] = m_value;
    m_birthLabels[i] = p.header;
    return;
  }
  int target = p.target;
  std::string_view label = p.header;
  bool starred = false;
  if (p.role->nKind != kindNone) {
    target = TypedTarget(p, *p.role, fields, count, starred);
    label = m_label;
  }
  if (flags & fFormatted) {
    m_formatted.push_back({target, std::string(label), m_value});
    FurtherValues(label);
    return;
  }
  const bool wasFilled = IsFieldTarget(target) && m_filled[target];
  Put(record, target, label, m_value, (flags & fAppend) != 0, (flags & fNotes) != 0);
  if ((flags & fEmailList) && !m_more.empty()) {
    // The second address of a list is the business one.
    Put(record, targetBusinessEmail, label, m_more.front(), false, false);
    m_more.erase(m_more.begin());
  }
  FurtherValues(label);
  // The webmail stars the type of the address it sends mail to.
  const bool email = target == targetPersonalEmail || target == targetBusinessEmail;
  if (starred && !wasFilled && record.m_nPrefEmail < 0 && email)
    record.m_nPrefEmail = target == targetPersonalEmail ? 0 : 1;
}

// "a ::: b ::: c" (or "a,b,c"): the first value stays in m_value for the column's field, the
// others wait in m_more for the remark.
void CRowReader::SplitValues(std::string_view separator) {
  const std::string all = std::move(m_value);
  m_value.clear();
  size_t pos = 0;
  for (;;) {
    const size_t end = all.find(separator, pos);
    const std::string_view item = Trim(std::string_view(all).substr(
        pos, end == std::string::npos ? std::string::npos : end - pos));
    if (!item.empty()) {
      if (m_value.empty())
        m_value.assign(item);
      else
        m_more.emplace_back(item);
    }
    if (end == std::string::npos) break;
    pos = end + separator.size();
  }
}

void CRowReader::FurtherValues(std::string_view label) {
  for (const std::string& value : m_more) Line(label, value);
}

// The target of a value whose kind its type column names, with the value's remark label in
// m_label: "Phone 2 (Main)" for "Phone 2 - Value" of type Main. starred tells that the type
// was marked as the preferred one.
int CRowReader::TypedTarget(const SPlanned& p, const SColumnRole& role,
                            const std::vector<std::string>& fields, size_t count, bool& starred) {
  m_type.clear();
  if (role.nTypeColumn >= 0 && static_cast<size_t>(role.nTypeColumn) < count) {
    CleanValue(fields[role.nTypeColumn], m_type);
    if (!m_type.empty() && m_type[0] == '*') {
      starred = true;
      m_type = std::string(Trim(std::string_view(m_type).substr(1)));
    }
  }
  std::string_view base = p.header;
  if (base.size() > 8 && base.substr(base.size() - 8) == " - Value") base.remove_suffix(8);
  m_label.assign(base);
  if (!m_type.empty()) m_label += " (" + m_type + ")";
  return role.nKind == kindLabelled ? p.target : RouteByType(role, AsciiLowerCase(m_type));
}

// Values beyond the header have no column to be bound by.
void CRowReader::ReadBeyondHeader(const std::vector<std::string>& fields, size_t count) {
  for (size_t i = m_header.size(); i < count; ++i) {
    CleanValue(fields[i], m_value);
    if (m_value.empty()) continue;
    m_any = true;
    Line("Column " + std::to_string(i + 1), m_value);
  }
}

// The birthday in three columns becomes one date when all three read as one.
void CRowReader::ReadBirthDate(CTreeItem& record) {
  if (m_birth[0].empty() && m_birth[1].empty() && m_birth[2].empty()) return;
  const std::string iso = m_birth[0] + "-" + m_birth[1] + "-" + m_birth[2];
  CDateTime date;
  if (!m_filled[targetBirthday] && !m_birth[0].empty() && !m_birth[1].empty() &&
      !m_birth[2].empty() && ParseDateValue(iso, date, m_order)) {
    record.m_dtBirthday = date;
    record.m_bBirthday = 1;
    m_filled[targetBirthday] = true;
    m_any = true;
    return;
  }
  for (int i = 0; i < 3; ++i)
    if (!m_birth[i].empty()) Line(m_birthLabels[i], m_birth[i]);
}

// A whole address in one value stands in for the street when the street has nothing; when it
// begins with the street it only repeats the address's parts.
void CRowReader::ReadWholeAddresses(CTreeItem& record) {
  for (const SDeferred& d : m_formatted) {
    const SFieldInfo* field = FieldByTarget(d.target);
    if (d.target == targetRemark || !field || field->kind != EFieldKind::text) {
      if (d.target == targetRemark) Line(d.label, d.value);
      continue;
    }
    const std::string_view street = (record.*field->pText).view();
    if (!m_filled[d.target]) {
      SetText(record, *field, d.value);
      m_filled[d.target] = true;
      m_any = true;
    } else if (std::string_view(d.value).substr(0, street.size()) != street) {
      Line(d.label, d.value);
    }
  }
}

// The notes first, then a "label: value" line for every value without a field of its own.
void CRowReader::JoinRemark(CTreeItem& record) const {
  std::string remark = m_notes;
  for (const std::string& line : m_lines) {
    if (!remark.empty()) remark += "\r\n";
    remark += line;
  }
  if (!remark.empty()) record.m_strRemark = remark;
}

// The label as a card's formatted name would be made.
void CRowReader::MakeLabel(CTreeItem& record) {
  std::string name = FallbackLabel(record);
  if (!name.empty()) record.m_strLabel = name;
}

}  // namespace

bool CForeignCsvFile::Parse(std::string_view bytes) {
  m_strText = DecodeFile(bytes);
  m_strError.clear();
  m_header.clear();
  m_rowStarts.clear();
  m_roles.clear();
  m_presets.clear();
  m_bNoHeader = false;
  m_bBareQuotes = false;
  m_nLayout = -1;
  m_cDelimiter = ',';
  const std::string_view text = m_strText;
  size_t pos = SkipBlankLines(text, 0);
  if (pos >= text.size()) return false;
  const size_t first = pos;
  // A line longer than any contact's is refused before its values are copied.
  size_t count = 0;
  if (ReadRecord(text, pos, DetectDelimiter(text, pos), nullptr, count) - pos > m_nMaxRecordBytes)
    return Refuse(pos);
  pos = ReadHeader(text, pos);
  if (m_nLayout < 0 && ReadFixedShape(text, first)) {
    pos = first;
  } else if (m_bFirstLineIsData || (m_nLayout < 0 && foreign_csv::LooksLikeData(m_header))) {
    m_nLayout = -1;
    m_bNoHeader = true;
    m_presets = foreign_csv::TargetsByShape(m_header);
    for (size_t i = 0; i < m_header.size(); ++i) m_header[i] = "Column " + std::to_string(i + 1);
    pos = first;
  } else if (m_nLayout < 0) {
    if (const size_t later = FindLaterHeader(text, pos); later != std::string_view::npos)
      pos = ReadHeader(text, later);
  }
  m_bBareQuotes = foreign_csv::WritesBareQuotes(m_nLayout);
  const EQuotes quotes = m_bBareQuotes ? EQuotes::bare : EQuotes::doubled;
  for (;;) {
    pos = SkipBlankLines(text, pos);
    if (pos >= text.size()) break;
    const size_t start = pos;
    m_rowStarts.push_back(pos);
    pos = ReadRecord(text, pos, m_cDelimiter, nullptr, count, quotes);
    if (pos - start > m_nMaxRecordBytes) return Refuse(start);
  }
  if (m_nLayout >= 0) {
    m_roles = ColumnRoles(m_nLayout, m_header);
  } else if (std::vector<int> targets;
             !m_bNoHeader && foreign_csv::TargetsByMeaning(m_header, targets) >= kBoundByNames) {
    m_presets = std::move(targets);
  }
  return true;
}

bool CForeignCsvFile::Refuse(size_t start) {
  const std::string_view text = m_strText;
  size_t count = 0;
  const size_t end = ReadRecord(text, start, m_cDelimiter, nullptr, count,
                                m_bBareQuotes ? EQuotes::bare : EQuotes::doubled);
  const size_t line = static_cast<size_t>(std::count(text.begin(), text.begin() + start, '\n')) + 1;
  m_strError = "line " + std::to_string(line) + " is too long to be a contact's (" +
               SizeBeyondLimitText(end - start, m_nMaxRecordBytes) + ")";
  m_header.clear();
  m_rowStarts.clear();
  m_nLayout = -1;
  m_bNoHeader = false;
  m_strText = std::string();
  return false;
}

size_t CForeignCsvFile::ReadHeader(std::string_view text, size_t pos) {
  m_cDelimiter = DetectDelimiter(text, pos);
  // The console address book writes its header behind a comment mark: #"NAME","EMAIL",...
  if (text.substr(pos, 2) == "#\"") ++pos;
  size_t count = 0;
  pos = ReadRecord(text, pos, m_cDelimiter, &m_header, count);
  m_header.resize(count);
  for (std::string& name : m_header) name = std::string(Trim(name));
  m_nLayout = DetectLayout(m_header);
  return pos;
}

bool CForeignCsvFile::ReadFixedShape(std::string_view text, size_t first) {
  // Read again as the exporter writes its values: a quote of a note must not shift a column.
  std::vector<std::string> values, names;
  size_t count = 0;
  const size_t end = ReadRecord(text, first, m_cDelimiter, &values, count, EQuotes::bare);
  values.resize(count);
  for (std::string& value : values) value = std::string(Trim(value));
  // The exporter quotes every value: the line begins and ends with a quote, and each
  // delimiter stands between two.
  const std::string_view line = Trim(text.substr(first, end - first), "\r\n");
  const char between[] = {'"', m_cDelimiter, '"', '\0'};
  size_t quotedDelimiters = 0;
  for (size_t at = line.find(between); at != std::string_view::npos;
       at = line.find(between, at + 3))
    ++quotedDelimiters;
  const bool allQuoted = line.size() >= 2 && line.front() == '"' && line.back() == '"' &&
                         quotedDelimiters + 1 == count;
  const int layout = foreign_csv::HeaderlessLayout(values, allQuoted, names);
  if (layout < 0) return false;
  m_nLayout = layout;
  m_bNoHeader = true;
  m_header = std::move(names);
  return true;
}

size_t CForeignCsvFile::FindLaterHeader(std::string_view text, size_t pos) {
  // Only the lines within the first bytes are looked at, and each once: a quote never closed
  // cannot make a candidate read on to the end of a long file.
  const std::string_view window = text.substr(0, std::min(text.size(), pos + kPreambleBytes));
  std::vector<std::string> names;
  for (int line = 1; line < kPreambleLines; ++line) {
    pos = SkipBlankLines(window, pos);
    if (pos >= window.size()) break;
    const size_t start = pos;
    size_t count = 0;
    pos = ReadRecord(window, pos, DetectDelimiter(window, pos), &names, count);
    names.resize(count);
    for (std::string& name : names) name = std::string(Trim(name));
    if (DetectLayout(names) >= 0) return start;
  }
  return std::string_view::npos;
}

void CForeignCsvFile::ReadRow(size_t start, std::vector<std::string>& fields, size_t& count) const {
  ReadRecord(m_strText, start, m_cDelimiter, &fields, count,
             m_bBareQuotes ? EQuotes::bare : EQuotes::doubled);
  if (m_bNoHeader && m_nLayout >= 0) foreign_csv::FitHeaderlessRow(m_header, fields, count);
}

std::string_view CForeignCsvFile::Delimiter() const {
  switch (m_cDelimiter) {
    case ';':
      return ";";
    case '\t':
      return "\t";
    default:
      return ",";
  }
}

std::string_view CForeignCsvFile::LayoutName() const { return foreign_csv::LayoutName(m_nLayout); }

std::vector<ColumnBinding> CForeignCsvFile::Bindings() const {
  std::vector<ColumnBinding> bindings(m_header.size());
  std::vector<std::string> fields;
  size_t count = 0;
  if (!m_rowStarts.empty()) ReadRow(m_rowStarts.front(), fields, count);
  for (size_t i = 0; i < m_header.size(); ++i) {
    ColumnBinding& b = bindings[i];
    b.m_nIndex = static_cast<int>(i);
    b.m_strName = m_header[i];
    b.m_nTarget = m_nLayout >= 0       ? m_roles[i].nPreset
                  : !m_presets.empty() ? m_presets[i]
                                       : targetNoChoice;
    if (i < count) CleanValue(fields[i], b.m_strSample);
  }
  return bindings;
}

void CForeignCsvFile::ReadContacts(const std::vector<ColumnBinding>& bindings,
                                   EDateOrder slashOrder,
                                   const std::function<void(SForeignContact&&)>& onContact) const {
  std::vector<SPlanned> plan;
  plan.reserve(bindings.size());
  // A column without a name is shown in the remark by its number.
  std::vector<std::string> numbered;
  numbered.reserve(bindings.size());
  for (const ColumnBinding& b : bindings) {
    if (b.m_nIndex < 0 || static_cast<size_t>(b.m_nIndex) >= m_header.size()) continue;
    const auto column = static_cast<size_t>(b.m_nIndex);
    const SColumnRole* role = nullptr;
    // The roles apply while the user keeps the preselected target; a type column stays out of
    // the remark only while it is bound to nothing.
    if (m_nLayout >= 0 && b.m_nTarget == m_roles[column].nPreset) role = &m_roles[column];
    const bool bound = IsFieldTarget(b.m_nTarget);
    if (!bound && !role) continue;
    std::string_view header = m_header[column];
    if (header.empty()) header = numbered.emplace_back("Column " + std::to_string(column + 1));
    plan.push_back({column, b.m_nTarget, role, header});
  }
  std::stable_sort(plan.begin(), plan.end(),
                   [](const SPlanned& a, const SPlanned& b) { return a.column < b.column; });
  std::vector<std::string> fields;
  size_t count = 0;
  CRowReader reader(m_header, slashOrder);
  for (const size_t start : m_rowStarts) {
    ReadRow(start, fields, count);
    std::unique_ptr<CTreeItem> record = reader.Read(plan, fields, count);
    if (!record) continue;
    SForeignContact contact;
    contact.pRecord = std::move(record);
    onContact(std::move(contact));
  }
}

}  // namespace zorvan
