#pragma once

#include <QIcon>
#include <QPixmap>

namespace zorvan {

// The program's pictures. They are drawn, not loaded, so they stay sharp at every size; the
// build draws the desktop icons from the same code.
enum class EIcon {
  // Toolbar buttons.
  New,
  Open,
  Save,
  BusinessCard,
  CreateNew,
  DeleteContact,
  Find,
  SendEmail,
  WebPage,
  Print,
  About,
  Synchronize,
  Undo,
  Redo,
  // Tree node images, in the order of their image indexes.
  Group,
  Contact,
  CalendarGroup,
  CalendarEntry,
  // The program, its documents, the maker.
  Application,
  Document,
};

// The picture at size x size pixels (transparent background).
QPixmap PaintIcon(EIcon icon, int size);
// The picture at the usual sizes (16 and 32, and larger for the program).
QIcon MakeIcon(EIcon icon);
// The maker's logo for the About box.
QPixmap PaintLogo();

}  // namespace zorvan
