#pragma once

#include <cstdint>
#include <string_view>
#include <utility>

#include "interchange/vcard/VCardProperty.h"
#include "store/RecordFields.h"

namespace zorvan {

// What the fields of a record are in vCard terms, for the reader of other programs' cards and
// for the standard writer alike: a field read from a property is written to the same one.

// The eight telephone fields: the TEL kind (one of the type flags) and side of each, with the
// TYPE words written for them in 3.0 and 4.0. A number of a kind but of neither side goes to
// the field of rank 0 of its kind first, then to the other; a cell phone without WORK is the
// personal mobile, as phones file it. The personal mobile is written as CELL alone: address
// books that take HOME for the home phone (abook) let a HOME,CELL number replace it.
struct SPhoneMapping {
  EField field;
  std::uint32_t kind;
  bool work;
  int untypedRank;
  std::string_view types30;
  std::string_view types40;
};
inline constexpr SPhoneMapping kPhoneMappings[] = {
    {fieldHomePhone, kVoice, false, 0, "HOME,VOICE", "home,voice"},
    {fieldHomeFax, kFax, false, 1, "HOME,FAX", "home,fax"},
    {fieldPersonalMobile, kCell, false, 0, "CELL", "cell"},
    {fieldPersonalPager, kPager, false, 0, "HOME,PAGER", "home,pager"},
    {fieldBusinessPhone, kVoice, true, 1, "WORK,VOICE", "work,voice"},
    {fieldBusinessFax, kFax, true, 0, "WORK,FAX", "work,fax"},
    {fieldBusinessMobile, kCell, true, 1, "WORK,CELL", "work,cell"},
    {fieldBusinessPager, kPager, true, 1, "WORK,PAGER", "work,pager"},
};

// An EMAIL or URL pair: the personal address is the HOME one, the business address the WORK
// one, and the preference field says which of them PREF marks (0 personal, 1 business).
struct SAddressPairMapping {
  std::string_view name;
  EField personal;
  EField business;
  EField preference;
  bool internet;  // 3.0 adds the INTERNET type word
  std::string_view remark;
};
inline constexpr SAddressPairMapping kEmailMapping{
    "EMAIL", fieldPersonalEmail, fieldBusinessEmail, fieldPrefEmail, true, "E-mail"};
inline constexpr SAddressPairMapping kUrlMapping{
    "URL", fieldPersonalWeb, fieldBusinessWeb, fieldPrefUrl, false, "Web"};

// The seven components of ADR (post office box, extended address, street, locality, region,
// postal code, country) in the fields of one side. A field named by several components takes
// them all, joined by line breaks, when read, and is written in the last of them: the home
// address has no field for the box and the extended address, the business address keeps its
// extended address (the part of the address within the building) as the office.
struct SPostalMapping {
  bool work;
  std::string_view types30;
  std::string_view types40;
  EField components[7];
};
inline constexpr SPostalMapping kHomeAddressMapping{
    false,
    "HOME",
    "home",
    {fieldHomeStreet, fieldHomeStreet, fieldHomeStreet, fieldHomeCity, fieldHomeState,
     fieldHomePostalCode, fieldHomeCountry}};
inline constexpr SPostalMapping kWorkAddressMapping{
    true,
    "WORK",
    "work",
    {fieldBusinessStreet, fieldOffice, fieldBusinessStreet, fieldBusinessCity, fieldBusinessState,
     fieldBusinessPostalCode, fieldBusinessCountry}};

// The components of N: family name, given name, additional names, honorific prefix; the fifth,
// the suffix, has no field.
inline constexpr EField kNameComponents[] = {fieldLastName, fieldFirstName, fieldMiddleName,
                                             fieldTitle};
inline constexpr size_t kNameComponentCount = 5;

// The properties of one value each, by version; remark names the value in the remark when its
// field is taken already.
struct SPropertyMapping {
  EField field;
  std::string_view name30;
  std::string_view name40;
  std::string_view remark;
};
inline constexpr SPropertyMapping kNicknameMapping{fieldNickname, "NICKNAME", "NICKNAME",
                                                   "Nickname"};
inline constexpr SPropertyMapping kJobTitleMapping{fieldJobTitle, "TITLE", "TITLE", "Job title"};
// Dates are written as 1980-03-22 in 3.0, as 19800322 in 4.0; any form address books write is
// read.
inline constexpr SPropertyMapping kBirthdayMapping{fieldBirthday, "BDAY", "BDAY", "Birthday"};
inline constexpr SPropertyMapping kAnniversaryMapping{fieldAnniversary, "X-ANNIVERSARY",
                                                      "ANNIVERSARY", "Anniversary"};
// 4.0 relates a spouse by name only with VALUE=text.
inline constexpr SPropertyMapping kSpouseMapping{fieldSpouse, "X-SPOUSE",
                                                 "RELATED;TYPE=spouse;VALUE=text", "Spouse"};

// What other programs name the properties above, and a few the standard writer never writes
// (their handlers are in ForeignVCardReader.cpp): each vendor name is read as the property it
// stands for. KAddressBook writes its own fields as X-KADDRESSBOOK-X-<name>, Evolution as
// X-EVOLUTION-<name>, Windows Address Book as X-WAB-<name>, Outlook as X-MS-<name>.
inline constexpr std::pair<std::string_view, std::string_view> kVendorAliases[] = {
    {kAnniversaryMapping.name30, "ANNIVERSARY"},
    {"X-MS-ANNIVERSARY", "ANNIVERSARY"},
    {"X-EVOLUTION-ANNIVERSARY", "ANNIVERSARY"},
    {"X-KADDRESSBOOK-X-ANNIVERSARY", "ANNIVERSARY"},
    {"X-WAB-WEDDING_ANNIVERSARY", "ANNIVERSARY"},
    {kSpouseMapping.name30, "SPOUSNAME"},
    {"X-MS-SPOUSE", "SPOUSNAME"},
    {"X-EVOLUTION-SPOUSE", "SPOUSNAME"},
    {"X-KADDRESSBOOK-X-SPOUSESNAME", "SPOUSNAME"},
    {"X-KADDRESSBOOK-X-SPOUSENAME", "SPOUSNAME"},
    {"X-WAB-SPOUSE_NAME", "SPOUSNAME"},
    {"X-CHILDREN", "X-CHILD"},
    {"X-MS-CHILD", "X-CHILD"},
    {"X-MS-MANAGER", "MANNAME"},
    {"X-EVOLUTION-MANAGER", "MANNAME"},
    {"X-MANAGER", "MANNAME"},
    {"X-KADDRESSBOOK-X-MANAGERSNAME", "MANNAME"},
    {"X-MS-ASSISTANT", "ASSNAME"},
    {"X-EVOLUTION-ASSISTANT", "ASSNAME"},
    {"X-ASSISTANT", "ASSNAME"},
    {"X-KADDRESSBOOK-X-ASSISTANTSNAME", "ASSNAME"},
    {"X-KADDRESSBOOK-X-DEPARTMENT", "X-DEPARTMENT"},
    {"X-KADDRESSBOOK-X-OFFICE", "OFFICE"},
    {"X-KADDRESSBOOK-X-PROFESSION", "X-PROFESSION"},
};
// The fields of KAddressBook's department and profession. A profession goes to the job title
// when the card has no TITLE.
inline constexpr SPropertyMapping kDepartmentMapping{fieldDepartment, "X-DEPARTMENT",
                                                     "X-DEPARTMENT", "Department"};
inline constexpr SPropertyMapping kProfessionMapping{fieldJobTitle, "X-PROFESSION", "X-PROFESSION",
                                                     "Profession"};

// Instant messaging handles under their service's name (X-AIM and the like, and IMPP's scheme
// or service type), with the scheme of IMPP's URI. A handle goes to an IP phone field that is
// free as that URI, so that it says its service and is written back as IMPP; a service
// without a scheme is no messaging address (Outlook's X-MS-IMADDRESS is the SIP address of its
// messenger, taken as it stands).
struct SImService {
  std::string_view name;  // after "X-"
  std::string_view service;
  std::string_view scheme;
};
inline constexpr SImService kImServices[] = {
    {"AIM", "AIM", "aim"},
    {"ICQ", "ICQ", "icq"},
    {"MSN", "MSN", "msnim"},
    {"YAHOO", "Yahoo", "ymsgr"},
    {"SKYPE", "Skype", "skype"},
    {"SKYPE-USERNAME", "Skype", "skype"},
    {"JABBER", "Jabber", "xmpp"},
    {"GTALK", "Google Talk", "xmpp"},
    {"GOOGLE-TALK", "Google Talk", "xmpp"},
    {"QQ", "QQ", "qq"},
    {"GADUGADU", "Gadu-Gadu", "gg"},
    {"MS-IMADDRESS", "", ""},
    {"KADDRESSBOOK-X-IMADDRESS", "", ""},
    {"TWITTER", "Twitter", ""},
    {"GROUPWISE", "GroupWise", "groupwise"},
    {"IRC", "IRC", "irc"},
};

// What Apple's item labels mean beside their _$!<Word>!$_ forms: the words its localised
// versions and the users of other programs write. Compared without regard to ASCII case.
inline constexpr std::string_view kSpouseLabels[] = {
    "Spouse",    "Husband",  "Wife",     "Ehepartner", "Ehemann", "Ehefrau",  "Manžel", "Manželka",
    "Partnerka", "Małżonek", "Małżonka", "Mąż",        "Żona",    "Conjoint", "Σύζυγος"};
inline constexpr std::string_view kChildLabels[] = {"Child", "Son",   "Daughter", "Kind", "Dítě",
                                                    "Syn",   "Dcera", "Dziecko",  "Παιδί"};
inline constexpr std::string_view kAnniversaryLabels[] = {
    "Anniversary", "Jahrestag", "Hochzeitstag", "Výročí", "Rocznica", "Anniversaire", "Επέτειος"};

// The program's own properties: what no standard property holds, and the numbers that win over
// PREF and GENDER when the program reads its own card back. Every name starts with
// kOwnPrefix; a card with any of them was written by this program.
inline constexpr std::string_view kOwnPrefix = "X-TAVORIN-";
enum class EOwnWrite { always, unlessZero, never };
struct SOwnProperty {
  std::string_view name;
  EField field;
  EOwnWrite write;
};
inline constexpr SOwnProperty kOwnProperties[] = {
    {"X-TAVORIN-GENDER", fieldGender, EOwnWrite::unlessZero},
    {"X-TAVORIN-EMAIL", fieldPrefEmail, EOwnWrite::always},
    {"X-TAVORIN-URL", fieldPrefUrl, EOwnWrite::always},
    {"X-TAVORIN-HOME-IPPHONE", fieldHomeIpPhone, EOwnWrite::always},
    {"X-TAVORIN-WORK-IPPHONE", fieldBusinessIpPhone, EOwnWrite::always},
    {"X-TAVORIN-ANNIVERSARY-STRING", fieldAnniversaryText, EOwnWrite::always},
    {"X-TAVORIN-NAMEDAY-DATE", fieldNameDay, EOwnWrite::always},
    {"X-TAVORIN-CHILDREN", fieldChildren, EOwnWrite::always},
    // Read, never written: a group gets no card, and the spouse and the anniversary travel in
    // standard properties.
    {"X-TAVORIN-GROUP", fieldGroup, EOwnWrite::never},
    {"X-TAVORIN-SPOUSE", fieldSpouse, EOwnWrite::never},
    {"X-TAVORIN-ANNIVERSARY-DATE", fieldAnniversary, EOwnWrite::never},
};

constexpr bool OwnNamesHaveThePrefix() {
  for (const SOwnProperty& own : kOwnProperties)
    if (!own.name.starts_with(kOwnPrefix)) return false;
  return true;
}
static_assert(OwnNamesHaveThePrefix(), "every X-TAVORIN- property starts with kOwnPrefix");

}  // namespace zorvan
