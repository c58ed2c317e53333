// What an import leaves in the database's folder: a database it can open again, or the old one
// with the reason; and every file it did not make itself.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CliRunner.h"
#include "store/TreeItem.h"
#include "store/ZvdFile.h"
#include "store/ZvdLayout.h"

using namespace zorvan;
using namespace zorvan::test;

namespace {

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// A database whose only contact lies levels deep, below a chain of groups.
std::string DeepDatabase(int levels) {
  CTreeItem root;
  root.m_nKind = kindContacts;
  CTreeItem* parent = &root;
  for (int i = 0; i < levels; ++i) {
    auto* r = new CTreeItem;
    r->m_strLabel = i + 1 == levels ? "Dno" : "Úroveň " + std::to_string(i + 1);
    r->m_bGroup = i + 1 < levels;
    if (i + 1 == levels) r->m_strPersonalEmail = "dno@example.org";
    CTreeItem::AddChild(parent, r);
    parent = r;
  }
  return StoreDatabase(&root);
}

}  // namespace

// The deepest database that opens, exported for other programs and imported again, comes back
// one level deeper below the import's new group.
TEST(CliSave, shouldNeverReportAnImportSavedThatCannotBeOpenedAgain) {
  CCliRunner cli;
  const std::string deep = cli.Home() / "hluboká.zvd", vcf = cli.Home() / "hluboká.vcf";
  WriteFile(deep, DeepDatabase(zvd_layout::kMaxRecordDepth));
  ASSERT_EQ(cli.Run({"show", deep}).status, 0);
  SRun r = cli.Run({"export", "--to-other", deep, vcf});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string db = cli.Home() / "db.zvd";
  WriteFile(db, ReadFile(DataPath("cli/people.zvd")));
  const std::string before = ReadFile(db);
  r = cli.Run({"import", "--from-other", vcf, db});
  if (r.status != 0) {
    // Refused at the save: the reason, and the database as it was.
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(Contains(r.err, "Cannot save file " + db +
                                    ":\nits contacts are nested 4097 "
                                    "levels deep, and a database file holds at most 4096 levels."))
        << r.err;
    EXPECT_TRUE(ReadFile(db) == before);
  } else {
    // Or kept within the depth by the import itself: then it opens.
    EXPECT_EQ(cli.Run({"show", db}).status, 0);
  }
  EXPECT_EQ(cli.Run({"query", db, "smith"}).status, 0);
}

TEST(CliSave, shouldLeaveTheFilesOfTheUserAndOfOtherProgramsBesideTheDatabase) {
  CCliRunner cli;
  const std::string db = cli.Home() / "db.zvd";
  WriteFile(db, ReadFile(DataPath("cli/people.zvd")));
  const std::vector<std::string> kept = {".db.zvd.backup", ".db.zvd.Ab3xYz", ".out.vcf.backup",
                                         ".out.vcf.Kopie1"};
  for (const std::string& name : kept) WriteFile(cli.Home() / name, "Moje záloha");
  SRun r = cli.Run({"import", "--from-other", DataPath("cli/people.vcf"), db});
  ASSERT_EQ(r.status, 0) << r.err;
  r = cli.Run({"export", "--to-other", db, cli.Home() / "out.vcf"});
  ASSERT_EQ(r.status, 0) << r.err;
  for (const std::string& name : kept)
    EXPECT_EQ(ReadFile(cli.Home() / name), "Moje záloha") << name;
}
