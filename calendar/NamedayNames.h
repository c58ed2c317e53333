#pragma once

#include <string>
#include <string_view>
#include <vector>

// The names a calendar resource gives a day, and the folding by which a contact's first name is
// found among them, for the namedays of contacts that have no nameday of their own.
namespace zorvan {

// A name as the comparison sees it: lower case, and the Latin letters without their accents
// ("Jiří", "JIŘÍ" and "Jiri" all give "jiri"; "Łucja" gives "lucja"). Other characters (Greek,
// Chinese) stay as they are.
std::string FoldName(std::string_view utf8);
// FoldName appended to out, for a caller that folds many names into one buffer.
void AppendFoldedName(std::string& out, std::string_view utf8);

// The names of one calendar entry: "Petr a Pavel" gives "Petr" and "Pavel", "Nela, Hromnice"
// gives "Nela" and "Hromnice". Names are split at commas and at the Czech, Slovak and Polish
// "and" between two words.
std::vector<std::string> EntryNames(std::string_view entry);

}  // namespace zorvan
