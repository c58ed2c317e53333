#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "interchange/FieldList.h"

// The column layouts of the delimited-text exports that the foreign reader knows: which
// programs write which column names (in the languages they are localised to), and what each
// column means for the record a row becomes.
namespace zorvan::foreign_csv {

// What a known column's values need beyond going to their target.
enum EColumnFlag : unsigned {
  fNotes = 1u << 0,      // the notes: opens the remark as it is
  fAppend = 1u << 1,     // a further line of the street: joins the street's value
  fFormatted = 1u << 2,  // a whole address in one value: only when the street has nothing
  fNoise = 1u << 3,      // values that only say "nothing" are left out
  fType = 1u << 4,       // names the kind of another column's value
  fGroups = 1u << 5,     // a list of groups or categories
  fBirthYear = 1u << 6,  // the birthday in three columns
  fBirthMonth = 1u << 7,
  fBirthDay = 1u << 8,
  fMulti = 1u << 9,  // several values joined by " ::: ": the first is the field's
  fWeak = 1u << 10,  // a name too common to tell the layout by; read as the layout says
  // Several e-mail addresses joined by commas: the first is the field's, the second the
  // business e-mail's, the others go to the remark.
  fEmailList = 1u << 11,
};

// How a type column's word chooses the field of a value.
enum EKind : std::uint8_t {
  kindNone,
  kindEmail,
  kindPhone,
  kindAddress,
  kindWeb,
  kindRelation,
  kindEvent,
  kindLabelled,  // no field is chosen, but the remark line names the kind
  kindSection    // a value of a numbered section whose description says home or work
};

// The parts of an address group (for a section's value, the index of its part instead).
enum EPart : std::uint8_t {
  partNone,
  partStreet,
  partCity,
  partPostalCode,
  partState,
  partCountry,
  partFormatted
};

// What a known layout knows of one column.
struct SColumnRole {
  int nPreset = targetNoChoice;  // the preselected target
  unsigned nFlags = 0;           // EColumnFlag
  int nTypeColumn = -1;          // the column that names this value's kind, or -1
  std::uint8_t nKind = kindNone;
  std::uint8_t nPart = partNone;  // for address values: street, city, ...
};

// The layout a header is written in: the known layout whose names it uses most, when at least
// three and most of its names are that layout's; -1 for any other header. A header of fixed
// names (see FixedHeaderLayout) is that layout's whatever the others say.
int DetectLayout(const std::vector<std::string>& header);

// True for a column name (in any case) that some known layout writes.
bool IsKnownName(std::string_view name);

// The layout of a header that only one exporter writes, in its exact words (the console address
// book's "NAME","EMAIL",... in capitals); -1 for any other.
int FixedHeaderLayout(const std::vector<std::string>& header);

// The layout of a file without a header whose first line has the fixed shape of an exporter's
// header-less form (the console address book's 5 values with e-mail addresses second, or its
// 21 for the handheld organiser ending in "0","abook", every value quoted: allQuoted tells
// that the line's values are), with the names its columns go by in names; -1 for any other.
int HeaderlessLayout(const std::vector<std::string>& firstLine, bool allQuoted,
                     std::vector<std::string>& names);

// Fits a row of a header-less layout to its columns where the exporter leaves one out (the
// organiser's form of a name without a space has one name value, not two): true when the row
// was changed.
bool FitHeaderlessRow(const std::vector<std::string>& header, std::vector<std::string>& fields,
                      size_t& count);

// "Outlook", "Google Contacts", "Thunderbird", "Windows Contacts", "Yahoo Mail", "LinkedIn",
// "Outlook.com" or "abook" for a layout that DetectLayout or HeaderlessLayout returned.
std::string_view LayoutName(int layout);

// True for a layout whose exporter writes quotes inside quoted values as they are, not doubled
// (so that a quote ends a value only before the delimiter or the line end).
bool WritesBareQuotes(int layout);

// What the layout knows of each column of the header, in header order. A column the layout
// does not write is preselected to the field of the program's own name for it, or to the
// field another layout sends a column of that name to, or else to the remark.
std::vector<SColumnRole> ColumnRoles(int layout, const std::vector<std::string>& header);

// The target a typed value goes to by the word of its type column (lower case, without the
// star that marks the preferred one): the preset when the word is empty, the remark when it
// names a kind without a field.
int RouteByType(const SColumnRole& role, std::string_view type);

}  // namespace zorvan::foreign_csv
