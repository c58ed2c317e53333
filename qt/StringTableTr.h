#pragma once

#include <span>

// The string table's texts in the window's language. The table (res/) knows no Qt; its texts
// that the window shows are listed here once more, for lupdate to find, and are translated in
// the context "StringTable" with the English text as the source.
namespace zorvan {

struct SStringSource {
  int id;
  const char* text;  // the table's English text
};

// Every text of the table that the window shows translated.
std::span<const SStringSource> StringTableSources();

// The numbers the window shows as they are in every language: the program's name and version,
// addresses, the lock-key abbreviations, the document template.
std::span<const int> UntranslatedStringIds();

// Hands the table's texts, as the installed translators give them, over to LoadString; with
// no translator installed the table's own texts come back.
void TranslateStringTable();

}  // namespace zorvan
