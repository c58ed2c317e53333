#include "interchange/csv/ForeignCsvTables.h"

#include <array>
#include <iterator>

#include "interchange/FieldList.h"
#include "interchange/csv/ForeignCsvLayouts.h"

namespace zorvan::foreign_csv {
namespace {

// The webmail's exports: the older "Google CSV" (Name, Given Name, ..., numbered groups with a
// "Type" column) and the current one (First Name, ..., numbered groups with a "Label" column).
// The numbered groups ("E-mail 2 - Value") are matched by pattern, see GroupColumn.
constexpr SKnown kGoogle[] = {
    {"Name", targetLabel},
    {"Given Name", targetFirstName},
    {"Additional Name", targetMiddleName},
    {"Family Name", targetLastName},
    {"Yomi Name", targetRemark},
    {"Given Name Yomi", targetRemark},
    {"Additional Name Yomi", targetRemark},
    {"Family Name Yomi", targetRemark},
    {"Name Prefix", targetTitle},
    {"Name Suffix", targetRemark},
    {"Initials", targetRemark},
    {"Nickname", targetNickname},
    {"Short Name", targetRemark},
    {"Maiden Name", targetRemark},
    {"Birthday", targetBirthday},
    {"Gender", targetGender, fNoise},
    {"Location", targetRemark},
    {"Billing Information", targetRemark},
    {"Directory Server", targetRemark},
    {"Mileage", targetRemark},
    {"Occupation", targetRemark},
    {"Hobby", targetRemark},
    {"Sensitivity", targetRemark, fNoise},
    {"Priority", targetRemark, fNoise},
    {"Subject", targetRemark},
    {"Notes", targetRemark, fNotes},
    {"Group Membership", targetRemark, fGroups},
    {"First Name", targetFirstName},
    {"Middle Name", targetMiddleName},
    {"Last Name", targetLastName},
    {"Phonetic First Name", targetRemark},
    {"Phonetic Middle Name", targetRemark},
    {"Phonetic Last Name", targetRemark},
    {"File As", targetRemark},
    {"Organization Name", targetCompany},
    {"Organization Title", targetJobTitle},
    {"Organization Department", targetDepartment},
    {"Photo", targetRemark},
    {"Labels", targetRemark, fGroups},
    // The oldest export: "Name", "E-mail", "Notes", then "Section 1 - Description" and the
    // section's values (see GroupColumn).
    {"E-mail", targetPersonalEmail, fWeak},
};

// The address book of the operating system (Windows Contacts, and the address book of its mail
// programs), as its CSV export writes the columns the user ticks, in English and German.
constexpr SKnown kWindowsContacts[] = {
    {"First Name", targetFirstName},
    {"Last Name", targetLastName},
    {"Middle Name", targetMiddleName},
    {"Name", targetLabel},
    {"Nickname", targetNickname},
    {"E-mail Address", targetPersonalEmail},
    {"Home Street", targetHomeStreet},
    {"Home City", targetHomeCity},
    {"Home Postal Code", targetHomePostalCode},
    {"Home State", targetHomeState},
    {"Home Country/Region", targetHomeCountry},
    {"Home Phone", targetHomePhone},
    {"Home Fax", targetHomeFax},
    {"Mobile Phone", targetPersonalMobile},
    {"Personal Web Page", targetPersonalWeb},
    {"Business Street", targetBusinessStreet},
    {"Business City", targetBusinessCity},
    {"Business Postal Code", targetBusinessPostalCode},
    {"Business State", targetBusinessState},
    {"Business Country/Region", targetBusinessCountry},
    {"Business Web Page", targetBusinessWeb},
    {"Business Phone", targetBusinessPhone},
    {"Business Fax", targetBusinessFax},
    {"Pager", targetBusinessPager},
    {"Company", targetCompany},
    {"Job Title", targetJobTitle},
    {"Department", targetDepartment},
    {"Office Location", targetOffice},
    {"Notes", targetRemark, fNotes},
    // German
    {"Vorname", targetFirstName},
    {"Nachname", targetLastName},
    {"2. Vorname", targetMiddleName},
    {"Name", targetLabel},
    {"Rufname", targetNickname},
    {"E-Mail-Adresse", targetPersonalEmail},
    {"Straße (privat)", targetHomeStreet},
    {"Ort (privat)", targetHomeCity},
    {"Postleitzahl (privat)", targetHomePostalCode},
    {"Bundesland (privat)", targetHomeState},
    {"Land/Region (privat)", targetHomeCountry},
    {"Rufnummer (privat)", targetHomePhone},
    {"Fax (privat)", targetHomeFax},
    {"Mobiltelefon", targetPersonalMobile},
    {"Webseite (privat)", targetPersonalWeb},
    {"Straße (geschäftlich)", targetBusinessStreet},
    {"Ort (geschäftlich)", targetBusinessCity},
    {"Postleitzahl (geschäftlich)", targetBusinessPostalCode},
    {"Bundesland (geschäftlich)", targetBusinessState},
    {"Land/Region (geschäftlich)", targetBusinessCountry},
    {"Firmenwebseite", targetBusinessWeb},
    {"Rufnummer (geschäftlich)", targetBusinessPhone},
    {"Fax (geschäftlich)", targetBusinessFax},
    {"Pager", targetBusinessPager},
    {"Firma", targetCompany},
    {"Position", targetJobTitle},
    {"Abteilung", targetDepartment},
    {"Büro", targetOffice},
    {"Kommentare", targetRemark, fNotes},
};

// The webmail's address book export (US and UK names of the address parts). Its "Title" is the
// job title beside the company; "Primary" names which of the phones is the main one.
constexpr SKnown kYahoo[] = {
    {"First", targetFirstName},
    {"Middle", targetMiddleName},
    {"Last", targetLastName},
    {"Nickname", targetNickname},
    {"Email", targetPersonalEmail},
    {"Category", targetRemark, fGroups},
    {"Distribution Lists", targetRemark},
    {"Messenger ID", targetRemark},
    {"Yahoo! ID", targetRemark},
    {"Home", targetHomePhone},
    {"Work", targetBusinessPhone},
    {"Pager", targetPersonalPager},
    {"Fax", targetBusinessFax},
    {"Mobile", targetPersonalMobile},
    {"Other", targetRemark},
    {"Yahoo! Phone", targetRemark},
    {"Primary", targetRemark},
    {"Alternate Email 1", targetBusinessEmail},
    {"Alternate Email 2", targetRemark},
    {"Personal Website", targetPersonalWeb},
    {"Business Website", targetBusinessWeb},
    {"Title", targetJobTitle},
    {"Company", targetCompany},
    {"Work Address", targetBusinessStreet},
    {"Work City", targetBusinessCity},
    {"Work State", targetBusinessState},
    {"Work County", targetBusinessState},
    {"Work ZIP", targetBusinessPostalCode},
    {"Work Post Code", targetBusinessPostalCode},
    {"Work Country", targetBusinessCountry},
    {"Home Address", targetHomeStreet},
    {"Home City", targetHomeCity},
    {"Home Town", targetHomeCity},
    {"Home State", targetHomeState},
    {"Home County", targetHomeState},
    {"Home ZIP", targetHomePostalCode},
    {"Home Post Code", targetHomePostalCode},
    {"Home Country", targetHomeCountry},
    {"Birthday", targetBirthday},
    {"Anniversary", targetAnniversary},
    {"Custom 1", targetRemark},
    {"Custom 2", targetRemark},
    {"Custom 3", targetRemark},
    {"Custom 4", targetRemark},
    {"Comments", targetRemark, fNotes},
    {"Messenger ID1", targetRemark},
    {"Messenger ID2", targetRemark},
    {"Messenger ID3", targetRemark},
    {"Messenger ID4", targetRemark},
    {"Messenger ID5", targetRemark},
    {"Messenger ID6", targetRemark},
    {"Messenger ID7", targetRemark},
    {"Messenger ID8", targetRemark},
    {"Messenger ID9", targetRemark},
    {"Skype ID", targetRemark},
    {"IRC ID", targetRemark},
    {"ICQ ID", targetRemark},
    {"Google ID", targetRemark},
    {"MSN ID", targetRemark},
    {"AIM ID", targetRemark},
    {"QQ ID", targetRemark},
};

// The professional network's "Connections.csv" (after a few lines of notes, see the reader).
constexpr SKnown kLinkedIn[] = {
    {"First Name", targetFirstName}, {"Last Name", targetLastName},
    {"URL", targetPersonalWeb},      {"Email Address", targetPersonalEmail},
    {"Company", targetCompany},      {"Position", targetJobTitle},
    {"Connected On", targetRemark},
};

template <size_t N>
std::vector<SKnown> Columns(const SKnown (&table)[N]) {
  return {std::begin(table), std::end(table)};
}

}  // namespace

const std::vector<SLayout>& KnownLayouts() {
  static const std::vector<SLayout> layouts = {
      {"Outlook", OutlookColumns(), false},
      {"Google Contacts", Columns(kGoogle), true},
      {"Thunderbird", ThunderbirdColumns(), false},
      {"Windows Contacts", Columns(kWindowsContacts), false},
      {"Yahoo Mail", Columns(kYahoo), false},
      {"LinkedIn", Columns(kLinkedIn), false},
      {"Outlook.com", OutlookComColumns(), false},
      {"abook", AbookColumns(), false, true},
  };
  return layouts;
}

}  // namespace zorvan::foreign_csv
