#pragma once

#include <string_view>

#include "store/DateTime.h"

namespace zorvan {

// How a date written with slashes orders day and month; the user's locale decides, so the GUI
// passes it in.
enum class EDateOrder { dayMonthYear, monthDayYear };

// Reads the date of a text, ignoring any time of day, as the interchange readers need it. The
// result is midnight of that day. Accepted forms, with blanks around them ignored:
//   1990-05-17, 1990-05-17s (the program's own vCard form), 19900517, and either ISO form
//   followed by a time (1990-05-17T00:00:00Z, 19900517T120000);
//   17.5.1990, 17.05.1990, 17. 5. 1990, 17-5-1990 (day, month, year; a time may follow after
//   a blank);
//   17/5/1990 or 5/17/1990 by slashOrder.
// In the dotted, hyphenated and slashed forms a two-digit year means 2000-2029 (00-29) or 1930-1999
// (30-99); three digits are a year of their own, as the text writer puts years before 1000.
// Anything else, an impossible day ("0.0.0", 31.4.2000) or a year outside 100-9999, fails: out
// becomes an invalid date with count 0 and the result is false.
bool ParseDateValue(std::string_view text, CDateTime& out, EDateOrder slashOrder);

}  // namespace zorvan
