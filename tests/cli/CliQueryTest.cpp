// The query subcommand, as mail clients run it for address completion.
#include <gtest/gtest.h>

#include <sstream>

#include "CliRunner.h"
#include "store/ZvdFile.h"

using namespace zorvan;
using namespace zorvan::test;

namespace {

CTreeItem* AddContact(CTreeItem* parent, const char* first, const char* last, const char* label,
                      const char* personal, const char* business = "") {
  auto* r = new CTreeItem;
  r->m_strFirstName = first;
  r->m_strLastName = last;
  r->m_strLabel = label;
  r->m_strPersonalEmail = personal;
  r->m_strBusinessEmail = business;
  CTreeItem::AddChild(parent, r);
  return r;
}

class CliQuery : public testing::Test {
 protected:
  void SetUp() override {
    CTreeItem root;
    CTreeItem* dvorak = AddContact(&root, "Antonín", "Dvořák", "Dvořák, Antonín",
                                   "antonin@domov.cz", "ad@opera.cz");
    dvorak->m_nPrefEmail = 1;
    auto* friends = AddContact(&root, "", "", "Friends", "");
    friends->m_bGroup = 1;
    AddContact(friends, "Łukasz", "Wałęsa", "Łukasz W.", "lukasz@poczta.pl")->m_strNickname =
        "Łukaszek";
    AddContact(friends, "Jürgen", "Müller", "Jürgen", "", "jm@firma.de")->m_strNickname =
        "Schorsch";
    // Question marks stand where a writer met characters its code page cannot hold.
    AddContact(&root, "", "", "Help\tdesk", "help@example.org")->m_strNickname = "??";
    AddContact(&root, "Ödön", "Nomail", "Ödön Nomail", "");
    WriteFile(m_db, StoreDatabase(&root));
  }

  SRun Query(const std::string& text) { return cli.Run({"query", m_db, text}); }

  // The address lines of the output, without its first line of status text.
  static std::vector<std::string> Lines(const std::string& out) {
    std::vector<std::string> lines;
    std::istringstream in(out);
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
  }

  CCliRunner cli;
  const std::string m_db = cli.Home() / "contacts.zvd";
};

}  // namespace

TEST_F(CliQuery, shouldFindAcrossLetterCaseOfTheCodePage) {
  for (const char* text : {"DVOŘ", "dvořák", "antonín", "ANTONÍN DVOŘÁK", "OPERA.CZ"}) {
    const SRun r = Query(text);
    EXPECT_EQ(r.status, 0) << text;
    EXPECT_EQ(Lines(r.out),
              (std::vector<std::string>{"ad@opera.cz\tAntonín Dvořák\tDvořák, Antonín",
                                        "antonin@domov.cz\tAntonín Dvořák\tDvořák, Antonín"}))
        << text << ": the preferred business address first";
    EXPECT_EQ(r.err, "") << text;
  }
  EXPECT_EQ(Lines(Query("WAŁĘSA").out),
            std::vector<std::string>{"lukasz@poczta.pl\tŁukasz Wałęsa\tŁukasz W."});
  EXPECT_EQ(Lines(Query("müller").out),
            std::vector<std::string>{"jm@firma.de\tJürgen Müller\tJürgen"});
}

TEST_F(CliQuery, shouldLookInTheLabelTheNicknameAndTheAddresses) {
  EXPECT_EQ(Lines(Query("łukaszek").out).size(), 1u);  // the nickname
  EXPECT_EQ(Lines(Query("schorsch").out).size(), 1u);  // the nickname of a business address
  EXPECT_EQ(Lines(Query("w.").out).size(), 1u);        // the label only
  EXPECT_EQ(Lines(Query("POCZTA").out).size(), 1u);    // an address
  EXPECT_EQ(Lines(Query("friends").out).size(), 0u);   // a group without an address
  // Every contact with an address; the one whose name is empty goes by its label, whose tab
  // is made a blank so that the columns stay three.
  const SRun all = Query("@");
  EXPECT_EQ(all.status, 0);
  EXPECT_EQ(all.out.substr(0, all.out.find('\n')), "5 addresses match \"@\".");
  const std::vector<std::string> lines = Lines(all.out);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[4], "help@example.org\tHelp desk\tHelp desk");
  for (const std::string& line : lines)
    EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 2) << line;
}

TEST_F(CliQuery, shouldFindAndPrintTheTextsTheCodePageCannotHold) {
  CTreeItem root;
  AddContact(&root, "Νίκος", "Παπαδόπουλος", "Νίκος Π.", "nikos@example.gr");
  AddContact(&root, "王", "小明", "王小明", "", "wang@example.cn");
  AddContact(&root, "Jan", "Novák", "Jan", "jan@example.cz")->m_strNickname = "Бетти";
  // A name of a text in the code page and one in UTF-8 only.
  AddContact(&root, "Žofie", "Дворжак", "Žofie D.", "zofie@example.cz");
  WriteFile(m_db, StoreDatabase(&root));
  const std::string nikos = "nikos@example.gr\tΝίκος Παπαδόπουλος\tΝίκος Π.";
  const std::string wang = "wang@example.cn\t王 小明\t王小明";
  const std::string jan = "jan@example.cz\tJan Novák\tJan";
  const std::string zofie = "zofie@example.cz\tŽofie Дворжак\tŽofie D.";
  for (const auto& [text, lines] : std::vector<std::pair<std::string, std::vector<std::string>>>{
           {"Νίκος", {nikos}},
           {"Παπαδόπουλος", {nikos}},
           {"小明", {wang}},
           {"Бетти", {jan}},
           {"NOVÁK", {jan}},
           {"ŽOFIE Двор", {zofie}},
           {"žofie d.", {zofie}},
           {"ZOFIE@", {zofie}},
           {"example", {nikos, wang, jan, zofie}},
           {"?", {}}}) {
    const SRun r = Query(text);
    EXPECT_EQ(r.status, lines.empty() ? 1 : 0) << text;
    EXPECT_EQ(Lines(r.out), lines) << text;
  }
}

TEST_F(CliQuery, shouldSayWhenNothingMatchesWithStatusOne) {
  for (const char* text : {"nobody", "nomail", "Ödön", "日本"}) {
    const SRun r = Query(text);
    EXPECT_EQ(r.status, 1) << text;
    EXPECT_EQ(r.out, std::string("No address matches \"") + text + "\".\n");
  }
}

TEST_F(CliQuery, shouldFailOnADamagedFileWithTheReason) {
  const std::string bytes = ReadFile(m_db);
  WriteFile(m_db, bytes.substr(0, bytes.size() - 10));
  SRun r = Query("dvořák");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "") << "no addresses from half a file";
  EXPECT_EQ(r.err, "zorvan-cli: Cannot open file " + m_db +
                       ":\nthe file ends in the middle of a record.\n");
  r = cli.Run({"query", cli.Home().Path(), "x"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("it is a folder"), std::string::npos) << r.err;
  r = cli.Run({"query", m_db});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("give a database file and a text"), std::string::npos) << r.err;
}
