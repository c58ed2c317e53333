#include "interchange/csv/ColumnDictionary.h"

#include <algorithm>
#include <iterator>
#include <unordered_map>
#include <utility>
#include <vector>

#include "interchange/FieldList.h"
#include "res/TextFold.h"

namespace zorvan::foreign_csv {
namespace {

constexpr size_t kLongestName = 200;

// The names of a field, separated by '|': written as the programs write them, folded when the
// dictionary is made. Per line: English; German; French; Spanish; Italian; Portuguese; Dutch;
// Czech; Slovak; Polish; Hungarian, as far as each language has a name of its own.
struct SMeaning {
  int target;
  std::string_view names;
};

constexpr SMeaning kMeanings[] = {
    {targetFirstName,
     "First Name|Firstname|Given Name|Forename|Christian Name|Vorname|Prénom|Nombre|"
     "Nome|Primeiro Nome|Voornaam|Jméno|Křestní jméno|Meno|Krstné meno|Imię|Keresztnév|Utónév"},
    {targetLastName,
     "Last Name|Lastname|Surname|Family Name|Nachname|Familienname|Zuname|Nom|Nom de famille|"
     "Apellido|Apellidos|Cognome|Sobrenome|Último nome|Achternaam|Příjmení|Priezvisko|Nazwisko|"
     "Vezetéknév|Családnév"},
    {targetMiddleName,
     "Middle Name|Middle Names|Zweiter Vorname|Weitere Vornamen|Deuxième prénom|Second prénom|"
     "Segundo nombre|Secondo nome|Nome do meio|Tweede voornaam|Tussenvoegsel|Prostřední jméno|"
     "Druhé jméno|Stredné meno|Druhé meno|Drugie imię|Középső név|Második keresztnév"},
    {targetTitle,
     "Title|Prefix|Name Prefix|Salutation|Titel|Anrede|Namenspräfix|Titre|Civilité|Título|"
     "Tratamiento|Titolo|Tratamento|Aanhef|Titul|Oslovení|Tytuł|Titulus|Előtag|Megszólítás"},
    {targetLabel,
     "Name|Full Name|Display Name|Contact Name|File As|Anzeigename|Vollständiger Name|"
     "Nom complet|Nom d'affichage|Nombre completo|Nombre para mostrar|Nome completo|"
     "Nome visualizzato|Nome de exibição|Volledige naam|Weergavenaam|Naam|Celé jméno|"
     "Zobrazované jméno|Celé meno|Zobrazované meno|Nazwa wyświetlana|Pełna nazwa|"
     "Imię i nazwisko|Teljes név|Megjelenített név|Név"},
    {targetNickname,
     "Nickname|Nick|Alias|Spitzname|Rufname|Surnom|Pseudo|Pseudonyme|Apodo|Sobrenombre|"
     "Soprannome|Alcunha|Bijnaam|Přezdívka|Prezývka|Pseudonim|Przydomek|Becenév"},
    {targetCompany,
     "Company|Company Name|Organization|Organisation|Organization Name|Employer|Firma|"
     "Unternehmen|Arbeitgeber|Société|Entreprise|Empresa|Compañía|Organización|Società|Azienda|"
     "Organizzazione|Companhia|Organização|Bedrijf|Organisatie|Společnost|Organizace|"
     "Zaměstnavatel|Spoločnosť|Organizácia|Organizacja|Przedsiębiorstwo|Cég|Vállalat|Szervezet|"
     "Munkahely"},
    {targetDepartment,
     "Department|Dept|Abteilung|Departamento|Reparto|Dipartimento|Afdeling|Oddělení|"
     "Oddelenie|Dział|Osztály|Részleg"},
    {targetJobTitle,
     "Job Title|Position|Role|Job|Occupation|Profession|Berufsbezeichnung|Funktion|Beruf|"
     "Stellung|Fonction|Poste|Titre du poste|Puesto|Cargo|Qualifica|Posizione|Ruolo|Mansione|"
     "Função|Functie|Functietitel|Pozice|Funkce|Pracovní pozice|Povolání|Pozícia|Funkcia|"
     "Stanowisko|Zawód|Beosztás|Munkakör|Foglalkozás"},
    {targetOffice,
     "Office|Office Location|Büro|Bureau|Oficina|Ufficio|Escritório|Kantoor|Kancelář|"
     "Kancelária|Biuro|Iroda"},
    {targetHomeStreet,
     "Street|Home Street|Address|Home Address|Street Address|Straße|Straße privat|Adresse|"
     "Privatadresse|Rue|Adresse domicile|Calle|Dirección|Dirección particular|Via|Indirizzo|"
     "Indirizzo abitazione|Rua|Endereço|Morada|Endereço residencial|Straat|Adres|Adres thuis|"
     "Ulice|Adresa|Ulica|Adres domowy|Utca|Cím|Lakcím"},
    {targetHomeCity,
     "City|Home City|Town|Ort|Stadt|Wohnort|Ort privat|Ville|Ciudad|Localidad|Población|Città|"
     "Località|Comune|Cidade|Plaats|Woonplaats|Stad|Město|Obec|Mesto|Miasto|Miejscowość|Város|"
     "Település"},
    {targetHomePostalCode,
     "ZIP|ZIP Code|Zipcode|Postal Code|Postcode|Post Code|Home ZIP|Home Postal "
     "Code|PLZ|Postleitzahl|"
     "PLZ privat|Code postal|Código postal|CAP|Codice postale|CEP|PSČ|Směrovací číslo|"
     "Kod pocztowy|Irányítószám|Irsz"},
    {targetHomeState,
     "State|Province|Region|County|Home State|Bundesland|Kanton|Région|Provincia|Estado|"
     "Región|Regione|Província|Região|Distrito|Provincie|Regio|Województwo|Megye|Állam"},
    {targetHomeCountry,
     "Country|Country/Region|Home Country|Nation|Land|Pays|País|Paese|Nazione|Země|Krajina|"
     "Ország"},
    {targetHomePhone,
     "Phone|Telephone|Home Phone|Private Phone|Phone Number|Home Telephone|Telefon|"
     "Telefon privat|Telefonnummer|Téléphone|Téléphone domicile|Téléphone personnel|Teléfono|"
     "Teléfono particular|Teléfono de casa|Telefono|Telefono abitazione|Telefono casa|Telefone|"
     "Telefone residencial|Telefoon|Telefoon thuis|Telefoonnummer|Telefon domů|"
     "Telefon soukromý|Telefón|Telefón domov|Telefon domowy|Otthoni telefon|Telefonszám"},
    {targetHomeFax,
     "Home Fax|Fax privat|Fax domicile|Fax particular|Fax abitazione|Fax residencial|Fax thuis|"
     "Fax domů|Faks domowy|Otthoni fax"},
    {targetPersonalMobile,
     "Mobile|Mobile Phone|Mobile Number|Cell|Cell Phone|Cellular|Mobil|Mobiltelefon|Handy|"
     "Mobilnummer|Portable|Téléphone portable|Téléphone mobile|Móvil|Teléfono móvil|Celular|"
     "Cellulare|Telefono cellulare|Telemóvel|Telefone celular|Mobiel|Mobiele telefoon|GSM|"
     "Mobilní telefon|Mobilný telefón|Telefon komórkowy|Komórka|Mobilszám"},
    {targetPersonalPager,
     "Pager|Piepser|Buscapersonas|Localizador|Cercapersone|Pieper|Személyhívó"},
    {targetPersonalEmail,
     "Email|E-mail|E mail|Email Address|E-mail Address|Mail|Personal Email|Home Email|"
     "E-Mail-Adresse|E-Mail privat|Courriel|Adresse électronique|Adresse e-mail|"
     "Adresse courriel|Correo|Correo electrónico|Dirección de correo electrónico|"
     "Posta elettronica|Indirizzo email|Indirizzo e-mail|Correio eletrônico|"
     "Endereço de email|Endereço de e-mail|E-mailadres|Emailadres|E-mailová adresa|"
     "Emailová adresa|Adres e-mail|Adres email|E-mail cím|Email cím"},
    {targetPersonalWeb,
     "Web|Website|Web Site|Web Page|Webpage|Homepage|Home Page|URL|Personal Website|Webseite|"
     "Internetseite|Site web|Page web|Site internet|Sitio web|Página web|Sito web|Pagina web|"
     "Site|Webpagina|Webová stránka|WWW|Strona WWW|Strona internetowa|Weboldal|Honlap"},
    {targetBusinessStreet,
     "Business Street|Work Street|Business Address|Work Address|Office Address|"
     "Straße geschäftlich|Adresse geschäftlich|Geschäftsadresse|Adresse professionnelle|"
     "Dirección del trabajo|Indirizzo ufficio|Indirizzo lavoro|Endereço comercial|Werkadres|"
     "Adresa do práce|Pracovní adresa|Adres służbowy|Munkahelyi cím"},
    {targetBusinessCity, "Business City|Work City|Ort geschäftlich|Stadt geschäftlich"},
    {targetBusinessPostalCode,
     "Business Postal Code|Business ZIP|Work ZIP|Work Postal Code|PLZ geschäftlich|"
     "Postleitzahl geschäftlich"},
    {targetBusinessState,
     "Business State|Work State|Business Region|Bundesland geschäftlich|Region geschäftlich"},
    {targetBusinessCountry,
     "Business Country|Work Country|Business Country/Region|Land geschäftlich"},
    {targetBusinessPhone,
     "Business Phone|Work Phone|Office Phone|Work Telephone|Business Telephone|"
     "Telefon geschäftlich|Telefon dienstlich|Telefon Arbeit|Téléphone bureau|"
     "Téléphone professionnel|Teléfono del trabajo|Teléfono trabajo|Teléfono oficina|"
     "Telefono ufficio|Telefono lavoro|Telefone comercial|Telefone do trabalho|Telefoon werk|"
     "Zakelijke telefoon|Telefon do práce|Pracovní telefon|Telefón do práce|Pracovný telefón|"
     "Telefon służbowy|Telefon do pracy|Munkahelyi telefon"},
    {targetBusinessFax,
     "Fax|Business Fax|Work Fax|Telefax|Fax geschäftlich|Télécopie|Fax bureau|"
     "Fax professionnel|Fax del trabajo|Fax ufficio|Fax comercial|Fax werk|Faks|Faks służbowy"},
    {targetBusinessMobile,
     "Business Mobile|Work Mobile|Work Cell|Mobil geschäftlich|Handy geschäftlich|"
     "Pracovní mobil|Telefon komórkowy służbowy"},
    {targetBusinessPager, "Business Pager|Work Pager|Pager geschäftlich"},
    {targetBusinessEmail,
     "Work Email|Business Email|Office Email|Work E-mail|Business E-mail|E-Mail geschäftlich|"
     "Geschäftliche E-Mail|Courriel professionnel|E-mail professionnel|"
     "Correo electrónico del trabajo|Correo del trabajo|Email lavoro|E-mail lavoro|"
     "E-mail comercial|E-mail do trabalho|E-mail werk|Zakelijke e-mail|E-mail do práce|"
     "Pracovní e-mail|Pracovný e-mail|E-mail służbowy|Munkahelyi e-mail"},
    {targetBusinessWeb,
     "Business Web Page|Work Web Page|Business Website|Work Website|Company Website|"
     "Webseite geschäftlich|Site web professionnel"},
    {targetSpouse,
     "Spouse|Spouse Name|Spouse/Partner|Partner|Husband|Wife|Ehepartner|Ehegatte|Conjoint|"
     "Époux|Épouse|Cónyuge|Esposo|Esposa|Pareja|Coniuge|Cônjuge|Echtgenoot|Echtgenote|Manžel|"
     "Manželka|Manžel/ka|Małżonek|Małżonka|Házastárs"},
    {targetChildren,
     "Children|Kids|Child|Kinder|Enfants|Hijos|Figli|Filhos|Kinderen|Děti|Deti|Dzieci|"
     "Gyermekek|Gyerekek"},
    {targetBirthday,
     "Birthday|Birth Date|Birthdate|Date of Birth|DOB|Born|Geburtstag|Geburtsdatum|"
     "Anniversaire|Date de naissance|Cumpleaños|Fecha de nacimiento|Compleanno|"
     "Data di nascita|Data de nascimento|Verjaardag|Geboortedatum|Narozeniny|"
     "Datum narození|Narodeniny|Dátum narodenia|Urodziny|Data urodzenia|Születésnap|"
     "Születési dátum"},
    {targetAnniversary,
     "Anniversary|Wedding Anniversary|Jahrestag|Hochzeitstag|Anniversaire de mariage|"
     "Aniversario de boda|Anniversario|Anniversario di matrimonio|"
     "Aniversário de casamento|Trouwdag|Výročí|Výročí svatby|Výročie|Rocznica|Rocznica ślubu|"
     "Évforduló|Házassági évforduló"},
    {targetNameDay,
     "Name Day|Nameday|Namenstag|Fête|Onomástico|Onomastico|Naamdag|Svátek|Jmeniny|Meniny|"
     "Imieniny|Névnap"},
    {targetRemark,
     "Notes|Note|Comments|Comment|Remarks|Notizen|Notiz|Anmerkungen|Bemerkungen|Kommentar|"
     "Remarques|Commentaires|Notas|Comentarios|Observaciones|Commenti|Observações|"
     "Comentários|Notities|Opmerkingen|Aantekeningen|Poznámky|Poznámka|Komentář|Notatki|Uwagi|"
     "Komentarz|Megjegyzés|Megjegyzések"},
};

// Every name of the table with its field, in the table's order.
template <typename Visit>
void ForEachName(Visit visit) {
  for (const SMeaning& meaning : kMeanings) {
    std::string_view names = meaning.names;
    while (!names.empty()) {
      const size_t bar = std::min(names.find('|'), names.size());
      visit(names.substr(0, bar), meaning.target);
      names.remove_prefix(std::min(bar + 1, names.size()));
    }
  }
}

const std::unordered_map<std::string, int>& Dictionary() {
  static const std::unordered_map<std::string, int> dictionary = [] {
    std::unordered_map<std::string, int> made;
    ForEachName(
        [&made](std::string_view name, int target) { made.emplace(MeaningKey(name), target); });
    return made;
  }();
  return dictionary;
}

bool IsWordByte(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c >= 0x80;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool LooksLikeEmail(std::string_view v) {
  const size_t at = v.find('@');
  return at != std::string_view::npos && at > 0 && v.find('@', at + 1) == std::string_view::npos &&
         v.find('.', at + 2) != std::string_view::npos && v.back() != '.' &&
         v.find_first_of(" \t,;") == std::string_view::npos;
}

bool LooksLikePhone(std::string_view v) {
  size_t digits = 0;
  for (const char c : v) {
    if (IsDigit(c))
      ++digits;
    else if (std::string_view(" +-()./").find(c) == std::string_view::npos)
      return false;
  }
  return digits >= 6 && digits <= 20 &&
         (v.front() == '+' || v.front() == '(' || IsDigit(v.front()));
}

// 17.5.1970, 5/17/1970, 1970-05-17, 17-05-70: three runs of digits with one kind of separator.
bool LooksLikeDate(std::string_view v) {
  if (v.size() < 6 || v.size() > 10) return false;
  int runs = 0, length = 0;
  char separator = 0;
  for (const char c : v) {
    if (IsDigit(c)) {
      if (length++ == 0) ++runs;
      if (length > 4) return false;
    } else if (c == '.' || c == '/' || c == '-') {
      if (length == 0 || (separator && c != separator)) return false;
      separator = c;
      length = 0;
    } else {
      return false;
    }
  }
  return runs == 3 && length > 0;
}

enum class EShape { none, email, phone, date, text };

EShape ShapeOf(std::string_view v) {
  if (v.empty()) return EShape::none;
  if (LooksLikeEmail(v)) return EShape::email;
  if (LooksLikeDate(v)) return EShape::date;
  if (LooksLikePhone(v)) return EShape::phone;
  return EShape::text;
}

}  // namespace

bool LooksLikeData(const std::vector<std::string>& firstLine) {
  bool shaped = false;
  for (const std::string& value : firstLine) {
    if (ColumnMeaning(value) != targetNoChoice) return false;
    const EShape shape = ShapeOf(value);
    shaped = shaped || shape == EShape::email || shape == EShape::phone || shape == EShape::date;
  }
  return shaped;
}

std::vector<int> TargetsByShape(const std::vector<std::string>& firstLine) {
  static constexpr int kEmails[] = {targetPersonalEmail, targetBusinessEmail};
  static constexpr int kPhones[] = {targetHomePhone, targetPersonalMobile, targetBusinessPhone};
  size_t emails = 0, phones = 0;
  bool date = false, text = false;
  std::vector<int> targets(firstLine.size(), targetNothing);
  for (size_t i = 0; i < firstLine.size(); ++i) {
    int& target = targets[i];
    switch (ShapeOf(firstLine[i])) {
      case EShape::none:
        break;
      case EShape::email:
        target = emails < std::size(kEmails) ? kEmails[emails++] : targetRemark;
        break;
      case EShape::phone:
        target = phones < std::size(kPhones) ? kPhones[phones++] : targetRemark;
        break;
      case EShape::date:
        target = std::exchange(date, true) ? targetRemark : targetBirthday;
        break;
      case EShape::text:
        target = std::exchange(text, true) ? targetRemark : targetLabel;
        break;
    }
  }
  return targets;
}

std::string MeaningKey(std::string_view name) {
  if (name.size() > kLongestName) return {};
  const std::string folded = FoldedText(name);
  std::vector<std::string_view> words;
  const std::string_view text(folded);
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && !IsWordByte(static_cast<unsigned char>(text[i]))) ++i;
    size_t end = i;
    while (end < text.size() && IsWordByte(static_cast<unsigned char>(text[end]))) ++end;
    std::string_view word = text.substr(i, end - i);
    // The number of a repeated column, alone or at a word's end ("Email 2", "Phone1").
    while (!word.empty() && word.back() >= '0' && word.back() <= '9') word.remove_suffix(1);
    if (!word.empty()) words.push_back(word);
    i = end;
  }
  std::sort(words.begin(), words.end());
  std::string key;
  for (const std::string_view word : words) {
    if (!key.empty()) key += ' ';
    key += word;
  }
  return key;
}

int ColumnMeaning(std::string_view name) {
  const std::string key = MeaningKey(name);
  if (key.empty()) return targetNoChoice;
  const auto& dictionary = Dictionary();
  const auto it = dictionary.find(key);
  return it == dictionary.end() ? targetNoChoice : it->second;
}

size_t TargetsByMeaning(const std::vector<std::string>& header, std::vector<int>& targets) {
  targets.assign(header.size(), targetNothing);
  size_t known = 0;
  for (size_t i = 0; i < header.size(); ++i) {
    if (header[i].empty()) continue;
    const int meaning = ColumnMeaning(header[i]);
    if (meaning != targetNoChoice) ++known;
    targets[i] = meaning == targetNoChoice ? targetRemark : meaning;
  }
  return known;
}

std::vector<std::string> AmbiguousMeaningNames() {
  std::unordered_map<std::string, int> seen;
  std::vector<std::string> ambiguous;
  ForEachName([&](std::string_view name, int target) {
    const auto [it, added] = seen.emplace(MeaningKey(name), target);
    if (!added && it->second != target) ambiguous.emplace_back(name);
  });
  return ambiguous;
}

}  // namespace zorvan::foreign_csv
