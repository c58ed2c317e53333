// What an unknown export's column names mean, in the languages address books are localised to.
#include <gtest/gtest.h>

#include <string>

#include "interchange/FieldList.h"
#include "interchange/csv/ColumnDictionary.h"

namespace zorvan::foreign_csv {
namespace {

TEST(ColumnDictionary, shouldReadTheNamesOfElevenLanguages) {
  const struct {
    const char* name;
    int target;
  } cases[] = {
      {"First Name", targetFirstName},
      {"Vorname", targetFirstName},
      {"Prénom", targetFirstName},
      {"PRENOM", targetFirstName},
      {"Nombre", targetFirstName},
      {"Křestní jméno", targetFirstName},
      {"Imię", targetFirstName},
      {"Keresztnév", targetFirstName},
      {"Nom", targetLastName},
      {"Příjmení", targetLastName},
      {"Priezvisko", targetLastName},
      {"Nazwisko", targetLastName},
      {"Achternaam", targetLastName},
      {"Cognome", targetLastName},
      {"Vezetéknév", targetLastName},
      {"Nom complet", targetLabel},
      {"Název", targetNoChoice},
      {"Anzeigename", targetLabel},
      {"Přezdívka", targetNickname},
      {"Firma", targetCompany},
      {"Společnost", targetCompany},
      {"Abteilung", targetDepartment},
      {"Oddělení", targetDepartment},
      {"Stanowisko", targetJobTitle},
      {"Straße", targetHomeStreet},
      {"STRASSE", targetHomeStreet},
      {"Ulice", targetHomeStreet},
      {"PSČ", targetHomePostalCode},
      {"Code postal", targetHomePostalCode},
      {"Miejscowość", targetHomeCity},
      {"Ország", targetHomeCountry},
      {"Handy", targetPersonalMobile},
      {"Telefon komórkowy", targetPersonalMobile},
      {"Teléfono móvil", targetPersonalMobile},
      {"Telefon geschäftlich", targetBusinessPhone},
      {"Pracovní telefon", targetBusinessPhone},
      {"E-Mail-Adresse", targetPersonalEmail},
      {"Courriel", targetPersonalEmail},
      {"E-mail służbowy", targetBusinessEmail},
      {"Ehepartner", targetSpouse},
      {"Manžel/ka", targetSpouse},
      {"Děti", targetChildren},
      {"Geburtstag", targetBirthday},
      {"Datum narození", targetBirthday},
      {"Anniversaire", targetBirthday},
      {"Hochzeitstag", targetAnniversary},
      {"Výročí", targetAnniversary},
      {"Svátek", targetNameDay},
      {"Imieniny", targetNameDay},
      {"Poznámky", targetRemark},
      {"Megjegyzés", targetRemark},
  };
  for (const auto& c : cases) EXPECT_EQ(ColumnMeaning(c.name), c.target) << c.name;
}

TEST(ColumnDictionary, shouldFoldCasePunctuationWordOrderAndNumbers) {
  EXPECT_EQ(MeaningKey("Telefon (privat)"), MeaningKey("Privat-Telefon"));
  EXPECT_EQ(MeaningKey("  e-MAIL  2 "), MeaningKey("E-mail"));
  EXPECT_EQ(MeaningKey("Phone1"), "phone");
  for (const char* name : {"Privat-Telefon", "E-mail 2", "Phone1", "home phone", "TELEFON PRIVAT"})
    EXPECT_NE(ColumnMeaning(name), targetNoChoice) << name;
  EXPECT_EQ(ColumnMeaning("Telefon privat"), ColumnMeaning("Privat: Telefon"));
}

TEST(ColumnDictionary, shouldKnowNothingOfOtherNames) {
  for (const char* name : {"", "2", "Lieblingsfarbe", "王小明", "Μισθός", "Section 1 - Foo"})
    EXPECT_EQ(ColumnMeaning(name), targetNoChoice) << name;
  // A name far longer than any column's is not read at all.
  EXPECT_EQ(ColumnMeaning(std::string(300, 'a') + " Email"), targetNoChoice);
  EXPECT_EQ(MeaningKey(std::string(201, 'x')), "");
}

TEST(ColumnDictionary, shouldGiveNoNameToTwoFields) {
  EXPECT_TRUE(AmbiguousMeaningNames().empty()) << testing::PrintToString(AmbiguousMeaningNames());
}

}  // namespace
}  // namespace zorvan::foreign_csv
