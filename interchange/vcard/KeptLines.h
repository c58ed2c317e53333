#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zorvan {

// The lines a contact keeps from another program's card (SRecordExtras::properties) as the user
// edits them: one typed line made a content line, and lines taken out with the labels that only
// they gave a meaning.

// The names of the lines that frame a card or say what the program writes of its own: a kept
// line of one of these would break the card or contradict it, so the writer leaves it out.
bool IsCardFrameName(std::string_view name);

// Why a typed line is no content line a card can carry; none when it is one.
enum class EKeptLineError {
  none,
  noName,        // nothing before the first ';' or ':'
  badName,       // the name (or its group) has other characters than letters, digits and '-'
  badParameter,  // a parameter without a name, or its name has other characters
  openQuote,     // a parameter's quoted value is not closed before the value
  noColon,       // no ':' between the parameters and the value
  frame,         // BEGIN, END, VERSION and the rest the program writes itself
};

// The message for an error, as the edit dialog shows it; empty for none.
std::string_view KeptLineErrorText(EKeptLineError error);

// text as one line of a card: a folded line (a line break and a blank) unfolded, every other
// line break and control character (C0, DEL, C1, and the Unicode line and paragraph
// separators) taken out, and leading blanks trimmed (a line that began with one would go on
// the line before it). Whitespace only gives an empty line.
std::string CleanKeptLine(std::string_view text);

// What is wrong with line, taken as cleaned: "[group.]NAME[;param...]:value".
EKeptLineError CheckKeptLine(std::string_view line);

// True for an X-ABLabel line whose group holds another line: the list shows the label in the
// words of the line it names, not on its own.
bool IsLabelOfKeptLine(const std::vector<std::string>& lines, size_t index);

// Takes out the lines at indexes (in any order, repeats allowed; those past the end ignored).
// The X-ABLabel lines of a group whose last other line went go with it: a label without its
// property means nothing to the program that wrote it.
void RemoveKeptLines(std::vector<std::string>& lines, std::vector<size_t> indexes);

// Puts line in place of the line at index (an empty one takes it out). A label left without
// any other line of its group, because the line moved to another group, goes as well.
void ReplaceKeptLine(std::vector<std::string>& lines, size_t index, std::string line);

}  // namespace zorvan
