#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// How the delimited-text exports of other programs split into records and values.
namespace zorvan::foreign_csv {

// The position of the first byte at or after pos that is no line break.
size_t SkipBlankLines(std::string_view text, size_t pos);

// How quotes inside a quoted value are written.
enum class EQuotes {
  doubled,  // as two quotes; a quoted value may span lines
  bare,     // as they are (the console address book): a quote ends the value only before the
            // delimiter or the line end, and a value ends with its line
};

// Reads the record that begins at pos: its values (unquoted, at most kMaxColumns of them kept
// in fields when fields is given; count tells how many) up to the line end outside quotes.
// Returns the position after the line end.
size_t ReadRecord(std::string_view t, size_t pos, char delimiter, std::vector<std::string>* fields,
                  size_t& count, EQuotes quotes = EQuotes::doubled);

// The delimiter the header line at pos uses most outside quotes: comma, semicolon or tab.
char DetectDelimiter(std::string_view t, size_t pos);

// A value as it goes into a record: trimmed, with every line break as CR LF and without NUL
// characters (which no field of a record may hold).
void CleanValue(const std::string& raw, std::string& out);

}  // namespace zorvan::foreign_csv
