<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="cs_CZ">
<context>
    <name>CSyncConflictDlg</name>
    <message>
        <source>Name</source>
        <translation>Jméno</translation>
    </message>
    <message>
        <source>Name parts</source>
        <translation>Části jména</translation>
    </message>
    <message>
        <source>Nickname</source>
        <translation>Přezdívka</translation>
    </message>
    <message>
        <source>Company</source>
        <translation>Společnost</translation>
    </message>
    <message>
        <source>Job title</source>
        <translation>Funkce</translation>
    </message>
    <message>
        <source>Role</source>
        <translation>Role</translation>
    </message>
    <message>
        <source>Phone</source>
        <translation>Telefon</translation>
    </message>
    <message>
        <source>E-mail</source>
        <translation>E-mail</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Adresa</translation>
    </message>
    <message>
        <source>Web page</source>
        <translation>Webová stránka</translation>
    </message>
    <message>
        <source>Birthday</source>
        <translation>Narozeniny</translation>
    </message>
    <message>
        <source>Anniversary</source>
        <translation>Výročí</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Poznámka</translation>
    </message>
    <message>
        <source>Groups</source>
        <translation>Skupiny</translation>
    </message>
    <message>
        <source>Photo</source>
        <translation>Fotografie</translation>
    </message>
    <message>
        <source>Gender</source>
        <translation>Pohlaví</translation>
    </message>
    <message>
        <source>mobile</source>
        <translation>mobil</translation>
    </message>
    <message>
        <source>home</source>
        <translation>domů</translation>
    </message>
    <message>
        <source>work</source>
        <translation>práce</translation>
    </message>
    <message>
        <source>fax</source>
        <translation>fax</translation>
    </message>
    <message>
        <source>voice</source>
        <translation>hlas</translation>
    </message>
    <message>
        <source>pager</source>
        <translation>pager</translation>
    </message>
    <message>
        <source>preferred</source>
        <translation>upřednostněný</translation>
    </message>
    <message>
        <source>(none)</source>
        <translation>(není)</translation>
    </message>
    <message>
        <source>(empty)</source>
        <translation>(prázdné)</translation>
    </message>
</context>
<context>
    <name>OpenTarget</name>
    <message>
        <source>No e-mail program could be started to write to %1.</source>
        <translation>Nepodařilo se spustit žádný poštovní program pro psaní na adresu %1.</translation>
    </message>
    <message>
        <source>No web browser could be started to open %1.</source>
        <translation>Nepodařilo se spustit žádný webový prohlížeč pro otevření stránky %1.</translation>
    </message>
</context>
<context>
    <name>StringTable</name>
    <message>
        <source>Ready</source>
        <translation>Připraven</translation>
    </message>
    <message>
        <source>Create new file
New</source>
        <translation>Vytvořit nový soubor
Nový</translation>
    </message>
    <message>
        <source>Open an existing file
Open</source>
        <translation>Otevřít existující soubor
Otevřít</translation>
    </message>
    <message>
        <source>Save changes to the file
Save</source>
        <translation>Uložit změny do souboru
Uložit</translation>
    </message>
    <message>
        <source>Save the file into a new file
Save as</source>
        <translation>Uložit soubor do nového souboru
Uložit jako</translation>
    </message>
    <message>
        <source>Save a copy that the older program reads, with &quot;?&quot; for the characters its code page cannot hold
Save a Copy for the Older Program</source>
        <translation>Uložit kopii, kterou přečte starší program, se znakem „?“ místo znaků, které jeho kódová stránka neumí
Uložit kopii pro starší program</translation>
    </message>
    <message>
        <source>Open the calendar resource
Calendar resource</source>
        <translation>Otevřít zdroj kalendáře
Zdroj kalendáře</translation>
    </message>
    <message>
        <source>Import contacts from the text file
Import</source>
        <translation>Importovat kontakty z textového souboru
Import</translation>
    </message>
    <message>
        <source>Export contacts to the text file
Export</source>
        <translation>Exportovat kontakty do textového souboru
Export</translation>
    </message>
    <message>
        <source>Saves person&apos;s business card
Business Card</source>
        <translation>Uloží vizitku osoby
Vizitka</translation>
    </message>
    <message>
        <source>Import contacts from a vCard or CSV file of another program
Import from Other Programs</source>
        <translation>Importovat kontakty ze souboru vCard nebo CSV jiného programu
Import z jiných programů</translation>
    </message>
    <message>
        <source>Export birthdays, anniversaries and namedays for calendar programs
Export Calendar</source>
        <translation>Exportovat narozeniny, výročí a svátky pro kalendářové programy
Export kalendáře</translation>
    </message>
    <message>
        <source>Export contacts as standard vCards for phones, webmail and other programs
Export for Other Programs</source>
        <translation>Exportovat kontakty jako standardní vizitky vCard pro telefony, webovou poštu a jiné programy
Export pro jiné programy</translation>
    </message>
    <message>
        <source>Print the current contact
Print</source>
        <translation>Vytisknout aktuální kontakt
Tisk</translation>
    </message>
    <message>
        <source>Show the contact as it will be printed
Print Preview</source>
        <translation>Zobrazit kontakt tak, jak bude vytištěn
Náhled tisku</translation>
    </message>
    <message>
        <source>Change the page layout settings
Page Setup</source>
        <translation>Změnit nastavení vzhledu stránky
Nastavení stránky</translation>
    </message>
    <message>
        <source>Open this file</source>
        <translation>Otevřít tento soubor</translation>
    </message>
    <message>
        <source>Quits the application; asks for changes to be saved
Exit</source>
        <translation>Ukončí aplikaci; zeptá se na uložení změn
Konec</translation>
    </message>
    <message>
        <source>Create new contact
New</source>
        <translation>Vytvořit nový kontakt
Nový</translation>
    </message>
    <message>
        <source>Delete the current contact (and subcontacts)
Delete</source>
        <translation>Smazat aktuální kontakt (i s podřízenými kontakty)
Smazat</translation>
    </message>
    <message>
        <source>Find contacts
Find</source>
        <translation>Najít kontakty
Najít</translation>
    </message>
    <message>
        <source>Send e-mail to the current person
E-mail</source>
        <translation>Poslat e-mail aktuální osobě
E-mail</translation>
    </message>
    <message>
        <source>Go to the person&apos;s web page
Web page</source>
        <translation>Přejít na webovou stránku osoby
Webová stránka</translation>
    </message>
    <message>
        <source>Show or hide toolbar
Toolbar</source>
        <translation>Zobrazit nebo skrýt panel nástrojů
Panel nástrojů</translation>
    </message>
    <message>
        <source>Show or hide status bar
Status bar</source>
        <translation>Zobrazit nebo skrýt stavový řádek
Stavový řádek</translation>
    </message>
    <message>
        <source>Displays the TAVORIN home page
Home page</source>
        <translation>Zobrazí domovskou stránku TAVORIN
Domovská stránka</translation>
    </message>
    <message>
        <source>Displays technical support page
Technical support</source>
        <translation>Zobrazí stránku technické podpory
Technická podpora</translation>
    </message>
    <message>
        <source>Compose and send e-mail message to the author
E-mail</source>
        <translation>Napsat a poslat e-mail autorovi
E-mail</translation>
    </message>
    <message>
        <source>Show program information
About program</source>
        <translation>Zobrazit informace o programu
O programu</translation>
    </message>
    <message>
        <source>Unnamed</source>
        <translation>Bez jména</translation>
    </message>
    <message>
        <source>Contacts</source>
        <translation>Kontakty</translation>
    </message>
    <message>
        <source>Calendar</source>
        <translation>Kalendář</translation>
    </message>
    <message>
        <source>Birthdays</source>
        <translation>Narozeniny</translation>
    </message>
    <message>
        <source>Namedays</source>
        <translation>Svátky</translation>
    </message>
    <message>
        <source>Anniversaries</source>
        <translation>Výročí</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Jméno</translation>
    </message>
    <message>
        <source>E-mail</source>
        <translation>E-mail</translation>
    </message>
    <message>
        <source>Web URL</source>
        <translation>Webová adresa</translation>
    </message>
    <message>
        <source>Home Address</source>
        <translation>Domácí adresa</translation>
    </message>
    <message>
        <source>Home Phone</source>
        <translation>Telefon domů</translation>
    </message>
    <message>
        <source>Business</source>
        <translation>Zaměstnání</translation>
    </message>
    <message>
        <source>Work Address</source>
        <translation>Pracovní adresa</translation>
    </message>
    <message>
        <source>Work Phone</source>
        <translation>Telefon do práce</translation>
    </message>
    <message>
        <source>There is no contact satisfying the entered criterium.</source>
        <translation>Zadaným podmínkám nevyhovuje žádný kontakt.</translation>
    </message>
    <message>
        <source>Calendar Files (*.cal)|*.cal||</source>
        <translation>Soubory kalendáře (*.cal)|*.cal||</translation>
    </message>
    <message>
        <source>Open Calendar Resource</source>
        <translation>Otevřít zdroj kalendáře</translation>
    </message>
    <message>
        <source>Error: Can&apos;t read the calendar file. Program will use the standard calendar information.</source>
        <translation>Chyba: Soubor kalendáře nelze přečíst. Program použije standardní kalendářní údaje.</translation>
    </message>
    <message>
        <source>New calendar loaded. To view the current contacts with the new calendar, reopen the current contacts.</source>
        <translation>Nový kalendář je načten. Chcete-li vidět aktuální kontakty s novým kalendářem, otevřete je znovu.</translation>
    </message>
    <message>
        <source>Error: Can&apos;t delete the basic elements of the contacts tree.</source>
        <translation>Chyba: Základní prvky stromu kontaktů nelze smazat.</translation>
    </message>
    <message>
        <source>Do you really want to delete this contact?</source>
        <translation>Opravdu chcete tento kontakt smazat?</translation>
    </message>
    <message>
        <source>Files of vCard type (*.vcf)|*.vcf|Text Files (*.csv)|*.csv|All Files (*.*)|*.*||</source>
        <translation>Soubory typu vCard (*.vcf)|*.vcf|Textové soubory (*.csv)|*.csv|Všechny soubory (*.*)|*.*||</translation>
    </message>
    <message>
        <source>Files of vCard type (*.vcf)|*.vcf|Text Files (*.csv)|*.csv||</source>
        <translation>Soubory typu vCard (*.vcf)|*.vcf|Textové soubory (*.csv)|*.csv||</translation>
    </message>
    <message>
        <source>Files of vCard type (*.vcf)|*.vcf||</source>
        <translation>Soubory typu vCard (*.vcf)|*.vcf||</translation>
    </message>
    <message>
        <source>Contacts Import</source>
        <translation>Import kontaktů</translation>
    </message>
    <message>
        <source>Contacts Export</source>
        <translation>Export kontaktů</translation>
    </message>
    <message>
        <source>Save Business Card</source>
        <translation>Uložit vizitku</translation>
    </message>
    <message>
        <source>Error: Can&apos;t open the file for exporting.</source>
        <translation>Chyba: Soubor pro export nelze otevřít.</translation>
    </message>
    <message>
        <source>Data were successfuly exported.</source>
        <translation>Data byla úspěšně exportována.</translation>
    </message>
    <message>
        <source>During the export an error occured!</source>
        <translation>Při exportu došlo k chybě!</translation>
    </message>
    <message>
        <source>Error: Can&apos;t open the import file.</source>
        <translation>Chyba: Soubor pro import nelze otevřít.</translation>
    </message>
    <message>
        <source>Data were successfuly imported.</source>
        <translation>Data byla úspěšně importována.</translation>
    </message>
    <message>
        <source>During the import an error occured!</source>
        <translation>Při importu došlo k chybě!</translation>
    </message>
    <message>
        <source>Error: Can&apos;t open the contacts file.</source>
        <translation>Chyba: Soubor kontaktů nelze otevřít.</translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation>Bez názvu</translation>
    </message>
    <message>
        <source>Summary Information</source>
        <translation>Souhrnné informace</translation>
    </message>
    <message>
        <source>Name &amp; Internet</source>
        <translation>Jméno a internet</translation>
    </message>
    <message>
        <source>Home</source>
        <translation>Domov</translation>
    </message>
    <message>
        <source>Personal</source>
        <translation>Osobní</translation>
    </message>
    <message>
        <source>About &quot;Zorvan&quot;</source>
        <translation>O programu „Zorvan“</translation>
    </message>
    <message>
        <source>Step %d of %d:</source>
        <translation>Krok %d z %d:</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importovat</translation>
    </message>
    <message>
        <source>Address:</source>
        <translation>Adresa:</translation>
    </message>
    <message>
        <source>Phone:</source>
        <translation>Telefon:</translation>
    </message>
    <message>
        <source>Fax:</source>
        <translation>Fax:</translation>
    </message>
    <message>
        <source>Mobile:</source>
        <translation>Mobil:</translation>
    </message>
    <message>
        <source>Internet:</source>
        <translation>Internet:</translation>
    </message>
    <message>
        <source>Adress:</source>
        <translation>Adresa:</translation>
    </message>
    <message>
        <source>Business:</source>
        <translation>Zaměstnání:</translation>
    </message>
    <message>
        <source>Export for Other Programs</source>
        <translation>Export pro jiné programy</translation>
    </message>
    <message>
        <source>vCard Files (*.vcf)|*.vcf|All Files (*.*)|*.*||</source>
        <translation>Soubory vCard (*.vcf)|*.vcf|Všechny soubory (*.*)|*.*||</translation>
    </message>
    <message>
        <source>Export Calendar</source>
        <translation>Export kalendáře</translation>
    </message>
    <message>
        <source>iCalendar Files (*.ics)|*.ics|All Files (*.*)|*.*||</source>
        <translation>Soubory iCalendar (*.ics)|*.ics|Všechny soubory (*.*)|*.*||</translation>
    </message>
    <message>
        <source>The calendar was exported: %1 events.</source>
        <translation>Kalendář byl exportován, počet událostí: %1.</translation>
    </message>
    <message>
        <source>Wrote %1 events to %2.</source>
        <translation>Do %2 zapsáno událostí: %1.</translation>
    </message>
    <message>
        <source>Wrote 1 event to %2.</source>
        <translation>Do %2 zapsána 1 událost.</translation>
    </message>
    <message>
        <source>%1 events were left out: their dates lie after the year 3000, beyond what calendar programs take.</source>
        <translation>Vynecháno událostí: %1. Jejich data leží po roce 3000, za hranicí, kterou kalendářové programy přijmou.</translation>
    </message>
    <message>
        <source>1 event was left out: its date lies after the year 3000, beyond what calendar programs take.</source>
        <translation>Vynechána 1 událost: její datum leží po roce 3000, za hranicí, kterou kalendářové programy přijmou.</translation>
    </message>
    <message>
        <source>Import from Other Programs</source>
        <translation>Import z jiných programů</translation>
    </message>
    <message>
        <source>Contacts of other programs (*.vcf *.vcard *.csv *.txt)|*.vcf;*.vcard;*.csv;*.txt|vCard Files (*.vcf *.vcard)|*.vcf;*.vcard|Text Files (*.csv *.txt)|*.csv;*.txt|All Files (*.*)|*.*||</source>
        <translation>Kontakty jiných programů (*.vcf *.vcard *.csv *.txt)|*.vcf;*.vcard;*.csv;*.txt|Soubory vCard (*.vcf *.vcard)|*.vcf;*.vcard|Textové soubory (*.csv *.txt)|*.csv;*.txt|Všechny soubory (*.*)|*.*||</translation>
    </message>
    <message>
        <source>%1 contacts were imported into the group &quot;%2&quot;.</source>
        <translation>Do skupiny „%2“ bylo importováno kontaktů: %1.</translation>
    </message>
    <message>
        <source>1 contact was imported into the group &quot;%2&quot;.</source>
        <translation>Do skupiny „%2“ byl importován 1 kontakt.</translation>
    </message>
    <message>
        <source>Skipped as likely duplicates: %1.</source>
        <translation>Přeskočeno jako pravděpodobné duplikáty: %1.</translation>
    </message>
    <message>
        <source>Every contact of the file was skipped; nothing was imported.</source>
        <translation>Všechny kontakty souboru byly přeskočeny; nic nebylo importováno.</translation>
    </message>
    <message>
        <source>The file holds no contacts that could be read.</source>
        <translation>Soubor neobsahuje žádné kontakty, které by šlo přečíst.</translation>
    </message>
    <message>
        <source>%1 contacts will be imported from %2 into a new group &quot;%3&quot;.</source>
        <translation>Ze souboru %2 bude do nové skupiny „%3“ importováno kontaktů: %1.</translation>
    </message>
    <message>
        <source>Imported contacts</source>
        <translation>Importované kontakty</translation>
    </message>
    <message>
        <source>1 contact will be imported from %2 into a new group &quot;%3&quot;.</source>
        <translation>Ze souboru %2 bude do nové skupiny „%3“ importován 1 kontakt.</translation>
    </message>
    <message>
        <source>Contacts that lay more than %2 groups deep, put into the deepest of those groups: %1.</source>
        <translation>Kontakty vnořené hlouběji než %2 skupin, vložené do nejhlubší z těchto skupin: %1.</translation>
    </message>
    <message>
        <source>Cards that held nothing at all, left out: %1.</source>
        <translation>Vynechané vizitky, které neobsahovaly vůbec nic: %1.</translation>
    </message>
    <message>
        <source>American.cal</source>
        <translation>Czech.cal</translation>
    </message>
    <message>
        <source>Do you really want to delete &quot;%1&quot; and its %2 contacts?</source>
        <translation>Opravdu chcete smazat „%1“ včetně všech kontaktů v něm (%2)?</translation>
    </message>
    <message>
        <source>Do you really want to delete &quot;%1&quot; and its contact?</source>
        <translation>Opravdu chcete smazat „%1“ i s kontaktem v něm?</translation>
    </message>
    <message>
        <source>,</source>
        <translation>&#xa0;</translation>
    </message>
    <message>
        <source>Bind groups of the tree to CardDAV address books
Accounts</source>
        <translation>Navázat skupiny stromu na adresáře CardDAV
Účty</translation>
    </message>
    <message>
        <source>Undo the last change of the database
Undo</source>
        <translation>Vrátit poslední změnu databáze
Zpět</translation>
    </message>
    <message>
        <source>Redo the change last undone
Redo</source>
        <translation>Znovu provést naposledy vrácenou změnu
Opakovat</translation>
    </message>
</context>
<context>
    <name>SyncPassword</name>
    <message>
        <source>Password</source>
        <translation>Heslo</translation>
    </message>
    <message>
        <source>Password of %1 at %2:</source>
        <translation>Heslo uživatele %1 na %2:</translation>
    </message>
</context>
<context>
    <name>zorvan::CAboutDlg</name>
    <message>
        <source>About Zorvan</source>
        <translation>O programu Zorvan</translation>
    </message>
    <message>
        <source>Personal database of contact information with calendar features.</source>
        <translation>Osobní databáze kontaktů s kalendářem.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Tavorin
Software for personal information</source>
        <translation>Tavorin
Software pro osobní informace</translation>
    </message>
    <message>
        <source>e-mail:</source>
        <translation>e-mail:</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Informace</translation>
    </message>
    <message>
        <source>If you like the program then send us an e-mail.</source>
        <translation>Pokud se vám program líbí, pošlete nám e-mail.</translation>
    </message>
</context>
<context>
    <name>zorvan::CAccountEditDlg</name>
    <message>
        <source>The server cannot be reached.</source>
        <translation>Server není dostupný.</translation>
    </message>
    <message>
        <source>The server refused the user name or password.</source>
        <translation>Server odmítl uživatelské jméno nebo heslo.</translation>
    </message>
    <message>
        <source>The server&apos;s certificate is not trusted. For a server with a self-signed certificate, give the pin of its key.</source>
        <translation>Certifikátu serveru nelze důvěřovat. U serveru s certifikátem podepsaným sebou samým zadejte otisk jeho klíče.</translation>
    </message>
    <message>
        <source>The server failed with an error of its own.</source>
        <translation>Na serveru došlo k chybě.</translation>
    </message>
    <message>
        <source>No CardDAV server answers at this address.</source>
        <translation>Na této adrese neodpovídá žádný server CardDAV.</translation>
    </message>
    <message>
        <source>Add Address Book</source>
        <translation>Přidat adresář</translation>
    </message>
    <message>
        <source>Edit Address Book</source>
        <translation>Upravit adresář</translation>
    </message>
    <message>
        <source>The address book, its server or the group is not the one bound before: the binding starts afresh, and its next synchronisation compares every contact of both sides.</source>
        <translation>Adresář, jeho server nebo skupina není ta, která byla navázána dříve: vazba začne znovu a její příští synchronizace porovná všechny kontakty obou stran.</translation>
    </message>
    <message>
        <source>Account</source>
        <translation>Účet</translation>
    </message>
    <message>
        <source>(as kept already)</source>
        <translation>(jak je již uloženo)</translation>
    </message>
    <message>
        <source>sha256//... for a self-signed certificate</source>
        <translation>sha256//... pro certifikát podepsaný sebou samým</translation>
    </message>
    <message>
        <source>&amp;Server address:</source>
        <translation>Adresa se&amp;rveru:</translation>
    </message>
    <message>
        <source>&amp;User name:</source>
        <translation>&amp;Uživatelské jméno:</translation>
    </message>
    <message>
        <source>&amp;Password:</source>
        <translation>&amp;Heslo:</translation>
    </message>
    <message>
        <source>Certificate p&amp;in:</source>
        <translation>Otisk &amp;klíče certifikátu:</translation>
    </message>
    <message>
        <source>&amp;Find address books</source>
        <translation>&amp;Najít adresáře</translation>
    </message>
    <message>
        <source>Address book</source>
        <translation>Adresář</translation>
    </message>
    <message>
        <source>New group named after the address book</source>
        <translation>Nová skupina pojmenovaná podle adresáře</translation>
    </message>
    <message>
        <source>optional: a CalDAV calendar&apos;s address</source>
        <translation>nepovinné: adresa kalendáře CalDAV</translation>
    </message>
    <message>
        <source>Synchronize when the database is op&amp;ened</source>
        <translation>Synchronizovat při ot&amp;evření databáze</translation>
    </message>
    <message>
        <source>Address &amp;book:</source>
        <translation>&amp;Adresář:</translation>
    </message>
    <message>
        <source>&amp;Group of the tree:</source>
        <translation>&amp;Skupina ve stromu:</translation>
    </message>
    <message>
        <source>Ca&amp;lendar to publish to:</source>
        <translation>Ka&amp;lendář ke zveřejnění:</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>Give the server&apos;s address, beginning with https://.</source>
        <translation>Zadejte adresu serveru začínající https://.</translation>
    </message>
    <message>
        <source>The account has no address book.</source>
        <translation>Účet nemá žádný adresář.</translation>
    </message>
    <message>
        <source>Address books found: %1</source>
        <translation>Nalezené adresáře: %1</translation>
    </message>
    <message>
        <source>Asking the server...</source>
        <translation>Dotazuji se serveru...</translation>
    </message>
    <message>
        <source>A certificate&apos;s pin begins with &quot;sha256//&quot;, followed by the base64 form of the SHA-256 of its public key.</source>
        <translation>Otisk certifikátu začíná „sha256//“, za nímž následuje SHA-256 jeho veřejného klíče v kódování base64.</translation>
    </message>
    <message>
        <source>The calendar&apos;s address is to begin with https:// or http://.</source>
        <translation>Adresa kalendáře musí začínat https:// nebo http://.</translation>
    </message>
</context>
<context>
    <name>zorvan::CAccountsDlg</name>
    <message>
        <source>The accounts cannot be changed: %1.</source>
        <translation>Účty nelze změnit: %1.</translation>
    </message>
    <message>
        <source>Accounts</source>
        <translation>Účty</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Skupina</translation>
    </message>
    <message>
        <source>Address book</source>
        <translation>Adresář</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>User</source>
        <translation>Uživatel</translation>
    </message>
    <message>
        <source>&amp;Groups of the tree kept in step with CardDAV address books:</source>
        <translation>&amp;Skupiny stromu synchronizované s adresáři CardDAV:</translation>
    </message>
    <message>
        <source>&amp;Add...</source>
        <translation>&amp;Přidat...</translation>
    </message>
    <message>
        <source>&amp;Edit...</source>
        <translation>&amp;Upravit...</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>Odeb&amp;rat</translation>
    </message>
    <message>
        <source>%1 (a new group)</source>
        <translation>%1 (nová skupina)</translation>
    </message>
    <message>
        <source>(a group no longer in the tree)</source>
        <translation>(skupina, která už ve stromu není)</translation>
    </message>
    <message>
        <source>Remove the binding of the group &quot;%1&quot; to the address book &quot;%2&quot;? The group and its contacts stay in the tree, and the address book stays on the server.</source>
        <translation>Odebrat vazbu skupiny „%1“ na adresář „%2“? Skupina a její kontakty zůstanou ve stromu a adresář zůstane na serveru.</translation>
    </message>
</context>
<context>
    <name>zorvan::CAddressPage</name>
    <message>
        <source>&amp;Phone:</source>
        <translation>&amp;Telefon:</translation>
    </message>
    <message>
        <source>&amp;Fax:</source>
        <translation>&amp;Fax:</translation>
    </message>
    <message>
        <source>&amp;Mobile:</source>
        <translation>M&amp;obil:</translation>
    </message>
    <message>
        <source>P&amp;ager:</source>
        <translation>&amp;Pager:</translation>
    </message>
    <message>
        <source>&amp;E-mail:</source>
        <translation>&amp;E-mail:</translation>
    </message>
    <message>
        <source>&amp;Web URL:</source>
        <translation>&amp;Webová adresa:</translation>
    </message>
    <message>
        <source>&amp;IP Phone:</source>
        <translation>&amp;IP telefon:</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Adresa</translation>
    </message>
    <message>
        <source>&amp;Street:</source>
        <translation>&amp;Ulice:</translation>
    </message>
    <message>
        <source>S&amp;tate:</source>
        <translation>Kr&amp;aj:</translation>
    </message>
    <message>
        <source>&amp;ZIP:</source>
        <translation>PS&amp;Č:</translation>
    </message>
    <message>
        <source>Contact Information</source>
        <translation>Kontaktní údaje</translation>
    </message>
</context>
<context>
    <name>zorvan::CDateField</name>
    <message>
        <source>Clear for no date</source>
        <translation>Zrušením zaškrtnutí datum odeberete</translation>
    </message>
</context>
<context>
    <name>zorvan::CDelimiterDlg</name>
    <message>
        <source>File Import: Delimiter</source>
        <translation>Import souboru: oddělovač</translation>
    </message>
    <message>
        <source>Enter fields delimiter:</source>
        <translation>Zadejte oddělovač polí:</translation>
    </message>
    <message>
        <source>For tabulator delimiter enter the word tab.
For space delimiter enter the word space.</source>
        <translation>Pro oddělovač tabulátor zadejte slovo tab.
Pro oddělovač mezera zadejte slovo space.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Zrušit</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>zorvan::CDocumentCommands</name>
    <message>
        <source> (read-only) - </source>
        <translation> (jen pro čtení) - </translation>
    </message>
    <message>
        <source>%1
%2.
Open it read-only?</source>
        <translation>%1
%2.
Otevřít jen pro čtení?</translation>
    </message>
    <message>
        <source>Cannot open file %1:
%2.</source>
        <translation>Soubor %1 nelze otevřít:
%2.</translation>
    </message>
    <message>
        <source>The extensions stored after the contacts of %1 were ignored: %2. The contacts were read without them; texts the code page cannot hold show as &quot;?&quot;.</source>
        <translation>Rozšíření uložená za kontakty souboru %1 byla přeskočena: %2. Kontakty byly načteny bez nich; texty, které kódová stránka neumí, se zobrazují jako „?“.</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Otevřít</translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation>Všechny soubory (*)</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Uložit jako</translation>
    </message>
    <message>
        <source>Save a Copy for the Older Program</source>
        <translation>Uložit kopii pro starší program</translation>
    </message>
    <message>
        <source>%1 (older program).%2</source>
        <translation>%1 (starší program).%2</translation>
    </message>
    <message>
        <source>%1 is the open database&apos;s own file. Choose another file for the copy for the older program.</source>
        <translation>%1 je soubor otevřené databáze. Pro kopii pro starší program zvolte jiný soubor.</translation>
    </message>
    <message>
        <source>Cannot save file %1:
%2.</source>
        <translation>Soubor %1 nelze uložit:
%2.</translation>
    </message>
    <message>
        <source>Saved a copy for the older program as %1.</source>
        <translation>Kopie pro starší program byla uložena jako %1.</translation>
    </message>
    <message>
        <source>Saved file %1, but %2.</source>
        <translation>Soubor %1 byl uložen, ale %2.</translation>
    </message>
    <message>
        <source>[no label]</source>
        <translation>[bez popisku]</translation>
    </message>
    <message>
        <source>    and %1 more
</source>
        <translation>    a dalších %1
</translation>
    </message>
    <message>
        <source>The older program reads only the file&apos;s code page Windows-%1; in this copy these contacts will have &quot;?&quot; in place of some characters:

%2
Save the copy anyway?</source>
        <translation>Starší program čte jen kódovou stránku souboru Windows-%1; v této kopii budou mít tyto kontakty místo některých znaků „?“:

%2
Přesto kopii uložit?</translation>
    </message>
    <message>
        <source>%1 was changed by another program after it was opened here.
Replace it with this version?</source>
        <translation>Soubor %1 byl po otevření zde změněn jiným programem.
Nahradit ho touto verzí?</translation>
    </message>
    <message>
        <source>Save changes to %1?</source>
        <translation>Uložit změny do %1?</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>Uloženo: %1</translation>
    </message>
</context>
<context>
    <name>zorvan::CExportCalendarDlg</name>
    <message>
        <source>Export Calendar</source>
        <translation>Export kalendáře</translation>
    </message>
    <message>
        <source>Events</source>
        <translation>Události</translation>
    </message>
    <message>
        <source>A yearly all-day event for every birthday, anniversary
and nameday of the contacts.</source>
        <translation>Každoroční celodenní událost pro všechny narozeniny, výročí
a svátky kontaktů.</translation>
    </message>
    <message>
        <source>Include the calendar&apos;s &amp;names</source>
        <translation>Zahrnout &amp;jména z kalendáře</translation>
    </message>
    <message>
        <source>The calendar resource in use holds no names.</source>
        <translation>Používaný zdroj kalendáře neobsahuje žádná jména.</translation>
    </message>
    <message>
        <source>An event for each of the %1 names of the calendar resource.</source>
        <translation>Událost pro každé z %1 jmen zdroje kalendáře.</translation>
    </message>
</context>
<context>
    <name>zorvan::CFilterBox</name>
    <message>
        <source>Filter contacts (Ctrl+K)</source>
        <translation>Filtrovat kontakty (Ctrl+K)</translation>
    </message>
</context>
<context>
    <name>zorvan::CFindDlg</name>
    <message>
        <source>Find</source>
        <translation>Najít</translation>
    </message>
    <message>
        <source>Search for what and where</source>
        <translation>Co a kde hledat</translation>
    </message>
    <message>
        <source>&amp;What to look for:</source>
        <translation>&amp;Co hledat:</translation>
    </message>
    <message>
        <source>W&amp;here:</source>
        <translation>&amp;Kde:</translation>
    </message>
    <message>
        <source>and</source>
        <translation>a</translation>
    </message>
    <message>
        <source>Direction</source>
        <translation>Směr</translation>
    </message>
    <message>
        <source>From the &amp;begining (first occurence)</source>
        <translation>Od &amp;začátku (první výskyt)</translation>
    </message>
    <message>
        <source>From the &amp;current (next occurence)</source>
        <translation>Od &amp;aktuálního (další výskyt)</translation>
    </message>
    <message>
        <source>&amp;Find</source>
        <translation>&amp;Najít</translation>
    </message>
    <message>
        <source>C&amp;ancel</source>
        <translation>Zr&amp;ušit</translation>
    </message>
    <message>
        <source>&amp;Ignore accents</source>
        <translation>&amp;Ignorovat diakritiku</translation>
    </message>
    <message>
        <source>Choose at least one field group to search in.</source>
        <translation>Vyberte alespoň jednu skupinu polí, ve které se má hledat.</translation>
    </message>
</context>
<context>
    <name>zorvan::CFinishPage</name>
    <message>
        <source>You have bound all input fields. Now you can import the data from the text file into the program. During the import the data will be stored to the fields you have selected.</source>
        <translation>Přiřadili jste všechna vstupní pole. Nyní můžete importovat data z textového souboru do programu. Při importu se data uloží do polí, která jste vybrali.</translation>
    </message>
    <message>
        <source>If you want to proceed with the import then click the &apos;Import&apos; button. Otherwise click the &apos;Cancel&apos; button to quit.</source>
        <translation>Chcete-li pokračovat v importu, klepněte na tlačítko „Importovat“. Jinak import ukončete tlačítkem „Zrušit“.</translation>
    </message>
    <message>
        <source>Binding import fields</source>
        <translation>Přiřazení importovaných polí</translation>
    </message>
</context>
<context>
    <name>zorvan::CForeignExportDlg</name>
    <message>
        <source>Export for Other Programs</source>
        <translation>Export pro jiné programy</translation>
    </message>
    <message>
        <source>vCard version</source>
        <translation>Verze vCard</translation>
    </message>
    <message>
        <source>vCard &amp;3.0</source>
        <translation>vCard &amp;3.0</translation>
    </message>
    <message>
        <source>vCard &amp;4.0</source>
        <translation>vCard &amp;4.0</translation>
    </message>
    <message>
        <source>Phones and webmail import it most reliably.</source>
        <translation>Telefony a webová pošta ji importují nejspolehlivěji.</translation>
    </message>
    <message>
        <source>The newer standard, for address books that read it.</source>
        <translation>Novější standard, pro adresáře, které ho umějí číst.</translation>
    </message>
    <message>
        <source>Contacts</source>
        <translation>Kontakty</translation>
    </message>
    <message>
        <source>&amp;All contacts</source>
        <translation>&amp;Všechny kontakty</translation>
    </message>
    <message>
        <source>The &amp;selected group and the contacts below it</source>
        <translation>Vy&amp;braná skupina a kontakty pod ní</translation>
    </message>
    <message>
        <source>Select a group or contact in the tree.</source>
        <translation>Vyberte ve stromu skupinu nebo kontakt.</translation>
    </message>
</context>
<context>
    <name>zorvan::CForeignImportPreview</name>
    <message>
        <source>Field</source>
        <translation>Pole</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Hodnota</translation>
    </message>
    <message>
        <source>The &amp;first contact as it will be stored</source>
        <translation>&amp;První kontakt, jak bude uložen</translation>
    </message>
    <message>
        <source>&amp;Import</source>
        <translation>&amp;Importovat</translation>
    </message>
    <message>
        <source>Contacts that look like &amp;duplicates</source>
        <translation>Kontakty, které vypadají jako &amp;duplikáty</translation>
    </message>
    <message>
        <source>Contact of the file (checked: skipped)</source>
        <translation>Kontakt ze souboru (zaškrtnutý: přeskočí se)</translation>
    </message>
    <message>
        <source>Looks like</source>
        <translation>Vypadá jako</translation>
    </message>
    <message>
        <source>Why</source>
        <translation>Proč</translation>
    </message>
    <message>
        <source>&amp;Skip all</source>
        <translation>Pře&amp;skočit vše</translation>
    </message>
    <message>
        <source>Import &amp;all</source>
        <translation>Importovat &amp;vše</translation>
    </message>
    <message>
        <source>No contact looks like one already in the database.</source>
        <translation>Žádný kontakt nevypadá jako kontakt, který už v databázi je.</translation>
    </message>
    <message>
        <source>Likely duplicates: %1 of %2. To be skipped (checked): %3; to be imported: %4.</source>
        <translation>Pravděpodobné duplikáty: %1 z %2. Přeskočí se (zaškrtnuté): %3; importuje se: %4.</translation>
    </message>
    <message>
        <source>same label</source>
        <translation>stejný popisek</translation>
    </message>
    <message>
        <source>same UID</source>
        <translation>stejné UID</translation>
    </message>
    <message>
        <source>same e-mail address %1</source>
        <translation>stejná e-mailová adresa %1</translation>
    </message>
    <message>
        <source>%1 (earlier in the file)</source>
        <translation>%1 (dříve v souboru)</translation>
    </message>
</context>
<context>
    <name>zorvan::CImportPage</name>
    <message>
        <source> - Nothing -</source>
        <translation> - Nic -</translation>
    </message>
    <message>
        <source>First Name</source>
        <translation>Jméno</translation>
    </message>
    <message>
        <source>Surname</source>
        <translation>Příjmení</translation>
    </message>
    <message>
        <source>Middle Name</source>
        <translation>Druhé jméno</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Titul</translation>
    </message>
    <message>
        <source>Label for tree view</source>
        <translation>Popisek ve stromu</translation>
    </message>
    <message>
        <source>Nickname</source>
        <translation>Přezdívka</translation>
    </message>
    <message>
        <source>Gender</source>
        <translation>Pohlaví</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Skupina</translation>
    </message>
    <message>
        <source>Preferred e-mail (number)</source>
        <translation>Upřednostněný e-mail (číslo)</translation>
    </message>
    <message>
        <source>Preferred URL (number)</source>
        <translation>Upřednostněná adresa URL (číslo)</translation>
    </message>
    <message>
        <source>Street (Home Address)</source>
        <translation>Ulice (domácí adresa)</translation>
    </message>
    <message>
        <source>City (Home Address)</source>
        <translation>Město (domácí adresa)</translation>
    </message>
    <message>
        <source>ZIP (Home Address)</source>
        <translation>PSČ (domácí adresa)</translation>
    </message>
    <message>
        <source>State (Home Address)</source>
        <translation>Kraj (domácí adresa)</translation>
    </message>
    <message>
        <source>Country (Home Address)</source>
        <translation>Země (domácí adresa)</translation>
    </message>
    <message>
        <source>Home Phone</source>
        <translation>Telefon domů</translation>
    </message>
    <message>
        <source>Home Fax</source>
        <translation>Fax domů</translation>
    </message>
    <message>
        <source>Personal Mobile Phone</source>
        <translation>Osobní mobil</translation>
    </message>
    <message>
        <source>Personal Pager</source>
        <translation>Osobní pager</translation>
    </message>
    <message>
        <source>Personal E-mail</source>
        <translation>Osobní e-mail</translation>
    </message>
    <message>
        <source>Personal Web Page</source>
        <translation>Osobní webová stránka</translation>
    </message>
    <message>
        <source>Personal IP Phone</source>
        <translation>Osobní IP telefon</translation>
    </message>
    <message>
        <source>Company (Business)</source>
        <translation>Společnost (zaměstnání)</translation>
    </message>
    <message>
        <source>Position (Business)</source>
        <translation>Funkce (zaměstnání)</translation>
    </message>
    <message>
        <source>Department (Business)</source>
        <translation>Oddělení (zaměstnání)</translation>
    </message>
    <message>
        <source>Office (Business)</source>
        <translation>Kancelář (zaměstnání)</translation>
    </message>
    <message>
        <source>Street (Work Address)</source>
        <translation>Ulice (pracovní adresa)</translation>
    </message>
    <message>
        <source>City (Work Address)</source>
        <translation>Město (pracovní adresa)</translation>
    </message>
    <message>
        <source>ZIP (Work Address)</source>
        <translation>PSČ (pracovní adresa)</translation>
    </message>
    <message>
        <source>State (Work Address)</source>
        <translation>Kraj (pracovní adresa)</translation>
    </message>
    <message>
        <source>Country (Work Address)</source>
        <translation>Země (pracovní adresa)</translation>
    </message>
    <message>
        <source>Work Phone</source>
        <translation>Telefon do práce</translation>
    </message>
    <message>
        <source>Work Fax</source>
        <translation>Fax do práce</translation>
    </message>
    <message>
        <source>Business Mobile Phone</source>
        <translation>Pracovní mobil</translation>
    </message>
    <message>
        <source>Business Pager</source>
        <translation>Pracovní pager</translation>
    </message>
    <message>
        <source>Business E-mail</source>
        <translation>Pracovní e-mail</translation>
    </message>
    <message>
        <source>Business Web Page</source>
        <translation>Pracovní webová stránka</translation>
    </message>
    <message>
        <source>Business IP Phone</source>
        <translation>Pracovní IP telefon</translation>
    </message>
    <message>
        <source>Spouse</source>
        <translation>Manžel(ka)</translation>
    </message>
    <message>
        <source>Children</source>
        <translation>Děti</translation>
    </message>
    <message>
        <source>Birthday</source>
        <translation>Narozeniny</translation>
    </message>
    <message>
        <source>Nameday</source>
        <translation>Svátek</translation>
    </message>
    <message>
        <source>Anniversary</source>
        <translation>Výročí</translation>
    </message>
    <message>
        <source>Anniversary (string)</source>
        <translation>Výročí (text)</translation>
    </message>
    <message>
        <source>Remark</source>
        <translation>Poznámka</translation>
    </message>
    <message>
        <source>(empty)</source>
        <translation>(prázdné)</translation>
    </message>
    <message>
        <source>This field corresponds to the program field:</source>
        <translation>Toto pole odpovídá poli programu:</translation>
    </message>
    <message>
        <source>Choose a field from the Zorvan program corresponding to the field</source>
        <translation>Vyberte pole programu Zorvan, které odpovídá poli</translation>
    </message>
    <message>
        <source>from the text file.</source>
        <translation>z textového souboru.</translation>
    </message>
    <message>
        <source>First value in the file: %1</source>
        <translation>První hodnota v souboru: %1</translation>
    </message>
    <message>
        <source>Binding import fields</source>
        <translation>Přiřazení importovaných polí</translation>
    </message>
</context>
<context>
    <name>zorvan::CImportSheet</name>
    <message>
        <source>%1 columns recognised</source>
        <translation>rozpoznány sloupce souboru %1</translation>
    </message>
    <message>
        <source>The columns were recognised as a %1 file and are bound already. Check them page by page, or click &apos;%2&apos; at once.</source>
        <translation>Sloupce byly rozpoznány jako soubor %1 a jsou už přiřazeny. Zkontrolujte je stránku po stránce, nebo rovnou klepněte na „%2“.</translation>
    </message>
    <message>
        <source>the first line is a contact</source>
        <translation>první řádek je kontakt</translation>
    </message>
    <message>
        <source>The first line holds a contact, not column names: it is imported too. Its columns were bound by what their values look like (e-mail, phone, date); check them page by page, or click &apos;%1&apos; at once.</source>
        <translation>První řádek obsahuje kontakt, ne názvy sloupců: importuje se také. Sloupce byly přiřazeny podle toho, jak vypadají jejich hodnoty (e-mail, telefon, datum); zkontrolujte je stránku po stránce, nebo rovnou klepněte na „%1“.</translation>
    </message>
    <message>
        <source>columns bound by their names</source>
        <translation>sloupce přiřazené podle názvů</translation>
    </message>
    <message>
        <source>The columns were bound by their names; those whose names say nothing known go to the remark. Check them page by page, or click &apos;%1&apos; at once.</source>
        <translation>Sloupce byly přiřazeny podle svých názvů; ty, jejichž názvy nic známého neříkají, jdou do poznámky. Zkontrolujte je stránku po stránce, nebo rovnou klepněte na „%1“.</translation>
    </message>
</context>
<context>
    <name>zorvan::CKeptLineDlg</name>
    <message>
        <source>The line needs a property name before its &apos;:&apos;, as in TEL:+30 210 1234567.</source>
        <translation>Řádek potřebuje před „:“ název vlastnosti, například TEL:+30 210 1234567.</translation>
    </message>
    <message>
        <source>A property name (and a group before its &apos;.&apos;) is made of letters, digits and &apos;-&apos; only.</source>
        <translation>Název vlastnosti (i skupina před „.“) se skládá jen z písmen, číslic a „-“.</translation>
    </message>
    <message>
        <source>A parameter after &apos;;&apos; needs a name of letters, digits and &apos;-&apos;, as in TYPE=CELL.</source>
        <translation>Parametr za „;“ potřebuje název z písmen, číslic a „-“, například TYPE=CELL.</translation>
    </message>
    <message>
        <source>A parameter&apos;s value in quotes is not closed before the &apos;:&apos;.</source>
        <translation>Hodnota parametru v uvozovkách není před „:“ uzavřena.</translation>
    </message>
    <message>
        <source>The line needs a &apos;:&apos; between the property name and its value.</source>
        <translation>Řádek potřebuje „:“ mezi názvem vlastnosti a její hodnotou.</translation>
    </message>
    <message>
        <source>BEGIN, END, VERSION, PRODID, UID, REV and KIND are written by the program itself.</source>
        <translation>BEGIN, END, VERSION, PRODID, UID, REV a KIND zapisuje program sám.</translation>
    </message>
    <message>
        <source>Edit Kept Property</source>
        <translation>Upravit zachovanou vlastnost</translation>
    </message>
    <message>
        <source>&amp;Line as the card writes it:</source>
        <translation>Řá&amp;dek, jak ho zapisuje vizitka:</translation>
    </message>
    <message>
        <source>Kept line</source>
        <translation>Zachovaný řádek</translation>
    </message>
    <message>
        <source>A property name (with its group before a &apos;.&apos;), its parameters after &apos;;&apos;, then &apos;:&apos; and the value, as in TEL;TYPE=CELL:+30 210 1234567. An empty line removes the property.</source>
        <translation>Název vlastnosti (se skupinou před „.“), její parametry za „;“, pak „:“ a hodnota, například TEL;TYPE=CELL:+30 210 1234567. Prázdný řádek vlastnost odebere.</translation>
    </message>
</context>
<context>
    <name>zorvan::CMainFrame</name>
    <message>
        <source>&amp;New	Ctrl+N</source>
        <translation>&amp;Nový	Ctrl+N</translation>
    </message>
    <message>
        <source>&amp;Open...	Ctrl+O</source>
        <translation>&amp;Otevřít...	Ctrl+O</translation>
    </message>
    <message>
        <source>&amp;Save	Ctrl+S</source>
        <translation>&amp;Uložit	Ctrl+S</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>Uložit j&amp;ako...</translation>
    </message>
    <message>
        <source>Save a Cop&amp;y for the Older Program...</source>
        <translation>Uložit kopii &amp;pro starší program...</translation>
    </message>
    <message>
        <source>Calendar Resource...</source>
        <translation>Zdroj kalendáře...</translation>
    </message>
    <message>
        <source>&amp;Import...</source>
        <translation>&amp;Import...</translation>
    </message>
    <message>
        <source>Import &amp;from Other Programs...</source>
        <translation>Import z &amp;jiných programů...</translation>
    </message>
    <message>
        <source>&amp;Export...</source>
        <translation>&amp;Export...</translation>
    </message>
    <message>
        <source>Export fo&amp;r Other Programs...</source>
        <translation>Export p&amp;ro jiné programy...</translation>
    </message>
    <message>
        <source>Export &amp;Calendar...</source>
        <translation>Export ka&amp;lendáře...</translation>
    </message>
    <message>
        <source>&amp;Business Card...</source>
        <translation>&amp;Vizitka...</translation>
    </message>
    <message>
        <source>&amp;Print...	Ctrl+P</source>
        <translation>&amp;Tisk...	Ctrl+P</translation>
    </message>
    <message>
        <source>Print Pre&amp;view</source>
        <translation>Ná&amp;hled tisku</translation>
    </message>
    <message>
        <source>Page Set&amp;up...</source>
        <translation>Nastavení &amp;stránky...</translation>
    </message>
    <message>
        <source>&amp;Exit</source>
        <translation>&amp;Konec</translation>
    </message>
    <message>
        <source>Create &amp;new</source>
        <translation>&amp;Vytvořit nový</translation>
    </message>
    <message>
        <source>&amp;Delete contact</source>
        <translation>&amp;Smazat kontakt</translation>
    </message>
    <message>
        <source>&amp;Find...	Ctrl+F</source>
        <translation>&amp;Najít...	Ctrl+F</translation>
    </message>
    <message>
        <source>&amp;Send e-mail...</source>
        <translation>&amp;Poslat e-mail...</translation>
    </message>
    <message>
        <source>&amp;Web page</source>
        <translation>&amp;Webová stránka</translation>
    </message>
    <message>
        <source>&amp;Toolbar</source>
        <translation>&amp;Panel nástrojů</translation>
    </message>
    <message>
        <source>&amp;Status bar</source>
        <translation>&amp;Stavový řádek</translation>
    </message>
    <message>
        <source>&amp;Home page</source>
        <translation>&amp;Domovská stránka</translation>
    </message>
    <message>
        <source>&amp;Technical support</source>
        <translation>&amp;Technická podpora</translation>
    </message>
    <message>
        <source>Send &amp;e-mail</source>
        <translation>Poslat &amp;e-mail</translation>
    </message>
    <message>
        <source>&amp;About program...</source>
        <translation>&amp;O programu...</translation>
    </message>
    <message>
        <source>Recent File</source>
        <translation>Poslední soubor</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Soubor</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>Úp&amp;ravy</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Zobrazit</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Nápověda</translation>
    </message>
    <message>
        <source>Tavorin on the &amp;web</source>
        <translation>Tavorin na &amp;webu</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Panel nástrojů</translation>
    </message>
    <message>
        <source>There is not enough memory to finish the command.</source>
        <translation>Na dokončení příkazu není dost paměti.</translation>
    </message>
    <message>
        <source>&amp;Reminders</source>
        <translation>Př&amp;ipomínky</translation>
    </message>
    <message>
        <source>Namedays from &amp;First Names</source>
        <translation>Svátky podle &amp;křestních jmen</translation>
    </message>
    <message>
        <source>Show or hide the line of today&apos;s and the coming week&apos;s birthdays, anniversaries and namedays</source>
        <translation>Zobrazí nebo skryje řádek s dnešními a nadcházejícími narozeninami, výročími a svátky</translation>
    </message>
    <message>
        <source>List contacts without a nameday of their own on the day the calendar resource gives their first name</source>
        <translation>Uvádí kontakty bez vlastního svátku v den, kdy má jejich křestní jméno svátek podle kalendáře</translation>
    </message>
    <message>
        <source>Accoun&amp;ts...</source>
        <translation>Ú&amp;čty...</translation>
    </message>
    <message>
        <source>Bring the groups bound to address books into step with their servers</source>
        <translation>Sladit skupiny propojené s adresáři s jejich servery</translation>
    </message>
    <message>
        <source>Synchronize</source>
        <translation>Synchronizovat</translation>
    </message>
    <message>
        <source>Sync&amp;hronize	F5</source>
        <translation>S&amp;ynchronizovat	F5</translation>
    </message>
    <message>
        <source>&amp;Undo	Ctrl+Z</source>
        <translation>&amp;Zpět	Ctrl+Z</translation>
    </message>
    <message>
        <source>&amp;Redo	Ctrl+Y</source>
        <translation>&amp;Opakovat	Ctrl+Y</translation>
    </message>
</context>
<context>
    <name>zorvan::CMyPropSheet</name>
    <message>
        <source>Summary</source>
        <translation>Souhrn</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Jméno</translation>
    </message>
    <message>
        <source>Home</source>
        <translation>Domov</translation>
    </message>
    <message>
        <source>Business</source>
        <translation>Zaměstnání</translation>
    </message>
    <message>
        <source>Personal</source>
        <translation>Osobní</translation>
    </message>
    <message>
        <source>Calendar</source>
        <translation>Kalendář</translation>
    </message>
    <message>
        <source>About Zorvan</source>
        <translation>O programu</translation>
    </message>
</context>
<context>
    <name>zorvan::CPageAbout</name>
    <message>
        <source>Information</source>
        <translation>Informace</translation>
    </message>
    <message>
        <source>Personal database of contact information. The program allows saving and managing of all possible contact information. The program also includes automatic calendar for your contacts.</source>
        <translation>Osobní databáze kontaktních údajů. Program umožňuje ukládat a spravovat všechny možné kontaktní údaje. Obsahuje také automatický kalendář pro vaše kontakty.</translation>
    </message>
    <message>
        <source>Contact Information</source>
        <translation>Kontaktní údaje</translation>
    </message>
    <message>
        <source>Tavorin
Software for personal information</source>
        <translation>Tavorin
Software pro osobní informace</translation>
    </message>
    <message>
        <source>e-mail:</source>
        <translation>e-mail:</translation>
    </message>
    <message>
        <source>If you like the program then send us an e-mail.</source>
        <translation>Pokud se vám program líbí, pošlete nám e-mail.</translation>
    </message>
</context>
<context>
    <name>zorvan::CPageBusiness</name>
    <message>
        <source>Business</source>
        <translation>Zaměstnání</translation>
    </message>
    <message>
        <source>&amp;Company:</source>
        <translation>&amp;Společnost:</translation>
    </message>
    <message>
        <source>Positio&amp;n:</source>
        <translation>Fu&amp;nkce:</translation>
    </message>
    <message>
        <source>&amp;Department:</source>
        <translation>O&amp;ddělení:</translation>
    </message>
    <message>
        <source>&amp;Office:</source>
        <translation>&amp;Kancelář:</translation>
    </message>
    <message>
        <source>Cit&amp;y:</source>
        <translation>&amp;Město:</translation>
    </message>
    <message>
        <source>Co&amp;untry:</source>
        <translation>&amp;Země:</translation>
    </message>
</context>
<context>
    <name>zorvan::CPageCalendar</name>
    <message>
        <source>Today</source>
        <translation>Dnes</translation>
    </message>
    <message>
        <source>&amp;Yesterday</source>
        <translation>&amp;Včera</translation>
    </message>
    <message>
        <source>&amp;Tomorrow</source>
        <translation>&amp;Zítra</translation>
    </message>
    <message>
        <source>Namedays</source>
        <translation>Svátky</translation>
    </message>
    <message>
        <source>Birthdays and Anniversaries</source>
        <translation>Narozeniny a výročí</translation>
    </message>
    <message>
        <source>Next 7 days</source>
        <translation>Příštích 7 dní</translation>
    </message>
</context>
<context>
    <name>zorvan::CPageHome</name>
    <message>
        <source>&amp;City:</source>
        <translation>&amp;Město:</translation>
    </message>
    <message>
        <source>C&amp;ountry:</source>
        <translation>&amp;Země:</translation>
    </message>
</context>
<context>
    <name>zorvan::CPageName</name>
    <message>
        <source>Unknown</source>
        <translation>Neznámé</translation>
    </message>
    <message>
        <source>Male</source>
        <translation>Muž</translation>
    </message>
    <message>
        <source>Female</source>
        <translation>Žena</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Jméno</translation>
    </message>
    <message>
        <source>&amp;First:</source>
        <translation>&amp;Jméno:</translation>
    </message>
    <message>
        <source>&amp;Middle:</source>
        <translation>&amp;Druhé jméno:</translation>
    </message>
    <message>
        <source>&amp;Surname:</source>
        <translation>&amp;Příjmení:</translation>
    </message>
    <message>
        <source>&amp;Title:</source>
        <translation>&amp;Titul:</translation>
    </message>
    <message>
        <source>&amp;Nickname:</source>
        <translation>Pře&amp;zdívka:</translation>
    </message>
    <message>
        <source>&amp;Gender:</source>
        <translation>P&amp;ohlaví:</translation>
    </message>
    <message>
        <source>Photo</source>
        <translation>Fotografie</translation>
    </message>
    <message>
        <source>&amp;Set Photo...</source>
        <translation>&amp;Nastavit fotografii...</translation>
    </message>
    <message>
        <source>&amp;Remove Photo</source>
        <translation>&amp;Odebrat fotografii</translation>
    </message>
    <message>
        <source>Label</source>
        <translation>Popisek</translation>
    </message>
    <message>
        <source>&amp;Label for tree view:</source>
        <translation>Pop&amp;isek ve stromu:</translation>
    </message>
    <message>
        <source>Gr&amp;oup</source>
        <translation>&amp;Skupina</translation>
    </message>
    <message>
        <source>Internet</source>
        <translation>Internet</translation>
    </message>
    <message>
        <source>Preferred &amp;e-mail address:</source>
        <translation>Upřednostněný &amp;e-mail:</translation>
    </message>
    <message>
        <source>Preferred &amp;web page:</source>
        <translation>Upřednostněná &amp;webová stránka:</translation>
    </message>
    <message>
        <source>Set Photo</source>
        <translation>Nastavit fotografii</translation>
    </message>
    <message>
        <source>Pictures (*.jpg *.jpeg *.png *.gif);;All Files (*)</source>
        <translation>Obrázky (*.jpg *.jpeg *.png *.gif);;Všechny soubory (*)</translation>
    </message>
    <message>
        <source>Cannot open file %1:
%2.</source>
        <translation>Soubor %1 nelze otevřít:
%2.</translation>
    </message>
    <message>
        <source>The picture %1 is larger than %2 MB.</source>
        <translation>Obrázek %1 je větší než %2 MB.</translation>
    </message>
    <message>
        <source>The file %1 is no JPEG, PNG or GIF picture.</source>
        <translation>Soubor %1 není obrázek JPEG, PNG ani GIF.</translation>
    </message>
</context>
<context>
    <name>zorvan::CPagePersonal</name>
    <message>
        <source>Family</source>
        <translation>Rodina</translation>
    </message>
    <message>
        <source>&amp;Spouse:</source>
        <translation>&amp;Manžel(ka):</translation>
    </message>
    <message>
        <source>&amp;Children:</source>
        <translation>&amp;Děti:</translation>
    </message>
    <message>
        <source>Dates</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>&amp;Birthday:</source>
        <translation>&amp;Narozeniny:</translation>
    </message>
    <message>
        <source>&amp;Nameday:</source>
        <translation>&amp;Svátek:</translation>
    </message>
    <message>
        <source>&amp;Anniversary:</source>
        <translation>&amp;Výročí:</translation>
    </message>
    <message>
        <source>&amp;Remark</source>
        <translation>&amp;Poznámka</translation>
    </message>
</context>
<context>
    <name>zorvan::CPageSummary</name>
    <message>
        <source>Static</source>
        <translation>Statický text</translation>
    </message>
    <message>
        <source>&amp;Home Address:</source>
        <translation>&amp;Domácí adresa:</translation>
    </message>
    <message>
        <source>&amp;Phone:</source>
        <translation>&amp;Telefon:</translation>
    </message>
    <message>
        <source>&amp;Internet:</source>
        <translation>&amp;Internet:</translation>
    </message>
    <message>
        <source>&amp;Work Address:</source>
        <translation>&amp;Pracovní adresa:</translation>
    </message>
    <message>
        <source>P&amp;hone:</source>
        <translation>Tele&amp;fon:</translation>
    </message>
    <message>
        <source>I&amp;nternet:</source>
        <translation>I&amp;nternet:</translation>
    </message>
    <message>
        <source>Kept from other programs</source>
        <translation>Zachováno z jiných programů</translation>
    </message>
    <message>
        <source>Kept properties</source>
        <translation>Zachované vlastnosti</translation>
    </message>
    <message>
        <source>&amp;Edit...</source>
        <translation>Up&amp;ravit...</translation>
    </message>
    <message>
        <source>Edit kept property</source>
        <translation>Upravit zachovanou vlastnost</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Odebrat</translation>
    </message>
    <message>
        <source>Remove kept properties</source>
        <translation>Odebrat zachované vlastnosti</translation>
    </message>
</context>
<context>
    <name>zorvan::CReminderBar</name>
    <message>
        <source>Today</source>
        <translation>Dnes</translation>
    </message>
    <message>
        <source>Tomorrow</source>
        <translation>Zítra</translation>
    </message>
    <message>
        <source>ddd d MMM</source>
        <translation>ddd d. MMM</translation>
    </message>
</context>
<context>
    <name>zorvan::CSyncCommands</name>
    <message>
        <source>Cancel</source>
        <translation>Zrušit</translation>
    </message>
    <message>
        <source>Stop the synchronization; what was done so far is kept</source>
        <translation>Zastavit synchronizaci; co už bylo uděláno, zůstane</translation>
    </message>
    <message>
        <source>Stopping the synchronization...</source>
        <translation>Synchronizace se zastavuje...</translation>
    </message>
    <message>
        <source>The synchronization state of this database is damaged: %1.</source>
        <translation>Stav synchronizace této databáze je poškozen: %1.</translation>
    </message>
    <message>
        <source>No group is bound to an address book yet; bind one with File &gt; Accounts...</source>
        <translation>Zatím není žádná skupina propojena s adresářem; propojte ji příkazem Soubor &gt; Účty...</translation>
    </message>
    <message>
        <source>Synchronization cancelled.</source>
        <translation>Synchronizace byla zrušena.</translation>
    </message>
    <message>
        <source>Synchronizing...</source>
        <translation>Synchronizuje se...</translation>
    </message>
    <message>
        <source>Synchronizing with %1 would delete %2 contacts here and %3 on the server.
Delete them?</source>
        <translation>Synchronizace s adresářem „%1“ by smazala kontaktů zde: %2, na serveru: %3.
Smazat je?</translation>
    </message>
    <message>
        <source>Synchronization cancelled; what was done so far is kept.</source>
        <translation>Synchronizace byla zrušena; co už bylo uděláno, zůstává.</translation>
    </message>
    <message>
        <source>Synchronizing with %1 failed: %2.</source>
        <translation>Synchronizace s adresářem „%1“ selhala: %2.</translation>
    </message>
    <message>
        <source>Nothing was synchronized with %1: it would have deleted too many contacts.</source>
        <translation>S adresářem „%1“ nebylo nic synchronizováno: smazalo by se příliš mnoho kontaktů.</translation>
    </message>
    <message>
        <source>Synchronized: fetched %1, uploaded %2, deleted here %3, deleted there %4, merged %5, conflicts left %6</source>
        <translation>Synchronizováno: staženo %1, nahráno %2, smazáno zde %3, smazáno na serveru %4, sloučeno %5, ponechaných konfliktů %6</translation>
    </message>
    <message>
        <source>; publishing the calendar failed: %1.</source>
        <translation>; zveřejnění kalendáře selhalo: %1.</translation>
    </message>
    <message>
        <source>; calendar: published %1, unchanged %2, withdrawn %3</source>
        <translation>; kalendář: zveřejněno %1, beze změny %2, staženo %3</translation>
    </message>
    <message>
        <source>Synchronization cancelled: the database is saved before its contacts first go to a server.</source>
        <translation>Synchronizace zrušena: databáze se ukládá dřív, než její kontakty poprvé odejdou na server.</translation>
    </message>
</context>
<context>
    <name>zorvan::CSyncConflictDlg</name>
    <message>
        <source>Changed Here and on the Server</source>
        <translation>Změněno zde i na serveru</translation>
    </message>
    <message>
        <source>This contact was changed here and on the server in different ways. Choose the value each property keeps.</source>
        <translation>Tento kontakt byl zde a na serveru změněn rozdílně. Vyberte, kterou hodnotu si každá vlastnost ponechá.</translation>
    </message>
    <message>
        <source>Property</source>
        <translation>Vlastnost</translation>
    </message>
    <message>
        <source>Mine</source>
        <translation>Moje</translation>
    </message>
    <message>
        <source>Server&apos;s</source>
        <translation>Ze serveru</translation>
    </message>
    <message>
        <source>Keep &amp;Mine for All</source>
        <translation>Ponechat &amp;moje u všech</translation>
    </message>
    <message>
        <source>Take the &amp;Server&apos;s for All</source>
        <translation>Vzít ze &amp;serveru u všech</translation>
    </message>
    <message>
        <source>&amp;Leave Unsynchronized</source>
        <translation>&amp;Nechat nesynchronizované</translation>
    </message>
</context>
<context>
    <name>zorvan::CUndoCommands</name>
    <message>
        <source>Typing in &apos;%1&apos;</source>
        <translation>psaní u „%1“</translation>
    </message>
    <message>
        <source>Rename &apos;%1&apos;</source>
        <translation>přejmenování „%1“</translation>
    </message>
    <message>
        <source>Group Flag of &apos;%1&apos;</source>
        <translation>příznak skupiny u „%1“</translation>
    </message>
    <message>
        <source>Photo of &apos;%1&apos;</source>
        <translation>fotografie u „%1“</translation>
    </message>
    <message>
        <source>New Contact</source>
        <translation>nový kontakt</translation>
    </message>
    <message>
        <source>Delete &apos;%1&apos;</source>
        <translation>smazání „%1“</translation>
    </message>
    <message>
        <source>Move &apos;%1&apos;</source>
        <translation>přesun „%1“</translation>
    </message>
    <message>
        <source>Copy &apos;%1&apos;</source>
        <translation>kopírování „%1“</translation>
    </message>
    <message>
        <source>Import &apos;%1&apos;</source>
        <translation>import „%1“</translation>
    </message>
    <message>
        <source>Synchronize (here only; the next synchronization brings the server&apos;s changes back)</source>
        <translation>synchronizace (jen zde; další synchronizace přinese změny ze serveru zpět)</translation>
    </message>
    <message>
        <source>Accounts</source>
        <translation>Účty</translation>
    </message>
    <message>
        <source>%1 (1 contact)</source>
        <translation>%1 (1 kontakt)</translation>
    </message>
    <message>
        <source>%1 (%2 contacts)</source>
        <translation>%1 (kontaktů: %2)</translation>
    </message>
    <message>
        <source>&amp;Undo %1	Ctrl+Z</source>
        <translation>&amp;Zpět: %1	Ctrl+Z</translation>
    </message>
    <message>
        <source>&amp;Undo	Ctrl+Z</source>
        <translation>&amp;Zpět	Ctrl+Z</translation>
    </message>
    <message>
        <source>&amp;Redo %1	Ctrl+Y</source>
        <translation>&amp;Opakovat: %1	Ctrl+Y</translation>
    </message>
    <message>
        <source>&amp;Redo	Ctrl+Y</source>
        <translation>&amp;Opakovat	Ctrl+Y</translation>
    </message>
    <message>
        <source>Undo %1</source>
        <translation>Zpět: %1</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Zpět</translation>
    </message>
    <message>
        <source>Redo %1</source>
        <translation>Opakovat: %1</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Opakovat</translation>
    </message>
</context>
<context>
    <name>zorvan::CZorvanView</name>
    <message>
        <source>The contact could not be printed on %1.</source>
        <translation>Kontakt nelze vytisknout na %1.</translation>
    </message>
</context>
</TS>
