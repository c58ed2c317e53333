#pragma once

#include <string>
#include <string_view>
#include <vector>

// The names a calendar resource gives a day, among which a contact's first name is found (both
// folded as searches fold them, res/TextFold.h) for the namedays of contacts that have no nameday
// of their own.
namespace zorvan {

// The names of one calendar entry: "Petr a Pavel" gives "Petr" and "Pavel", "Nela, Hromnice"
// gives "Nela" and "Hromnice". Names are split at commas and at the Czech, Slovak and Polish
// "and" between two words.
std::vector<std::string> EntryNames(std::string_view entry);

}  // namespace zorvan
