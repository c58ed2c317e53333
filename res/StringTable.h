#pragma once

#include <string>
#include <unordered_map>
#include <vector>

namespace zorvan {

// Numbers of the strings the core refers to.
enum EStringId {
  IDS_VERSION = 103,
  IDR_MAINFRAME = 128,
  AFX_IDS_APP_TITLE = 57344,
  AFX_IDS_IDLEMESSAGE = 57345,
  IDS_UNNAMED = 61446,
  IDS_CONTACTS = 61447,
  IDS_CALENDAR = 61448,
  IDS_BIRTHDAYS = 61449,
  IDS_NAMEDAYS = 61450,
  IDS_CALNAMES = 61451,
  IDS_ANNIVERSARIES = 61452,
  IDS_FIND_WHERE_FIRST = 61453,  // the eight field groups of Find, 61453..61460
  IDS_FIND_NO_MATCH = 61461,
  IDS_DEFAULT_CALENDAR = 61462,
  IDS_CALENDAR_FILTER = 61463,
  IDS_CALENDAR_OPEN_TITLE = 61464,
  IDS_CALENDAR_READ_ERROR = 61465,
  IDS_CALENDAR_LOADED = 61466,
  IDS_DELETE_BASIC = 61467,
  IDS_DELETE_QUESTION = 61468,
  IDS_MAILTO_AUTHOR = 61469,
  IDS_SUPPORT_PAGE = 61470,
  IDS_HOME_PAGE = 61471,
  IDS_IMPORT_FILTER = 61472,
  IDS_EXPORT_FILTER = 61473,
  IDS_CARD_FILTER = 61474,
  IDS_IMPORT_TITLE = 61475,
  IDS_EXPORT_TITLE = 61476,
  IDS_CARD_TITLE = 61477,
  IDS_EXPORT_OPEN_ERROR = 61478,
  IDS_EXPORT_DONE = 61479,
  IDS_EXPORT_ERROR = 61480,
  IDS_IMPORT_OPEN_ERROR = 61481,
  IDS_IMPORT_DONE = 61482,
  IDS_IMPORT_ERROR = 61483,
  IDS_OPEN_ERROR = 61484,
  IDS_UNTITLED = 61485,
  IDS_PAGE_SUMMARY = 61486,
  IDS_PAGE_NAME = 61488,
  IDS_PAGE_HOME = 61489,
  IDS_PAGE_BUSINESS = 61490,
  IDS_PAGE_PERSONAL = 61491,
  IDS_PAGE_CALENDAR = 61492,
  IDS_PAGE_ABOUT = 61493,
  IDS_WIZARD_STEP = 61494,
  IDS_WIZARD_FINISH = 61495,
  IDS_PRINT_ADDRESS = 61498,
  IDS_PRINT_PHONE = 61499,
  IDS_PRINT_FAX = 61500,
  IDS_PRINT_MOBILE = 61501,
  IDS_PRINT_INTERNET = 61502,
  IDS_PRINT_WORK_ADDRESS = 61503,
  IDS_PRINT_WORK_PHONE = 61504,
  IDS_PRINT_WORK_FAX = 61505,
  IDS_PRINT_WORK_MOBILE = 61506,
  IDS_PRINT_WORK_INTERNET = 61507,
  IDS_PRINT_BUSINESS = 61508,
  // Export for Other Programs and Export Calendar.
  IDS_EXPORT_OTHER_TITLE = 61520,
  IDS_EXPORT_OTHER_FILTER = 61521,
  IDS_CALENDAR_EXPORT_TITLE = 61522,
  IDS_CALENDAR_EXPORT_FILTER = 61523,
  IDS_CALENDAR_EXPORT_DONE = 61524,       // %1 the number of events
  IDS_CALENDAR_EXPORT_WROTE = 61525,      // the command line's: %1 the number, %2 the file
  IDS_CALENDAR_EXPORT_WROTE_ONE = 61526,  // %2 the file
  IDS_CALENDAR_LEFT_OUT = 61527,          // %1 the number of events left out
  IDS_CALENDAR_LEFT_OUT_ONE = 61528,
  // Import from Other Programs.
  IDS_OTHER_IMPORT_TITLE = 61540,
  IDS_OTHER_IMPORT_FILTER = 61541,
  IDS_OTHER_IMPORT_DONE = 61542,      // %1 the number of contacts, %2 the group
  IDS_OTHER_IMPORT_DONE_ONE = 61543,  // %2 the group
  IDS_OTHER_IMPORT_SKIPPED = 61544,   // %1 the number skipped
  IDS_OTHER_IMPORT_ALL_SKIPPED = 61545,
  IDS_OTHER_IMPORT_EMPTY = 61546,
  IDS_OTHER_IMPORT_PREVIEW = 61547,      // %1 the number, %2 the file, %3 the group
  IDS_OTHER_IMPORT_GROUP = 61548,        // the group's name when the file's gives none
  IDS_OTHER_IMPORT_PREVIEW_ONE = 61549,  // %2 the file, %3 the group
  IDS_OTHER_IMPORT_FLATTENED = 61550,    // %1 the number of contacts, %2 the most levels
  IDS_OTHER_IMPORT_EMPTY_CARDS = 61551,  // %1 the number of empty cards left out
  // Deleting a node with records below it: %1 its label, %2 how many records go with it.
  IDS_DELETE_BRANCH_QUESTION = 61552,
  IDS_DELETE_BRANCH_QUESTION_ONE = 61553,  // %1 its label
  IDS_THOUSANDS_SEPARATOR = 61554,         // between the groups of three digits of a count
};

// The text of a numbered string (UTF-8); an empty text for a number the table does not hold.
// Command strings hold the status-bar prompt, a line feed and the tool tip.
const std::string& LoadString(int id);

// True when the table holds the number.
bool HasString(int id);

// The window in another language hands over the texts of the numbers it translates; from then
// on LoadString gives those, and the table's own text for the rest. An empty map goes back to
// the table's texts. The command line never sets any and stays English.
void SetTranslatedStrings(std::unordered_map<int, std::string> texts);

// The table's own (English) text of a number, whatever the window's language.
const std::string& LoadOriginalString(int id);

// Every number the table holds, in ascending order.
std::vector<int> StringIds();

// text with %1, %2, ... replaced by the values, in one pass so that a value holding "%2"
// (a file may be named so) stays as it is.
std::string Formatted(const std::string& text, const std::vector<std::string>& values);

// A count as messages show it, its thousands grouped: "3,000" in English.
std::string CountText(size_t count);

}  // namespace zorvan
