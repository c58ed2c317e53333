#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "interchange/Output.h"
#include "interchange/Progress.h"

namespace zorvan {

class CTreeItem;

// Standard vCard for other programs (phones, webmail, desktop address books), in UTF-8:
// version 3.0 (RFC 2426), which they import most reliably, or 4.0 (RFC 6350). Every field that
// has a standard property goes there; the rest travel in X-TAVORIN- properties, so that this
// program reads its own file back without loss. Lines end in CR LF and are folded at 75 octets,
// never inside a UTF-8 character.
enum class EVCardVersion { v30, v40 };

// Writes a card for every contact of top's subtree, depth first, parents before children. Group
// records (group flag set) get no card: their labels become the CATEGORIES of the contacts
// below them, outermost first, including the groups above top. A top without a parent (the
// contacts root) is no record of its own. Every record visited, groups included, steps the
// progress when one is given. False as soon as a write fails.
bool WriteForeignVCards(IOutput& out, const CTreeItem& top, EVCardVersion version,
                        CProgress* progress);

// The card of one record with the given categories and UID, as WriteForeignVCards writes it.
std::string ForeignVCard(const CTreeItem& record, EVCardVersion version,
                         const std::vector<std::string>& categories, std::string_view uid);

// A UID that stays the same from one export to the next: the record's own where it has one,
// else "urn:uuid:" and a UUID derived from the record's place in the tree (see there). Made for one
// record alone, it is the one WriteForeignVCards gives it.
std::string ForeignVCardUid(const CTreeItem& record);

// The pieces of the format, for the writer and its tests.
// How a value is escaped. RFC 6350 (section 3.4) and RFC 2426 escape a backslash, a comma and a
// line break in every value; a semicolon separates the components of a compound value (N, ADR,
// ORG) and is escaped only there. A URL gets the commas escaped too, though it is no text:
// python-vobject cuts a URL at its first bare comma, and the reader of this program unescapes it.
enum class EVCardEscape {
  component,  // a component of a compound value: \\, \, \; and line breaks as \n
  text,       // any other value, one of a list (CATEGORIES) too: \\, \, and line breaks
};
// A value escaped as its kind asks; other control characters, which the format does not allow
// in a value, are left out, and a byte that is not part of a UTF-8 character becomes U+FFFD.
void AppendVCardText(std::string& out, std::string_view value, EVCardEscape escape);
// A content line, folded: at most 75 octets a line, each continuation line starting with a
// blank, never cut inside a UTF-8 character; CR LF after it.
void AppendFoldedLine(std::string& out, std::string_view line);

}  // namespace zorvan
