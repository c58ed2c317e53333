// The command-line tool's export, import and check of interchange files, run as a real program.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <thread>

#include "CliRunner.h"

using namespace zorvan::test;

namespace {

const std::string kPeople = DataPath("cli/people.zvd");

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// A card's REV line holds the time it was written; the rest is fixed.
std::string WithoutRevision(const std::string& vcards) {
  return std::regex_replace(vcards, std::regex("REV:[0-9T:-]+Z\r\n"), "REV:\r\n");
}

class CliTransfer : public testing::Test {
 protected:
  // A copy of a fixture to change.
  std::string Copy(const std::string& fixture, const std::string& name) {
    const std::string path = cli.Home() / name;
    WriteFile(path, ReadFile(DataPath(fixture)));
    return path;
  }
  std::string Show(const std::string& db) { return cli.Run({"show", db}).out; }
  // Runs the tool with the size of the files it may write limited to bytes, as a full disk
  // would stop it.
  SRun RunWithFileSizeLimit(rlim_t bytes, const std::vector<std::string>& args) {
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = bytes;
    void (*handler)(int) = ::signal(SIGXFSZ, SIG_IGN);  // the tool inherits it: EFBIG instead
    ::setrlimit(RLIMIT_FSIZE, &small);
    SRun r = cli.Run(args);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, handler);
    return r;
  }

  CCliRunner cli;
};

}  // namespace

TEST_F(CliTransfer, shouldExportDelimitedTextOnlyForALowerCaseCsv) {
  const std::string csv = cli.Home() / "out.csv";
  SRun r = cli.Run({"export", kPeople, csv});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Data were successfuly exported.\n");
  EXPECT_TRUE(ReadFile(csv) == ReadFile(DataPath("cli/people.csv")));

  const std::string vcf = cli.Home() / "out.vcf", upper = cli.Home() / "out.CSV";
  EXPECT_EQ(cli.Run({"export", kPeople, vcf}).status, 0);
  EXPECT_EQ(WithoutRevision(ReadFile(vcf)), WithoutRevision(ReadFile(DataPath("cli/people.vcf"))));
  EXPECT_EQ(cli.Run({"export", kPeople, upper}).status, 0);
  EXPECT_EQ(WithoutRevision(ReadFile(upper)), WithoutRevision(ReadFile(vcf)));
}

TEST_F(CliTransfer, shouldExportAnEmptyDatabase) {
  const std::string csv = cli.Home() / "empty.csv", vcf = cli.Home() / "empty.vcf";
  EXPECT_EQ(cli.Run({"export", DataPath("store/empty.zvd"), csv}).status, 0);
  const std::string people = ReadFile(DataPath("cli/people.csv"));
  EXPECT_EQ(ReadFile(csv), people.substr(0, people.find("\r\n") + 2));
  EXPECT_EQ(cli.Run({"export", DataPath("store/empty.zvd"), vcf}).status, 0);
  EXPECT_EQ(ReadFile(vcf), "");
}

TEST_F(CliTransfer, shouldLeaveTheOldFileWhenAnExportCannotBeWritten) {
  const std::string out = cli.Home() / "out.vcf";
  WriteFile(out, "the previous export");
  const SRun r = RunWithFileSizeLimit(1024, {"export", kPeople, out});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "zorvan-cli: Cannot write file " + out + ":\nFile too large.\n" +
                       "zorvan-cli: During the export an error occured!\n");
  EXPECT_EQ(ReadFile(out), "the previous export");

  const std::string nowhere = cli.Home() / "no/such/folder/out.csv";
  const SRun r2 = cli.Run({"export", kPeople, nowhere});
  EXPECT_EQ(r2.status, 2);
  EXPECT_TRUE(Contains(r2.err, "Cannot write file " + nowhere + ":\nNo such file or directory.\n"))
      << r2.err;
  const SRun r3 = cli.Run({"export", cli.Home() / "missing.zvd", cli.Home() / "x.vcf"});
  EXPECT_EQ(r3.status, 2);
  EXPECT_TRUE(Contains(r3.err, "Cannot open file " + cli.Home() / "missing.zvd")) << r3.err;
}

TEST_F(CliTransfer, shouldImportIntoANewDatabaseAndBackOutTheSameRows) {
  const std::string db = cli.Home() / "new.zvd";
  SRun r = cli.Run({"import", DataPath("cli/people.vcf"), db});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Data were successfuly imported.\n");
  // Every card lands directly below the root, in file order.
  EXPECT_EQ(Show(db), "Smiths\nJohn Smith\nJane Smith\nDoe family\nŽofie Černá\n");
  const std::string csv = cli.Home() / "again.csv";
  ASSERT_EQ(cli.Run({"export", db, csv}).status, 0);
  EXPECT_TRUE(ReadFile(csv) == ReadFile(DataPath("cli/people.csv")));
}

TEST_F(CliTransfer, shouldAppendToAnExistingDatabase) {
  const std::string db = Copy("cli/people.zvd", "db.zvd");
  SRun r = cli.Run({"import", DataPath("cli/people.csv"), db});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Show(db),
            "Smiths\n  John Smith\n  Jane Smith\nDoe family\nŽofie Černá\n"
            "Smiths\nJohn Smith\nJane Smith\nDoe family\nŽofie Černá\n");
  r = cli.Run({"import", DataPath("cli/short-layout.csv"), db});
  EXPECT_EQ(r.status, 0) << r.err;
  r = cli.Run({"find", db, "--where", "E-mail", "--text", "karel@", "--where", "Home Address",
               "--text", "olomouc"});
  EXPECT_EQ(r.out, "Karel Dvořák\n") << r.err;
  // Its birthday came in with it: the calendar shows it once the database is opened again.
  r = cli.Run({"calendar", db, "--today", "2010-03-02"});
  EXPECT_TRUE(Contains(r.out, "Birthdays and anniversaries: Karel Dvořák (50 let)\n")) << r.out;
}

TEST_F(CliTransfer, shouldReadOtherColumnsAsTheyAreBound) {
  const std::string db = cli.Home() / "bound.zvd";
  SRun r = cli.Run({"import", DataPath("cli/other-columns.csv"), db, "--delimiter", ";", "--bind",
                    "Jméno=5", "--bind", "2=Personal E-mail", "--bind", "4=birthday"});
  EXPECT_EQ(r.status, 0) << r.err;
  // The empty last line is a record too, with an empty label from its bound column.
  EXPECT_EQ(Show(db), "Aleš Černý\nBo;Bo\n\n");
  // An empty date column still sets the birthday (to a date that is not valid), so the record
  // has its node under Birthdays, and the search finds that too.
  r = cli.Run({"find", db, "--where", "1", "--text", "bo@example", "--all"});
  EXPECT_EQ(r.out, "Bo;Bo\nBo;Bo\n");
  // The city was not bound, so it was not read.
  r = cli.Run({"find", db, "--where", "Home Address", "--text", "brno"});
  EXPECT_EQ(r.status, 1);
  r = cli.Run({"calendar", db, "--today", "2000-05-17"});
  EXPECT_TRUE(Contains(r.out, "Birthdays and anniversaries: Aleš Černý (10 let)\n")) << r.out;

  const std::string tabs = cli.Home() / "tabs.zvd";
  r = cli.Run({"import", DataPath("cli/tab-columns.txt"), tabs, "--delimiter", "tab", "--bind",
               "Name=Label for tree view", "--bind", "Phone=16"});
  EXPECT_EQ(r.status, 0) << r.err;
  r = cli.Run({"find", tabs, "--where", "Home Phone", "--text", "+420 1"});
  EXPECT_EQ(r.out, "Al\n");
}

TEST_F(CliTransfer, shouldRefuseAnImportItCannotSetUpAndLeaveTheDatabaseAlone) {
  const std::string db = Copy("cli/people.zvd", "db.zvd");
  const std::string before = ReadFile(db);
  const std::string other = DataPath("cli/other-columns.csv");
  struct SCase {
    std::vector<std::string> args;
    std::string message;
  };
  const SCase cases[] = {
      {{"import", other, db, "--delimiter", ";"},
       "zorvan-cli import: the first line of " + other +
           " is not a header the program knows; say which columns to read with --bind "
           "COLUMN=TARGET. Its columns, split at \";\":\n  1 Jméno\n  2 Mail\n  3 Město\n"
           "  4 Narozen\n"},
      {{"import", other, db, "--delimiter", ";", "--bind", "Jméno"},
       "zorvan-cli import: --bind takes COLUMN=TARGET, not Jméno\n"},
      {{"import", other, db, "--delimiter", ";", "--bind", "5=1"},
       "zorvan-cli import: " + other + " has no column 5\n"},
      {{"import", other, db, "--delimiter", ";", "--bind", "Email=1"},
       "zorvan-cli import: " + other + " has no column Email\n"},
      {{"import", other, db, "--delimiter", ";", "--bind", "1=46"},
       "zorvan-cli import: unknown target 46"},
      {{"import", other, db, "--delimiter", ";", "--bind", "1=Shoe size"},
       "zorvan-cli import: unknown target Shoe size"},
      {{"import", other}, "zorvan-cli import: give the file to read and the database\n"},
  };
  for (const SCase& c : cases) {
    const SRun r = cli.Run(c.args);
    EXPECT_EQ(r.status, 1) << c.message;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind(c.message, 0), 0u) << r.err;
    EXPECT_TRUE(Contains(r.err, "Try 'zorvan-cli import --help'.")) << r.err;
    EXPECT_TRUE(ReadFile(db) == before);
  }
  // A new database is not made either.
  EXPECT_EQ(cli.Run({"import", other, cli.Home() / "new.zvd"}).status, 1);
  EXPECT_FALSE(std::filesystem::exists(cli.Home() / "new.zvd"));
}

TEST_F(CliTransfer, shouldNameTheFileThatAnImportCannotReadOrWrite) {
  const std::string db = Copy("cli/people.zvd", "db.zvd");
  const std::string before = ReadFile(db);
  const std::string missing = cli.Home() / "missing.vcf";
  SRun r = cli.Run({"import", missing, db});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "zorvan-cli: Cannot open file " + missing +
                       ":\nNo such file or directory.\n"
                       "zorvan-cli: Error: Can't open the import file.\n");
  // A folder is refused before it is read.
  r = cli.Run({"import", cli.Home().Path(), db});
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(Contains(r.err, "Cannot open file " + cli.Home().Path() + ":\nit is a folder.\n"))
      << r.err;
  EXPECT_TRUE(ReadFile(db) == before);
  // A damaged database is not written over.
  const std::string damaged = Copy("store/truncated-in-record.zvd", "damaged.zvd");
  const std::string damagedBytes = ReadFile(damaged);
  r = cli.Run({"import", DataPath("cli/people.vcf"), damaged});
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(Contains(
      r.err, "Cannot open file " + damaged + ":\nthe file ends in the middle of a record.\n"))
      << r.err;
  EXPECT_TRUE(ReadFile(damaged) == damagedBytes);
}

TEST_F(CliTransfer, shouldNeverLeaveAHalfWrittenDatabase) {
  const std::string db = Copy("cli/people.zvd", "db.zvd");
  const std::string before = ReadFile(db);
  // The database grows past what may be written: the save fails and the old file stays.
  const SRun r = RunWithFileSizeLimit(1024, {"import", DataPath("cli/people.vcf"), db});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_TRUE(Contains(r.err, "Cannot save file " + db + ":\nFile too large.\n")) << r.err;
  EXPECT_TRUE(ReadFile(db) == before);
  std::vector<std::string> files;
  for (const auto& e : std::filesystem::directory_iterator(cli.Home().Path()))
    files.push_back(e.path().filename().string());
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{".config", "db.zvd", "stderr", "stdout"}));
}

TEST_F(CliTransfer, shouldCheckInterchangeFilesAsImportReadsThem) {
  struct SCase {
    std::vector<std::string> args;
    std::string out;
  };
  const std::string people = DataPath("cli/people.vcf");
  const std::string upper = Copy("cli/people.vcf", "PEOPLE.VCF");
  const SCase cases[] = {
      {{"check", people}, people + ": vCard file\nlines: 179\ncards: 5\n"},
      {{"check", DataPath("cli/people.csv")},
       DataPath("cli/people.csv") +
           ": delimited text\nlines: 6\nlayout: the program's own 45 columns\nrecords: 5\n"},
      {{"check", DataPath("cli/short-layout.csv")},
       DataPath("cli/short-layout.csv") +
           ": delimited text\nlines: 2\nlayout: the 39 columns\nrecords: 1\n"},
      {{"check", DataPath("cli/other-columns.csv"), "--delimiter", ";"},
       DataPath("cli/other-columns.csv") +
           ": delimited text\nlines: 4\nlayout: other columns, to be bound for an import\n"
           "columns split at \";\": 4\ncolumn 1: Jméno\ncolumn 2: Mail\ncolumn 3: Město\n"
           "column 4: Narozen\nrecords: 3\n"},
      {{"check", upper},
       upper + ": delimited text\nlines: 179\nlayout: other columns, to be bound for an "
               "import\ncolumns split at \",\": 1\ncolumn 1: BEGIN:VCARD\nrecords: 178\n"},
  };
  for (const SCase& c : cases) {
    const SRun r = cli.Run(c.args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, c.out);
  }
  EXPECT_TRUE(Contains(cli.Run({"check", upper}).err, "only a .vcf in lower case"));
  const SRun r = cli.Run({"check", cli.Home() / "gone.csv"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "zorvan-cli: Cannot open file " + cli.Home() / "gone.csv" +
                       ":\nNo such file or directory.\n");
}

TEST(CliConcurrentImports, shouldKeepTheContactsOfEveryImportIntoTheSameDatabase) {
  // Each import reads the database, adds its cards and saves; without a lock the later save
  // replaced the earlier one's result.
  CTempDir shared;
  const std::string db = shared / "společná.zvd";
  std::string cards;
  for (int i = 0; i < 300; ++i)
    cards += "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:Kowalski " + std::to_string(i) + "\r\nEND:VCARD\r\n";
  WriteFile(shared / "a.vcf", cards);
  WriteFile(shared / "b.vcf", cards);
  constexpr int kRuns = 4;
  for (int run = 0; run < kRuns; ++run) {
    CCliRunner one, two;
    SRun r1, r2;
    std::thread first([&] { r1 = one.Run({"import", shared / "a.vcf", db}); });
    std::thread second([&] { r2 = two.Run({"import", shared / "b.vcf", db}); });
    first.join();
    second.join();
    EXPECT_EQ(r1.status, 0) << r1.err;
    EXPECT_EQ(r2.status, 0) << r2.err;
  }
  const SRun check = CCliRunner().Run({"check", db});
  EXPECT_TRUE(Contains(check.out, "\nrecords: " + std::to_string(2 * kRuns * 300) + "\n"))
      << check.out;
  EXPECT_EQ(FileNamesIn(shared.Path()),
            (std::vector<std::string>{"a.vcf", "b.vcf", "společná.zvd"}));
}

TEST(CliConcurrentImports, shouldSayWhoHoldsADatabaseThatStaysLocked) {
  CTempDir shared;
  const std::string db = shared / "držená.zvd";
  WriteFile(shared / ".držená.zvd.lock", "");
  // A holder that never lets go: this test's process, through an open lock file.
  const int fd = ::open((shared / ".držená.zvd.lock").c_str(), O_RDWR);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  const std::string holder = "jana on pc-12 (zorvan, process 4242) since 2026-12-08 06:50:01\n";
  ASSERT_EQ(::write(fd, holder.data(), holder.size()), static_cast<ssize_t>(holder.size()));
  const SRun r = CCliRunner().Run({"import", DataPath("cli/people.vcf"), db, "--wait", "0"});
  ::close(fd);
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "zorvan-cli: Cannot write file " + db + ":\nit is in use by " +
                       holder.substr(0, holder.size() - 1) + ".\n");
  EXPECT_FALSE(std::filesystem::exists(db));
}

TEST_F(CliTransfer, shouldExportTheCalendarWithItsNamesOnlyWhenAsked) {
  const std::string ics = cli.Home() / "dates.ics";
  const SRun r = cli.Run({"export-calendar", kPeople, ics});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string dates = ReadFile(ics);
  const auto events = [](const std::string& text) {
    size_t n = 0;
    for (size_t at = text.find("BEGIN:VEVENT"); at != std::string::npos;
         at = text.find("BEGIN:VEVENT", at + 1))
      ++n;
    return n;
  };
  EXPECT_EQ(r.out, "Wrote " + std::to_string(events(dates)) + " events to " + ics + ".\n");
  EXPECT_TRUE(Contains(dates, "SUMMARY:Birthday: Žofie Černá\r\n")) << dates;
  EXPECT_FALSE(Contains(dates, "CATEGORIES:Calendar name")) << dates;

  const SRun named = cli.Run({"export-calendar", kPeople, ics, "--calendar-names"});
  ASSERT_EQ(named.status, 0) << named.err;
  EXPECT_GT(events(ReadFile(ics)), events(dates));
  EXPECT_TRUE(Contains(ReadFile(ics), "CATEGORIES:Calendar name")) << ReadFile(ics);

  const SRun usage = cli.Run({"export-calendar", kPeople});
  EXPECT_EQ(usage.status, 1);
  EXPECT_TRUE(Contains(usage.err, "give the database and the .ics file to write")) << usage.err;
  const std::string nowhere = cli.Home() / "no/such/folder/out.ics";
  const SRun failed = cli.Run({"export-calendar", kPeople, nowhere});
  EXPECT_EQ(failed.status, 2);
  EXPECT_EQ(failed.err,
            "zorvan-cli: Cannot write file " + nowhere + ":\nNo such file or directory.\n");
  EXPECT_TRUE(Contains(cli.Run({"export-calendar", "--help"}).out, "--calendar-names"));
}

TEST_F(CliTransfer, shouldExportForOtherProgramsInTheVCardVersionAsked) {
  const auto count = [](const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
  };
  const std::string vcf = cli.Home() / "telefon.vcf";
  const SRun r = cli.Run({"export", "--to-other", "--read-only", kPeople, vcf});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Data were successfuly exported.\n");
  const std::string v30 = ReadFile(vcf);
  // The three contacts, 3.0 by default, in UTF-8; the two groups are their categories only.
  EXPECT_EQ(count(v30, "BEGIN:VCARD\r\nVERSION:3.0\r\n"), 3u) << v30;
  EXPECT_TRUE(Contains(v30, "\r\nFN:Žofie Černá\r\nN:Černá;Žofie;;;\r\n")) << v30;
  EXPECT_EQ(count(v30, "CATEGORIES:Smiths\r\n"), 2u) << v30;
  EXPECT_FALSE(Contains(v30, "FN:Smiths")) << v30;
  EXPECT_FALSE(Contains(v30, "QUOTED")) << v30;

  for (const std::vector<std::string>& options :
       {std::vector<std::string>{"--vcard", "4.0", "--to-other", "--read-only"},
        std::vector<std::string>{"--read-only", "--to-other", "--vcard=4.0"}}) {
    std::vector<std::string> args = {"export"};
    args.insert(args.end(), options.begin(), options.end());
    args.insert(args.end(), {kPeople, vcf});
    const SRun v4 = cli.Run(args);
    ASSERT_EQ(v4.status, 0) << v4.err;
    const std::string v40 = ReadFile(vcf);
    EXPECT_EQ(count(v40, "BEGIN:VCARD\r\nVERSION:4.0\r\n"), 3u) << v40;
    EXPECT_EQ(count(v40, "VERSION:3.0"), 0u) << v40;
  }
  // Written again, the file is the same: no clock in it, UIDs that stay.
  cli.Run({"export", "--to-other", "--read-only", kPeople, vcf});
  EXPECT_EQ(ReadFile(vcf), v30);
  EXPECT_TRUE(Contains(cli.Run({"export", "--help"}).out, "--to-other [--vcard 3.0|4.0]"));
}

TEST_F(CliTransfer, shouldStoreTheIdentitiesItGivesOutUnlessReadOnly) {
  const auto uids = [](const std::string& cards) {
    std::vector<std::string> found;
    const std::regex uid("\r\nUID:([^\r]*)\r\n");
    for (std::sregex_iterator i(cards.begin(), cards.end(), uid), end; i != end; ++i)
      found.push_back((*i)[1]);
    return found;
  };
  const std::string db = Copy("cli/people.zvd", "lidé.zvd");
  const std::string before = ReadFile(db);
  const std::string vcf = cli.Home() / "telefon.vcf";
  const std::string lock = cli.Home() / ".lidé.zvd.lock";

  SRun r = cli.Run({"export", "--to-other", "--read-only", db, vcf});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(ReadFile(db) == before) << "--read-only writes nothing to the database";
  const std::vector<std::string> derived = uids(ReadFile(vcf));
  ASSERT_EQ(derived.size(), 3u);

  r = cli.Run({"export", "--to-other", db, vcf});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Data were successfuly exported.\n");
  const std::string shared = ReadFile(vcf), saved = ReadFile(db);
  EXPECT_FALSE(saved == before) << "the identities given out are stored";
  EXPECT_EQ(saved.compare(0, before.size(), before), 0) << "the records stay as they were";
  EXPECT_FALSE(std::filesystem::exists(lock));
  const std::regex random(
      "urn:uuid:[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}");
  const std::vector<std::string> given = uids(shared);
  ASSERT_EQ(given.size(), 3u);
  for (size_t i = 0; i < given.size(); ++i) {
    EXPECT_TRUE(std::regex_match(given[i], random)) << given[i];
    EXPECT_NE(given[i], derived[i]);
  }
  EXPECT_TRUE(std::regex_search(shared, std::regex("\r\nREV:\\d{8}T\\d{6}Z\r\n"))) << shared;

  // From then on every export, read-only or not, writes the stored identities, and one that
  // gives out none leaves the database alone.
  for (const bool readOnly : {false, true}) {
    std::vector<std::string> args = {"export", "--to-other", db, vcf};
    if (readOnly) args.insert(args.begin() + 2, "--read-only");
    r = cli.Run(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFile(vcf), shared);
    EXPECT_TRUE(ReadFile(db) == saved);
  }
  EXPECT_TRUE(Contains(cli.Run({"export", "--help"}).out, "--read-only"));
  r = cli.Run({"export", "--read-only", db, vcf});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Contains(r.err, "--read-only goes with --to-other")) << r.err;
}

TEST_F(CliTransfer, shouldRefuseAnExportForOtherProgramsItCannotDo) {
  const std::string vcf = cli.Home() / "out.vcf";
  WriteFile(vcf, "the previous export");
  struct SCase {
    std::vector<std::string> args;
    int status;
    std::string error;
  };
  const std::string db = Copy("cli/people.zvd", "lidé.zvd");
  const std::string before = ReadFile(db);
  const SCase cases[] = {
      {{"export", "--to-other", "--vcard", "2.1", "--read-only", kPeople, vcf},
       1,
       "--vcard takes 3.0 or 4.0, not 2.1"},
      {{"export", "--vcard", "4.0", kPeople, vcf}, 1, "--vcard goes with --to-other"},
      {{"export", "--to-other", kPeople}, 1, "give the database and the .vcf file to write"},
      {{"export", "--to-other", db, db}, 2, "it is the database being exported"},
  };
  for (const SCase& c : cases) {
    const SRun r = cli.Run(c.args);
    EXPECT_EQ(r.status, c.status) << c.error;
    EXPECT_TRUE(Contains(r.err, c.error)) << r.err;
  }
  EXPECT_EQ(ReadFile(vcf), "the previous export");
  EXPECT_EQ(ReadFile(db), before);
  const SRun full =
      RunWithFileSizeLimit(512, {"export", "--to-other", "--read-only", kPeople, vcf});
  EXPECT_EQ(full.status, 2);
  EXPECT_TRUE(Contains(full.err, "Cannot write file " + vcf + ":\nFile too large.\n")) << full.err;
  EXPECT_EQ(ReadFile(vcf), "the previous export");
}

// Another program's UTF-8 without a byte-order mark comes in as UTF-8; a file in the code page
// reads as it always did.
TEST_F(CliTransfer, shouldImportUnmarkedUtf8AndCodePageTextAlike) {
  const struct {
    const char* name;
    std::string bytes;
  } kFiles[] = {
      {"utf8.csv", "Jméno;Město\r\nKarel Čapek;Malé Svatoňovice\r\n"},
      {"cp1250.csv",
       "Jm\xE9no;M\xECsto\r\nKarel \xC8"
       "apek;Mal\xE9 Svato\xF2ovice\r\n"},
  };
  for (const auto& f : kFiles) {
    const std::string file = cli.Home() / f.name;
    WriteFile(file, f.bytes);
    const std::string db = cli.Home() / (std::string(f.name) + ".zvd");
    SRun r = cli.Run({"import", file, db, "--delimiter", ";", "--bind", "Jméno=Label for tree view",
                      "--bind", "2=City (Home Address)"});
    EXPECT_EQ(r.status, 0) << f.name << r.err;
    EXPECT_EQ(Show(db), "Karel Čapek\n") << f.name;
    r = cli.Run({"find", db, "--where", "Home Address", "--text", "svatoňovice"});
    EXPECT_EQ(r.out, "Karel Čapek\n") << f.name;
  }
}
