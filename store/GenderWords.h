#pragma once

#include <string_view>

namespace zorvan {

// A record's gender is a number: 0 unknown, 1 male, 2 female.

// The gender's name as the window shows it: "Unknown", "Male" or "Female"; empty for any other
// number.
std::string_view GenderName(int gender);

// The gender a word of another program's file names, in the languages of our users and of the
// exporters ("M", "Female", "männlich", "žena", "mężczyzna", "男性"; case and surrounding blanks
// ignored): 1 or 2; 0 for a word that names no gender ("unknown", "other", "n", nothing at
// all); -1 for any other text, which a reader keeps in the remark as written.
int GenderOfWord(std::string_view text);

}  // namespace zorvan
