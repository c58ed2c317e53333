#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "store/CalName.h"

namespace zorvan {

// What a calendar resource file says: the labels it gives (empty optional = not given) and
// the calendar names in file order.
struct SCalendarResource {
  bool bContacts = false, bCalendar = false, bBirthdays = false, bNamedays = false,
       bAnniversaries = false, bCalNames = false;
  std::string strContacts, strCalendar, strBirthdays, strNamedays, strAnniversaries, strCalNames;
  std::vector<CCalName> names;
  int nLines = 0;
};

// Applies the line rules of a calendar resource to text already in UTF-8 (lines end in LF or
// CR LF). Never fails: lines it does not understand are ignored.
void ParseCalendarResource(std::string_view text, SCalendarResource& resource);

// The file a resource path names: a path without a folder is looked for in the current
// directory first and then in the program's installed calendar folder.
std::string ResolveCalendarPath(const std::string& path);

// The folder of the installed calendar resources (for the open dialog).
std::string InstalledCalendarFolder();

}  // namespace zorvan
