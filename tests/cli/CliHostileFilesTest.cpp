// Hand-made hostile files given to the command-line tool: each is refused with a reason, or read
// within its limits, and never hangs, aborts or harms the database.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "CliRunner.h"
#include "store/AtomicFile.h"
#include "store/ZvdLayout.h"

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
  // A database may be as large as the machine's memory allows, other files as they always were.
  const std::string databaseLimit = zorvan::SizeText(zorvan::zvd_layout::MaxDatabaseBytes()) + ").";
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
      {"huge.zvd", MakeHuge, {"check", "FILE"}, 2, tooLarge + databaseLimit},
      {"huge.zvd", MakeHuge, {"show", "FILE"}, 2, tooLarge + databaseLimit},
      {"huge.zvd", MakeHuge, {"query", "FILE", "x"}, 2, tooLarge + databaseLimit},
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
  for (const std::string& out : {db, cli.Home() / "druhé-jméno.zvd", cli.Home() / "odkaz.vcf",
                                 cli.Home() / "./kontakty.zvd"}) {
    const SRun r = cli.Run({"export", db, out});
    EXPECT_EQ(r.status, 2) << out;
    EXPECT_TRUE(Contains(r.err, "Cannot write file " + out +
                                    ":\nit is the database being exported; choose another file."))
        << r.err;
    EXPECT_TRUE(ReadFile(db) == before) << out;
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
