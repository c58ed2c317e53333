#pragma once

#include <cstddef>
#include <cstdint>
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
  std::int64_t nLines = 0;
  // The list held more than kMaxCalendarNames entries; those past the limit are not in names.
  bool bTooManyNames = false;
};

// The most calendar names a resource may hold: a year of names is a few hundred entries, a
// calendar of several languages a few thousand. Each name becomes a node of the calendar, so a
// resource of millions would make every start of the program take gigabytes.
inline constexpr std::size_t kMaxCalendarNames = 20000;

// The largest calendar resource read: the shipped ones hold a few kilobytes, a year of names
// in any language fits many times over.
inline constexpr std::uint64_t kMaxCalendarResourceBytes = std::uint64_t{16} << 20;

// Applies the line rules of a calendar resource to text already in UTF-8 (lines end in LF or
// CR LF). Never fails: lines it does not understand are ignored.
void ParseCalendarResource(std::string_view text, SCalendarResource& resource);

// The folder of the running program.
std::string ProgramFolder();

// Where a program in programFolder looks for calendar resources, best first. A program that
// runs from the installed program folder uses the installed resources; one that was moved
// with its data uses the folder beside it (../share/zorvan/calendars); one that runs from its
// build tree uses the source tree's; the installed folder comes last.
std::vector<std::string> CalendarFolders(const std::string& programFolder);

// The file a resource path names: a path without a folder is looked for in the current
// directory first and then in the calendar folders of the running program.
std::string ResolveCalendarPath(const std::string& path);

// The first calendar folder that exists (for the open dialog); the installed one when none does.
std::string InstalledCalendarFolder(const std::string& programFolder = ProgramFolder());

}  // namespace zorvan
