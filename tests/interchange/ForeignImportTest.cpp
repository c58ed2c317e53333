// Import from Other Programs after its file dialog: reading the file whole, the bindings of
// delimited text handed to the prompts, the likely duplicates, and the new group the contacts
// go into.
#include <gtest/gtest.h>

#include <tuple>

#include <sys/stat.h>

#include <tuple>

#include "FakeHost.h"
#include "FakeTreePort.h"
#include "InterchangeTestSupport.h"
#include "TestUtil.h"
#include "interchange/FieldList.h"
#include "interchange/ForeignImport.h"
#include "interchange/csv/ForeignCsvReader.h"
#include "res/StringTable.h"
#include "store/ZorvanDoc.h"

using namespace zorvan;
using zorvan::test::CTempDir;

namespace {

// One card as phones and webmail write them; groups, when given, as this program writes a
// contact's group path (its cards carry X-TAVORIN- lines).
std::string Card(const std::string& label, const std::string& home = {},
                 const std::string& work = {}, const std::string& birthday = {},
                 const std::string& groups = {}) {
  std::string card = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:" + label + "\r\n";
  if (!home.empty()) card += "EMAIL;TYPE=INTERNET,HOME:" + home + "\r\n";
  if (!work.empty()) card += "EMAIL;TYPE=INTERNET,WORK:" + work + "\r\n";
  if (!birthday.empty()) card += "BDAY:" + birthday + "\r\n";
  if (!groups.empty()) card += "CATEGORIES:" + groups + "\r\nX-TAVORIN-EMAIL:-1\r\n";
  return card + "END:VCARD\r\n";
}

class CRecordingProgress : public ITransferProgress {
 public:
  void SetRange(int lower, int upper) override { ranges.emplace_back(lower, upper); }
  void SetPosition(int position) override { positions.push_back(position); }
  std::vector<std::pair<int, int>> ranges;
  std::vector<int> positions;
};

// Records what the import hands to the wizard and answers from a script.
class CBindingPrompts : public IImportPrompts {
 public:
  bool AskDelimiter(std::string&) override {
    ++delimiterQuestions;
    return false;
  }
  void NoteLayout(const std::string& layoutName) override { noted.push_back(layoutName); }
  bool AskBindings(const std::string& delimiter, std::vector<ColumnBinding>& bindings) override {
    askedDelimiter = delimiter;
    asked = bindings;
    if (!accept) return false;
    for (const auto& [column, target] : answers) bindings[column].m_nTarget = target;
    return true;
  }

  bool accept = true;
  std::vector<std::pair<size_t, int>> answers;
  int delimiterQuestions = 0;
  std::vector<std::string> noted;
  std::string askedDelimiter;
  std::vector<ColumnBinding> asked;
};

class ForeignImport : public ::testing::Test {
 protected:
  ForeignImport() : doc(host) {
    host.settings["Settings/Resource"] = dir / "none.cal";
    doc.OnNewDocument();
  }

  // A database whose contacts lie in a group and at the top.
  void AddExisting() {
    CTreeItem* friends = Add(doc.ContactsRoot(), "Přátelé");
    friends->m_bGroup = 1;
    Add(friends, "Antonín Dvořák")->m_strPersonalEmail = "dvorak@example.cz";
    Add(doc.ContactsRoot(), "Łukasz Wąsik")->m_strBusinessEmail = "lukasz@firma.pl";
    Add(doc.ContactsRoot(), "Jürgen Größ");
    doc.SetModifiedFlag(false);
  }

  static CTreeItem* Add(CTreeItem* parent, const std::string& label) {
    auto* record = new CTreeItem;
    record->m_strLabel = label;
    CTreeItem::AddChild(parent, record);
    return record;
  }

  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = dir / name;
    test::WriteFile(path, bytes);
    return path;
  }

  CTempDir dir;
  test::CFakeHost host;
  CZorvanDoc doc;
};

TEST(FoldForComparison, shouldFoldTheCaseOfEveryLetterNotOnlyTheCodePages) {
  const std::pair<const char*, const char*> cases[] = {
      {"DVOŘÁK", "dvořák"},
      {"ŁUKASZ WĄSIK", "łukasz wąsik"},
      {"JÜRGEN GRÖẞ", "jürgen größ"},
      {"  Jan.Novak@Example.CZ \t", "jan.novak@example.cz"},
      {"ΣΩΚΡΆΤΗΣ", "σωκράτησ"},                    // Greek, in no code page the program writes
      {"\xC3\x28 ABC \xFF", "\xC3\x28 abc \xFF"},  // malformed bytes kept as they were
      {"", ""},
  };
  for (const auto& [text, folded] : cases) EXPECT_EQ(FoldForComparison(text), folded) << text;
}

TEST(StoredFieldTexts, shouldNameEveryFieldThatHoldsSomethingWithItsValueInWords) {
  CTreeItem record;
  record.m_strFirstName = "Łukasz";
  record.m_strLastName = "Wąsik";
  record.m_strLabel = "Łukasz Wąsik";
  record.m_nGender = 1;
  record.m_nPrefEmail = 1;
  record.m_strBusinessEmail = "lukasz@firma.pl";
  record.m_strHomeCity = "  Kraków ";
  record.m_dtBirthday = CDateTime(1984, 2, 29);
  record.m_bBirthday = 1;
  record.m_dtNameDay = CDateTime(2000, 11, 10);
  record.m_bNameDay = 1;
  record.m_dtAnniversary = CDateTime(2010, 6, 5);  // its flag is not set: not shown
  record.m_strRemark = "Telefon (jiný): +48 601 234 567\r\nKategorie: Práce";
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"First Name", "Łukasz"},
      {"Last Name", "Wąsik"},
      {"Label", "Łukasz Wąsik"},
      {"Gender", "male"},
      {"Preferred E-mail", "business"},
      {"Home City", "Kraków"},
      {"Business E-mail", "lukasz@firma.pl"},
      {"Birthday", "29. 2. 1984"},
      {"Name Day", "10. 11."},
      {"Remark", "Telefon (jiný): +48 601 234 567\r\nKategorie: Práce"},
  };
  EXPECT_EQ(StoredFieldTexts(record), expected);
}

TEST_F(ForeignImport, shouldFindDuplicatesByLabelAndEitherAddressIgnoringCase) {
  AddExisting();
  const std::string path =
      Write("telefon.vcf", Card("ANTONÍN DVOŘÁK") + Card("Lukas W.", "LUKASZ@Firma.PL") +
                               Card("Eva Nová", "eva@example.cz") + Card("Karel Čapek") +
                               Card("eva nová") + Card("Jiří", {}, "DVORAK@example.cz") +
                               Card("Hana", {}, "EVA@EXAMPLE.CZ"));
  CForeignImport import;
  ASSERT_TRUE(import.Open(path, {}).Succeeded());
  ASSERT_EQ(import.Count(), 7u);

  const std::vector<SDuplicate> found = import.FindDuplicates(*doc.ContactsRoot());
  struct SExpected {
    size_t contact;
    const char* existing;
    EDuplicateReason reason;
    bool earlier;
    const char* reasonText;
  };
  const SExpected expected[] = {
      {0, "Antonín Dvořák", EDuplicateReason::sameLabel, false, "same label"},
      {1, "Łukasz Wąsik", EDuplicateReason::sameEmail, false,
       "same e-mail address LUKASZ@Firma.PL"},
      {4, "Eva Nová", EDuplicateReason::sameLabel, true, "same label (earlier in the file)"},
      {5, "Antonín Dvořák", EDuplicateReason::sameEmail, false,
       "same e-mail address DVORAK@example.cz"},
      {6, "Eva Nová", EDuplicateReason::sameEmail, true,
       "same e-mail address EVA@EXAMPLE.CZ (earlier in the file)"},
  };
  ASSERT_EQ(found.size(), std::size(expected));
  for (size_t i = 0; i < found.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(found[i].nContact, expected[i].contact);
    EXPECT_EQ(found[i].strExisting, expected[i].existing);
    EXPECT_EQ(found[i].reason, expected[i].reason);
    EXPECT_EQ(found[i].bEarlierInFile, expected[i].earlier);
    EXPECT_EQ(found[i].ReasonText(), expected[i].reasonText);
  }
  // Nothing was added by looking.
  EXPECT_EQ(doc.ContactsRoot()->ChildCount(), 3u);
  EXPECT_FALSE(doc.IsModified());
}

// Thousands of contacts on either side, whose keys are made on two threads: every duplicate is
// found where it is, in either half of either list.
TEST_F(ForeignImport, shouldFindDuplicatesInEveryPartOfALargeImport) {
  constexpr int kMany = 9000;
  for (bool filled : {true, false}) {
    SCOPED_TRACE(filled ? "into a large database" : "into an empty one");
    CZorvanDoc database(host);
    database.OnNewDocument();
    for (int i = 0; filled && i < kMany; ++i)
      Add(database.ContactsRoot(), "Łukasz " + std::to_string(i))->m_strPersonalEmail =
          "lukasz" + std::to_string(i) + "@firma.pl";
    std::string cards;
    std::vector<std::tuple<size_t, std::string, bool>> expected;
    for (int i = 0; i < kMany; ++i) {
      const std::string far = std::to_string(kMany - 1 - i), half = std::to_string(i - kMany / 2);
      if (i % 1000 == 499) {  // the address of a contact at the other end of the database
        cards += Card("Jiří " + std::to_string(i), "LUKASZ" + far + "@Firma.PL");
        if (filled) expected.emplace_back(i, "Łukasz " + far, false);
      } else if (i % 1000 == 500 && i >= kMany / 2) {  // the label of a card of the first half
        cards += Card("Παπαδόπουλος " + half);
        expected.emplace_back(i, "Παπαδόπουλος " + half, true);
      } else {
        cards += Card("Παπαδόπουλος " + std::to_string(i));
      }
    }
    CForeignImport import;
    ASSERT_TRUE(import.Open(Write("mnoho.vcf", cards), {}).Succeeded());
    std::vector<std::tuple<size_t, std::string, bool>> found;
    for (const SDuplicate& d : import.FindDuplicates(*database.ContactsRoot()))
      found.emplace_back(d.nContact, d.strExisting, d.bEarlierInFile);
    EXPECT_EQ(found, expected);
  }
}

// The command line moves the contacts into the database while their duplicates are looked for:
// the search must give what it gives alone, with neither the moved contacts taken for records
// of the database nor any of them missed, in small files and in lists long enough for threads.
TEST_F(ForeignImport, shouldFindTheSameDuplicatesWhileTheContactsMoveIntoTheDatabase) {
  AddExisting();
  const auto withUid = [](std::string card, const std::string& uid) {
    return card.insert(card.size() - std::string("END:VCARD\r\n").size(), "UID:" + uid + "\r\n");
  };
  std::string many;
  for (int i = 0; i < 9000; ++i)
    many += i % 900 == 7 ? Card("ANTONÍN DVOŘÁK")
            : i % 900 == 8
                ? withUid(Card("Zhāng Wěi " + std::to_string(i)), "uid-" + std::to_string(i - 450))
                : withUid(Card("张伟 " + std::to_string(i)), "uid-" + std::to_string(i));
  const std::pair<const char*, std::string> files[] = {
      {"few", Card("Łukasz Wąsik", {}, "LUKASZ@firma.pl") + Card("Jürgen Größ") +
                  withUid(Card("Νίκος"), "urn:uuid:1") + withUid(Card("Νίκος Π."), "urn:uuid:1") +
                  Card("Jürgen Größ", "jurgen@example.de")},
      {"many", many},
  };
  for (const auto& [name, cards] : files) {
    SCOPED_TRACE(name);
    const std::string path = Write(std::string(name) + ".vcf", cards);
    CForeignImport alone, moved;
    ASSERT_TRUE(alone.Open(path, {}).Succeeded());
    ASSERT_TRUE(moved.Open(path, {}).Succeeded());
    const std::vector<SDuplicate> expected = alone.FindDuplicates(*doc.ContactsRoot());
    ASSERT_FALSE(expected.empty());
    const size_t before = doc.ContactsRoot()->ChildCount();
    STransferResult added;
    const std::vector<SDuplicate> found =
        moved.FindDuplicates(*doc.ContactsRoot(), [&] { added = moved.AddTo(doc); });
    EXPECT_TRUE(added.Succeeded());
    EXPECT_EQ(moved.AddedCount(), alone.Count());
    EXPECT_EQ(doc.ContactsRoot()->ChildCount(), before + 1);
    ASSERT_EQ(found.size(), expected.size());
    for (size_t i = 0; i < found.size(); ++i) {
      EXPECT_EQ(found[i].nContact, expected[i].nContact) << i;
      EXPECT_EQ(found[i].ReasonText(), expected[i].ReasonText()) << i;
      EXPECT_EQ(found[i].strExisting, expected[i].strExisting) << i;
    }
  }
}

TEST_F(ForeignImport, shouldFindTheSameContactByItsUidBeforeAnyLikeness) {
  AddExisting();
  CTreeItem* jurgen = doc.ContactsRoot()->Child(2);
  jurgen->m_pExtras = std::make_unique<SRecordExtras>();
  jurgen->m_pExtras->uid = "urn:uuid:0b6f3a52-8d1e-4c7a-9f21-5e3d7c9a1b40";
  const auto withUid = [](std::string card, const std::string& uid) {
    return card.insert(card.size() - std::string("END:VCARD\r\n").size(), "UID:" + uid + "\r\n");
  };
  const std::string path = Write(
      "telefon.vcf",
      withUid(Card("Jürgen Größer (práce)"), "urn:uuid:0b6f3a52-8d1e-4c7a-9f21-5e3d7c9a1b40") +
          withUid(Card("Łukasz Wąsik"), "urn:uuid:0b6f3a52-8d1e-4c7a-9f21-5e3d7c9a1b40") +
          withUid(Card("王小明"), "wang@example.cn") +
          withUid(Card("Wang Xiaoming"), "wang@example.cn") +
          withUid(Card("Νίκος"), "URN:UUID:0B6F3A52-8D1E-4C7A-9F21-5E3D7C9A1B40"));
  CForeignImport import;
  ASSERT_TRUE(import.Open(path, {}).Succeeded());
  ASSERT_EQ(import.Count(), 5u);

  const std::vector<SDuplicate> found = import.FindDuplicates(*doc.ContactsRoot());
  struct SExpected {
    size_t contact;
    const char* existing;
    bool earlier;
    const char* reasonText;
  };
  // The second card has Łukasz's label too, but its UID names Jürgen; a UID is compared as
  // written, so the last card's upper-case one names nobody.
  const SExpected expected[] = {
      {0, "Jürgen Größ", false, "same UID"},
      {1, "Jürgen Größ", false, "same UID"},
      {3, "王小明", true, "same UID (earlier in the file)"},
  };
  ASSERT_EQ(found.size(), std::size(expected));
  for (size_t i = 0; i < found.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(found[i].nContact, expected[i].contact);
    EXPECT_EQ(found[i].strExisting, expected[i].existing);
    EXPECT_EQ(found[i].reason, EDuplicateReason::sameUid);
    EXPECT_EQ(found[i].bEarlierInFile, expected[i].earlier);
    EXPECT_EQ(found[i].ReasonText(), expected[i].reasonText);
  }
}

// One card of the duplicate rule's table: "" leaves a property out.
struct SPerson {
  const char* label;
  const char* email = "";
  const char* workEmail = "";
  const char* birthday = "";
  const char* phone = "";
  const char* uid = "";

  std::string Text() const {
    std::string card = Card(label, email, workEmail, birthday);
    std::string extra;
    if (*phone) extra += std::string("TEL;TYPE=CELL:") + phone + "\r\n";
    if (*uid) extra += std::string("UID:") + uid + "\r\n";
    return card.insert(card.size() - std::string("END:VCARD\r\n").size(), extra);
  }
};

TEST_F(ForeignImport, shouldTakeTheSameLabelForADuplicateOnlyWhenNothingTellsTheTwoApart) {
  struct SCase {
    const char* name;
    SPerson before, card;
    const char* reason;  // null: no duplicate
  };
  const SCase cases[] = {
      {"same UID, all else different",
       {"Jan Novák", "jan@novak.cz", "", "1970-01-01", "+420 601 111 111", "urn:uuid:42"},
       {"Honza", "honza@jinde.cz", "", "1971-02-02", "+420 602 222 222", "urn:uuid:42"},
       "same UID"},
      {"same e-mail in another case and field, label and birthday different",
       {"Zofia Wąsowska", "", "zofia@firma.pl", "1980-05-06"},
       {"Z. W.", "ZOFIA@Firma.PL", "", "1981-05-06"},
       "same e-mail address ZOFIA@Firma.PL"},
      {"same label, different e-mail",
       {"Jan Novák", "jan@novak.cz"},
       {"JAN NOVÁK", "jan@jinde.cz"},
       nullptr},
      {"same label, different birthday",
       {"Zofia Wąsowska", "", "", "1980-05-06"},
       {"zofia wąsowska", "", "", "1980-06-05"},
       nullptr},
      {"same label, one side without phone",
       {"王小明", "", "", "1990-10-01", "+86 138 0013 8000"},
       {"王小明", "wang@example.cn", "", "1990-10-01"},
       "same label"},
      {"same label, different phone",
       {"王小明", "", "", "", "+86 138 0013 8000"},
       {"王小明", "", "", "", "+86 139 0013 9000"},
       nullptr},
      {"same label, one number written with and without the country code",
       {"Jan Novák", "", "", "", "+420 601 234 567"},
       {"Jan Novák", "", "", "", "601234567"},
       "same label"},
      {"same label, only the other has an e-mail",
       {"Ζωή Παπαδοπούλου"},
       {"ΖΩΉ ΠΑΠΑΔΟΠΟΎΛΟΥ", "zoi@example.gr"},
       "same label"},
  };
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.name);
    // Both in one file: the card looks like the earlier one.
    CForeignImport file;
    ASSERT_TRUE(file.Open(Write("oba.vcf", c.before.Text() + c.card.Text()), {}).Succeeded());
    const CTreeItem empty;
    const std::vector<SDuplicate> inFile = file.FindDuplicates(empty);
    // The first imported into a database before, the card after it.
    CZorvanDoc database(host);
    database.OnNewDocument();
    CForeignImport first, card;
    ASSERT_TRUE(first.Open(Write("první.vcf", c.before.Text()), {}).Succeeded());
    ASSERT_TRUE(first.AddTo(database).Succeeded());
    ASSERT_TRUE(card.Open(Write("karta.vcf", c.card.Text()), {}).Succeeded());
    const std::vector<SDuplicate> inDatabase = card.FindDuplicates(*database.ContactsRoot());
    if (!c.reason) {
      EXPECT_TRUE(inFile.empty()) << inFile[0].ReasonText();
      EXPECT_TRUE(inDatabase.empty()) << inDatabase[0].ReasonText();
      continue;
    }
    ASSERT_EQ(inFile.size(), 1u);
    EXPECT_EQ(inFile[0].nContact, 1u);
    EXPECT_EQ(inFile[0].ReasonText(), std::string(c.reason) + " (earlier in the file)");
    ASSERT_EQ(inDatabase.size(), 1u);
    EXPECT_EQ(inDatabase[0].ReasonText(), c.reason);
    EXPECT_EQ(inDatabase[0].strExisting, c.before.label);
  }
}

TEST_F(ForeignImport, shouldFindANamesakeThatNothingTellsApartBehindOthersThatAreTold) {
  // Three Jan Nováks of the database with their own addresses and numbers, a fourth with a
  // number only.
  CTreeItem root;
  const std::pair<const char*, const char*> jans[] = {{"jan@prvni.cz", "+420 601 000 001"},
                                                      {"jan@druhy.cz", "+420 601 000 002"},
                                                      {"jan@treti.cz", "+420 601 000 003"},
                                                      {"", "+420 224 000 000"}};
  for (const auto& [email, phone] : jans) {
    auto* jan = new CTreeItem;
    jan->m_strLabel = *email ? "Jan Novák" : "JAN NOVÁK";
    jan->m_strPersonalEmail = email;
    jan->m_strBusinessPhone = phone;
    CTreeItem::AddChild(&root, jan);
  }
  CForeignImport import;
  ASSERT_TRUE(
      import
          .Open(Write("jan.vcf", SPerson{"Jan Novák", "jan@ctvrty.cz", "", "", "224000000"}.Text() +
                                     SPerson{"Jan Novák", "jan@paty.cz", "", "", "777"}.Text() +
                                     SPerson{"Jan Novák", "JAN@druhy.cz"}.Text()),
                {})
          .Succeeded());
  const std::vector<SDuplicate> found = import.FindDuplicates(root);
  // The first card's address tells it from the first three, and the fourth has its number; the
  // second card is told from all four and from the first card.
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].nContact, 0u);
  EXPECT_EQ(found[0].strExisting, "JAN NOVÁK");
  EXPECT_EQ(found[0].ReasonText(), "same label");
  EXPECT_EQ(found[1].nContact, 2u);
  EXPECT_EQ(found[1].strExisting, "Jan Novák");
  EXPECT_EQ(found[1].ReasonText(), "same e-mail address JAN@druhy.cz");
}

TEST_F(ForeignImport, shouldPairEveryRepeatedContactOfALargeFileWithItsFirstOccurrence) {
  std::string cards;
  for (int i = 0; i < 3000; ++i)
    cards += Card("Účastník " + std::to_string(i % 1000), i % 1000 == 7 ? "SEDM@example.cz" : "");
  CForeignImport import;
  ASSERT_TRUE(import.Open(Write("opakování.vcf", cards), {}).Succeeded());
  CTreeItem empty;
  const std::vector<SDuplicate> found = import.FindDuplicates(empty);
  ASSERT_EQ(found.size(), 2000u);
  for (const SDuplicate& d : found) {
    EXPECT_GE(d.nContact, 1000u);
    EXPECT_TRUE(d.bEarlierInFile);
    // An address both hold names the likeness before the label does.
    EXPECT_EQ(d.reason,
              d.nContact % 1000 == 7 ? EDuplicateReason::sameEmail : EDuplicateReason::sameLabel);
    EXPECT_EQ(d.strExisting, "Účastník " + std::to_string(d.nContact % 1000));
  }
}

TEST_F(ForeignImport, shouldAddIntoANewGroupNamedAfterTheFileWithTheGroupPathsNested) {
  AddExisting();
  test::CFakeTreePort port;
  port.Fill(doc.ContactsRoot());
  port.Fill(doc.CalendarRoot());
  doc.SetTreeViewPort(&port);
  const std::string path =
      Write("Kontakty z telefonu.vcf",
            Card("Zdeněk Žák", {}, {}, "1975-03-14", "Rodina,Sestřenice") + Card("Antonín Dvořák") +
                Card("Ola Wąsik", {}, {}, {}, "Rodina") +
                Card("Bára Žáková", {}, {}, "1980-11-02", "Rodina,Sestřenice") + Card("Adam Bílý"));
  CForeignImport import;
  ASSERT_TRUE(import.Open(path, {}).Succeeded());
  EXPECT_EQ(import.GroupName(), "Kontakty z telefonu");
  EXPECT_EQ(import.PreviewText(),
            "5 contacts will be imported from Kontakty z telefonu.vcf into a new group "
            "\"Kontakty z telefonu\".");
  ASSERT_NE(import.First(), nullptr);
  EXPECT_EQ(import.First()->m_strLabel.view(), "Zdeněk Žák");

  const STransferResult r = import.AddTo(doc, {false, true});  // the second one skipped
  ASSERT_TRUE(r.Succeeded());
  EXPECT_EQ(r.nMessage, IDS_OTHER_IMPORT_DONE);
  EXPECT_EQ(import.MessageText(r),
            "4 contacts were imported into the group \"Kontakty z telefonu\". Skipped as likely "
            "duplicates: 1.");
  EXPECT_TRUE(doc.IsModified());

  CTreeItem* root = doc.ContactsRoot();
  ASSERT_EQ(root->ChildCount(), 4u);
  CTreeItem* group = root->Child(3);
  EXPECT_EQ(import.AddedGroup(), group);
  EXPECT_EQ(group->m_strLabel.view(), "Kontakty z telefonu");
  EXPECT_EQ(group->m_bGroup, 1);
  EXPECT_EQ(NodeImage(*group), 0);
  // Below the group: Rodina (with Sestřenice below it and Ola beside it) and Adam.
  ASSERT_EQ(group->ChildCount(), 2u);
  CTreeItem* family = group->Child(0);
  EXPECT_EQ(family->m_strLabel.view(), "Rodina");
  EXPECT_EQ(family->m_bGroup, 1);
  ASSERT_EQ(family->ChildCount(), 2u);
  CTreeItem* cousins = family->Child(0);
  EXPECT_EQ(cousins->m_strLabel.view(), "Sestřenice");
  ASSERT_EQ(cousins->ChildCount(), 2u);
  EXPECT_EQ(cousins->Child(0)->m_strLabel.view(), "Zdeněk Žák");
  EXPECT_EQ(cousins->Child(1)->m_strLabel.view(), "Bára Žáková");
  EXPECT_EQ(family->Child(1)->m_strLabel.view(), "Ola Wąsik");
  EXPECT_EQ(group->Child(1)->m_strLabel.view(), "Adam Bílý");
  // Every node below joined the contacts branch and has its item in the tree, sorted.
  ForEachInSubtree(group, [](CTreeItem* node) {
    EXPECT_EQ(node->m_nKind, kindContacts) << node->m_strLabel.view();
    EXPECT_NE(node->m_hItem, nullptr) << node->m_strLabel.view();
  });
  EXPECT_EQ(test::CFakeTreePort::Texts(cousins->m_hItem),
            (std::vector<std::string>{"Bára Žáková", "Zdeněk Žák"}));
  EXPECT_EQ(test::CFakeTreePort::Texts(group->m_hItem),
            (std::vector<std::string>{"Adam Bílý", "Rodina"}));
  EXPECT_EQ(test::CFakeTreePort::Get(group->m_hItem)->parent,
            test::CFakeTreePort::Get(root->m_hItem));

  // The two birthdays have their event nodes, linked to the records and shown in the tree.
  CTreeItem* birthdays = doc.Category(catBirthdays);
  ASSERT_EQ(birthdays->ChildCount(), 2u);
  EXPECT_EQ(birthdays->Child(0)->m_pLinked, cousins->Child(0));
  EXPECT_EQ(birthdays->Child(1)->m_pLinked, cousins->Child(1));
  EXPECT_EQ(test::CFakeTreePort::Texts(birthdays->m_hItem),
            (std::vector<std::string>{"Bára Žáková", "Zdeněk Žák"}));

  // Deleting the group undoes the whole import, event nodes included.
  host.answers.push_back(true);
  ASSERT_TRUE(doc.DeleteNode(group));
  EXPECT_EQ(root->ChildCount(), 3u);
  EXPECT_EQ(birthdays->ChildCount(), 0u);
  EXPECT_TRUE(test::CFakeTreePort::Texts(birthdays->m_hItem).empty());
}

TEST_F(ForeignImport, shouldSpeakOfOneContactInTheSingular) {
  CForeignImport import;
  ASSERT_TRUE(import.Open(Write("Jürgen.vcf", Card("Jürgen Größ")), {}).Succeeded());
  EXPECT_EQ(import.PreviewText(),
            "1 contact will be imported from Jürgen.vcf into a new group \"Jürgen\".");
  // A preview whose user skipped the contact counts what remains.
  EXPECT_EQ(import.PreviewText(0),
            "0 contacts will be imported from Jürgen.vcf into a new group \"Jürgen\".");
  const STransferResult r = import.AddTo(doc);
  EXPECT_EQ(import.MessageText(r), "1 contact was imported into the group \"Jürgen\".");
}

TEST_F(ForeignImport, shouldChangeNothingWhenEveryContactIsSkipped) {
  AddExisting();
  CForeignImport import;
  ASSERT_TRUE(
      import.Open(Write("dva.vcf", Card("Antonín Dvořák") + Card("Jürgen Größ")), {}).Succeeded());
  const STransferResult r = import.AddTo(doc, {true, true});
  EXPECT_TRUE(r.Succeeded());
  EXPECT_EQ(import.MessageText(r), "Every contact of the file was skipped; nothing was imported.");
  EXPECT_EQ(r.nMessage, IDS_OTHER_IMPORT_ALL_SKIPPED);
  EXPECT_EQ(import.AddedGroup(), nullptr);
  EXPECT_EQ(doc.ContactsRoot()->ChildCount(), 3u);
  EXPECT_FALSE(doc.IsModified());
}

TEST_F(ForeignImport, shouldReportFilesThatCannotBeReadOrHoldNoContacts) {
  struct SCase {
    const char* name;
    std::function<void(const std::string&)> make;
    int message;
    bool reason;
  };
  const SCase cases[] = {
      {"chybí.vcf", [](const std::string&) {}, IDS_IMPORT_OPEN_ERROR, true},
      {"roura.vcf", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); },
       IDS_IMPORT_OPEN_ERROR, true},
      {"složka.vcf", [](const std::string& p) { ASSERT_EQ(::mkdir(p.c_str(), 0700), 0); },
       IDS_IMPORT_OPEN_ERROR, true},
      {"prázdná.vcf", [](const std::string& p) { test::WriteFile(p, ""); }, IDS_OTHER_IMPORT_EMPTY,
       false},
      {"jen hlavička.csv",
       [](const std::string& p) { test::WriteFile(p, "Name,E-mail Address\r\n"); },
       IDS_OTHER_IMPORT_EMPTY, false},
  };
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir / c.name;
    c.make(path);
    CRecordingProgress progress;
    CBindingPrompts prompts;
    STransferCallbacks callbacks;
    callbacks.pProgress = &progress;
    callbacks.pPrompts = &prompts;
    CForeignImport import;
    const STransferResult r = import.Open(path, callbacks);
    EXPECT_EQ(r.outcome, ETransferOutcome::failed);
    EXPECT_EQ(r.nMessage, c.message);
    EXPECT_EQ(!r.strReason.empty(), c.reason) << r.strReason;
    EXPECT_EQ(import.Count(), 0u);
  }
}

TEST_F(ForeignImport, shouldCountTheProgressInBytesAndEndFull) {
  std::string cards;
  for (int i = 0; i < 50; ++i) cards += Card("Kontakt " + std::to_string(i));
  const std::string path = Write("padesát.vcf", cards);
  CRecordingProgress progress;
  STransferCallbacks callbacks;
  callbacks.pProgress = &progress;
  CForeignImport import;
  ASSERT_TRUE(import.Open(path, callbacks).Succeeded());
  EXPECT_EQ(import.Count(), 50u);
  ASSERT_FALSE(progress.ranges.empty());
  EXPECT_EQ(progress.ranges.front(), std::make_pair(1, static_cast<int>(cards.size())));
  EXPECT_EQ(progress.ranges.back(), std::make_pair(1, 100));
  ASSERT_FALSE(progress.positions.empty());
  EXPECT_EQ(progress.positions.back(), 100);
  // Before the full indicator, the bytes read so far, never going back nor past the end.
  const std::vector<int> bytes(progress.positions.begin(), progress.positions.end() - 1);
  EXPECT_TRUE(std::is_sorted(bytes.begin(), bytes.end()));
  for (int done : bytes) EXPECT_LE(done, static_cast<int>(cards.size()));
}

TEST_F(ForeignImport, shouldHandTheReadersBindingsToTheWizardWithoutAskingTheDelimiter) {
  const std::string csv =
      "Name,E-mail Address,Poznámka\r\nJiří Novák,jiri@example.cz,první\r\n"
      "Łucja Kowalska,lucja@example.pl,druhá\r\n";
  const std::string path = Write("adresář.csv", csv);
  CForeignCsvFile file;
  ASSERT_TRUE(file.Parse(csv));
  const std::vector<ColumnBinding> preset = file.Bindings();

  CBindingPrompts prompts;
  // The first column to the label, the remark to nothing.
  prompts.answers = {{0, targetLabel}, {2, targetNothing}};
  STransferCallbacks callbacks;
  callbacks.pPrompts = &prompts;
  CForeignImport import;
  ASSERT_TRUE(import.Open(path, callbacks).Succeeded());
  EXPECT_FALSE(import.IsVCard());
  EXPECT_EQ(prompts.delimiterQuestions, 0);
  EXPECT_EQ(prompts.askedDelimiter, file.Delimiter());
  EXPECT_EQ(prompts.noted, std::vector<std::string>{std::string(file.LayoutName())});
  EXPECT_EQ(import.LayoutName(), file.LayoutName());
  ASSERT_EQ(prompts.asked.size(), preset.size());
  for (size_t i = 0; i < preset.size(); ++i) {
    EXPECT_EQ(prompts.asked[i].m_strName, preset[i].m_strName);
    EXPECT_EQ(prompts.asked[i].m_nTarget, preset[i].m_nTarget);
    EXPECT_EQ(prompts.asked[i].m_strSample, preset[i].m_strSample);
  }
  // The rows were read with the bindings as the wizard left them.
  ASSERT_EQ(import.Count(), 2u);
  EXPECT_EQ(import.First()->m_strLabel.view(), "Jiří Novák");
  EXPECT_EQ(import.Contacts()[1].pRecord->m_strLabel.view(), "Łucja Kowalska");
}

TEST_F(ForeignImport, shouldCancelWhenTheWizardIsDeclinedOrCannotBeAsked) {
  const std::string path = Write("neznámé.csv", "Sloupec A,Sloupec B\r\nJiří,Novák\r\n");
  CForeignCsvFile file;
  ASSERT_TRUE(file.Parse(test::ReadFile(path)));
  ASSERT_FALSE(file.IsKnownLayout());

  CBindingPrompts prompts;
  prompts.accept = false;
  STransferCallbacks callbacks;
  callbacks.pPrompts = &prompts;
  CForeignImport declined;
  EXPECT_EQ(declined.Open(path, callbacks).outcome, ETransferOutcome::cancelled);
  EXPECT_EQ(declined.Count(), 0u);
  EXPECT_EQ(prompts.noted, std::vector<std::string>{""});

  // Without prompts only a layout the reader knows is read: nobody could bind other columns.
  CForeignImport unasked;
  EXPECT_EQ(unasked.Open(path, {}).outcome, ETransferOutcome::cancelled);
  const std::string known = Write("známé.csv", "Name,E-mail Address\r\nJiří,j@example.cz\r\n");
  CForeignCsvFile knownFile;
  ASSERT_TRUE(knownFile.Parse(test::ReadFile(known)));
  CForeignImport knownImport;
  EXPECT_EQ(knownImport.Open(known, {}).outcome,
            knownFile.IsKnownLayout() ? ETransferOutcome::done : ETransferOutcome::cancelled);
}

}  // namespace
