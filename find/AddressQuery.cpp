#include "find/AddressQuery.h"

#include <array>
#include <utility>

#include "find/Finder.h"
#include "res/CodePage.h"

namespace zorvan {
namespace {

// A file text (in the file's code page) as one tab-separated column.
void AppendColumn(std::string& out, std::string_view ansi) {
  if (IsAscii(ansi))
    AppendPrintable(out, ansi);
  else
    AppendPrintable(out, AnsiToUtf8(ansi));
}

// "first last", or the label when both are empty; in the file's code page.
std::string NameOf(const CZvdRecord& r) {
  const std::string_view first = r.Ansi(fieldFirstName), last = r.Ansi(fieldLastName);
  if (first.empty() && last.empty()) return std::string(r.Ansi(fieldLabel));
  if (first.empty() || last.empty()) return std::string(first.empty() ? last : first);
  std::string name(first);
  name += ' ';
  name += last;
  return name;
}

// A field's text in UTF-8: the extension trailer's, or the file's converted.
std::string Utf8Of(const CZvdRecord& r, EField field) {
  if (const std::string_view* utf8 = r.Utf8(field)) return std::string(*utf8);
  return AnsiToUtf8(r.Ansi(field));
}

// NameOf in UTF-8.
std::string Utf8NameOf(const CZvdRecord& r) {
  const std::string first = Utf8Of(r, fieldFirstName), last = Utf8Of(r, fieldLastName);
  if (first.empty() && last.empty()) return Utf8Of(r, fieldLabel);
  if (first.empty() || last.empty()) return first.empty() ? last : first;
  return first + ' ' + last;
}

// The lower-casing of LowerCase (the Find command's) as a table over the bytes of a code page,
// so that file texts are compared without converting them: every capital the code page holds
// has its small letter in the same code page.
struct SByteLowerCase {
  std::array<char, 256> lower{};
  explicit SByteLowerCase(ECodePage cp) {
    for (int b = 0; b < 256; ++b) {
      const std::string one(1, static_cast<char>(b));
      const std::string small = LowerCase(AnsiToUtf8(one, cp), cp);
      const std::string back = Utf8ToAnsi(small, cp);
      lower[b] = back.size() == 1 && AnsiToUtf8(back, cp) == small ? back[0] : one[0];
    }
  }
};

const SByteLowerCase& ByteLowerCase(ECodePage cp) {
  static const SByteLowerCase k1250(ECodePage::Windows1250);
  static const SByteLowerCase k1252(ECodePage::Windows1252);
  return cp == ECodePage::Windows1252 ? k1252 : k1250;
}

}  // namespace

void AppendPrintable(std::string& out, std::string_view utf8) {
  for (size_t i = 0; i < utf8.size(); ++i) {
    if (IsC1ControlAt(utf8, i)) {
      out += ' ';
      ++i;
    } else {
      out += IsC0ControlOrDelete(utf8[i]) ? ' ' : utf8[i];
    }
  }
}

CAddressQuery::CAddressQuery(std::string_view text)
    : m_lower(ByteLowerCase(ActiveCodePage()).lower) {
  // A character the code page cannot hold is in no file text, so such a text matches nothing.
  m_bCanMatch = FitsCodePage(text, ActiveCodePage());
  if (m_bCanMatch) AppendLowerCaseAnsi(m_strText, Utf8ToAnsi(text));
  m_strTextUtf8 = LowerCase(text);
}

void CAddressQuery::AppendLowerCaseAnsi(std::string& out, std::string_view ansi) const {
  const size_t at = out.size();
  out.resize(at + ansi.size());
  for (size_t i = 0; i < ansi.size(); ++i)
    out[at + i] = m_lower[static_cast<unsigned char>(ansi[i])];
}

CZvdRecordReader::CFieldSet CAddressQuery::Fields() {
  CZvdRecordReader::CFieldSet fields;
  for (EField f : {fieldFirstName, fieldLastName, fieldNickname, fieldLabel, fieldPersonalEmail,
                   fieldBusinessEmail})
    fields.set(f);
  return fields;
}

bool CAddressQuery::ReadFile(const std::string& path, std::string& error) {
  return Finish(CZvdRecordReader(Fields()).ReadFile(
      path, [this](const CZvdRecord& r) { Visit(r); }, error));
}

bool CAddressQuery::Read(std::string_view bytes, std::string& error) {
  return Finish(CZvdRecordReader(Fields()).Read(
      bytes, [this](const CZvdRecord& r) { Visit(r); }, error));
}

bool CAddressQuery::Finish(bool ok) {
  // The lines are kept until the whole file was read: a damaged file gives no addresses.
  if (!ok) {
    m_strLines.clear();
    m_nAddresses = 0;
  }
  return ok;
}

bool CAddressQuery::Holds(std::string_view ansi) {
  m_strLower.clear();
  AppendLowerCaseAnsi(m_strLower, ansi);
  return m_strLower.find(m_strText) != std::string::npos;
}

bool CAddressQuery::HoldsUtf8(std::string_view utf8) {
  m_strLower.clear();
  AppendLowerCase(m_strLower, utf8);
  return m_strLower.find(m_strTextUtf8) != std::string::npos;
}

bool CAddressQuery::FieldHolds(const CZvdRecord& r, EField field) {
  if (const std::string_view* utf8 = r.Utf8(field)) return HoldsUtf8(*utf8);
  return m_bCanMatch && Holds(r.Ansi(field));
}

void CAddressQuery::VisitUtf8(const CZvdRecord& r) {
  // A text the code page cannot hold has its "?" form in the record, never an empty one.
  if (r.Ansi(fieldPersonalEmail).empty() && r.Ansi(fieldBusinessEmail).empty()) return;
  // Only the texts the trailer holds are compared in UTF-8: the others are whole in the code
  // page, where a text the code page cannot hold is found in none of them, and they are
  // converted only for the lines of a match.
  const bool nameUtf8 = r.Utf8(fieldFirstName) || r.Utf8(fieldLastName) || r.Utf8(fieldLabel);
  const bool nameHolds = nameUtf8 ? HoldsUtf8(Utf8NameOf(r)) : m_bCanMatch && Holds(NameOf(r));
  if (!nameHolds && !FieldHolds(r, fieldLabel) && !FieldHolds(r, fieldNickname) &&
      !FieldHolds(r, fieldPersonalEmail) && !FieldHolds(r, fieldBusinessEmail))
    return;
  std::string emails[2] = {Utf8Of(r, fieldPersonalEmail), Utf8Of(r, fieldBusinessEmail)};
  const std::string name = Utf8NameOf(r), label = Utf8Of(r, fieldLabel);
  if (r.Number(fieldPrefEmail) == 1) std::swap(emails[0], emails[1]);
  for (const std::string& email : emails) {
    if (email.empty()) continue;
    for (const std::string* column : {&email, &name, &label}) {
      AppendPrintable(m_strLines, *column);
      m_strLines += column == &label ? '\n' : '\t';
    }
    ++m_nAddresses;
  }
}

void CAddressQuery::Visit(const CZvdRecord& r) {
  // A record with texts the code page cannot hold is compared in UTF-8, where they are.
  if (r.HasUtf8()) return VisitUtf8(r);
  std::string_view emails[2] = {r.Ansi(fieldPersonalEmail), r.Ansi(fieldBusinessEmail)};
  // A record without an address (a group, most often) is passed over before any text is
  // converted.
  if (!m_bCanMatch || (emails[0].empty() && emails[1].empty())) return;
  const std::string name = NameOf(r);
  if (!Holds(name) && !Holds(r.Ansi(fieldLabel)) && !Holds(r.Ansi(fieldNickname)) &&
      !Holds(emails[0]) && !Holds(emails[1]))
    return;
  if (r.Number(fieldPrefEmail) == 1) std::swap(emails[0], emails[1]);
  for (std::string_view email : emails) {
    if (email.empty()) continue;
    AppendColumn(m_strLines, email);
    m_strLines += '\t';
    AppendColumn(m_strLines, name);
    m_strLines += '\t';
    AppendColumn(m_strLines, r.Ansi(fieldLabel));
    m_strLines += '\n';
    ++m_nAddresses;
  }
}

}  // namespace zorvan
