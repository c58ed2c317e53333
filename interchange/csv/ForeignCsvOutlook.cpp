// The desktop mail and organiser program's export in the languages it ships in, and the export of
// its web version.
#include <algorithm>
#include <iterator>
#include <string_view>
#include <utility>
#include <vector>

#include "interchange/FieldList.h"
#include "interchange/csv/ForeignCsvLayouts.h"
#include "interchange/csv/ForeignCsvTables.h"

namespace zorvan::foreign_csv {
namespace {

// The desktop mail and organiser program's export, in English (also as the webmail writes it in
// its "Outlook" flavour, with whole addresses in one column), German and Japanese. The program
// localises both the names and, after the phones, the order of its columns.
constexpr SKnown kOutlook[] = {
    {"Title", targetTitle},
    {"First Name", targetFirstName},
    {"Middle Name", targetMiddleName},
    {"Last Name", targetLastName},
    {"Suffix", targetRemark},
    {"Company", targetCompany},
    {"Department", targetDepartment},
    {"Job Title", targetJobTitle},
    {"Business Street", targetBusinessStreet},
    {"Business Street 2", targetBusinessStreet, fAppend},
    {"Business Street 3", targetBusinessStreet, fAppend},
    {"Business City", targetBusinessCity},
    {"Business State", targetBusinessState},
    {"Business Postal Code", targetBusinessPostalCode},
    {"Business Country/Region", targetBusinessCountry},
    {"Home Street", targetHomeStreet},
    {"Home Street 2", targetHomeStreet, fAppend},
    {"Home Street 3", targetHomeStreet, fAppend},
    {"Home City", targetHomeCity},
    {"Home State", targetHomeState},
    {"Home Postal Code", targetHomePostalCode},
    {"Home Country/Region", targetHomeCountry},
    {"Other Street", targetRemark},
    {"Other Street 2", targetRemark},
    {"Other Street 3", targetRemark},
    {"Other City", targetRemark},
    {"Other State", targetRemark},
    {"Other Postal Code", targetRemark},
    {"Other Country/Region", targetRemark},
    {"Assistant's Phone", targetRemark},
    {"Business Fax", targetBusinessFax},
    {"Business Phone", targetBusinessPhone},
    {"Business Phone 2", targetBusinessPhone},
    {"Callback", targetRemark},
    {"Car Phone", targetRemark},
    {"Company Main Phone", targetRemark},
    {"Home Fax", targetHomeFax},
    {"Home Phone", targetHomePhone},
    {"Home Phone 2", targetHomePhone},
    {"ISDN", targetRemark},
    {"Mobile Phone", targetPersonalMobile},
    {"Other Fax", targetRemark},
    {"Other Phone", targetRemark},
    {"Pager", targetBusinessPager},
    {"Primary Phone", targetRemark},
    {"Radio Phone", targetRemark},
    {"TTY/TDD Phone", targetRemark},
    {"Telex", targetRemark},
    {"Account", targetRemark},
    {"Anniversary", targetAnniversary},
    {"Assistant's Name", targetRemark},
    {"Billing Information", targetRemark},
    {"Birthday", targetBirthday},
    {"Business Address PO Box", targetRemark},
    {"Categories", targetRemark, fGroups},
    {"Children", targetChildren},
    {"Directory Server", targetRemark},
    {"E-mail Address", targetPersonalEmail},
    {"E-mail Type", targetNothing, fType},
    {"E-mail Display Name", targetRemark},
    {"E-mail 2 Address", targetBusinessEmail},
    {"E-mail 2 Type", targetNothing, fType},
    {"E-mail 2 Display Name", targetRemark},
    {"E-mail 3 Address", targetRemark},
    {"E-mail 3 Type", targetNothing, fType},
    {"E-mail 3 Display Name", targetRemark},
    {"Gender", targetGender, fNoise},
    {"Government ID Number", targetRemark},
    {"Hobby", targetRemark},
    {"Home Address PO Box", targetRemark},
    {"Initials", targetRemark},
    {"Internet Free Busy", targetRemark},
    {"Keywords", targetRemark},
    {"Language", targetRemark},
    {"Location", targetRemark},
    {"Manager's Name", targetRemark},
    {"Mileage", targetRemark},
    {"Notes", targetRemark, fNotes},
    {"Office Location", targetOffice},
    {"Organizational ID Number", targetRemark},
    {"Other Address PO Box", targetRemark},
    {"Priority", targetRemark, fNoise},
    {"Private", targetRemark, fNoise},
    {"Profession", targetRemark},
    {"Referred By", targetRemark},
    {"Sensitivity", targetRemark, fNoise},
    {"Spouse", targetSpouse},
    {"User 1", targetRemark},
    {"User 2", targetRemark},
    {"User 3", targetRemark},
    {"User 4", targetRemark},
    {"Web Page", targetPersonalWeb},
    // The webmail's "Outlook" flavour: whole addresses, countries without the region.
    {"Business Country", targetBusinessCountry},
    {"Business Address", targetBusinessStreet, fFormatted},
    {"Home Country", targetHomeCountry},
    {"Home Address", targetHomeStreet, fFormatted},
    {"Other Country", targetRemark},
    {"Other Address", targetRemark},
    // German
    {"Anrede", targetTitle},
    {"Vorname", targetFirstName},
    {"Weitere Vornamen", targetMiddleName},
    {"Nachname", targetLastName},
    {"Firma", targetCompany},
    {"Abteilung", targetDepartment},
    {"Position", targetJobTitle},
    {"Straße geschäftlich", targetBusinessStreet},
    {"Straße geschäftlich 2", targetBusinessStreet, fAppend},
    {"Straße geschäftlich 3", targetBusinessStreet, fAppend},
    {"Ort geschäftlich", targetBusinessCity},
    {"Region geschäftlich", targetBusinessState},
    {"Postleitzahl geschäftlich", targetBusinessPostalCode},
    {"Land/Region geschäftlich", targetBusinessCountry},
    {"Straße privat", targetHomeStreet},
    {"Straße privat 2", targetHomeStreet, fAppend},
    {"Straße privat 3", targetHomeStreet, fAppend},
    {"Ort privat", targetHomeCity},
    {"Bundesland/Kanton privat", targetHomeState},
    {"Postleitzahl privat", targetHomePostalCode},
    {"Land/Region privat", targetHomeCountry},
    {"Weitere Straße", targetRemark},
    {"Weitere Straße 2", targetRemark},
    {"Weitere Straße 3", targetRemark},
    {"Weiterer Ort", targetRemark},
    {"Weiteres/r Bundesland/Kanton", targetRemark},
    {"Weitere Postleitzahl", targetRemark},
    {"Weiteres/e Land/Region", targetRemark},
    {"Telefon Assistent", targetRemark},
    {"Fax geschäftlich", targetBusinessFax},
    {"Telefon geschäftlich", targetBusinessPhone},
    {"Telefon geschäftlich 2", targetBusinessPhone},
    {"Rückmeldung", targetRemark},
    {"Autotelefon", targetRemark},
    {"Telefon Firma", targetRemark},
    {"Fax privat", targetHomeFax},
    {"Telefon (privat)", targetHomePhone},
    {"Telefon (privat 2)", targetHomePhone},
    {"Mobiltelefon", targetPersonalMobile},
    {"Weiteres Fax", targetRemark},
    {"Weiteres Telefon", targetRemark},
    {"Haupttelefon", targetRemark},
    {"Mobiltelefon 2", targetPersonalMobile},
    {"Telefon für Hörbehinderte", targetRemark},
    {"Abrechnungsinformation", targetRemark},
    {"Assistent(in)", targetRemark},
    {"Benutzer 1", targetRemark},
    {"Benutzer 2", targetRemark},
    {"Benutzer 3", targetRemark},
    {"Benutzer 4", targetRemark},
    {"Beruf", targetRemark},
    {"Büro", targetOffice},
    {"E-Mail-Adresse", targetPersonalEmail},
    {"E-Mail-Typ", targetNothing, fType},
    {"E-Mail: Angezeigter Name", targetRemark},
    {"E-Mail 2: Adresse", targetBusinessEmail},
    {"E-Mail 2: Typ", targetNothing, fType},
    {"E-Mail 2: Angezeigter Name", targetRemark},
    {"E-Mail 3: Adresse", targetRemark},
    {"E-Mail 3: Typ", targetNothing, fType},
    {"E-Mail 3: Angezeigter Name", targetRemark},
    {"Empfohlen von", targetRemark},
    {"Geburtstag", targetBirthday},
    {"Geschlecht", targetGender, fNoise},
    {"Initialen", targetRemark},
    {"Internet Frei/Gebucht", targetRemark},
    {"Jahrestag", targetAnniversary},
    {"Kategorien", targetRemark, fGroups},
    {"Kinder", targetChildren},
    {"Konto", targetRemark},
    {"Name des/r Vorgesetzten", targetRemark},
    {"Notizen", targetRemark, fNotes},
    {"Organisationsnr.", targetRemark},
    {"Ort", targetRemark},
    {"Partner", targetSpouse},
    {"Postfach geschäftlich", targetRemark},
    {"Postfach privat", targetRemark},
    {"Priorität", targetRemark, fNoise},
    {"Privat", targetRemark, fNoise},
    {"Reisekilometer", targetRemark},
    {"Sozialversicherungsnr.", targetRemark},
    {"Sprache", targetRemark},
    {"Stichwörter", targetRemark},
    {"Vertraulichkeit", targetRemark, fNoise},
    {"Verzeichnisserver", targetRemark},
    {"Webseite", targetPersonalWeb},
    {"Weiteres Postfach", targetRemark},
    // Japanese
    {"肩書き", targetTitle},
    {"名", targetFirstName},
    {"ミドル ネーム", targetMiddleName},
    {"姓", targetLastName},
    {"敬称", targetRemark},
    {"会社名", targetCompany},
    {"部署", targetDepartment},
    {"役職", targetJobTitle},
    {"番地 (会社)", targetBusinessStreet},
    {"住所 2 (会社)", targetBusinessStreet, fAppend},
    {"住所 3 (会社)", targetBusinessStreet, fAppend},
    {"市町村 (会社)", targetBusinessCity},
    {"都道府県 (会社)", targetBusinessState},
    {"郵便番号 (会社)", targetBusinessPostalCode},
    {"国 (会社)/地域", targetBusinessCountry},
    {"番地 (自宅)", targetHomeStreet},
    {"住所 2 (自宅)", targetHomeStreet, fAppend},
    {"住所 3 (自宅)", targetHomeStreet, fAppend},
    {"市町村 (自宅)", targetHomeCity},
    {"都道府県 (自宅)", targetHomeState},
    {"郵便番号 (自宅)", targetHomePostalCode},
    {"国 (自宅)/地域", targetHomeCountry},
    {"番地 (その他)", targetRemark},
    {"住所 2 (その他)", targetRemark},
    {"住所 3 (その他)", targetRemark},
    {"市町村 (その他)", targetRemark},
    {"都道府県 (その他)", targetRemark},
    {"郵便番号 (その他)", targetRemark},
    {"国 (その他)/地域", targetRemark},
    {"秘書の電話", targetRemark},
    {"会社 FAX", targetBusinessFax},
    {"会社電話", targetBusinessPhone},
    {"会社電話 2", targetBusinessPhone},
    {"コールバック", targetRemark},
    {"自動車電話", targetRemark},
    {"会社代表電話", targetRemark},
    {"自宅 FAX", targetHomeFax},
    {"自宅電話", targetHomePhone},
    {"自宅電話 2", targetHomePhone},
    {"携帯電話", targetPersonalMobile},
    {"その他の FAX", targetRemark},
    {"その他の電話", targetRemark},
    {"ポケットベル", targetBusinessPager},
    {"通常の電話", targetRemark},
    {"無線電話", targetRemark},
    {"TTY/TDD", targetRemark},
    {"テレックス", targetRemark},
    {"ID 番号", targetRemark},
    {"Web ページ", targetPersonalWeb},
    {"アカウント", targetRemark},
    {"イニシャル", targetRemark},
    {"インターネット空き時間情報", targetRemark},
    {"キーワード", targetRemark},
    {"その他住所私書箱", targetRemark},
    {"ディレクトリ サーバー", targetRemark},
    {"プライベート", targetRemark, fNoise},
    {"マネージャー", targetRemark},
    {"メモ", targetRemark, fNotes},
    {"ユーザー 1", targetRemark},
    {"ユーザー 2", targetRemark},
    {"ユーザー 3", targetRemark},
    {"ユーザー 4", targetRemark},
    {"事業所", targetOffice},
    {"会社 ID", targetRemark},
    {"会社住所私書箱", targetRemark},
    {"会社名フリガナ", targetRemark},
    {"優先度", targetRemark, fNoise},
    {"分類", targetRemark, fGroups},
    {"参照事項", targetRemark},
    {"名前フリガナ", targetRemark},
    {"場所", targetRemark},
    {"姓フリガナ", targetRemark},
    {"子供", targetChildren},
    {"性別", targetGender, fNoise},
    {"支払い条件", targetRemark},
    {"秘密度", targetRemark, fNoise},
    {"秘書の氏名", targetRemark},
    {"経費情報", targetRemark},
    {"職業", targetRemark},
    {"自宅住所私書箱", targetRemark},
    {"言語", targetRemark},
    {"記念日", targetAnniversary},
    {"誕生日", targetBirthday},
    {"趣味", targetRemark},
    {"配偶者", targetSpouse},
    {"電子メール アドレス", targetPersonalEmail},
    {"電子メールの種類", targetNothing, fType},
    {"電子メール表示名", targetRemark},
    {"電子メール 2 アドレス", targetBusinessEmail},
    {"電子メール 2 の種類", targetNothing, fType},
    {"電子メール 2 表示名", targetRemark},
    {"電子メール 3 アドレス", targetRemark},
    {"電子メール 3 の種類", targetNothing, fType},
    {"電子メール 3 表示名", targetRemark},
};

// The English export writes the first 92 columns of kOutlook in this order.
constexpr size_t kOutlookEnglishColumns = 92;

// The names of those 92 columns in further languages, in the same order and with "|" between
// them; a column whose name in that language is not known is left empty. The program writes them
// in its ANSI code page, the first 48 (up to the telex) in this order and the rest sorted by
// their localised names, each e-mail address followed by its type and display name. The French
// "Titre" names both the form of address and the job title: the first is the form of address.
constexpr std::string_view kOutlookLocalised[] = {
    // French
    "Titre|Prénom|Deuxième prénom|Nom|Suffixe|Société|Service|Titre|Rue (bureau)|"
    "Rue (bureau) 2|Rue (bureau) 3|Ville (bureau)|Dép/Région (bureau)|Code postal (bureau)|"
    "Pays/Région (bureau)|Rue (domicile)|Rue (domicile) 2|Rue (domicile) 3|Ville (domicile)|"
    "Dép/Région (domicile)|Code postal (domicile)|Pays/Région (domicile)|Rue (autre)|"
    "Rue (autre) 2|Rue (autre) 3|Ville (autre)|Dép/Région (autre)|Code postal (autre)|"
    "Pays/Région (autre)|Téléphone de l'assistant(e)|Télécopie (bureau)|Téléphone (bureau)|"
    "Téléphone 2 (bureau)|Rappel|Téléphone (voiture)|Téléphone société|Télécopie (domicile)|"
    "Téléphone (domicile)|Téléphone 2 (domicile)|RNIS|Tél. mobile|Télécopie (autre)|"
    "Téléphone (autre)|Récepteur de radiomessagerie|Téléphone principal|Radiotéléphone|"
    "Téléphone TDD/TTY|Télex|Compte|Anniversaire de mariage ou fête|Nom de l'assistant(e)|"
    "Informations facturation|Anniversaire|B.P. professionnelle|Catégories|Enfants|"
    "Serveur d’annuaire|Adresse de courrier|Type de courrier|"
    "Nom complet de l'adresse de courrier|Adresse de courrier 2|Type de courrier 2|"
    "Nom complet de l'adresse de courrier 2|Adresse de courrier 3|Type de courrier 3|"
    "Nom complet de l'adresse de courrier 3|Sexe|"
    "Numéro d’identification d’administration publique|Passe-temps|Boîte postale du domicile|"
    "Initiales|Disponibilité Internet|Mots clés|Langue|Emplacement|Responsable|Kilométrage|"
    "Notes|Bureau|Numéro d'identification de l'organisation|Autre boîte postale|Priorité|Privé|"
    "Profession|Recommandé par|Critère de diffusion|Conjoint(e)|Utilisateur 1|Utilisateur 2|"
    "Utilisateur 3|Utilisateur 4|Page web",
    // Spanish: the program leaves a third of the names in English
    "Title|Nombre|Segundo nombre|Apellidos|Suffix|Organización|Department|Puesto|"
    "Calle del trabajo|Calle del trabajo 2|Calle del trabajo 3|Ciudad de trabajo|"
    "Provincia o estado de trabajo|Código postal del trabajo|País o región del trabajo|"
    "Home Street|Home Street 2|Home Street 3|Home City|Home State|Home Postal Code|"
    "País o región del domicilio|Otra calle|Otra calle 2|Otra calle 3|Otra ciudad|"
    "Otra provincia o estado|Otro código postal|Otro país o región|Assistant's Phone|"
    "Business Fax|Teléfono del trabajo|Business Phone 2|Devolución de llamada|Car Phone|"
    "Número de centralita de la organización|Home Fax|Particular|Home Phone 2|ISDN|"
    "Mobile Phone|Otro fax|Otro teléfono|Pager|Teléfono principal|Radioteléfono|"
    "Número de teletipo|Télex|Account|Anniversary|Assistant's Name|Facturación|Birthday|"
    "Apartado postal de la dirección del trabajo|Categorías|Hijos||E-mail Address|E-mail Type|"
    "Nombre de pantalla de correo electrónico|Dirección de correo electrónico 2|"
    "Tipo de correo electrónico 2|Nombre de pantalla de correo electrónico 2|"
    "Dirección del correo electrónico 3|Tipo de correo electrónico 3|"
    "Nombre de pantalla de correo electrónico 3|Género|Government ID Number|Aficiones|"
    "Apartado postal de la dirección personal|Initials|Internet Free Busy|||Location|"
    "Nombre del director|Kilometraje|Notes|Office Location||Otro apartado postal|Prioridad||"
    "Profesión||Confidencialidad|Spouse|Usuario 1|Usuario 2|Usuario 3|Usuario 4|Página web",
    // Italian
    "Titolo|Nome|Secondo nome|Cognome|Titolo straniero|Società|Reparto|Posizione|Via (uff.)|"
    "Via (uff.) 2|Via (uff.) 3|Città (uff.)|Provincia (uff.)|CAP (uff.)|Paese (uff.)|Via (ab.)|"
    "Via (ab.) 2|Via (ab.) 3|Città (ab.)|Provincia (ab.)|CAP (ab.)|Paese (ab.)|Altra via|"
    "Altra via 2|Altra via 3|Altra città|Altra provincia|Altro CAP|Altro paese|"
    "Telefono assistente|Fax (uff.)|Ufficio|Ufficio 2|Richiamata automatica|Telefono auto|"
    "Telefono principale società|Fax (ab.)|Abitazione|Abitazione 2|ISDN|Cellulare|Altro fax|"
    "Altro telefono|Cercapersone|Telefono principale|Radiotelefono|Telefono TTY/TDD|Telex|"
    "Account|Anniversario|Nome assistente|Dati fatturazione|Compleanno|"
    "Indirizzo (uff.) - Casella postale|Categorie|Figli||Indirizzo posta elettronica|"
    "Tipo posta elettronica|Nome visualizzato posta elettronica|Indirizzo posta elettronica 2|"
    "Tipo posta elettronica 2|Nome visualizzato posta elettronica 2|"
    "Indirizzo posta elettronica 3|Tipo posta elettronica 3|"
    "Nome visualizzato posta elettronica 3|Sesso|Cod. Fisc./P. IVA|Hobby|"
    "Indirizzo (ab.) - Casella postale|Iniziali|Disponibilità Internet|||Luogo|Nome manager|"
    "Indennità trasferta|Notes|Ubicazione ufficio||Altro indirizzo - Casella postale|Priorità||"
    "Professione||Riservatezza|Nome coniuge|Utente 1|Utente 2|Utente 3|Utente 4|Pagina Web",
    // Portuguese (Brazil)
    "Tratamento|Primeiro nome|Segundo nome|Sobrenome|Sufixo|Empresa|Departamento|Cargo|"
    "Business Street|Rua do endereço comercial 2|Rua do endereço comercial 3|Business City|"
    "Business State|Business Postal Code|País/Região da Empresa|Endereço residencial|"
    "Endereço residencial 2|Endereço residencial 3|Cidade do endereço residencial|Estado|"
    "CEP do endereço residencial|País/Região de Residência|Outro endereço|Outro endereço 2|"
    "Outro endereço 3|Cidade|Outro Estado|CEP|Outro País/Região|Telefone do assistente|"
    "Fax comercial|Telefone comercial|Telefone comercial 2|Retorno de chamada|"
    "Telefone do carro|Telefone principal da empresa|Fax residencial|Telefone residencial|"
    "Telefone residencial 2|ISDN|Telefone celular|Outro fax|Outro telefone|Pager|"
    "Telefone principal|Radiofone|Telefone TTY/TDD|Telex|Conta|Datas especiais|"
    "Nome do assistente|Informações para cobrança|Birthday|Caixa postal do endereço comercial|"
    "Categorias|Filhos||E-mail Address|Tipo de email|Nome para exibição do email|"
    "Endereço de email 2|Tipo de email 2|Nome para exibição do email 2|Endereço de email 3|"
    "Tipo de email 3|Nome para exibição do email 3|Sexo|Código do governo|Hobby|"
    "Caixa postal do endereço residencial|Iniciais|Disponibilidade da Internet|||Local|"
    "Nome do gerenciador|Quilometragem|Anotações|Sala||Caixa postal de outro endereço|"
    "Prioridade||Profissão||Sensibilidade|Spouse|Personalizado 1|Personalizado 2|"
    "Personalizado 3|Personalizado 4|Página da Web",
    // Dutch
    "Titel|Voornaam|Middelste naam|Achternaam|Achtervoegsel|Bedrijf|Afdeling|Functie|"
    "Werkadres, straat|Werkadres 2, straat|Werkadres 3, straat|Werkadres, plaats|"
    "Werkadres, provincie|Werkadres, postcode|Land/regio (werk)|Huisadres, straat|"
    "Huisadres, straat 2|Huisadres, straat 3|Huisadres, plaats|Huisadres, provincie|"
    "Huisadres, postcode|Land/regio (thuis)|Ander adres, straat|Ander adres, straat 2|"
    "Ander adres, straat 3|Ander adres, plaats|Ander adres, provincie|Ander adres, postcode|"
    "Land/regio (anders)|Telefoon assistent|Fax op werk|Telefoon op werk|Telefoon op werk 2|"
    "Terugbellen|Autotelefoon|Hoofdtelefoon bedrijf|Fax thuis|Telefoon thuis|Telefoon thuis 2|"
    "ISDN|Mobiele telefoon|Andere fax|Andere telefoon|Pager|Hoofdtelefoon|Radiotelefoon|"
    "Teksttelefoon|Telex|Account|Speciale datum|Naam assistent|Factuurinformatie|Verjaardag|"
    "Werkadres, postbusnummer|Categorieën|Kinderen||E-mailadres|E-mailtype|"
    "Weergavenaam voor e-mail|E-mailadres 2|E-mailtype 2|E-mail, weergegeven naam 2|"
    "E-mailadres 3|E-mailtype 3|E-mail, weergegeven naam 3|Geslacht|Sofinummer|Hobby's|"
    "Huisadres, postbusnummer|Initialen|Internet Beschikbaarheidsinfo|||Locatie|Naam manager|"
    "Reisafstand|Notities|Kantoorlocatie||Ander adres, postbusnummer|Prioriteit||Beroep||"
    "Gevoeligheid|Partner|Gebruiker 1|Gebruiker 2|Gebruiker 3|Gebruiker 4|Webpagina",
    // Polish
    "Tytuł|Imię|Drugie imię|Nazwisko|Sufiks|Firma|Dział|Stanowisko|Adres służbowy - ulica|"
    "Adres służbowy - ulica 2|Adres służbowy - ulica 3|Adres służbowy - miejscowość|"
    "Adres służbowy - województwo|Adres służbowy - kod pocztowy|Adres służbowy - kraj/region|"
    "Adres domowy - ulica|Adres domowy - ulica (2)|Adres domowy - ulica (3)|"
    "Adres domowy - miejscowość|Adres domowy - województwo|Adres domowy - kod pocztowy|"
    "Adres domowy - kraj/region|Inny adres - ulica|Inny adres - ulica 2|Inny adres - ulica 3|"
    "Inny adres - miejscowość|Inny adres - województwo|Inny adres - kod pocztowy|"
    "Inny adres - kraj/region|Telefon asystenta|Faks służbowy|Telefon służbowy|"
    "Telefon służbowy 2|Wywołanie zwrotne|Telefon w samochodzie|Główny telefon do firmy|"
    "Faks domowy|Telefon domowy|Telefon domowy 2|ISDN|Telefon komórkowy|Inny faks|Inny telefon|"
    "Pager|Telefon podstawowy|Radiotelefon|Telefon TTY/TDD|Teleks|Konto|Rocznica|"
    "Imię i nazwisko asystenta|Informacje rozliczeniowe|Urodziny|Służbowa skrzynka pocztowa|"
    "Kategorie|Dzieci||Adres e-mail|Typ poczty e-mail|Wyświetlana nazwa e-mail|Adres e-mail 2|"
    "Rodzaj e-mail 2|Wyświetlana nazwa e-mail 2|Adres e-mail 3|Rodzaj e-mail 3|"
    "Wyświetlana nazwa e-mail 3|Płeć|PESEL|Hobby|Domowa skrzynka pocztowa|Inicjały|"
    "Internetowe informacje wolny/zajęty|||Lokalizacja|Menedżer|Przebieg|Notatki|"
    "Lokalizacja biura||Inna skrzynka pocztowa|Priorytet||Zawód||Charakter|Współmałżonek|"
    "Użytkownik 1|Użytkownik 2|Użytkownik 3|Użytkownik 4|Strona sieci Web",
    // Czech
    "Titul|Jméno|2. křestní jméno|Příjmení|Za příjmením|Společnost|Oddělení|Funkce|"
    "Ulice (zam.)|Ulice 2 (zam.)|Ulice 3 (zam.)|Město (zam.)|Země (zam.)|PSČ (zam.)|"
    "Země (zaměstnání)|Ulice (dom.)|Ulice 2 (dom.)|Ulice 3 (dom.)|Město (dom.)|Země (dom.)|"
    "PSČ (dom.)|Země (domů)|Jiná ulice|Jiná ulice 2|Jiná ulice 3|Jiné město|Jiný okres|"
    "Jiné PSČ|Jiná země|Telefon asistenta|Fax (zam.)|Telefon (zam.)|Telefon 2 (zam.)|"
    "Zpětné volání|Telefon do auta|Telefon společnosti|Fax domů|Telefon domů|Telefon 2 domů|"
    "ISDN|Mobilní telefon|Jiný fax|Jiný telefon|Operátor|Primární telefon|Radiotelefon|"
    "Pro neslyšící|Dálnopis|Účet|Výročí|Jméno asistenta|Fakturační údaje|Narozeniny|"
    "Poštovní přihrádka zaměstnání|Kategorie|Děti||E-mailová adresa|Typ e-mailu|"
    "Zobrazované jméno e-mailu|E-mailová adresa 2|Typ e-mailu 2|Zobrazované jméno e-mailu 2|"
    "E-mailová adresa 3|Typ e-mailu 3|Zobrazované jméno e-mailu 3|Pohlaví|Rodné číslo|Záliby|"
    "Poštovní přihrádka domů|Iniciály|Informace o volném čase v síti Internet|||Umístění|"
    "Jméno správce|Vzdálenost|Poznámky|Umístění pracoviště||Jiná poštovní přihrádka|Priorita||"
    "Profese||Utajení|Manžel/manželka|Uživatel 1|Uživatel 2|Uživatel 3|Uživatel 4|"
    "Webová stránka",
};

// The names earlier versions of the program gave a column, with the English name of the column.
constexpr std::pair<std::string_view, std::string_view> kOutlookEarlierNames[] = {
    // German
    {"Internet-Frei/Gebucht", "Internet Free Busy"},
    {"Regierungsnr.", "Government ID Number"},
    {"Telefon privat", "Home Phone"},
    {"Telefon privat 2", "Home Phone 2"},
    {"Name Assistent", "Assistant's Name"},
    {"Name des/der Vorgesetzten", "Manager's Name"},
    // French
    {"Radio téléphone", "Radio Phone"},
    {"Adresse de messagerie", "E-mail Address"},
    {"Type de messagerie", "E-mail Type"},
    {"Nom complet de l'adresse de messagerie", "E-mail Display Name"},
    {"Adresse de messagerie 2", "E-mail 2 Address"},
    {"Type de messagerie 2", "E-mail 2 Type"},
    {"Nom complet de l'adresse de messagerie 2", "E-mail 2 Display Name"},
    {"Adresse de messagerie 3", "E-mail 3 Address"},
    {"Type de messagerie 3", "E-mail 3 Type"},
    {"Nom complet de l'adresse de messagerie 3", "E-mail 3 Display Name"},
    {"Code gouvernement", "Government ID Number"},
    // Polish
    {"Asystent", "Assistant's Name"},
    {"Ulica (biuro)", "Business Street"},
    {"Miasto (biuro)", "Business City"},
    {"Województwo (biuro)", "Business State"},
    {"Kod pocztowy (biuro)", "Business Postal Code"},
    {"Kraj/region (biuro)", "Business Country/Region"},
    {"Ulica (dom)", "Home Street"},
    {"Miasto (dom)", "Home City"},
    {"Województwo (dom)", "Home State"},
    {"Kod pocztowy (dom)", "Home Postal Code"},
    {"Kraj/region (dom)", "Home Country/Region"},
    {"Oddział", "Department"},
    {"Menadżer", "Manager's Name"},
    {"Telefon główny", "Primary Phone"},
};

// The English column of that name; the end of the English columns when there is none.
constexpr const SKnown* EnglishColumn(std::string_view name) {
  const SKnown* english = std::begin(kOutlook);
  return std::find_if(english, english + kOutlookEnglishColumns,
                      [name](const SKnown& k) { return k.name == name; });
}

// Every language names all 92 columns, every earlier name an English column.
constexpr bool TablesAgree() {
  for (std::string_view names : kOutlookLocalised)
    if (static_cast<size_t>(std::count(names.begin(), names.end(), '|')) + 1 !=
        kOutlookEnglishColumns)
      return false;
  for (const auto& [name, english] : kOutlookEarlierNames)
    if (EnglishColumn(english) == std::begin(kOutlook) + kOutlookEnglishColumns) return false;
  return true;
}
static_assert(TablesAgree());

// The web version's export ("Manage contacts > Export contacts"), in English: 61 columns in an
// order of its own, most under the desktop program's names, with columns of the nickname, the
// personal web page beside the work one ("Web Page"), the phonetic names and the schools. Its
// "Title" is the form of address.
constexpr SKnown kOutlookCom[] = {
    {"First Name", targetFirstName},
    {"Middle Name", targetMiddleName},
    {"Last Name", targetLastName},
    {"Title", targetTitle},
    {"Suffix", targetRemark},
    {"Nickname", targetNickname},
    {"Given Yomi", targetRemark},
    {"Surname Yomi", targetRemark},
    {"E-mail Address", targetPersonalEmail},
    {"E-mail 2 Address", targetBusinessEmail},
    {"E-mail 3 Address", targetRemark},
    {"Home Phone", targetHomePhone},
    {"Home Phone 2", targetHomePhone},
    {"Business Phone", targetBusinessPhone},
    {"Business Phone 2", targetBusinessPhone},
    {"Mobile Phone", targetPersonalMobile},
    {"Car Phone", targetRemark},
    {"Other Phone", targetRemark},
    {"Primary Phone", targetRemark},
    {"Pager", targetBusinessPager},
    {"Business Fax", targetBusinessFax},
    {"Home Fax", targetHomeFax},
    {"Other Fax", targetRemark},
    {"Company Main Phone", targetRemark},
    {"Callback", targetRemark},
    {"Radio Phone", targetRemark},
    {"Telex", targetRemark},
    {"TTY/TDD Phone", targetRemark},
    {"IMAddress", targetRemark},
    {"Job Title", targetJobTitle},
    {"Department", targetDepartment},
    {"Company", targetCompany},
    {"Office Location", targetOffice},
    {"Manager's Name", targetRemark},
    {"Assistant's Name", targetRemark},
    {"Assistant's Phone", targetRemark},
    {"Company Yomi", targetRemark},
    {"Business Street", targetBusinessStreet},
    {"Business City", targetBusinessCity},
    {"Business State", targetBusinessState},
    {"Business Postal Code", targetBusinessPostalCode},
    {"Business Country/Region", targetBusinessCountry},
    {"Home Street", targetHomeStreet},
    {"Home City", targetHomeCity},
    {"Home State", targetHomeState},
    {"Home Postal Code", targetHomePostalCode},
    {"Home Country/Region", targetHomeCountry},
    {"Other Street", targetRemark},
    {"Other City", targetRemark},
    {"Other State", targetRemark},
    {"Other Postal Code", targetRemark},
    {"Other Country/Region", targetRemark},
    {"Personal Web Page", targetPersonalWeb},
    {"Spouse", targetSpouse},
    {"Schools", targetRemark},
    {"Hobby", targetRemark},
    {"Location", targetRemark},
    {"Web Page", targetBusinessWeb},
    {"Birthday", targetBirthday},
    {"Anniversary", targetAnniversary},
    {"Notes", targetRemark, fNotes},
};

}  // namespace

std::vector<SKnown> OutlookColumns() {
  std::vector<SKnown> columns(std::begin(kOutlook), std::end(kOutlook));
  for (std::string_view names : kOutlookLocalised) {
    size_t start = 0;
    for (size_t i = 0; i < kOutlookEnglishColumns && start <= names.size(); ++i) {
      const size_t bar = std::min(names.find('|', start), names.size());
      const std::string_view name = names.substr(start, bar - start);
      start = bar + 1;
      // A name the language leaves in English is the English column already.
      if (!name.empty() && name != kOutlook[i].name)
        columns.push_back({name, kOutlook[i].target, kOutlook[i].flags});
    }
  }
  for (const auto& [name, english] : kOutlookEarlierNames) {
    const SKnown* known = EnglishColumn(english);
    columns.push_back({name, known->target, known->flags});
  }
  return columns;
}

std::vector<SKnown> OutlookComColumns() { return {std::begin(kOutlookCom), std::end(kOutlookCom)}; }

}  // namespace zorvan::foreign_csv
