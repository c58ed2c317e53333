#include "res/StringTable.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

namespace zorvan {
namespace {

const std::unordered_map<int, std::string>& Table() {
  static const std::unordered_map<int, std::string> table = {
      {103, "Zorvan 2.1.3"},
      {128, "Zorvan\n\nZorvan\nZorvan Files (*.zvd)\n.zvd\nZorvan.Document\nZorvan Document"},
      {57344, "Zorvan"},
      {57345, "Ready"},
      // Commands: status-bar prompt, line feed, tool tip.
      {57600, "Create new file\nNew"},
      {57601, "Open an existing file\nOpen"},
      {57603, "Save changes to the file\nSave"},
      {57604, "Save the file into a new file\nSave as"},
      {32791,
       "Save a copy that the older program reads, with \"?\" for the characters its code page "
       "cannot hold\nSave a Copy for the Older Program"},
      {32786, "Open the calendar resource\nCalendar resource"},
      {32771, "Import contacts from the text file\nImport"},
      {32772, "Export contacts to the text file\nExport"},
      {32787, "Saves person's business card\nBusiness Card"},
      {32789,
       "Import contacts from a vCard or CSV file of another program\nImport from Other "
       "Programs"},
      {32788,
       "Export birthdays, anniversaries and namedays for calendar programs\nExport Calendar"},
      {32790,
       "Export contacts as standard vCards for phones, webmail and other programs\nExport for "
       "Other Programs"},
      {32795, "Bind groups of the tree to CardDAV address books\nAccounts"},
      {57607, "Print the current contact\nPrint"},
      {57609, "Show the contact as it will be printed\nPrint Preview"},
      {57606, "Change the page layout settings\nPage Setup"},
      {57616, "Open this file"},
      {57665, "Quits the application; asks for changes to be saved\nExit"},
      {32773, "Create new contact\nNew"},
      {32774, "Delete the current contact (and subcontacts)\nDelete"},
      {57636, "Find contacts\nFind"},
      {57643, "Undo the last change of the database\nUndo"},
      {57644, "Redo the change last undone\nRedo"},
      {32775, "Send e-mail to the current person\nE-mail"},
      {32785, "Go to the person's web page\nWeb page"},
      {59392, "Show or hide toolbar\nToolbar"},
      {59393, "Show or hide status bar\nStatus bar"},
      {32843, "Displays the TAVORIN home page\nHome page"},
      {32844, "Displays technical support page\nTechnical support"},
      {32846, "Compose and send e-mail message to the author\nE-mail"},
      {57664, "Show program information\nAbout program"},
      {59137, "CAP"},
      {59138, "NUM"},
      {59139, "SCRL"},
      // Labels of the basic elements.
      {61446, "Unnamed"},
      {61447, "Contacts"},
      {61448, "Calendar"},
      {61449, "Birthdays"},
      {61450, "Namedays"},
      {61451, "Calendar"},
      {61452, "Anniversaries"},
      // Field groups of Find.
      {61453, "Name"},
      {61454, "E-mail"},
      {61455, "Web URL"},
      {61456, "Home Address"},
      {61457, "Home Phone"},
      {61458, "Business"},
      {61459, "Work Address"},
      {61460, "Work Phone"},
      {61461, "There is no contact satisfying the entered criterium."},
      {61462, "American.cal"},
      {61463, "Calendar Files (*.cal)|*.cal||"},
      {61464, "Open Calendar Resource"},
      {61465,
       "Error: Can't read the calendar file. Program will use the standard calendar "
       "information."},
      {61466,
       "New calendar loaded. To view the current contacts with the new calendar, reopen the "
       "current contacts."},
      {61467, "Error: Can't delete the basic elements of the contacts tree."},
      {61468, "Do you really want to delete this contact?"},
      // The maker's addresses: reserved example domains until real ones exist.
      {61469, "mailto:author@example.com?subject=%s"},
      {61470, "http://www.example.org/zorvan/support"},
      {61471, "http://www.example.org"},
      {61472, "Files of vCard type (*.vcf)|*.vcf|Text Files (*.csv)|*.csv|All Files (*.*)|*.*||"},
      {61473, "Files of vCard type (*.vcf)|*.vcf|Text Files (*.csv)|*.csv||"},
      {61474, "Files of vCard type (*.vcf)|*.vcf||"},
      {61475, "Contacts Import"},
      {61476, "Contacts Export"},
      {61477, "Save Business Card"},
      {61478, "Error: Can't open the file for exporting."},
      {61479, "Data were successfuly exported."},
      {61480, "During the export an error occured!"},
      {61481, "Error: Can't open the import file."},
      {61482, "Data were successfuly imported."},
      {61483, "During the import an error occured!"},
      {61484, "Error: Can't open the contacts file."},
      {61485, "Untitled"},
      {61486, "Summary Information"},
      {61488, "Name & Internet"},
      {61489, "Home"},
      {61490, "Business"},
      {61491, "Personal"},
      {61492, "Calendar"},
      {61493, "About \"Zorvan\""},
      {61494, "Step %d of %d:"},
      {61495, "Import"},
      {61498, "Address:"},
      {61499, "Phone:"},
      {61500, "Fax:"},
      {61501, "Mobile:"},
      {61502, "Internet:"},
      {61503, "Adress:"},
      {61504, "Phone:"},
      {61505, "Fax:"},
      {61506, "Mobile:"},
      {61507, "Internet:"},
      {61508, "Business:"},
      {61520, "Export for Other Programs"},
      {61521, "vCard Files (*.vcf)|*.vcf|All Files (*.*)|*.*||"},
      {61522, "Export Calendar"},
      {61523, "iCalendar Files (*.ics)|*.ics|All Files (*.*)|*.*||"},
      {61524, "The calendar was exported: %1 events."},
      {61525, "Wrote %1 events to %2."},
      {61526, "Wrote 1 event to %2."},
      {61527,
       "%1 events were left out: their dates lie after the year 3000, beyond what calendar "
       "programs take."},
      {61528,
       "1 event was left out: its date lies after the year 3000, beyond what calendar programs "
       "take."},
      // Import from Other Programs.
      {61540, "Import from Other Programs"},
      {61541,
       "Contacts of other programs (*.vcf *.vcard *.csv *.txt)|*.vcf;*.vcard;*.csv;*.txt|"
       "vCard Files (*.vcf *.vcard)|*.vcf;*.vcard|Text Files (*.csv *.txt)|*.csv;*.txt|"
       "All Files (*.*)|*.*||"},
      {61542, "%1 contacts were imported into the group \"%2\"."},
      {61543, "1 contact was imported into the group \"%2\"."},
      {61544, "Skipped as likely duplicates: %1."},
      {61545, "Every contact of the file was skipped; nothing was imported."},
      {61546, "The file holds no contacts that could be read."},
      {61547, "%1 contacts will be imported from %2 into a new group \"%3\"."},
      {61548, "Imported contacts"},
      {61549, "1 contact will be imported from %2 into a new group \"%3\"."},
      {61550,
       "Contacts that lay more than %2 groups deep, put into the deepest of those groups: %1."},
      {61551, "Cards that held nothing at all, left out: %1."},
      {61552, "Do you really want to delete \"%1\" and its %2 contacts?"},
      {61553, "Do you really want to delete \"%1\" and its contact?"},
      {61554, ","},
  };
  return table;
}

std::unordered_map<int, std::string>& Translated() {
  static std::unordered_map<int, std::string> translated;
  return translated;
}

}  // namespace

const std::string& LoadString(int id) {
  const auto& translated = Translated();
  if (!translated.empty()) {
    const auto it = translated.find(id);
    if (it != translated.end()) return it->second;
  }
  return LoadOriginalString(id);
}

const std::string& LoadOriginalString(int id) {
  static const std::string empty;
  const auto& table = Table();
  const auto it = table.find(id);
  return it == table.end() ? empty : it->second;
}

void SetTranslatedStrings(std::unordered_map<int, std::string> texts) {
  // Only numbers of the table: LoadString of any other stays the empty text.
  std::erase_if(texts, [](const auto& entry) { return !HasString(entry.first); });
  Translated() = std::move(texts);
}

std::vector<int> StringIds() {
  std::vector<int> ids;
  ids.reserve(Table().size());
  for (const auto& entry : Table()) ids.push_back(entry.first);
  std::sort(ids.begin(), ids.end());
  return ids;
}

bool HasString(int id) { return Table().count(id) != 0; }

std::string Formatted(const std::string& text, const std::vector<std::string>& values) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const size_t n = i + 1 < text.size() ? static_cast<size_t>(text[i + 1] - '1') : values.size();
    if (text[i] == '%' && n < values.size()) {
      out += values[n];
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string CountText(size_t count) {
  std::string digits = std::to_string(count);
  const std::string& separator = LoadString(IDS_THOUSANDS_SEPARATOR);
  for (size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, separator);
  return digits;
}

}  // namespace zorvan
