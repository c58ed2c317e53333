#include "qt/StringTableTr.h"

#include <QCoreApplication>
#include <iterator>
#include <string>
#include <unordered_map>
#include <utility>

#include "res/StringTable.h"

namespace zorvan {
namespace {

// Kept to the table's order; the command strings (numbers without names) hold the status-bar
// prompt, a line feed and the tool tip.
const SStringSource kSources[] = {
    {AFX_IDS_IDLEMESSAGE, QT_TRANSLATE_NOOP("StringTable", "Ready")},
    {57600, QT_TRANSLATE_NOOP("StringTable", "Create new file\nNew")},
    {57601, QT_TRANSLATE_NOOP("StringTable", "Open an existing file\nOpen")},
    {57603, QT_TRANSLATE_NOOP("StringTable", "Save changes to the file\nSave")},
    {57604, QT_TRANSLATE_NOOP("StringTable", "Save the file into a new file\nSave as")},
    {32791,
     QT_TRANSLATE_NOOP("StringTable",
                       "Save a copy that the older program reads, with \"?\" for the characters "
                       "its code page cannot hold\nSave a Copy for the Older Program")},
    {32786, QT_TRANSLATE_NOOP("StringTable", "Open the calendar resource\nCalendar resource")},
    {32771, QT_TRANSLATE_NOOP("StringTable", "Import contacts from the text file\nImport")},
    {32772, QT_TRANSLATE_NOOP("StringTable", "Export contacts to the text file\nExport")},
    {32787, QT_TRANSLATE_NOOP("StringTable", "Saves person's business card\nBusiness Card")},
    {32789, QT_TRANSLATE_NOOP("StringTable",
                              "Import contacts from a vCard or CSV file of another program\nImport "
                              "from Other Programs")},
    {32788,
     QT_TRANSLATE_NOOP(
         "StringTable",
         "Export birthdays, anniversaries and namedays for calendar programs\nExport Calendar")},
    {32790, QT_TRANSLATE_NOOP("StringTable",
                              "Export contacts as standard vCards for phones, webmail and other "
                              "programs\nExport for Other Programs")},
    {32795, QT_TRANSLATE_NOOP("StringTable",
                              "Bind groups of the tree to CardDAV address books\nAccounts")},
    {57607, QT_TRANSLATE_NOOP("StringTable", "Print the current contact\nPrint")},
    {57609,
     QT_TRANSLATE_NOOP("StringTable", "Show the contact as it will be printed\nPrint Preview")},
    {57606, QT_TRANSLATE_NOOP("StringTable", "Change the page layout settings\nPage Setup")},
    {57616, QT_TRANSLATE_NOOP("StringTable", "Open this file")},
    {57665,
     QT_TRANSLATE_NOOP("StringTable", "Quits the application; asks for changes to be saved\nExit")},
    {32773, QT_TRANSLATE_NOOP("StringTable", "Create new contact\nNew")},
    {32774,
     QT_TRANSLATE_NOOP("StringTable", "Delete the current contact (and subcontacts)\nDelete")},
    {57636, QT_TRANSLATE_NOOP("StringTable", "Find contacts\nFind")},
    {57643, QT_TRANSLATE_NOOP("StringTable", "Undo the last change of the database\nUndo")},
    {57644, QT_TRANSLATE_NOOP("StringTable", "Redo the change last undone\nRedo")},
    {32775, QT_TRANSLATE_NOOP("StringTable", "Send e-mail to the current person\nE-mail")},
    {32785, QT_TRANSLATE_NOOP("StringTable", "Go to the person's web page\nWeb page")},
    {59392, QT_TRANSLATE_NOOP("StringTable", "Show or hide toolbar\nToolbar")},
    {59393, QT_TRANSLATE_NOOP("StringTable", "Show or hide status bar\nStatus bar")},
    {32843, QT_TRANSLATE_NOOP("StringTable", "Displays the TAVORIN home page\nHome page")},
    {32844, QT_TRANSLATE_NOOP("StringTable", "Displays technical support page\nTechnical support")},
    {32846,
     QT_TRANSLATE_NOOP("StringTable", "Compose and send e-mail message to the author\nE-mail")},
    {57664, QT_TRANSLATE_NOOP("StringTable", "Show program information\nAbout program")},
    {IDS_UNNAMED, QT_TRANSLATE_NOOP("StringTable", "Unnamed")},
    {IDS_CONTACTS, QT_TRANSLATE_NOOP("StringTable", "Contacts")},
    {IDS_CALENDAR, QT_TRANSLATE_NOOP("StringTable", "Calendar")},
    {IDS_BIRTHDAYS, QT_TRANSLATE_NOOP("StringTable", "Birthdays")},
    {IDS_NAMEDAYS, QT_TRANSLATE_NOOP("StringTable", "Namedays")},
    {IDS_CALNAMES, QT_TRANSLATE_NOOP("StringTable", "Calendar")},
    {IDS_ANNIVERSARIES, QT_TRANSLATE_NOOP("StringTable", "Anniversaries")},
    {IDS_FIND_WHERE_FIRST, QT_TRANSLATE_NOOP("StringTable", "Name")},
    {61454, QT_TRANSLATE_NOOP("StringTable", "E-mail")},
    {61455, QT_TRANSLATE_NOOP("StringTable", "Web URL")},
    {61456, QT_TRANSLATE_NOOP("StringTable", "Home Address")},
    {61457, QT_TRANSLATE_NOOP("StringTable", "Home Phone")},
    {61458, QT_TRANSLATE_NOOP("StringTable", "Business")},
    {61459, QT_TRANSLATE_NOOP("StringTable", "Work Address")},
    {61460, QT_TRANSLATE_NOOP("StringTable", "Work Phone")},
    {IDS_FIND_NO_MATCH,
     QT_TRANSLATE_NOOP("StringTable", "There is no contact satisfying the entered criterium.")},
    // The calendar resource used until the user picks one: in Czech the Czech namedays (and
    // the tree's labels in Czech, which the resource gives).
    {IDS_DEFAULT_CALENDAR, QT_TRANSLATE_NOOP("StringTable", "American.cal")},
    {IDS_CALENDAR_FILTER, QT_TRANSLATE_NOOP("StringTable", "Calendar Files (*.cal)|*.cal||")},
    {IDS_CALENDAR_OPEN_TITLE, QT_TRANSLATE_NOOP("StringTable", "Open Calendar Resource")},
    {IDS_CALENDAR_READ_ERROR, QT_TRANSLATE_NOOP("StringTable",
                                                "Error: Can't read the calendar file. Program will "
                                                "use the standard calendar information.")},
    {IDS_CALENDAR_LOADED, QT_TRANSLATE_NOOP("StringTable",
                                            "New calendar loaded. To view the current contacts "
                                            "with the new calendar, reopen the current contacts.")},
    {IDS_DELETE_BASIC,
     QT_TRANSLATE_NOOP("StringTable",
                       "Error: Can't delete the basic elements of the contacts tree.")},
    {IDS_DELETE_QUESTION,
     QT_TRANSLATE_NOOP("StringTable", "Do you really want to delete this contact?")},
    {IDS_IMPORT_FILTER,
     QT_TRANSLATE_NOOP(
         "StringTable",
         "Files of vCard type (*.vcf)|*.vcf|Text Files (*.csv)|*.csv|All Files (*.*)|*.*||")},
    {IDS_EXPORT_FILTER,
     QT_TRANSLATE_NOOP("StringTable",
                       "Files of vCard type (*.vcf)|*.vcf|Text Files (*.csv)|*.csv||")},
    {IDS_CARD_FILTER, QT_TRANSLATE_NOOP("StringTable", "Files of vCard type (*.vcf)|*.vcf||")},
    {IDS_IMPORT_TITLE, QT_TRANSLATE_NOOP("StringTable", "Contacts Import")},
    {IDS_EXPORT_TITLE, QT_TRANSLATE_NOOP("StringTable", "Contacts Export")},
    {IDS_CARD_TITLE, QT_TRANSLATE_NOOP("StringTable", "Save Business Card")},
    {IDS_EXPORT_OPEN_ERROR,
     QT_TRANSLATE_NOOP("StringTable", "Error: Can't open the file for exporting.")},
    {IDS_EXPORT_DONE, QT_TRANSLATE_NOOP("StringTable", "Data were successfuly exported.")},
    {IDS_EXPORT_ERROR, QT_TRANSLATE_NOOP("StringTable", "During the export an error occured!")},
    {IDS_IMPORT_OPEN_ERROR, QT_TRANSLATE_NOOP("StringTable", "Error: Can't open the import file.")},
    {IDS_IMPORT_DONE, QT_TRANSLATE_NOOP("StringTable", "Data were successfuly imported.")},
    {IDS_IMPORT_ERROR, QT_TRANSLATE_NOOP("StringTable", "During the import an error occured!")},
    {IDS_OPEN_ERROR, QT_TRANSLATE_NOOP("StringTable", "Error: Can't open the contacts file.")},
    {IDS_UNTITLED, QT_TRANSLATE_NOOP("StringTable", "Untitled")},
    {IDS_PAGE_SUMMARY, QT_TRANSLATE_NOOP("StringTable", "Summary Information")},
    {IDS_PAGE_NAME, QT_TRANSLATE_NOOP("StringTable", "Name & Internet")},
    {IDS_PAGE_HOME, QT_TRANSLATE_NOOP("StringTable", "Home")},
    {IDS_PAGE_BUSINESS, QT_TRANSLATE_NOOP("StringTable", "Business")},
    {IDS_PAGE_PERSONAL, QT_TRANSLATE_NOOP("StringTable", "Personal")},
    {IDS_PAGE_CALENDAR, QT_TRANSLATE_NOOP("StringTable", "Calendar")},
    {IDS_PAGE_ABOUT, QT_TRANSLATE_NOOP("StringTable", "About \"Zorvan\"")},
    {IDS_WIZARD_STEP, QT_TRANSLATE_NOOP("StringTable", "Step %d of %d:")},
    {IDS_WIZARD_FINISH, QT_TRANSLATE_NOOP("StringTable", "Import")},
    {IDS_PRINT_ADDRESS, QT_TRANSLATE_NOOP("StringTable", "Address:")},
    {IDS_PRINT_PHONE, QT_TRANSLATE_NOOP("StringTable", "Phone:")},
    {IDS_PRINT_FAX, QT_TRANSLATE_NOOP("StringTable", "Fax:")},
    {IDS_PRINT_MOBILE, QT_TRANSLATE_NOOP("StringTable", "Mobile:")},
    {IDS_PRINT_INTERNET, QT_TRANSLATE_NOOP("StringTable", "Internet:")},
    {IDS_PRINT_WORK_ADDRESS, QT_TRANSLATE_NOOP("StringTable", "Adress:")},
    {IDS_PRINT_WORK_PHONE, QT_TRANSLATE_NOOP("StringTable", "Phone:")},
    {IDS_PRINT_WORK_FAX, QT_TRANSLATE_NOOP("StringTable", "Fax:")},
    {IDS_PRINT_WORK_MOBILE, QT_TRANSLATE_NOOP("StringTable", "Mobile:")},
    {IDS_PRINT_WORK_INTERNET, QT_TRANSLATE_NOOP("StringTable", "Internet:")},
    {IDS_PRINT_BUSINESS, QT_TRANSLATE_NOOP("StringTable", "Business:")},
    {IDS_EXPORT_OTHER_TITLE, QT_TRANSLATE_NOOP("StringTable", "Export for Other Programs")},
    {IDS_EXPORT_OTHER_FILTER,
     QT_TRANSLATE_NOOP("StringTable", "vCard Files (*.vcf)|*.vcf|All Files (*.*)|*.*||")},
    {IDS_CALENDAR_EXPORT_TITLE, QT_TRANSLATE_NOOP("StringTable", "Export Calendar")},
    {IDS_CALENDAR_EXPORT_FILTER,
     QT_TRANSLATE_NOOP("StringTable", "iCalendar Files (*.ics)|*.ics|All Files (*.*)|*.*||")},
    {IDS_CALENDAR_EXPORT_DONE,
     QT_TRANSLATE_NOOP("StringTable", "The calendar was exported: %1 events.")},
    {IDS_CALENDAR_EXPORT_WROTE, QT_TRANSLATE_NOOP("StringTable", "Wrote %1 events to %2.")},
    {IDS_CALENDAR_EXPORT_WROTE_ONE, QT_TRANSLATE_NOOP("StringTable", "Wrote 1 event to %2.")},
    {IDS_CALENDAR_LEFT_OUT, QT_TRANSLATE_NOOP("StringTable",
                                              "%1 events were left out: their dates lie after the "
                                              "year 3000, beyond what calendar programs take.")},
    {IDS_CALENDAR_LEFT_OUT_ONE,
     QT_TRANSLATE_NOOP("StringTable",
                       "1 event was left out: its date lies after the year 3000, beyond what "
                       "calendar programs take.")},
    {IDS_OTHER_IMPORT_TITLE, QT_TRANSLATE_NOOP("StringTable", "Import from Other Programs")},
    {IDS_OTHER_IMPORT_FILTER,
     QT_TRANSLATE_NOOP(
         "StringTable",
         "Contacts of other programs (*.vcf *.vcard *.csv *.txt)|*.vcf;*.vcard;*.csv;*.txt|vCard "
         "Files (*.vcf *.vcard)|*.vcf;*.vcard|Text Files (*.csv *.txt)|*.csv;*.txt|All Files "
         "(*.*)|*.*||")},
    {IDS_OTHER_IMPORT_DONE,
     QT_TRANSLATE_NOOP("StringTable", "%1 contacts were imported into the group \"%2\".")},
    {IDS_OTHER_IMPORT_DONE_ONE,
     QT_TRANSLATE_NOOP("StringTable", "1 contact was imported into the group \"%2\".")},
    {IDS_OTHER_IMPORT_SKIPPED,
     QT_TRANSLATE_NOOP("StringTable", "Skipped as likely duplicates: %1.")},
    {IDS_OTHER_IMPORT_ALL_SKIPPED,
     QT_TRANSLATE_NOOP("StringTable",
                       "Every contact of the file was skipped; nothing was imported.")},
    {IDS_OTHER_IMPORT_EMPTY,
     QT_TRANSLATE_NOOP("StringTable", "The file holds no contacts that could be read.")},
    {IDS_OTHER_IMPORT_PREVIEW,
     QT_TRANSLATE_NOOP("StringTable",
                       "%1 contacts will be imported from %2 into a new group \"%3\".")},
    {IDS_OTHER_IMPORT_GROUP, QT_TRANSLATE_NOOP("StringTable", "Imported contacts")},
    {IDS_OTHER_IMPORT_PREVIEW_ONE,
     QT_TRANSLATE_NOOP("StringTable",
                       "1 contact will be imported from %2 into a new group \"%3\".")},
    {IDS_OTHER_IMPORT_FLATTENED,
     QT_TRANSLATE_NOOP(
         "StringTable",
         "Contacts that lay more than %2 groups deep, put into the deepest of those groups: %1.")},
    {IDS_OTHER_IMPORT_EMPTY_CARDS,
     QT_TRANSLATE_NOOP("StringTable", "Cards that held nothing at all, left out: %1.")},
    {IDS_DELETE_BRANCH_QUESTION,
     QT_TRANSLATE_NOOP("StringTable", "Do you really want to delete \"%1\" and its %2 contacts?")},
    {IDS_DELETE_BRANCH_QUESTION_ONE,
     QT_TRANSLATE_NOOP("StringTable", "Do you really want to delete \"%1\" and its contact?")},
    {IDS_THOUSANDS_SEPARATOR, QT_TRANSLATE_NOOP("StringTable", ",")},
};

const int kUntranslated[] = {IDS_VERSION,
                             IDR_MAINFRAME,
                             AFX_IDS_APP_TITLE,
                             IDS_MAILTO_AUTHOR,
                             IDS_SUPPORT_PAGE,
                             IDS_HOME_PAGE,
                             59137,
                             59138,
                             59139};

}  // namespace

std::span<const SStringSource> StringTableSources() { return kSources; }

std::span<const int> UntranslatedStringIds() { return kUntranslated; }

void TranslateStringTable() {
  std::unordered_map<int, std::string> texts;
  for (const SStringSource& source : kSources) {
    const QString text = QCoreApplication::translate("StringTable", source.text);
    if (text != QLatin1String(source.text)) texts.emplace(source.id, text.toStdString());
  }
  SetTranslatedStrings(std::move(texts));
}

}  // namespace zorvan
