// Hand-made hostile files given to the command-line tool: each is refused with a reason, or read
// within its limits, and never hangs, aborts or harms the database.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "CliRunner.h"
#include "store/FileRead.h"
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

// A card this program wrote (it has an X-TAVORIN- line) that lies below the given number of
// nested groups, named in its CATEGORIES.
std::string DeepCard(int levels) {
  std::string card =
      "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Žofie Hloubková\r\nX-TAVORIN-GENDER:0\r\n"
      "CATEGORIES:";
  for (int i = 0; i < levels; ++i) card += (i ? ",skupina " : "skupina ") + std::to_string(i);
  return card + "\r\nEND:VCARD\r\n";
}

// One card of many properties: "X-AIM:handle0000001" and the like.
std::string ManyLines(const std::string& property, int count) {
  std::string card = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Łucja Mnohá\r\n";
  char line[64];
  for (int i = 0; i < count; ++i) {
    std::snprintf(line, sizeof line, "%s%07d\r\n", property.c_str(), i);
    card += line;
  }
  return card + "END:VCARD\r\n";
}

std::string Repeated(const std::string& text, size_t times) {
  std::string out;
  out.reserve(text.size() * times);
  for (size_t i = 0; i < times; ++i) out += text;
  return out;
}

// A database of depth nested groups whose labels are labelBytes long; every group holds a
// contact with a birthday and the next group. Written byte by byte in the .zvd layout, so that
// it does not depend on the program's own saving.
std::string Chain(int depth, size_t labelBytes) {
  std::string out;
  auto text = [&out](const std::string& t) {
    if (t.size() < 255) {
      out += static_cast<char>(t.size());
    } else {
      out += '\xFF';
      out += static_cast<char>(t.size() & 0xFF);
      out += static_cast<char>(t.size() >> 8);
    }
    out += t;
  };
  auto number = [&out](std::int32_t n) { out.append(reinterpret_cast<const char*>(&n), 4); };
  auto date = [&out, &number](double day, bool set) {
    number(0);
    out.append(reinterpret_cast<const char*>(&day), 8);
    number(set ? 1 : 0);
  };
  auto record = [&](const std::string& label, int group, const std::string& email, double day) {
    for (int i = 0; i < 38; ++i) {
      if (i == 5)
        number(0);
      else if (i == 6)
        number(group);
      else if (i == 7)
        text(label);
      else if (i == 8 || i == 9)
        number(-1);
      else
        text(i == 21 ? email : std::string());
    }
    text({});
    text({});
    date(day, day != 0);
    date(0, false);
    date(0, false);
    text({});
    text({});
  };
  text("Zorvan 2.1.3");
  number(1);
  char name[16];
  for (int d = 0; d < depth; ++d) {
    std::snprintf(name, sizeof name, "G%05d", d);
    std::string label(name);
    label.resize(std::max(labelBytes, label.size()), 'g');
    record(label, 1, {}, 0);
    number(d < depth - 1 ? 2 : 1);
    std::snprintf(name, sizeof name, "C%05d", d);
    record(name, 0, "c" + std::to_string(d) + "@x.cz", 29222.0 + d % 28);
    number(0);
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
  if (!kAddressSpaceLimits)
    GTEST_SKIP() << "the sanitizer's shadow memory does not fit a limited address space";
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
  for (const auto& args : commands) {
    const SRun r = cli.Run(args, {}, {.nAddressSpaceMb = 55});
    EXPECT_EQ(r.status, 2) << args[0] << ": " << r.err;
    EXPECT_TRUE(Contains(r.err, "not enough memory")) << args[0] << ": " << r.err;
  }
  EXPECT_TRUE(ReadFile(db) == before);
  for (const char* left : {"/.db.zvd.lock", "/výstup.csv", "/výstup.vcf", "/výstup.ics"})
    EXPECT_NE(::access((cli.Home().Path() + left).c_str(), F_OK), 0) << left;
}

TEST(CliHostileFiles, shouldKeepImportedGroupPathsWithinTheDepthADatabaseOpensWith) {
  CCliRunner cli;
  const std::string db = cli.Home() / "lidé.zvd", deep = cli.Home() / "hluboko.vcf";
  WriteFile(db, ReadFile(DataPath("cli/people.zvd")));
  WriteFile(deep, DeepCard(5000));
  SRun r = cli.Run({"import", "--from-other", deep, db});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(Contains(r.out,
                       "Contacts that lay more than 64 groups deep, put into the deepest "
                       "of those groups: 1."))
      << r.out;
  r = cli.Run({"check", db});
  EXPECT_EQ(r.status, 0) << r.err;
  // The import's own group, 64 groups and the contact.
  EXPECT_TRUE(Contains(r.out, "levels: 66\n")) << r.out;

  // A database of 4,096 levels (the most that opens), exported for other programs and imported
  // again.
  const std::string chain = cli.Home() / "řetěz.zvd", vcf = cli.Home() / "řetěz.vcf";
  WriteFile(chain, Chain(4095, 6));
  ASSERT_EQ(cli.Run({"export", "--to-other", chain, vcf}).status, 0);
  const std::string again = cli.Home() / "znovu.zvd";
  r = cli.Run({"import", "--from-other", vcf, again});
  ASSERT_EQ(r.status, 0) << r.err;
  r = cli.Run({"check", again});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(Contains(r.out, "levels: 66\n")) << r.out;
}

TEST(CliHostileFiles, shouldReadAndWriteDeepTreesInMemoryOfTheirOwnSize) {
  CCliRunner cli;
  const std::string vcf = cli.Home() / "kategorie.vcf", db = cli.Home() / "db.zvd";
  WriteFile(vcf, DeepCard(20000));  // 130 KB; its paths once took 1.2 GB
  SRun r = cli.Run({"import", "--from-other", vcf, db}, {}, {.nAddressSpaceMb = 300});
  EXPECT_EQ(r.status, 0) << r.err;

  // 2.4 MB: 2,000 nested groups of 1,000-byte labels.
  const std::string chain = cli.Home() / "řetěz.zvd";
  WriteFile(chain, Chain(2000, 1000));
  r = cli.Run({"export-calendar", chain, cli.Home() / "out.ics"}, {},
              {.nAddressSpaceMb = 300, .nFileMb = 16});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(Contains(r.out, "Wrote 2000 events")) << r.out;
  // Each card names at most 16 KB of the groups above it.
  r = cli.Run({"export", "--to-other", chain, cli.Home() / "out.vcf"}, {},
              {.nAddressSpaceMb = 300, .nFileMb = 64});
  EXPECT_EQ(r.status, 0) << r.err;
}

TEST(CliHostileFiles, shouldReadHostileCardsInTimeAndMemoryThatGrowWithTheirSize) {
  struct SCase {
    const char* what;
    std::string bytes;
    SLimits limits;
    int status;
    std::string outPart;  // of standard output, or of standard error for a failure
  };
  const std::string empty = "BEGIN:VCARD\nEND:VCARD\n";
  const std::string one = "BEGIN:VCARD\nFN:Jürgen Größ\nEND:VCARD\n";
  const std::vector<SCase> cases = {
      // Once 68 s and 29 s: each remark line was looked for in all of the remark before it.
      {"100,000 X-AIM lines",
       ManyLines("X-AIM:handle", 100000),
       {.nCpuSeconds = 10},
       0,
       "1 contact was imported"},
      {"100,000 TEL lines",
       ManyLines("TEL;TYPE=CELL:", 100000),
       {.nCpuSeconds = 10},
       0,
       "1 contact was imported"},
      // Once 19 s: each BEGIN looked 2,000 lines ahead for an END.
      {"1,000,000 cards without END",
       Repeated("BEGIN:VCARD\n", 1000000),
       {.nCpuSeconds = 8},
       2,
       "holds no contacts"},
      // 44 MB, once 1.4 GB of memory and a database of 226 MB.
      {"2,000,000 empty cards and one contact",
       Repeated(empty, 2000000) + one,
       {.nAddressSpaceMb = 600},
       0,
       "Cards that held nothing at all, left out: 2000000."},
  };
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.what);
    CCliRunner cli;
    const std::string vcf = cli.Home() / "z telefonu.vcf", db = cli.Home() / "db.zvd";
    WriteFile(vcf, c.bytes);
    const SRun r = cli.Run({"import", "--from-other", vcf, db}, {}, c.limits);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_TRUE(Contains(c.status == 0 ? r.out : r.err, c.outPart)) << r.out << r.err;
  }
}
