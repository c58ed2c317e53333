#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "store/ZvdRecordReader.h"

namespace zorvan {

// The address book of mail clients: the e-mail addresses of the contacts whose "first last"
// name, label, nickname or an address holds a text (case ignored as by the Find command, A-Z and
// the accented letters of the code page), each as a line "address<TAB>name<TAB>label". The name is
// the label when the first and last names are empty; personal and business addresses get a line
// each, the preferred one first. The database file is walked, not opened: only the six texts
// compared are read, and only those compared or printed are converted from the code page. Texts
// the code page cannot hold are taken from the file's extension trailer, in UTF-8.
class CAddressQuery {
 public:
  explicit CAddressQuery(std::string_view text);

  // Reads the database file at path (as the program opens one: regular files only, within the
  // size limit). False with the reason in error when the file cannot be read or is damaged;
  // no lines are kept then.
  bool ReadFile(const std::string& path, std::string& error);
  // The same over a database file's bytes. A query reads one file.
  bool Read(std::string_view bytes, std::string& error);

  size_t Addresses() const { return m_nAddresses; }
  // The address lines, each ending in a line break.
  const std::string& Lines() const { return m_strLines; }

 private:
  void Visit(const CZvdRecord& r);
  // Visit for a record with texts from the extension trailer: compared and printed in UTF-8.
  void VisitUtf8(const CZvdRecord& r);
  bool Finish(bool ok);
  bool Holds(std::string_view ansi);
  bool HoldsUtf8(std::string_view utf8);
  // Whether the field holds the text: in UTF-8 where the trailer gave it, else in the code page.
  bool FieldHolds(const CZvdRecord& r, EField field);
  static CZvdRecordReader::CFieldSet Fields();

  void AppendLowerCaseAnsi(std::string& out, std::string_view ansi) const;

  const std::array<char, 256>& m_lower;  // each byte of the code page lower-cased
  bool m_bCanMatch = false;
  std::string m_strText;      // in the code page, lower-cased
  std::string m_strTextUtf8;  // lower-cased as LowerCase does
  std::string m_strLower;     // kept between comparisons, so that most records allocate nothing
  std::string m_strLines;
  size_t m_nAddresses = 0;
};

// Appends utf8 with tabs, line breaks and every other control character (C0, DEL, C1) made
// blanks, so that a text with a tab in it cannot break a tab-separated line nor command the
// terminal.
void AppendPrintable(std::string& out, std::string_view utf8);

}  // namespace zorvan
