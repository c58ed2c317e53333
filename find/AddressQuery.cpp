#include "find/AddressQuery.h"

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

}  // namespace

void AppendPrintable(std::string& out, std::string_view utf8) {
  for (char c : utf8) out += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? ' ' : c;
}

CAddressQuery::CAddressQuery(std::string_view text) { AppendLowerCase(m_strText, text); }

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
  std::string_view utf8 = ansi;
  if (!IsAscii(ansi)) {
    m_strUtf8 = AnsiToUtf8(ansi);
    utf8 = m_strUtf8;
  }
  m_strLower.clear();
  AppendLowerCase(m_strLower, utf8);
  return m_strLower.find(m_strText) != std::string::npos;
}

void CAddressQuery::Visit(const CZvdRecord& r) {
  std::string_view emails[2] = {r.Ansi(fieldPersonalEmail), r.Ansi(fieldBusinessEmail)};
  // A record without an address (a group, most often) is passed over before any text is
  // converted.
  if (emails[0].empty() && emails[1].empty()) return;
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
