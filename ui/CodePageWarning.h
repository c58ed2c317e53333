#pragma once

#include <QString>

class QWidget;

namespace zorvan {

// The word a user gets, once in a session, when he types a character that the database file's
// code page cannot hold: the program keeps it, but the file will hold "?" in its place.
class CCodePageWarning {
 public:
  // A text was just typed into editor: the first time in the window's life that a text does
  // not fit the code page, the window's status bar says which character and what will become
  // of it. Never a message box: it would end the edit the user is in the middle of.
  static void CheckTyped(QWidget* editor, const QString& text);
  // The warning for text, or an empty text when it fits.
  static QString WarningFor(const QString& text);
};

}  // namespace zorvan
