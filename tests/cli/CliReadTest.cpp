// The command-line tool's reading subcommands, run as a real program on fixture files.
#include <gtest/gtest.h>

#include <cctype>

#include "CliRunner.h"

using namespace zorvan::test;

namespace {

const std::string kPeople = DataPath("cli/people.zvd");
const std::string kJune = DataPath("cli/june.cal");

class Cli : public testing::Test {
 protected:
  CCliRunner cli;
};

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace

TEST_F(Cli, shouldTellItsVersionAndHelp) {
  SRun r = cli.Run({"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "Zorvan 2.1.3\n");
  r = cli.Run({"--help"});
  EXPECT_EQ(r.status, 0);
  for (const char* command : {"show", "calendar", "export", "import", "find", "check", "query"})
    EXPECT_TRUE(Contains(r.out, std::string("  ") + command + " ")) << command;
  for (const char* command : {"show", "calendar", "export", "import", "find", "check", "query"}) {
    r = cli.Run({command, "--help"});
    EXPECT_EQ(r.status, 0) << command;
    EXPECT_EQ(r.out.rfind(std::string("Usage: zorvan-cli ") + command + " ", 0), 0u) << r.out;
    EXPECT_EQ(r.err, "") << command;
  }
}

TEST_F(Cli, shouldRefuseAMissingOrUnknownCommandWithStatusOne) {
  SRun r = cli.Run({});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Contains(r.err, "Usage: zorvan-cli COMMAND"));
  r = cli.Run({"list", kPeople});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "zorvan-cli: unknown command list\nTry 'zorvan-cli --help'.\n");
  EXPECT_EQ(r.out, "");
}

TEST_F(Cli, shouldShowTheContactsTreeIndentedByLevel) {
  SRun r = cli.Run({"show", kPeople});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Smiths\n  John Smith\n  Jane Smith\nDoe family\nŽofie Černá\n");
  r = cli.Run({"show", DataPath("store/three-levels.zvd")});
  EXPECT_EQ(r.out, "Family\n  Jan\n    Kid\nSolo\n");
  r = cli.Run({"show", DataPath("store/empty.zvd")});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
}

TEST_F(Cli, shouldNameTheFileAndTheReasonWhenADatabaseCannotBeRead) {
  const std::string missing = cli.Home() / "missing.zvd";
  SRun r = cli.Run({"show", missing});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_TRUE(Contains(r.err, "Cannot open file " + missing + ":\nNo such file or directory.\n"))
      << r.err;
  EXPECT_TRUE(Contains(r.err, "Error: Can't open the contacts file.")) << r.err;
  const std::string damaged = DataPath("store/truncated-in-record.zvd");
  for (const char* command : {"show", "calendar", "find"}) {
    r = command == std::string("find") ? cli.Run({command, damaged, "--where", "0", "--text", "a"})
                                       : cli.Run({command, damaged});
    EXPECT_EQ(r.status, 2) << command;
    EXPECT_EQ(r.out, "") << command;
    EXPECT_TRUE(Contains(
        r.err, "Cannot open file " + damaged + ":\nthe file ends in the middle of a record.\n"))
        << r.err;
  }
}

TEST_F(Cli, shouldRefuseWrongOperandsAndOptions) {
  struct SCase {
    std::vector<std::string> args;
    std::string message;
  };
  const SCase cases[] = {
      {{"show"}, "zorvan-cli show: give one database file\n"},
      {{"show", kPeople, kPeople}, "zorvan-cli show: give one database file\n"},
      {{"show", kPeople, "--all"}, "zorvan-cli show: unknown option --all\n"},
      {{"calendar", kPeople, "--day"}, "zorvan-cli calendar: option --day needs a value\n"},
      {{"calendar", kPeople, "--day", "2003-02-29"},
       "zorvan-cli calendar: --day takes a date YYYY-MM-DD, not 2003-02-29\n"},
      {{"calendar", kPeople, "--today", "1.6.2003"},
       "zorvan-cli calendar: --today takes a date YYYY-MM-DD, not 1.6.2003\n"},
      {{"find", kPeople}, "zorvan-cli find: give a criterion: --where GROUP --text TEXT\n"},
      {{"find", kPeople, "--where", "8", "--text", "x"}, "zorvan-cli find: unknown field group 8"},
      {{"find", kPeople, "--where", "0", "--text", "a", "--where", "1", "--text", "b", "--where",
        "2", "--text", "c", "--where", "3", "--text", "d"},
       "zorvan-cli find: give at most three criteria\n"},
      {{"find", kPeople, "--all=yes", "--where", "0", "--text", "a"},
       "zorvan-cli find: option --all takes no value\n"},
      {{"find", kPeople, "--from-current", "Nobody", "--where", "0", "--text", "a"},
       "zorvan-cli find: no node is labelled Nobody\n"},
      {{"check", DataPath("cli/people.doc")}, "zorvan-cli check: cannot tell what"},
  };
  for (const SCase& c : cases) {
    const SRun r = cli.Run(c.args);
    EXPECT_EQ(r.status, 1) << c.message;
    EXPECT_EQ(r.out, "") << c.message;
    EXPECT_EQ(r.err.rfind(c.message, 0), 0u) << r.err;
    EXPECT_TRUE(Contains(r.err, "Try 'zorvan-cli " + c.args[0] + " --help'.")) << r.err;
  }
}

TEST_F(Cli, shouldListTheFourCalendarTextsOfTheDay) {
  SRun r = cli.Run(
      {"calendar", kPeople, "--today", "2003-05-20", "--day", "2003-06-01", "--resource", kJune});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "Calendar name: Laura\n"
            "Namedays: \n"
            "Birthdays and anniversaries: John Smith (33 let)\n"
            "Next 7 days: Jane Smith, Žofie Černá, Jane Smith\n");
  // The age is the one reached on the day listed, whatever year --today lies in.
  r = cli.Run(
      {"calendar", kPeople, "--today", "2010-01-01", "--day", "1999-06-01", "--resource", kJune});
  EXPECT_TRUE(Contains(r.out, "Birthdays and anniversaries: John Smith (29 let)\n")) << r.out;
  r = cli.Run(
      {"calendar", kPeople, "--today", "2010-01-01", "--day", "1999-06-05", "--resource", kJune});
  EXPECT_EQ(r.out,
            "Calendar name: \n"
            "Namedays: \n"
            "Birthdays and anniversaries: Jane Smith (Wedding)\n"
            "Next 7 days: \n");
  // Without --day the day is today.
  r = cli.Run({"calendar", kPeople, "--today", "2003-06-03", "--resource", kJune});
  EXPECT_EQ(r.out,
            "Calendar name: Kevin\n"
            "Namedays: Jane Smith\n"
            "Birthdays and anniversaries: \n"
            "Next 7 days: Žofie Černá, Jane Smith\n");
}

TEST_F(Cli, shouldTakeTheCalendarResourceFromTheDesktopSettings) {
  cli.WriteSettings("[General]\nfoo=bar\n\n[Settings]\nResource=\"" + kJune + "\"\r\n");
  SRun r = cli.Run({"calendar", kPeople, "--today", "2003-06-04"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "Calendar name: Saturnin");
  // --resource wins over the settings.
  WriteFile(cli.Home() / "other.cal", "BEGIN_CALNAMES\n4;6;Other;\nEND_CALNAMES\n");
  r = cli.Run(
      {"calendar", kPeople, "--today", "2003-06-04", "--resource", cli.Home() / "other.cal"});
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "Calendar name: Other");
}

TEST_F(Cli, shouldReadTheSettingsValueAsTheDesktopSettingsStoreWritesIt) {
  // A value with a semicolon is written in quotes; a backslash is doubled; a character may be
  // written as \x and its code.
  WriteFile(cli.Home() / "a;b \\ č.cal", "BEGIN_CALNAMES\n4;6;Escaped;\nEND_CALNAMES\n");
  cli.WriteSettings("\xEF\xBB\xBF[Settings]\r\n; a comment\r\nResource = \"" + cli.Home().Path() +
                    "/a;b \\\\ \\x10d.cal\"\r\n[Other]\r\nResource=elsewhere.cal\r\n");
  const SRun r = cli.Run({"calendar", kPeople, "--today", "2003-06-04"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "Calendar name: Escaped") << r.err;
}

TEST_F(Cli, shouldGoOnWithoutCalendarNamesWhenTheSettingsResourceIsMissing) {
  const std::string missing = cli.Home() / "gone.cal";
  cli.WriteSettings("[Settings]\nResource=" + missing + "\n");
  SRun r = cli.Run({"calendar", kPeople, "--today", "2003-06-01"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "Calendar name: ");
  EXPECT_TRUE(Contains(r.err, "Cannot read file " + missing + ":\nNo such file or directory.\n"))
      << r.err;
  EXPECT_TRUE(Contains(r.err, "Error: Can't read the calendar file.")) << r.err;
  // A resource asked for by name must be readable.
  r = cli.Run({"calendar", kPeople, "--resource", missing});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "zorvan-cli: Cannot read file " + missing + ":\nNo such file or directory.\n");
}

TEST_F(Cli, shouldFindTheFirstMatchOrEveryMatchInSearchOrder) {
  struct SCase {
    std::vector<std::string> criteria;
    std::string out;
  };
  const SCase cases[] = {
      {{"--where", "Name", "--text", "smith"}, "Smiths\n"},
      {{"--where", "name", "--text", "JOHN SMITH"}, "John Smith\n"},
      {{"--where", "0", "--text", "žofie č"}, "Žofie Černá\n"},
      {{"--where", "Name", "--text", "doe"}, "Doe family\n"},
      {{"--where", "Name", "--text", "smith", "--where", "Home Address", "--text", "brno"},
       "Jane Smith\n"},
      {{"--where", "E-mail", "--text", "@work"}, "Jane Smith\n"},
      {{"--where", "7", "--text", "777"}, "Žofie Černá\n"},
      {{"--where", "Work Address", "--text", "plzeň"}, "Žofie Černá\n"},
      {{"--where", "Business", "--text", "acme"}, "John Smith\n"},
      // The calendar branch is searched too: its nodes by their own labels.
      {{"--where", "Name", "--text", "kevin"}, "Kevin: 3.6\n"},
      {{"--all", "--where", "Name", "--text", "smith"},
       "Smiths\nJohn Smith\nJane Smith\nJohn Smith\nJane Smith\nJane Smith\n"},
      // A criterion with a group but no text does not count.
      {{"--where", "Name", "--text", "jane", "--where", "E-mail"}, "Jane Smith\n"},
  };
  cli.WriteSettings("[Settings]\nResource=" + kJune + "\n");
  for (const SCase& c : cases) {
    std::vector<std::string> args{"find", kPeople};
    args.insert(args.end(), c.criteria.begin(), c.criteria.end());
    const SRun r = cli.Run(args);
    EXPECT_EQ(r.status, 0) << c.out << r.err;
    EXPECT_EQ(r.out, c.out);
  }
}

TEST_F(Cli, shouldSearchOnFromTheCurrentNodeWithoutItsSubtree) {
  SRun r =
      cli.Run({"find", kPeople, "--from-current", "John Smith", "--where", "0", "--text", "smith"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Jane Smith\n");
  r = cli.Run(
      {"find", kPeople, "--from-current", "Smiths", "--where", "0", "--text", "smith", "--all"});
  EXPECT_EQ(r.out, "John Smith\nJane Smith\nJane Smith\n");  // the event nodes only
  r = cli.Run({"find", kPeople, "--from-current", "Žofie Černá", "--where", "0", "--text", "doe"});
  EXPECT_EQ(r.status, 1);  // no wrap-around to the records before
}

TEST_F(Cli, shouldSayWhenNothingMatches) {
  for (const std::vector<std::string>& criteria :
       {std::vector<std::string>{"--where", "0", "--text", "nobody"},
        std::vector<std::string>{"--where", "Home Address", "--text", "czechia"},  // a country
        std::vector<std::string>{"--where", "0", "--text", ""}}) {
    std::vector<std::string> args{"find", kPeople};
    args.insert(args.end(), criteria.begin(), criteria.end());
    const SRun r = cli.Run(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "zorvan-cli: There is no contact satisfying the entered criterium.\n");
  }
}

TEST_F(Cli, shouldCheckADatabase) {
  SRun r = cli.Run({"check", kPeople});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, kPeople +
                       ": contacts database\nrecords: 5\ntop-level records: 3\ngroups: 2\n"
                       "levels: 2\nbirthdays: 2\nanniversaries: 1\nnamedays: 1\n");
}

TEST_F(Cli, shouldCheckTheExtensionsAfterTheRecords) {
  const std::string counts =
      ": contacts database\nrecords: 4\ntop-level records: 2\ngroups: 1\nlevels: 3\n"
      "birthdays: 1\nanniversaries: 1\nnamedays: 1\n";
  for (const auto& [file, extensions] : std::vector<std::pair<std::string, std::string>>{
           {"trailer-texts.zvd", "records with extensions: 4\nkept sections: 2\n"},
           {"trailer-bad-crc.zvd",
            "records with extensions: 0\nextension trailer ignored: it has a wrong checksum\n"},
           {"trailer-other-records.zvd",
            "records with extensions: 0\nextension trailer ignored: it does not match its "
            "records: they were written again without it\n"}}) {
    const std::string path = DataPath("store/" + file);
    const SRun r = cli.Run({"check", path});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, path + counts + extensions);
  }
}

TEST_F(Cli, shouldShowTheTextsOfTheTrailerAndSayWhenItWasIgnored) {
  SRun r = cli.Run({"show", DataPath("store/trailer-texts.zvd")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(Contains(r.out, "Νίκος Παπαδόπουλος")) << r.out;
  EXPECT_TRUE(Contains(r.out, "Бетти")) << r.out;
  EXPECT_EQ(r.err, "");
  const std::string damaged = DataPath("store/trailer-wrong-count.zvd");
  r = cli.Run({"show", damaged});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(Contains(r.out, "????? ????????????")) << r.out;
  EXPECT_EQ(r.err, "zorvan-cli: The extensions stored after the contacts of " + damaged +
                       " were ignored: it does not match its records: it belongs to 5 records, "
                       "and the file holds 4.\n");
}

struct SDamaged {
  const char* file;
  const char* reason;
};

class CliDamagedDatabase : public testing::TestWithParam<SDamaged> {};

TEST_P(CliDamagedDatabase, shouldExitTwoWithTheReason) {
  CCliRunner cli;
  const std::string path = DataPath(std::string("store/") + GetParam().file);
  const SRun r = cli.Run({"check", path});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "zorvan-cli: Cannot open file " + path + ":\n" + GetParam().reason + ".\n");
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, CliDamagedDatabase,
    testing::Values(SDamaged{"zero-bytes.zvd", "the file ends in the middle of a record"},
                    SDamaged{"negative-child-count.zvd", "a record count is negative"},
                    SDamaged{"record-count-beyond-file.zvd",
                             "a record count is larger than the rest of the file can hold"},
                    SDamaged{"text-length-beyond-file.zvd",
                             "a text is longer than the rest of the file"},
                    SDamaged{"nesting-too-deep.zvd", "the records are nested too deeply"}),
    [](const testing::TestParamInfo<SDamaged>& paramInfo) {
      std::string name;
      for (const char* p = paramInfo.param.file; *p && *p != '.'; ++p)
        name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
      return name;
    });

TEST_F(Cli, shouldCheckACalendarResource) {
  SRun r = cli.Run({"check", kJune});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, kJune +
                       ": calendar resource\nlines: 9\ncalendar names: 3\n"
                       "entries after the end of the list: 2\nCONTACTS label: Kontakty\n");
  const std::string missing = cli.Home() / "none.cal";
  r = cli.Run({"check", missing});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "zorvan-cli: Cannot open file " + missing + ":\nNo such file or directory.\n");
  r = cli.Run({"check", cli.Home().Path() + "/.config/x.zvd"});
  EXPECT_EQ(r.status, 2);
}
