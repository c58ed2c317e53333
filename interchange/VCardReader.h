#pragma once

#include <string_view>

#include "interchange/ImportHooks.h"
#include "interchange/LineInput.h"
#include "store/DateParse.h"
#include "store/TreeItem.h"

namespace zorvan {

// Applies one property line of a card (UTF-8, without its line end) to the record. Only the
// program's own property names are known, tested case-sensitively at the start of the line;
// every other line is ignored. The values after the first colon are taken one by one, split at
// semicolons; a component missing from the line empties its field. Texts get their "=0D=0A"
// back as line breaks; numbers that do not read give 0; a date line sets its flag even when the
// date does not read (the date is then invalid). No line is rejected.
void ReadVCardLine(std::string_view line, CTreeItem& record, EDateOrder slashOrder);

// Reads every card of the input. A line beginning with "BEGIN:VCARD" opens a new record with
// the defaults of a new record (a card still open is dropped), "END:VCARD" hands the open
// record to hooks.onRecord, other lines inside a card go to ReadVCardLine and lines outside
// cards are ignored; a card without its END line is dropped. The line counter (lines read so
// far) goes to hooks.onLine at each BEGIN line. Lines are converted from the file's code page,
// or taken as UTF-8 when the file begins with a UTF-8 byte-order mark or the line is
// well-formed UTF-8 holding other than ASCII (as ImportLineToUtf8 tells).
// False only when reading the input failed; the records handed over so far stay handed over.
bool ReadVCards(CLineInput& input, const SImportHooks& hooks, EDateOrder slashOrder);

}  // namespace zorvan
