#pragma once

#include <string>
#include <string_view>

// Numbers in values are read with ParseInteger.
#include "store/DateParse.h"
#include "store/RecordFields.h"
#include "store/TextUtil.h"

namespace zorvan {

// --- Writing values ---

// Appends a text value as both writers put it into a file: wrapped in double quotes when it
// holds a comma, a semicolon or a double quote (an inner quote is doubled), and with every line
// break (CR LF, a lone CR, a lone LF) written as the six characters "=0D=0A", so that no value
// can end a vCard line or a row. Any other text is appended unchanged.
void AppendQuotedValue(std::string& out, std::string_view value);
std::string QuoteValue(std::string_view value);

// --- Reading values ---

// Takes the value that starts at pos from line into value and moves pos past it and the
// delimiter that follows it. A value that begins with a double quote runs to the closing quote
// (a doubled quote inside it is one quote; without a closing quote it runs to the end of the
// line); any other value runs to the next delimiter or the end of the line. After the value
// (or its closing quote) as many bytes as the delimiter has are skipped, whatever they are,
// and never part of a character (the line is UTF-8). At or beyond the end of the line the value is
// empty. An empty delimiter never splits. Returns the index at which the value ended: the delimiter
// found, the closing quote, or the line's length.
size_t NextToken(std::string_view line, size_t& pos, std::string_view delimiter,
                 std::string& value);
std::string NextToken(std::string_view line, size_t& pos, std::string_view delimiter);

// Turns every "=0D=0A" of a value read from a file back into a CR LF line break.
void DecodeLineBreaks(std::string& value);

// Stores a value read from one of the program's own files into a field of the record: a text
// with its "=0D=0A" back as line breaks, a number as ParseInteger reads it (0 when it does not),
// a date as ParseDateValue reads it. A date's set flag is for the reader to decide.
void StoreReadValue(CContactData& record, EField field, std::string& value, EDateOrder slashOrder);

// Appends a number in decimal, with a minus sign when negative.
void AppendInteger(std::string& out, int value);

// Appends a number in decimal with leading zeros up to width digits ("0007" for 7 in four); a
// negative number is written as 0.
void AppendZeroPadded(std::string& out, int value, int width);

}  // namespace zorvan
