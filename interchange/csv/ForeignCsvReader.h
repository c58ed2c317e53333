#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "interchange/ColumnBinding.h"
#include "interchange/FileLineInput.h"
#include "interchange/ForeignContact.h"
#include "interchange/csv/ForeignCsvLayouts.h"
#include "store/DateParse.h"

namespace zorvan {

// A delimited-text contact export written by another program (a mail client or webmail, an
// organiser), read whole from memory.
//
// Parse decodes the bytes (a UTF-8 or UTF-16 byte-order mark decides, or the zero bytes of
// UTF-16 without one; else UTF-8 when the bytes are valid UTF-8, and the ANSI code page
// otherwise), takes the delimiter from the header line (comma, semicolon or tab, whichever
// occurs most outside quotes) and finds where each data row begins. Quoted values may hold
// delimiters, doubled quotes and line breaks of any kind; a quote that is never closed is taken
// as a character, so one stray quote cannot swallow the rest of the file. Blank lines are
// skipped; rows may have fewer or more values than the header. Lines of notes before a known
// layout's header are skipped (see kPreambleLines).
//
// When the header is that of a known exporter (its column names, in any order and in the
// languages listed in ForeignCsvLayouts.cpp, are mostly ones it writes), Bindings preselects a
// target for every column; otherwise each binding has targetNoChoice and the user binds the
// columns.
//
// ReadContacts turns each row into a record:
// - values are trimmed and their line breaks become CR LF;
// - when several columns give the same field, the first non-empty value wins and the others go
//   to the remark as "Header: value" lines; so do columns bound to the remark, except the notes
//   column, whose value opens the remark as it is;
// - known columns of a known layout without a field of their own were preselected to the remark,
//   and values that only mean "nothing" there (a priority of "Normal", "0.0.00" for no date, the
//   webmail's own "My Contacts" group, a column naming the kind of the next one) are left out;
// - where a layout says in a type column which kind a value is (a phone's "Work Fax", an
//   address's "Home"), the value goes to the field of that kind as long as the column keeps its
//   preselected target;
// - a date that cannot be read (a day without a year, say) goes to the remark as written;
// - values beyond the header go to the remark as "Column N: value";
// - where the webmail joins several values in one column ("a ::: b"), the first is the column's
//   and the others go to the remark under the column's label;
// - the label is the display name, else the names, else the company, else an e-mail address.
// Rows without any value are skipped.
class CForeignCsvFile {
 public:
  // Decodes and splits the whole file; false when it holds no header line (nothing but blank
  // lines), or when a line (a row with the line breaks of its quoted values) is longer than
  // the limit, which Error then tells. Anything read before is forgotten.
  bool Parse(std::string_view bytes);
  // Why the last Parse refused the file; empty when it did not, or found no header line.
  const std::string& Error() const { return m_strError; }
  // The longest line Parse reads (kMaxLineBytes unless set): a contact's line is a few hundred
  // bytes, a longer one is no address book and would only cost memory.
  void SetMaxRecordBytes(size_t bytes) { m_nMaxRecordBytes = bytes; }

  // ",", ";" or "\t".
  std::string_view Delimiter() const;
  // The column names of the header line, trimmed; at most kMaxColumns of them.
  const std::vector<std::string>& Header() const { return m_header; }
  // The data rows after the header, blank lines not counted.
  size_t RowCount() const { return m_rowStarts.size(); }

  // The exporter's name (see foreign_csv::LayoutName); empty when the header is none of them.
  std::string_view LayoutName() const;
  bool IsKnownLayout() const { return m_nLayout >= 0; }
  // No known layout, but at least kBoundByNames columns whose names say what they hold (in one
  // of the languages of ColumnDictionary): Bindings preselects those, and the remark for the
  // other named columns.
  bool IsBoundByNames() const { return !m_presets.empty() && !m_bNoHeader; }
  // The first line is a contact, not a header: said before Parse (SetFirstLineIsData), or seen
  // by Parse when no known layout or name is in it and its values look like e-mail addresses,
  // phone numbers or dates (foreign_csv::LooksLikeData). Its columns are then named
  // "Column N" and bound by the shapes of the first line's values. A first line in the fixed
  // shape of an exporter's header-less form makes the file that layout's (IsKnownLayout), its
  // columns named and bound as the layout says.
  void SetFirstLineIsData(bool data) { m_bFirstLineIsData = data; }
  bool IsFirstLineData() const { return m_bNoHeader; }
  static constexpr size_t kBoundByNames = 3;

  // One binding per header column: its name, the value of the first data row as a sample and
  // the preselected target (targetNoChoice for every column of an unknown layout).
  std::vector<ColumnBinding> Bindings() const;

  // Hands over one contact per data row with a value, in file order; groupPath stays empty.
  void ReadContacts(const std::vector<ColumnBinding>& bindings, EDateOrder slashOrder,
                    const std::function<void(SForeignContact&&)>& onContact) const;

 private:
  // A header may follow a few lines of notes (the professional network's connections begin with
  // "Notes:", a sentence and an empty line): when the first line is no known layout's, the first
  // of the next lines within these bounds that is becomes the header.
  static constexpr int kPreambleLines = 50;
  static constexpr size_t kPreambleBytes = 64 * 1024;

  // Reads the header line at pos and tells its layout; returns the position after it.
  size_t ReadHeader(std::string_view text, size_t pos);
  // Takes the first line, at first, as the first row of an exporter's header-less form when
  // its values have that form's shape (foreign_csv::HeaderlessLayout).
  bool ReadFixedShape(std::string_view text, size_t first);
  // Forgets the file whose line at start is too long; false, the reason in m_strError.
  bool Refuse(size_t start);
  // The values of the row at start, fitted to the columns of a header-less layout.
  void ReadRow(size_t start, std::vector<std::string>& fields, size_t& count) const;
  // Where a known layout's header line begins after pos, or npos.
  static size_t FindLaterHeader(std::string_view text, size_t pos);

  std::string m_strText;  // the whole file as UTF-8
  char m_cDelimiter = ',';
  std::vector<std::string> m_header;
  std::vector<size_t> m_rowStarts;  // offsets in m_strText
  int m_nLayout = -1;
  std::vector<foreign_csv::SColumnRole> m_roles;  // one per header column
  std::vector<int> m_presets;  // without a known layout: the targets by names or by values
  bool m_bFirstLineIsData = false;
  bool m_bNoHeader = false;
  bool m_bBareQuotes = false;  // the layout's quotes inside values are not doubled
  size_t m_nMaxRecordBytes = kMaxLineBytes;
  std::string m_strError;
};

}  // namespace zorvan
