// zorvan-cli import --from-other: another program's file into a new group, its likely
// duplicates on standard error, run as a real program.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "CliRunner.h"

using namespace zorvan::test;

namespace {

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::string Card(const std::string& label, const std::string& home = {},
                 const std::string& work = {}) {
  std::string card = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:" + label + "\r\n";
  if (!home.empty()) card += "EMAIL;TYPE=INTERNET,HOME:" + home + "\r\n";
  if (!work.empty()) card += "EMAIL;TYPE=INTERNET,WORK:" + work + "\r\n";
  return card + "END:VCARD\r\n";
}

class CliImportOther : public testing::Test {
 protected:
  CliImportOther() {
    WriteFile(db, ReadFile(DataPath("cli/people.zvd")));
    WriteFile(vcf, Card("ŽOFIE ČERNÁ") + Card("Łukasz Wąsik", "lukasz@example.pl") +
                       Card("Jana S.", {}, "JANE@Work.Example") + Card("Jürgen Größ"));
  }

  CCliRunner cli;
  const std::string db = cli.Home() / "lidé.zvd";
  const std::string vcf = cli.Home() / "Z telefonu.vcf";
};

}  // namespace

TEST_F(CliImportOther, shouldAddEveryContactIntoANewGroupAndReportTheDuplicates) {
  const SRun r = cli.Run({"import", "--from-other", vcf, db});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "4 contacts were imported into the group \"Z telefonu\".\n");
  EXPECT_EQ(r.err,
            "duplicate: ŽOFIE ČERNÁ -> Žofie Černá: same label\n"
            "duplicate: Jana S. -> Jane Smith: same e-mail address JANE@Work.Example\n");
  EXPECT_EQ(cli.Run({"show", db}).out,
            "Smiths\n  John Smith\n  Jane Smith\nDoe family\nŽofie Černá\nZ telefonu\n"
            "  ŽOFIE ČERNÁ\n  Łukasz Wąsik\n  Jana S.\n  Jürgen Größ\n");
}

TEST_F(CliImportOther, shouldSkipTheDuplicatesWhenAsked) {
  const SRun r = cli.Run({"import", "--from-other", vcf, db, "--skip-duplicates"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "2 contacts were imported into the group \"Z telefonu\". Skipped as likely "
            "duplicates: 2.\n");
  EXPECT_TRUE(Contains(r.err, "duplicate: ŽOFIE ČERNÁ -> Žofie Černá: same label\n")) << r.err;
  EXPECT_TRUE(Contains(cli.Run({"show", db}).out, "Z telefonu\n  Łukasz Wąsik\n  Jürgen Größ\n"));

  // Run again, the file's contacts are all in the database now: nothing is added, and the
  // database file stays as it was.
  const std::string before = ReadFile(db);
  const SRun again = cli.Run({"import", "--from-other", vcf, db, "--skip-duplicates"});
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(again.out, "Every contact of the file was skipped; nothing was imported.\n");
  EXPECT_EQ(ReadFile(db), before);

  // Without skipping, the same file again goes into a group of its own, told apart.
  const SRun third = cli.Run({"import", "--from-other", vcf, db});
  EXPECT_EQ(third.status, 0) << third.err;
  EXPECT_EQ(third.out, "4 contacts were imported into the group \"Z telefonu (2)\".\n");
}

TEST_F(CliImportOther, shouldTakeANamesakeWithAnotherAddressForAnotherPerson) {
  // Jane Smith of the database has another address; the second 王小明 has nothing that tells
  // him from the first. The window's preview asks the same rule.
  const std::string namesakes = cli.Home() / "jmenovci.vcf";
  WriteFile(namesakes, Card("JANE SMITH", "jane.smith@jinde.example") + Card("王小明") +
                           Card("王小明", {}, "wang@example.cn"));
  const SRun r = cli.Run({"import", "--from-other", namesakes, db, "--skip-duplicates"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "duplicate: 王小明 -> 王小明: same label (earlier in the file)\n");
  EXPECT_EQ(r.out,
            "2 contacts were imported into the group \"jmenovci\". Skipped as likely "
            "duplicates: 1.\n");
}

TEST_F(CliImportOther, shouldReportEachDuplicateOnOneLineWhateverItsLabelHolds) {
  // A label with a line break and an escape sequence, written twice.
  const std::string hostile = cli.Home() / "zlý.vcf";
  WriteFile(hostile, Card("Řádek\\nDruhý\x1B[31m", "x@example.cz") + Card("Jiný", "X@EXAMPLE.CZ"));
  const SRun r = cli.Run({"import", "--from-other", hostile, db});
  ASSERT_EQ(r.status, 0) << r.err;
  // The reader makes the line break the record's CR LF; both are shown escaped.
  EXPECT_EQ(r.err,
            "duplicate: Jiný -> Řádek\\r\\nDruhý\\x1B[31m: same e-mail address X@EXAMPLE.CZ "
            "(earlier in the file)\n");
}

TEST_F(CliImportOther, shouldMakeANewDatabaseWhenThereIsNone) {
  const std::string fresh = cli.Home() / "nová.zvd";
  const SRun r = cli.Run({"import", "--from-other", vcf, fresh});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(cli.Run({"show", fresh}).out,
            "Z telefonu\n  ŽOFIE ČERNÁ\n  Łukasz Wąsik\n  Jana S.\n  Jürgen Größ\n");
}

TEST_F(CliImportOther, shouldRefuseUnknownColumnsWithoutBindAndReadThemWithIt) {
  const std::string csv = cli.Home() / "seznam.csv";
  WriteFile(csv, "Jméno a příjmení,Adresa\r\nJiří Novák,jiri@example.cz\r\n");
  const std::string before = ReadFile(db);
  SRun r = cli.Run({"import", "--from-other", csv, db});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Contains(r.err,
                       "is not a header the program knows; say which columns to read "
                       "with --bind COLUMN=TARGET"))
      << r.err;
  EXPECT_EQ(ReadFile(db), before);

  // The first column to the label, the second to the personal e-mail address.
  r = cli.Run({"import", "--from-other", csv, db, "--bind", "1=5", "--bind", "2=20"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(Contains(cli.Run({"show", db}).out, "seznam\n  Jiří Novák\n"));
}

TEST_F(CliImportOther, shouldImportAHeaderBoundByItsNamesAndSayWhereEachColumnWent) {
  const std::string csv = cli.Home() / "kontakty.csv";
  WriteFile(csv,
            "Příjmení;Jméno;Mobil;E-mail;Barva\r\nWąsowska;Łucja;+48 601 234 567;"
            "lucja@example.pl;modrá\r\n");
  const SRun r = cli.Run({"import", "--from-other", csv, db});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(Contains(r.err,
                       "were bound by their names (correct them with --bind COLUMN=TARGET):\n"
                       "  1 Příjmení -> Surname\n  2 Jméno -> First Name\n"
                       "  3 Mobil -> Personal Mobile Phone\n  4 E-mail -> Personal E-mail\n"
                       "  5 Barva -> Remark\n"))
      << r.err;
  EXPECT_TRUE(Contains(cli.Run({"show", db}).out, "kontakty\n  Łucja Wąsowska\n"));
}

TEST_F(CliImportOther, shouldAskForNoHeaderBeforeImportingAFirstLineOfData) {
  const std::string csv = cli.Home() / "bez-hlavičky.csv";
  WriteFile(csv,
            "Jan Novák,jan@example.cz,+420 777 123 456\r\nΝίκος Παπαδόπουλος,nikos@example.gr,"
            "+30 210 1234567\r\n");
  const std::string before = ReadFile(db);
  SRun r = cli.Run({"import", "--from-other", csv, db});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Contains(r.err, "looks like a contact, not a header; give --no-header")) << r.err;
  EXPECT_EQ(ReadFile(db), before);
  r = cli.Run({"import", "--from-other", "--no-header", csv, db});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(Contains(r.err,
                       "were bound by their values (correct them with --bind "
                       "COLUMN=TARGET):\n  1 Column 1 -> Label for tree view\n  2 Column 2 -> "
                       "Personal E-mail\n  3 Column 3 -> Home Phone\n"))
      << r.err;
  EXPECT_TRUE(
      Contains(cli.Run({"show", db}).out, "bez-hlavičky\n  Jan Novák\n  Νίκος Παπαδόπουλος\n"));
}

TEST_F(CliImportOther, shouldReadAKnownLayoutWithoutBindAndLetBindCorrectAColumn) {
  const std::string header =
      "First Name,Last Name,Display Name,Nickname,Primary Email,Secondary Email,Screen Name,"
      "Work Phone,Home Phone,Fax Number,Pager Number,Mobile Number,Home Address,Home Address 2,"
      "Home City,Home State,Home ZipCode,Home Country,Work Address,Work Address 2,Work City,"
      "Work State,Work ZipCode,Work Country,Job Title,Department,Organization,Web Page 1,"
      "Web Page 2,Birth Year,Birth Month,Birth Day,Custom 1,Custom 2,Custom 3,Custom 4,Notes\r\n";
  const std::string csv = cli.Home() / "adresy.csv";
  WriteFile(csv,
            header + "Jiří,Novák,Jiří Novák,Jirka,jiri@example.cz" + std::string(32, ',') + "\r\n");
  SRun r = cli.Run({"import", "--from-other", csv, db});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_TRUE(Contains(cli.Run({"show", db}).out, "adresy\n  Jiří Novák\n"));
  // The nickname column made the label instead of the display name.
  r = cli.Run({"import", "--from-other", csv, db, "--bind", "Nickname=Label for tree view",
               "--bind", "Display Name=0"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(Contains(cli.Run({"show", db}).out, "adresy (2)\n  Jirka\n"));
}

TEST_F(CliImportOther, shouldReadTheConsoleAddressBooksExportsWithoutBindOrNoHeader) {
  // Two of the three have no header; each is the known layout all the same.
  struct SCase {
    const char* file;
    const char* group;
    const char* contacts;
  };
  const SCase cases[] = {
      {"abook-csv.csv", "abook-csv", "  Jiří Dvořák\n  Łukasz Wąsik\n  Μαρία Νικολάου\n  李华\n"},
      {"abook-palmcsv.csv", "abook-palmcsv", "  Jiří Dvořák\n  Jana Maria Nováková\n  李华\n"},
      {"abook-allcsv.csv", "abook-allcsv", "  Jiří Dvořák\n  Jürgen Größ\n"},
  };
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string csv = cli.Home() / c.file;
    WriteFile(csv, ReadFile(DataPath(std::string("interchange/other-csv/") + c.file)));
    // A database of its own for each, so that no contact is a duplicate of another file's.
    const std::string fresh = cli.Home() / (std::string(c.group) + ".zvd");
    const SRun r = cli.Run({"import", "--from-other", csv, fresh});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(Contains(r.out, std::string("into the group \"") + c.group + "\"")) << r.out;
    EXPECT_EQ(cli.Run({"show", fresh}).out, std::string(c.group) + "\n" + c.contacts);
  }
}

TEST_F(CliImportOther, shouldRefuseALineLongerThanAnyContactsAndLeaveTheDatabase) {
  const std::string csv = cli.Home() / "dlouhý.csv";
  WriteFile(csv, "Name,E-mail Address\n\"" + std::string((64 << 20) + 16, 'x') + "\"\n");
  const std::string before = ReadFile(db);
  const SRun r = cli.Run({"import", "--from-other", csv, db});
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(
      Contains(r.err, "Cannot open file " + csv + ":\nline 2 is too long to be a contact's ("))
      << r.err;
  EXPECT_EQ(ReadFile(db), before);
}

TEST_F(CliImportOther, shouldReportAFileThatCannotBeReadAndLeaveTheDatabase) {
  const std::string before = ReadFile(db);
  const std::string missing = cli.Home() / "chybí.vcf";
  SRun r = cli.Run({"import", "--from-other", missing, db});
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(Contains(r.err, "Cannot open file " + missing + ":\n")) << r.err;
  const std::string empty = cli.Home() / "prázdný.vcf";
  WriteFile(empty, "");
  r = cli.Run({"import", "--from-other", empty, db});
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(Contains(r.err, "The file holds no contacts that could be read.")) << r.err;
  r = cli.Run({"import", "--from-other", db, db});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(ReadFile(db), before);
}

TEST_F(CliImportOther, shouldTellItsUsageInTheImportHelp) {
  const SRun r = cli.Run({"import", "--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(Contains(r.out, "Usage: zorvan-cli import --from-other FILE DB.zvd")) << r.out;
  EXPECT_TRUE(Contains(r.out, "--skip-duplicates")) << r.out;
}

// A save that fails is told after the duplicates, whether they were skipped or not: the save of
// a command that skips none is made while they are looked for.
TEST_F(CliImportOther, shouldTellTheDuplicatesBeforeASaveThatFails) {
  const std::string before = ReadFile(db);
  for (const bool skip : {false, true}) {
    SCOPED_TRACE(skip ? "skipped" : "kept");
    std::vector<std::string> args = {"import", "--from-other", vcf, db};
    if (skip) args.push_back("--skip-duplicates");
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 1024;  // the database grows past what may be written
    void (*handler)(int) = ::signal(SIGXFSZ, SIG_IGN);  // the tool inherits it: EFBIG instead
    ::setrlimit(RLIMIT_FSIZE, &small);
    const SRun r = cli.Run(args);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, handler);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "duplicate: ŽOFIE ČERNÁ -> Žofie Černá: same label\n"
              "duplicate: Jana S. -> Jane Smith: same e-mail address JANE@Work.Example\n"
              "zorvan-cli: Cannot save file " +
                  db + ":\nFile too large.\n");
    EXPECT_TRUE(ReadFile(db) == before);
  }
}
