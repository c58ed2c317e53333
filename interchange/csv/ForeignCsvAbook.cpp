// The console address book's three delimited-text exports. Every value is quoted and a quote
// inside a value is written as it is (not doubled); several e-mail addresses share one value,
// joined by commas; lines end in LF.
// - "allcsv" writes a header line behind a '#': NAME, EMAIL, the address, the four phones,
//   NICK, URL, NOTES and then either CUSTOM1..CUSTOM5 (the older versions) or ANNIVERSARY and
//   GROUPS (the current ones).
// - "csv" writes no header: NAME, EMAIL, PHONE, NOTES, NICK.
// - "palmcsv" writes no header either, 21 values in the order of the handheld organiser's
//   import: the name split at its first space as last name (what follows the space) and first
//   name (what precedes it), an empty title and company, the work, home, fax and mobile phones,
//   EMAIL, the address, NICK and URL as the organiser's first two custom fields, two empty ones,
//   NOTES, "0" (not private) and the category "abook". A name without a space is written as
//   one value, so that such a row has 20.
// The header-less forms are told by these shapes; their columns are named here with the
// program's own field names.
#include <algorithm>
#include <iterator>

#include "interchange/FieldList.h"
#include "interchange/csv/ForeignCsvLayouts.h"
#include "interchange/csv/ForeignCsvTables.h"

namespace zorvan::foreign_csv {
namespace {

// Each name is weak: the program writes them in capitals and never among other names, so they
// do not count towards another header's layout; its headers are told by their shape alone.
constexpr SKnown kAbook[] = {
    {"NAME", targetLabel, fWeak},
    {"EMAIL", targetPersonalEmail, fWeak | fEmailList},
    {"ADDRESS", targetHomeStreet, fWeak},
    {"ADDRESS2", targetHomeStreet, fWeak | fAppend},
    {"CITY", targetHomeCity, fWeak},
    {"STATE", targetHomeState, fWeak},
    {"ZIP", targetHomePostalCode, fWeak},
    {"COUNTRY", targetHomeCountry, fWeak},
    {"PHONE", targetHomePhone, fWeak},
    {"WORKPHONE", targetBusinessPhone, fWeak},
    {"FAX", targetBusinessFax, fWeak},
    {"MOBILEPHONE", targetPersonalMobile, fWeak},
    {"NICK", targetNickname, fWeak},
    {"URL", targetPersonalWeb, fWeak},
    {"NOTES", targetRemark, fWeak | fNotes},
    {"ANNIVERSARY", targetAnniversary, fWeak},
    {"GROUPS", targetRemark, fWeak},
    {"CUSTOM1", targetRemark, fWeak},
    {"CUSTOM2", targetRemark, fWeak},
    {"CUSTOM3", targetRemark, fWeak},
    {"CUSTOM4", targetRemark, fWeak},
    {"CUSTOM5", targetRemark, fWeak},
    // The organiser's columns that the program's own names do not cover.
    {"LASTNAME", targetLastName, fWeak},
    {"FIRSTNAME", targetFirstName, fWeak},
    {"TITLE", targetJobTitle, fWeak},
    {"COMPANY", targetCompany, fWeak},
    {"PRIVATE", targetNothing, fWeak},   // always "0"
    {"CATEGORY", targetNothing, fWeak},  // always "abook"
};

constexpr std::string_view kPlainNames[] = {"NAME", "EMAIL", "PHONE", "NOTES", "NICK"};
constexpr std::string_view kPalmNames[] = {
    "LASTNAME",    "FIRSTNAME", "TITLE",   "COMPANY", "WORKPHONE", "PHONE",   "FAX",
    "MOBILEPHONE", "EMAIL",     "ADDRESS", "CITY",    "STATE",     "ZIP",     "COUNTRY",
    "NICK",        "URL",       "CUSTOM3", "CUSTOM4", "NOTES",     "PRIVATE", "CATEGORY"};

int AbookLayout() {
  static const int layout = [] {
    const std::vector<SLayout>& layouts = KnownLayouts();
    const auto it = std::find_if(layouts.begin(), layouts.end(),
                                 [](const SLayout& l) { return l.name == "abook"; });
    return it == layouts.end() ? -1 : static_cast<int>(it - layouts.begin());
  }();
  return layout;
}

bool IsAbookName(std::string_view name) {
  return std::any_of(std::begin(kAbook), std::end(kAbook),
                     [name](const SKnown& k) { return k.name == name; });
}

// An address as the program keeps one: something@domain.tld, without blanks.
bool IsAddress(std::string_view v) {
  const size_t at = v.find('@');
  return at != std::string_view::npos && at > 0 && v.find('@', at + 1) == std::string_view::npos &&
         v.find('.', at + 2) != std::string_view::npos && v.back() != '.' &&
         v.find_first_of(" \t;\"") == std::string_view::npos;
}

// One or more addresses joined by commas.
bool IsAddressList(std::string_view v) {
  if (v.empty()) return false;
  for (;;) {
    const size_t comma = v.find(',');
    if (!IsAddress(v.substr(0, comma))) return false;
    if (comma == std::string_view::npos) return true;
    v.remove_prefix(comma + 1);
  }
}

}  // namespace

std::vector<SKnown> AbookColumns() { return {std::begin(kAbook), std::end(kAbook)}; }

int FixedHeaderLayout(const std::vector<std::string>& header) {
  if (header.size() < 5 || header[0] != "NAME" || header[1] != "EMAIL") return -1;
  return std::all_of(header.begin(), header.end(), IsAbookName) ? AbookLayout() : -1;
}

int HeaderlessLayout(const std::vector<std::string>& firstLine, bool allQuoted,
                     std::vector<std::string>& names) {
  const size_t n = firstLine.size();
  if (!allQuoted || n < std::size(kPlainNames)) return -1;
  const bool palm = (n == std::size(kPalmNames) || n + 1 == std::size(kPalmNames)) &&
                    firstLine[n - 1] == "abook" && firstLine[n - 2] == "0";
  const bool plain =
      n == std::size(kPlainNames) && IsAddressList(firstLine[1]) && !IsAddress(firstLine[0]);
  if (!palm && !plain) return -1;
  if (palm)
    names.assign(std::begin(kPalmNames), std::end(kPalmNames));
  else
    names.assign(std::begin(kPlainNames), std::end(kPlainNames));
  return AbookLayout();
}

bool FitHeaderlessRow(const std::vector<std::string>& header, std::vector<std::string>& fields,
                      size_t& count) {
  // The organiser's form of a name without a space: one value where the names take two.
  if (header.size() != std::size(kPalmNames) || header[0] != kPalmNames[0] ||
      count + 1 != header.size() || fields.size() < count || fields[count - 1] != "abook")
    return false;
  if (fields.size() <= count) fields.emplace_back();
  std::rotate(fields.begin() + 1, fields.begin() + static_cast<std::ptrdiff_t>(count),
              fields.begin() + static_cast<std::ptrdiff_t>(count) + 1);
  fields[1].clear();
  ++count;
  return true;
}

}  // namespace zorvan::foreign_csv
