#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "store/TreeItem.h"

namespace zorvan {

// The first character of a UTF-8 text (all its bytes); empty for an empty text. A middle name's
// initial is a whole character: "Č" of "Čeněk", not its first byte.
std::string_view FirstCharacter(std::string_view utf8);

// The labels offered for a record in the order shown: the nickname, "first last",
// "first M. last", "last, first", "last, first M."; each only when its parts are given.
std::vector<std::string> LabelSuggestions(const CTreeItem& record);

// The label of a record read without one, made as a card's formatted name is made: the given
// first, middle and last names joined by blanks; else the company, else the personal e-mail
// address, else the business one; empty when the record holds none of these.
std::string FallbackLabel(const CTreeItem& record);

// Which of a record's two addresses of a kind (e-mail or web page) is the preferred one.
enum class EPreferredKind { email, web };

// The entries of a preferred-address list: the personal address, then the business address,
// each only when given. Index 0 is the personal address when it is given, else the business
// address.
std::vector<std::string> PreferredEntries(const CTreeItem& record, EPreferredKind kind);

// The address the Send e-mail and Web page commands use: the business address when it is the
// preferred one (index 1), else the personal address, or the business address when there is no
// personal one.
std::string PreferredAddress(const CTreeItem& record, EPreferredKind kind);

// The stored index after a list of count entries was filled: an index at or past the end
// becomes count itself (which selects no entry), any other stays.
int IndexAfterFill(int stored, int count);

// The entry to select for an index: the index when it names an entry, else -1 (no selection).
int SelectionOf(int index, int count);

// Puts the record's preferred e-mail and web indexes in order: -1 becomes 0 when an address is
// given, 1 becomes 0 when the business address is empty, and both addresses empty give -1.
void NormalisePreferred(CTreeItem& record);

// What the Summary page shows of a record.
struct SSummaryTexts {
  std::string strNameLine;
  std::string strHomeAddress;
  std::string strHomePhone;
  std::string strHomeInternet;
  std::string strWorkLine;
  std::string strWorkAddress;
  std::string strWorkPhone;
  std::string strWorkInternet;
};

SSummaryTexts BuildSummary(const CTreeItem& record);

}  // namespace zorvan
