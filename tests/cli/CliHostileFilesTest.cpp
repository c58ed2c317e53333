// Hand-made hostile files given to the command-line tool: each is refused with a reason, or read
// within its limits, and never hangs, aborts or harms the database.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "CliRunner.h"

using namespace zorvan::test;

namespace {

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

void MakeFifo(const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }

// A sparse file: it claims 64 GB of zero bytes and costs nothing on the disk.
void MakeHuge(const std::string& path) {
  WriteFile(path, "");
  ASSERT_EQ(::truncate(path.c_str(), off_t{64} << 30), 0);
}

// A first line of 70,000 columns, then two data lines.
void MakeWide(const std::string& path) {
  std::string text;
  for (int i = 0; i < 70000; ++i) text += "Sloupec,";
  WriteFile(path, text + "\nJiří\nŁucja\n");
}

struct SHostileCase {
  const char* file;  // the name the tool is given, in the test's home folder
  std::function<void(const std::string&)> make;
  std::vector<std::string> args;  // "FILE" stands for the file, "DB" for a fresh database
  int status;
  std::string errPart;  // what standard error must say ("FILE" again for the path)
};

// The placeholders replaced once each, left to right, so that a path holding "DB" or "FILE"
// (a temporary folder's random name may) stays as it is.
std::string Expand(const std::string& text, const std::string& file, const std::string& db) {
  std::string out;
  for (size_t i = 0; i < text.size();) {
    if (text.compare(i, 4, "FILE") == 0) {
      out += file;
      i += 4;
    } else if (text.compare(i, 2, "DB") == 0) {
      out += db;
      i += 2;
    } else {
      out += text[i++];
    }
  }
  return out;
}

}  // namespace

TEST(CliHostileFiles, shouldRefuseOrBoundEveryHostileFileWithAReason) {
  const std::string tooLarge = "it is too large to be read (64 GB; at most ";
  const std::vector<SHostileCase> cases = {
      {"fifo.zvd", MakeFifo, {"check", "FILE"}, 2, "Cannot open file FILE:\nit is not a regular"},
      {"fifo.zvd", MakeFifo, {"show", "FILE"}, 2, "Cannot open file FILE:\nit is not a regular"},
      {"fifo.zvd",
       MakeFifo,
       {"query", "FILE", "x"},
       2,
       "Cannot open file FILE:\nit is not a regular"},
      {"fifo.cal", MakeFifo, {"check", "FILE"}, 2, "FILE:\nit is not a regular file."},
      {"fifo.vcf", MakeFifo, {"check", "FILE"}, 2, "FILE:\nit is not a regular file."},
      {"fifo.csv", MakeFifo, {"import", "FILE", "DB"}, 2, "FILE:\nit is not a regular file."},
      {"huge.zvd", MakeHuge, {"check", "FILE"}, 2, tooLarge + "1 GB)."},
      {"huge.zvd", MakeHuge, {"show", "FILE"}, 2, tooLarge + "1 GB)."},
      {"huge.zvd", MakeHuge, {"query", "FILE", "x"}, 2, tooLarge + "1 GB)."},
      {"huge.cal", MakeHuge, {"check", "FILE"}, 2, tooLarge + "16 MB)."},
      {"huge.csv", MakeHuge, {"check", "FILE"}, 2, "FILE:\na line is longer than 64 MB."},
      {"huge.vcf", MakeHuge, {"import", "FILE", "DB"}, 2, "a line is longer than 64 MB."},
      {"fifo.vcf",
       MakeFifo,
       {"import", "--from-other", "FILE", "DB"},
       2,
       "FILE:\nit is not a regular file."},
      {"huge.vcf", MakeHuge, {"import", "--from-other", "FILE", "DB"}, 2, tooLarge + "1 GB)."},
      {"wide.csv",
       MakeWide,
       {"import", "FILE", "DB", "--bind", "1=1"},
       2,
       "Cannot read file FILE:\nits first line has more than 65535 columns."},
  };
  for (const SHostileCase& c : cases) {
    CCliRunner cli;
    const std::string file = cli.Home() / c.file;
    const std::string db = cli.Home() / "nová.zvd";
    c.make(file);
    std::vector<std::string> args;
    for (const std::string& a : c.args) args.push_back(Expand(a, file, db));
    const SRun r = cli.Run(args);
    SCOPED_TRACE(std::string(c.file) + " " + c.args[0]);
    EXPECT_FALSE(r.hung);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_TRUE(Contains(r.err, Expand(c.errPart, file, db))) << r.err;
    EXPECT_FALSE(std::filesystem::exists(db)) << "a failed import must not make the database";
  }
}

TEST(CliHostileFiles, shouldListAtMostAScreenfulOfColumnNames) {
  CCliRunner cli;
  const std::string wide = cli.Home() / "wide.csv";
  MakeWide(wide);
  SRun r = cli.Run({"check", wide});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(Contains(r.out,
                       "columns split at \",\": 70000\n"
                       "an import refuses more than 65535 columns\n"
                       "column 1: Sloupec\n"))
      << r.out;
  EXPECT_TRUE(Contains(r.out, "column 20: Sloupec\n... and 69980 more columns\nrecords: 2\n"))
      << r.out;
  EXPECT_FALSE(Contains(r.out, "column 21:"));
  // Without --bind the import lists the columns to choose from, a screenful too.
  std::string line;
  // The file is in the code page: "Příjmení" in Windows-1250.
  for (int i = 1; i <= 1000; ++i) line += "P\xF8\xEDjmen\xED " + std::to_string(i) + ";";
  WriteFile(wide, line + "\nJiří\n");
  r = cli.Run({"import", wide, cli.Home() / "db.zvd", "--delimiter", ";"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Contains(r.err, "  20 Příjmení 20\n... and 980 more columns\n"))
      << r.err.substr(0, 999);
  EXPECT_LT(r.err.size(), 1000u);
}

TEST(CliHostileFiles, shouldNeverWriteAnExportOverTheDatabaseItComesFrom) {
  CCliRunner cli;
  const std::string db = cli.Home() / "kontakty.zvd";
  WriteFile(db, ReadFile(DataPath("cli/people.zvd")));
  const std::string before = ReadFile(db);
  ASSERT_EQ(::link(db.c_str(), (cli.Home() / "druhé-jméno.zvd").c_str()), 0);
  ASSERT_EQ(::symlink(db.c_str(), (cli.Home() / "odkaz.vcf").c_str()), 0);
  // Every command that writes a file of the database's contents, through every other name of
  // the database (/proc/self/cwd is the working folder, Home() here).
  const std::vector<std::vector<std::string>> commands = {
      {"export"}, {"export", "--to-other"}, {"export-calendar"}};
  for (const auto& command : commands)
    for (const std::string& out :
         {db, cli.Home() / "druhé-jméno.zvd", cli.Home() / "odkaz.vcf",
          cli.Home() / "./kontakty.zvd", std::string("/proc/self/cwd/kontakty.zvd")}) {
      std::vector<std::string> args = command;
      args.push_back(db);
      args.push_back(out);
      const SRun r = cli.Run(args, cli.Home().Path());
      EXPECT_EQ(r.status, 2) << command[0] << ' ' << out;
      EXPECT_TRUE(Contains(r.err, "Cannot write file " + out +
                                      ":\nit is the database being exported; choose another file."))
          << r.err;
      EXPECT_TRUE(ReadFile(db) == before) << command[0] << ' ' << out;
    }
  const SRun r = cli.Run({"import", db, db});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Contains(r.err, db + " is the database itself")) << r.err;
  EXPECT_TRUE(ReadFile(db) == before);
}

TEST(CliHostileFiles, shouldShowControlCharactersOfALabelEscapedOneRecordALine) {
  CCliRunner cli;
  // The program's own 45 columns: the label is the fifth; "=0D=0A" is a line break in a text.
  std::string header = ReadFile(DataPath("cli/people.csv"));
  header = header.substr(0, header.find('\n') + 1);
  const std::string csv = cli.Home() / "zlé.csv";
  WriteFile(csv,
            header + ",,,,\"Nov\xE1k=0D=0A\x1B[2J\x1B]0;titulek\x07\",\n,,,,Dvo\xF8\xE1k\t\x7F,\n");
  const std::string db = cli.Home() / "db.zvd";
  SRun r = cli.Run({"import", csv, db});
  ASSERT_EQ(r.status, 0) << r.err;
  r = cli.Run({"show", db});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Novák\\r\\n\\x1B[2J\\x1B]0;titulek\\x07\nDvořák\\t\\x7F\n");
  r = cli.Run({"find", db, "--where", "Name", "--text", "dvořák"});
  EXPECT_EQ(r.out, "Dvořák\\t\\x7F\n");
}

// Texts of a file reach the terminal shown, never obeyed: the column names of a text file (check
// and an import without --bind), the labels and names of a calendar resource, and the names of
// the address query, whose C1 controls (here U+0090, a DCS) become blanks.
TEST(CliHostileFiles, shouldNeverHandAFilesControlCharactersToTheTerminal) {
  CCliRunner cli;
  const std::string csv = cli.Home() / "řídicí.csv", cal = cli.Home() / "jména.cal";
  const std::string db = cli.Home() / "db.zvd";
  // The files are in the code page (Windows-1250): "Jm\xE9no" is "Jméno".
  WriteFile(csv, "Jm\xE9no\x1B]0;PWNED\x07,Sloupec\x1B[2J\r\nv,w\r\n");
  WriteFile(cal,
            "CONTACTS=Kontakty\x1B[31m\xC8"
            "ERVEN\xCC\r\nBEGIN_CALNAMES\r\n1;6;Laura\x1B[2J;\r\n"
            "END_CALNAMES\r\n");
  // The program's own columns: label "Zlý \x90 Dvořák" in the fifth, e-mail in the 20th.
  std::string own = ReadFile(DataPath("cli/people.csv"));
  own = own.substr(0, own.find('\n') + 1) + ",,,,Zl\xFD \x90 Dvo\xF8\xE1k" + std::string(15, ',') +
        "zly@example.cz\n";
  const std::string ownCsv = cli.Home() / "vlastní.csv", ownDb = cli.Home() / "vlastní.zvd";
  WriteFile(ownCsv, own);
  ASSERT_EQ(cli.Run({"import", ownCsv, ownDb}).status, 0);
  const struct {
    std::vector<std::string> args;
    std::string shown;  // in standard output or error
  } cases[] = {
      {{"check", csv}, "column 1: Jméno\\x1B]0;PWNED\\x07\ncolumn 2: Sloupec\\x1B[2J\n"},
      {{"import", csv, db}, "  1 Jméno\\x1B]0;PWNED\\x07\n  2 Sloupec\\x1B[2J\n"},
      {{"check", cal}, "CONTACTS label: Kontakty\\x1B[31mČERVENĚ\n"},
      {{"calendar", ownDb, "--day", "2003-06-01", "--resource", cal},
       "Calendar name: Laura\\x1B[2J\n"},
      {{"query", ownDb, "dvořák"}, "zly@example.cz\tZlý   Dvořák\t"},
  };
  for (const auto& c : cases) {
    const SRun r = cli.Run(c.args);
    const std::string both = r.out + r.err;
    EXPECT_TRUE(Contains(both, c.shown)) << c.args[0] << ":\n" << both;
    EXPECT_EQ(both.find_first_of("\x1B\x07"), std::string::npos) << c.args[0];
    EXPECT_FALSE(Contains(both, "\xC2\x90")) << c.args[0];
  }
}

// Memory that runs out after the file was read stops the command with a message and status 2:
// no abort, no lock left behind, the database and any file being written as they were.
TEST(CliHostileFiles, shouldStopACommandThatRunsOutOfMemoryCleanly) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's shadow memory does not fit a limited address space";
#endif
  CCliRunner cli;
  std::string cards;
  for (int i = 0; i < 100000; ++i)
    cards += "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Łucja Wójcik " + std::to_string(i) + "\r\nEMAIL:l" +
             std::to_string(i) + "@example.pl\r\nBDAY:1980-02-0" + std::to_string(1 + i % 9) +
             "\r\nEND:VCARD\r\n";
  const std::string vcf = cli.Home() / "mnoho.vcf", db = cli.Home() / "db.zvd";
  WriteFile(vcf, cards);
  ASSERT_EQ(cli.Run({"import", "--from-other", vcf, db}).status, 0);
  const std::string before = ReadFile(db);
  const std::string out = cli.Home() / "výstup";
  const std::vector<std::vector<std::string>> commands = {
      {"show", db},
      {"check", db},
      {"calendar", db},
      {"find", db, "--where", "Name", "--text", "nikdo"},
      {"export", db, out + ".csv"},
      {"export", "--to-other", db, out + ".vcf"},
      {"export-calendar", db, out + ".ics"},
      {"import", "--from-other", vcf, db},
  };
  cli.LimitAddressSpace(std::size_t{70} << 20);
  for (const auto& args : commands) {
    const SRun r = cli.Run(args);
    EXPECT_EQ(r.status, 2) << args[0] << ": " << r.err;
    EXPECT_TRUE(Contains(r.err, "not enough memory")) << args[0] << ": " << r.err;
  }
  EXPECT_TRUE(ReadFile(db) == before);
  for (const char* left : {"/.db.zvd.lock", "/výstup.csv", "/výstup.vcf", "/výstup.ics"})
    EXPECT_NE(::access((cli.Home().Path() + left).c_str(), F_OK), 0) << left;
}
