#pragma once

#include <string>
#include <string_view>

namespace zorvan {

// Case and accent folding for searches that ignore both: every letter becomes its lower-case
// base letter, as the tree's alphabetical order sees it at its first level ("Łódź" and "LODZ"
// both become "lodz", "Antonín" becomes "antonin"). Letters that the order spells out as two
// fold to two ("ß" to "ss", "Æ" to "ae"). Latin, Greek and Cyrillic letters with their marks
// fold; every other character (Chinese among them) is kept as it is, malformed bytes too.
void AppendFolded(std::string& out, std::string_view utf8);
std::string FoldedText(std::string_view utf8);

}  // namespace zorvan
