#pragma once

#include <string>

#include "print/PrintCanvas.h"

namespace zorvan {

class CTreeItem;
class CDateTime;

// The printed card of one contact: the program's name and the contact's name as a header, its
// home and business addresses, phones and Internet addresses in a frame, the page number and
// the time of printing as a footer. The layout is fixed in lines of the normal font (L) below
// the top of the printable area; a page too short for it is drawn scaled down so that the
// footer still fits. A null record leaves the page blank.
void PrintContact(IPrintCanvas& canvas, const CTreeItem* record, int page, const CDateTime& now);

// The lowest element of the page, the footer line, lies this far below the top of the page for
// a line height of lineHeight twips.
int ContactPageHeight(int lineHeight);

// The name line: "first M. last (nickname)", the middle name as its initial and the nickname
// only when given. A missing first name leaves its blank: " Novák".
std::string PrintedName(const CTreeItem& record);

}  // namespace zorvan
