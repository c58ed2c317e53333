// A save never writes a database that no reader opens again: not one nested deeper than the
// reader descends, and not one larger than the reader reads. The old file stays as it was.
#include <gtest/gtest.h>

#include <string>

#include "FakeHost.h"
#include "TestUtil.h"
#include "store/FileRead.h"
#include "store/ZorvanDoc.h"
#include "store/ZvdFile.h"
#include "store/ZvdLayout.h"

using namespace zorvan;
using namespace zorvan::test;

namespace {

class SaveLimits : public testing::Test {
 protected:
  SaveLimits() : doc(host) {
    host.settings["Settings/Resource"] = dir / "none.cal";
    doc.OnNewDocument();
    AddRecord(doc.ContactsRoot(), "Šťastný");
    const CStatus saved = doc.OnSaveDocument(path);
    EXPECT_TRUE(saved) << saved.Reason();
    previous = ReadFile(path);
  }

  static CTreeItem* AddRecord(CTreeItem* parent, const std::string& label) {
    auto* r = new CTreeItem;
    r->m_strLabel = label;
    CTreeItem::AddChild(parent, r);
    return r;
  }

  // A chain of groups below the contacts root, levels deep with the record at its bottom.
  void AddChain(int levels) {
    CTreeItem* parent = doc.ContactsRoot();
    for (int i = 1; i < levels; ++i) {
      parent = AddRecord(parent, "Skupina " + std::to_string(i));
      parent->m_bGroup = 1;
    }
    AddRecord(parent, "Dno");
  }

  CTempDir dir;
  const std::string path = dir / "kontakty.zvd";
  CFakeHost host;
  CZorvanDoc doc;
  std::string previous;
};

}  // namespace

TEST_F(SaveLimits, shouldSaveTheDeepestTreeTheReaderTakesAndRefuseOneLevelMore) {
  const int deepest = zvd_layout::kMaxRecordDepth;
  AddChain(deepest);
  CStatus saved = doc.OnSaveDocument(path);
  ASSERT_TRUE(saved) << saved.Reason();
  CZorvanDoc reopened(host);
  const CStatus opened = reopened.OnOpenDocument(path);
  ASSERT_TRUE(opened) << opened.Reason();
  previous = ReadFile(path);

  // One more level below the bottom record, as an import's new group on top would give.
  CTreeItem* bottom = doc.ContactsRoot()->Child(1);
  while (bottom->ChildCount() != 0) bottom = bottom->Child(0);
  AddRecord(bottom, "Ještě hlouběji");
  doc.SetModifiedFlag(true);
  saved = doc.OnSaveDocument(path);
  EXPECT_FALSE(saved);
  EXPECT_EQ(saved.File(), path);
  EXPECT_EQ(saved.Reason(),
            "its contacts are nested 4097 levels deep, and a database file holds "
            "at most 4096 levels");
  EXPECT_TRUE(ReadFile(path) == previous);
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(FileNamesIn(dir.Path()), std::vector<std::string>{"kontakty.zvd"});
}

TEST_F(SaveLimits, shouldReadAndWriteUpToOneLimitThatFollowsTheMachinesMemory) {
  constexpr std::uint64_t kGB = std::uint64_t{1} << 30;
  EXPECT_EQ(doc.MaxFileBytes(), zvd_layout::MaxDatabaseBytes());
  EXPECT_GE(doc.MaxFileBytes(), kGB);
  EXPECT_LE(doc.MaxFileBytes(), 16 * kGB);

  // A limit of exactly the size of the file with two records: it is written and read again.
  AddRecord(doc.ContactsRoot(), "Żaneta Wróblewska");
  const std::uint64_t limit = StoreDatabase(doc.ContactsRoot()).size();
  doc.SetMaxFileBytes(limit);
  CStatus saved = doc.OnSaveDocument(path);
  ASSERT_TRUE(saved) << saved.Reason();
  previous = ReadFile(path);
  CZorvanDoc reader(host);
  reader.SetMaxFileBytes(limit);
  CStatus opened = reader.OnOpenDocument(path);
  ASSERT_TRUE(opened) << opened.Reason();
  EXPECT_EQ(reader.ContactsRoot()->ChildCount(), 2u);

  // A third record makes the file larger than that: it is not written at all.
  AddRecord(doc.ContactsRoot(), "Ωμέγα");
  const std::uint64_t size = StoreDatabase(doc.ContactsRoot()).size();
  doc.SetModifiedFlag(true);
  saved = doc.OnSaveDocument(path);
  EXPECT_FALSE(saved);
  EXPECT_EQ(saved.Reason(),
            "it would be too large to be read again (" + SizeBeyondLimitText(size, limit) + ")");
  EXPECT_TRUE(ReadFile(path) == previous);
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(FileNamesIn(dir.Path()), std::vector<std::string>{"kontakty.zvd"});

  // Written with a larger limit, the reader with the smaller one refuses it, for the same bound.
  doc.SetMaxFileBytes(size);
  ASSERT_TRUE(doc.OnSaveDocument(path));
  opened = reader.OnOpenDocument(path);
  EXPECT_FALSE(opened);
  EXPECT_EQ(opened.Reason(),
            "it is too large to be read (" + SizeBeyondLimitText(size, limit) + ")");
}
