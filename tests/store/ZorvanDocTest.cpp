#include <gtest/gtest.h>

#include <algorithm>

#include "FakeHost.h"
#include "FakeTreePort.h"
#include "TestUtil.h"
#include "res/StringTable.h"
#include "store/ZorvanDoc.h"
#include "store/ZvdFile.h"

using namespace zorvan;
using namespace zorvan::test;

namespace {

// Records what the views would hear.
struct CRecordingObserver : IDocObserver {
  void OnUpdate(IDocObserver*, int hint, CTreeItem* object) override {
    hints.emplace_back(hint, object);
  }
  void OnAboutToDestroy(CTreeItem* node) override { destroyed.push_back(node); }
  std::vector<std::pair<int, CTreeItem*>> hints;
  std::vector<CTreeItem*> destroyed;
};

class DocTest : public testing::Test {
 protected:
  DocTest() : clock(CDateTime(2003, 6, 1, 12, 0, 0)), doc(host) {
    WriteFile(dir / "test.cal",
              "CONTACTS=Kontakty\nCALENDAR=Kalendar\nBEGIN_CALNAMES\n2;1;Karina;\nEND_CALNAMES\n");
    UseCalendar(dir / "test.cal");
    doc.AddObserver(&observer);
  }
  void UseCalendar(const std::string& path) { host.settings["Settings/Resource"] = path; }
  CTreeItem* Add(CTreeItem* parent, const char* label) {
    auto* r = new CTreeItem;
    r->m_strLabel = label;
    CTreeItem::AddChild(parent, r);
    return r;
  }

  CTempDir dir;
  CFixedClock clock;
  CFakeHost host;
  CZorvanDoc doc;
  CRecordingObserver observer;
};

std::vector<std::string> ChildLabels(const CTreeItem* node) {
  std::vector<std::string> labels;
  for (size_t i = 0; i < node->ChildCount(); ++i)
    labels.push_back(node->Child(i)->m_strLabel.str());
  return labels;
}

}  // namespace

TEST_F(DocTest, shouldBuildTheBasicElementsOfANewDatabase) {
  UseCalendar(dir / "missing.cal");
  ASSERT_TRUE(doc.OnNewDocument());
  ASSERT_EQ(doc.m_items.GetSize(), 2);
  EXPECT_EQ(doc.ContactsRoot()->m_strLabel, "Contacts");
  EXPECT_EQ(doc.ContactsRoot()->m_nKind, kindContacts);
  EXPECT_EQ(doc.ContactsRoot()->m_bGroup, 1);
  EXPECT_EQ(doc.ContactsRoot()->m_pChildren, nullptr);
  EXPECT_EQ(doc.CalendarRoot()->m_strLabel, "Calendar");
  EXPECT_EQ(ChildLabels(doc.CalendarRoot()),
            (std::vector<std::string>{"Birthdays", "Anniversaries", "Namedays", "Calendar"}));
  for (int c = 0; c < 4; ++c) {
    EXPECT_EQ(doc.Category(c)->m_nKind, kindCalendar);
    EXPECT_EQ(doc.Category(c)->m_bGroup, 1);
  }
  EXPECT_EQ(doc.GetTitle(), "Untitled");
  EXPECT_FALSE(doc.IsModified());
  EXPECT_EQ(doc.m_dtCalendarDay, CDateTime(2003, 6, 1, 12, 0, 0));
  // The missing calendar is reported once; the calendar-name list is empty.
  EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{LoadString(IDS_CALENDAR_READ_ERROR)});
  EXPECT_EQ(host.messages[0].icon, EMsgIcon::Error);
  EXPECT_EQ(doc.CalNameCount(), 0u);
  EXPECT_EQ(doc.Category(catCalNames)->ChildCount(), 0u);
  EXPECT_EQ(observer.hints.back().first, HINT_NONE);
}

TEST_F(DocTest, shouldLabelNewDatabasesFromTheResourceButOpenedOnesFromTheStringTable) {
  doc.OnNewDocument();
  EXPECT_EQ(doc.ContactsRoot()->m_strLabel, "Kontakty");
  EXPECT_EQ(doc.CalendarRoot()->m_strLabel, "Kalendar");
  ASSERT_EQ(doc.Category(catCalNames)->ChildCount(), 1u);
  EXPECT_EQ(doc.Category(catCalNames)->Child(0)->m_strLabel, "Karina: 2.1");
  ASSERT_TRUE(doc.OnOpenDocument(DataPath("store/three-levels.zvd")));
  EXPECT_EQ(doc.ContactsRoot()->m_strLabel, "Contacts");
  EXPECT_EQ(doc.CalendarRoot()->m_strLabel, "Calendar");
  EXPECT_EQ(doc.m_strContactsLabel, "Kontakty");  // the document still holds the resource's
  EXPECT_EQ(doc.Category(catCalNames)->ChildCount(), 1u);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(DocTest, shouldOpenADatabaseWithItsCalendarBranch) {
  doc.OnNewDocument();
  doc.SetModifiedFlag();
  ASSERT_TRUE(doc.OnOpenDocument(DataPath("store/three-levels.zvd")));
  EXPECT_EQ(doc.GetTitle(), "three-levels.zvd");
  EXPECT_EQ(doc.GetPathName(), DataPath("store/three-levels.zvd"));
  EXPECT_FALSE(doc.IsModified());
  EXPECT_EQ(ChildLabels(doc.ContactsRoot()), (std::vector<std::string>{"Family", "Solo"}));
  CTreeItem* kid = doc.ContactsRoot()->Child(0)->Child(0)->Child(0);
  EXPECT_EQ(ChildLabels(doc.Category(catBirthdays)), std::vector<std::string>{"Jan"});
  EXPECT_EQ(ChildLabels(doc.Category(catAnniversaries)), std::vector<std::string>{"Kid"});
  EXPECT_EQ(ChildLabels(doc.Category(catNamedays)), std::vector<std::string>{"Solo"});
  EXPECT_EQ(doc.Category(catAnniversaries)->Child(0)->m_pLinked, kid);
  EXPECT_EQ(doc.Category(catAnniversaries)->Child(0)->m_nKind, kindCalendar);
  // Views were told that the old tree goes before it went, and of the new one after.
  ASSERT_FALSE(observer.destroyed.empty());
  EXPECT_EQ(observer.destroyed.back(), nullptr);
  EXPECT_EQ(observer.hints.back(), std::make_pair(0, static_cast<CTreeItem*>(nullptr)));
  // An export opens the contacts alone, and the next open makes the event nodes again.
  doc.SetMakesEventNodes(false);
  ASSERT_TRUE(doc.OnOpenDocument(DataPath("store/three-levels.zvd")));
  EXPECT_EQ(ChildLabels(doc.ContactsRoot()), (std::vector<std::string>{"Family", "Solo"}));
  for (int c : {catBirthdays, catAnniversaries, catNamedays})
    EXPECT_EQ(doc.Category(c)->ChildCount(), 0u);
  // Nor does an import (the command line's, saved and done) give its contacts any.
  auto branch = std::make_unique<CTreeItem>(CText("Dovoz"));
  branch->m_bGroup = 1;
  auto* zofia = new CTreeItem(CText("Zofia Wróbel"));
  zofia->m_bBirthday = 1;
  zofia->m_dtBirthday = CDateTime(1984, 5, 15);
  CTreeItem::AddChild(branch.get(), zofia);
  ASSERT_NE(doc.AppendImportedBranch(doc.ContactsRoot(), std::move(branch)), nullptr);
  EXPECT_EQ(doc.Category(catBirthdays)->ChildCount(), 0u);
  doc.SetMakesEventNodes(true);
  ASSERT_TRUE(doc.OnOpenDocument(DataPath("store/three-levels.zvd")));
  EXPECT_EQ(ChildLabels(doc.Category(catBirthdays)), std::vector<std::string>{"Jan"});
}

// A file that cannot be read, whatever the reason, leaves the open database as it was: its
// records, event nodes, file name, modified flag and calendar; the file and the reason go back
// to the caller, who names them in its open error.
TEST_F(DocTest, shouldKeepTheOpenDatabaseWhenAnotherCannotBeOpened) {
  ASSERT_TRUE(doc.OnOpenDocument(DataPath("store/three-levels.zvd")));
  CTreeItem* first = doc.ContactsRoot()->Child(0);
  first->m_strLabel = "Jiří Dvořák";
  doc.SetModifiedFlag();
  const size_t births = doc.Category(catBirthdays)->ChildCount();
  UseCalendar(dir / "missing.cal");
  WriteFile(dir / "damaged.zvd", ReadFile(DataPath("store/truncated-in-record.zvd")));
  const struct {
    std::string path, reason;
  } cases[] = {
      {dir / "gone.zvd", "No such file or directory"},
      {dir / "damaged.zvd", "the file ends in the middle of a record"},
      {dir.Path(), "it is a folder"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    const CStatus opened = doc.OnOpenDocument(c.path);
    EXPECT_FALSE(opened);
    EXPECT_EQ(opened.File(), c.path);
    EXPECT_EQ(opened.Reason().rfind(c.reason, 0), 0u) << opened.Reason();
    EXPECT_EQ(doc.ContactsRoot()->Child(0), first);
    EXPECT_EQ(doc.Category(catBirthdays)->ChildCount(), births);
    EXPECT_EQ(doc.GetPathName(), DataPath("store/three-levels.zvd"));
    EXPECT_TRUE(doc.IsModified());
  }
  // The calendar resource was not read again for a file that never opened.
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(DocTest, shouldSaveTwiceToIdenticalBytesWithoutTouchingTheCalendar) {
  ASSERT_TRUE(doc.OnOpenDocument(DataPath("store/three-levels.zvd")));
  doc.SetModifiedFlag();
  const CStatus first = doc.OnSaveDocument(dir / "a.zvd");
  ASSERT_TRUE(first) << first.Reason();
  EXPECT_FALSE(doc.IsModified());
  EXPECT_EQ(doc.GetTitle(), "a.zvd");
  const CStatus second = doc.OnSaveDocument(dir / "b.zvd");
  ASSERT_TRUE(second) << second.Reason();
  EXPECT_EQ(ReadFile(dir / "a.zvd"), ReadFile(DataPath("store/three-levels.zvd")));
  EXPECT_EQ(ReadFile(dir / "a.zvd"), ReadFile(dir / "b.zvd"));
  EXPECT_EQ(doc.Category(catBirthdays)->ChildCount(), 1u);
}

TEST_F(DocTest, shouldReportAFailedSaveAndKeepTheModifiedFlag) {
  doc.OnNewDocument();
  doc.SetModifiedFlag();
  const CStatus saved = doc.OnSaveDocument(dir / "missing-folder/x.zvd");
  EXPECT_FALSE(saved);
  EXPECT_EQ(saved.File(), dir / "missing-folder/x.zvd");
  EXPECT_EQ(saved.Reason(), "No such file or directory");
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(doc.GetPathName(), "");
  // Telling the user is the caller's job.
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(DocTest, shouldRefuseToDeleteTheBasicElementsAndHonourTheAnswer) {
  doc.OnNewDocument();
  EXPECT_FALSE(doc.DeleteNode(doc.ContactsRoot()));
  EXPECT_EQ(
      host.MessageTexts(),
      std::vector<std::string>{"Error: Can't delete the basic elements of the contacts tree."});
  EXPECT_EQ(doc.m_items.GetSize(), 2);
  CTreeItem* r = Add(doc.ContactsRoot(), "a");
  host.answers = {false};
  EXPECT_FALSE(doc.DeleteNode(r));
  EXPECT_EQ(host.questions, std::vector<std::string>{"Do you really want to delete this contact?"});
  EXPECT_EQ(doc.ContactsRoot()->ChildCount(), 1u);
}

// The question names what goes with the node: nothing below it keeps the plain question.
TEST_F(DocTest, shouldAskAboutABranchWithTheNumberOfContactsBelowIt) {
  doc.OnNewDocument();
  CTreeItem* rodina = Add(doc.ContactsRoot(), "Rodina Dvořákových");
  CTreeItem* jiri = Add(rodina, "Jiří");
  CTreeItem* big = Add(doc.ContactsRoot(), "Πελάτες");
  for (int i = 0; i < 2999; ++i) Add(big, "Νίκος");
  Add(big->Child(7), "Ζωή");
  host.answers = {false, false, false};
  for (CTreeItem* node : {jiri, rodina, big}) EXPECT_FALSE(doc.DeleteNode(node));
  EXPECT_EQ(host.questions,
            (std::vector<std::string>{
                "Do you really want to delete this contact?",
                "Do you really want to delete \"Rodina Dvořákových\" and its contact?",
                "Do you really want to delete \"Πελάτες\" and its 3,000 contacts?"}));
  EXPECT_EQ(big->ChildCount(), 2999u);
  const std::pair<size_t, const char*> counts[] = {
      {0, "0"}, {999, "999"}, {1000, "1,000"}, {100000, "100,000"}, {1234567, "1,234,567"}};
  for (const auto& [n, text] : counts) EXPECT_EQ(CountText(n), text);
}

TEST_F(DocTest, shouldDeleteAGroupWithItsSubtreeItemsAndEventNodes) {
  ASSERT_TRUE(doc.OnOpenDocument(DataPath("store/three-levels.zvd")));
  CFakeTreePort port;
  for (int i = 0; i < doc.m_items.GetSize(); ++i) port.Fill(doc.m_items.GetAt(i));
  doc.SetTreeViewPort(&port);
  CTreeItem* family = doc.ContactsRoot()->Child(0);
  host.answers = {true};
  ASSERT_TRUE(doc.DeleteNode(family));
  EXPECT_EQ(ChildLabels(doc.ContactsRoot()), std::vector<std::string>{"Solo"});
  // The birthday of Jan and the anniversary of Kid went with them; Solo's nameday stays.
  EXPECT_EQ(doc.Category(catBirthdays)->ChildCount(), 0u);
  EXPECT_EQ(doc.Category(catAnniversaries)->ChildCount(), 0u);
  EXPECT_EQ(doc.Category(catNamedays)->ChildCount(), 1u);
  EXPECT_EQ(CFakeTreePort::Texts(doc.ContactsRoot()->m_hItem), std::vector<std::string>{"Solo"});
  EXPECT_TRUE(CFakeTreePort::Texts(doc.Category(catBirthdays)->m_hItem).empty());
  EXPECT_EQ(observer.destroyed.back(), family);
  doc.SetTreeViewPort(nullptr);
}

TEST_F(DocTest, shouldCreateUnnamedRecordsOnlyOutsideTheCalendar) {
  doc.OnNewDocument();
  CFakeTreePort port;
  for (int i = 0; i < doc.m_items.GetSize(); ++i) port.Fill(doc.m_items.GetAt(i));
  doc.SetTreeViewPort(&port);
  CTreeItem* r = doc.CreateRecord(doc.ContactsRoot());
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->m_strLabel, "Unnamed");
  EXPECT_EQ(r->m_nKind, kindContacts);
  EXPECT_EQ(r->m_pParent, doc.ContactsRoot());
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(CFakeTreePort::Get(r->m_hItem)->image, 1);
  CTreeItem* sub = doc.CreateRecord(r);  // a contact may have subcontacts
  EXPECT_EQ(sub->m_pParent, r);
  EXPECT_EQ(doc.CreateRecord(doc.Category(catBirthdays)), nullptr);
  doc.SetTreeViewPort(nullptr);
}

TEST_F(DocTest, shouldShowImportedRecordsWithTheirEventNodesSortingEachLevelOnce) {
  doc.OnNewDocument();
  Add(doc.ContactsRoot(), "Zdeněk");
  CFakeTreePort port;
  for (int i = 0; i < doc.m_items.GetSize(); ++i) port.Fill(doc.m_items.GetAt(i));
  doc.SetTreeViewPort(&port);
  const size_t first = doc.ContactsRoot()->ChildCount();
  // More records than go to the tree in one batch, every one with a birthday.
  constexpr int kImported = 2500;
  for (int i = kImported; i-- > 0;) {
    auto* r = new CTreeItem;
    r->m_strLabel = "Łucja " + std::to_string(10000 + i);
    r->m_bBirthday = 1;
    r->m_dtBirthday = CDateTime(1980, 1 + i % 12, 1 + i % 28);
    doc.AppendImportedRecord(r);
  }
  // Batches reach the tree while the import runs.
  EXPECT_GE(CFakeTreePort::Texts(doc.ContactsRoot()->m_hItem).size(), 1u + 2048u);
  EXPECT_FALSE(doc.IsModified());
  port.sorts = 0;
  doc.CompleteImport(first);
  EXPECT_TRUE(doc.IsModified());
  const std::vector<std::string> shown = CFakeTreePort::Texts(doc.ContactsRoot()->m_hItem);
  ASSERT_EQ(shown.size(), 1u + kImported);
  EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()));
  EXPECT_EQ(shown.front(), "Zdeněk");
  const std::vector<std::string> birthdays =
      CFakeTreePort::Texts(doc.Category(catBirthdays)->m_hItem);
  ASSERT_EQ(birthdays.size(), static_cast<size_t>(kImported));
  EXPECT_TRUE(std::is_sorted(birthdays.begin(), birthdays.end()));
  EXPECT_EQ(doc.Category(catBirthdays)->Child(0)->m_pLinked, doc.ContactsRoot()->Child(first));
  // One sort for the contacts and one for the birthdays, however many records came in.
  EXPECT_EQ(port.sorts, 2);
  doc.SetTreeViewPort(nullptr);
}

TEST_F(DocTest, shouldAppendAnImportedBranchWithItsItemsEachLevelSortedAndItsEventNodes) {
  doc.OnNewDocument();
  CTreeItem* family = Add(doc.ContactsRoot(), "Rodina");
  CFakeTreePort port;
  for (int i = 0; i < doc.m_items.GetSize(); ++i) port.Fill(doc.m_items.GetAt(i));
  doc.SetTreeViewPort(&port);
  auto branch = std::make_unique<CTreeItem>();
  branch->m_strLabel = "Import";
  branch->m_bGroup = 1;
  for (const char* label : {"Žofie", "Adam", "Łucja"}) Add(branch.get(), label);
  Add(branch->Child(1), "Bára")->m_bNameDay = 1;
  branch->Child(1)->Child(0)->m_dtNameDay = CDateTime(2000, 12, 4);
  port.sorts = 0;
  CTreeItem* top = doc.AppendImportedBranch(family, std::move(branch));
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(top->m_pParent, family);
  EXPECT_EQ(CFakeTreePort::Texts(family->m_hItem), std::vector<std::string>{"Import"});
  // Sorted in the tree (bytewise here), in file order in the records.
  EXPECT_EQ(CFakeTreePort::Texts(top->m_hItem),
            (std::vector<std::string>{"Adam", "Łucja", "Žofie"}));
  EXPECT_EQ(ChildLabels(top), (std::vector<std::string>{"Žofie", "Adam", "Łucja"}));
  EXPECT_EQ(CFakeTreePort::Texts(top->Child(1)->m_hItem), std::vector<std::string>{"Bára"});
  EXPECT_EQ(top->Child(1)->Child(0)->m_nKind, kindContacts);
  ASSERT_EQ(doc.Category(catNamedays)->ChildCount(), 1u);
  EXPECT_EQ(doc.Category(catNamedays)->Child(0)->m_pLinked, top->Child(1)->Child(0));
  EXPECT_TRUE(doc.IsModified());
  // The calendar branch takes no contacts.
  EXPECT_EQ(doc.AppendImportedBranch(doc.CalendarRoot(), std::make_unique<CTreeItem>()), nullptr);
  doc.SetTreeViewPort(nullptr);
}

TEST_F(DocTest, shouldCopyABranchWithItemsAndEventNodes) {
  ASSERT_TRUE(doc.OnOpenDocument(DataPath("store/three-levels.zvd")));
  CFakeTreePort port;
  for (int i = 0; i < doc.m_items.GetSize(); ++i) port.Fill(doc.m_items.GetAt(i));
  doc.SetTreeViewPort(&port);
  CTreeItem* family = doc.ContactsRoot()->Child(0);
  CTreeItem* solo = doc.ContactsRoot()->Child(1);
  CTreeItem* copy = doc.CopyBranch(family, solo);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->m_pParent, solo);
  EXPECT_EQ(copy->m_strLabel, "Family");
  EXPECT_EQ(copy->Child(0)->Child(0)->m_strLabel, "Kid");
  EXPECT_NE(copy->Child(0), family->Child(0));
  EXPECT_EQ(CFakeTreePort::Texts(solo->m_hItem), std::vector<std::string>{"Family"});
  EXPECT_EQ(CFakeTreePort::Get(copy->m_hItem)->image, 0);
  EXPECT_EQ(CFakeTreePort::Texts(copy->Child(0)->m_hItem), std::vector<std::string>{"Kid"});
  // The copies have their own event nodes, in the records and in the tree.
  ASSERT_EQ(doc.Category(catBirthdays)->ChildCount(), 2u);
  EXPECT_EQ(doc.Category(catBirthdays)->Child(1)->m_pLinked, copy->Child(0));
  EXPECT_EQ(CFakeTreePort::Texts(doc.Category(catBirthdays)->m_hItem),
            (std::vector<std::string>{"Jan", "Jan"}));
  // Never into its own subtree, never onto itself, never with calendar nodes.
  EXPECT_EQ(doc.CopyBranch(family, family->Child(0)->Child(0)), nullptr);
  EXPECT_EQ(doc.CopyBranch(family, family), nullptr);
  EXPECT_EQ(doc.CopyBranch(family, doc.Category(catBirthdays)), nullptr);
  EXPECT_EQ(doc.CopyBranch(doc.Category(catBirthdays)->Child(0), solo), nullptr);
  doc.SetTreeViewPort(nullptr);
}

TEST_F(DocTest, shouldMoveABranchWithoutLeavingStaleCalendarLinks) {
  ASSERT_TRUE(doc.OnOpenDocument(DataPath("store/three-levels.zvd")));
  CFakeTreePort port;
  for (int i = 0; i < doc.m_items.GetSize(); ++i) port.Fill(doc.m_items.GetAt(i));
  doc.SetTreeViewPort(&port);
  CTreeItem* jan = doc.ContactsRoot()->Child(0)->Child(0);
  CTreeItem* solo = doc.ContactsRoot()->Child(1);
  CTreeItem* moved = doc.MoveBranch(jan, solo);
  ASSERT_NE(moved, nullptr);
  EXPECT_EQ(doc.ContactsRoot()->Child(0)->ChildCount(), 0u);
  EXPECT_EQ(ChildLabels(solo), std::vector<std::string>{"Jan"});
  // Every event node links to a live record of the contacts branch.
  ASSERT_EQ(doc.Category(catBirthdays)->ChildCount(), 1u);
  EXPECT_EQ(doc.Category(catBirthdays)->Child(0)->m_pLinked, moved);
  ASSERT_EQ(doc.Category(catAnniversaries)->ChildCount(), 1u);
  EXPECT_EQ(doc.Category(catAnniversaries)->Child(0)->m_pLinked, moved->Child(0));
  EXPECT_EQ(CFakeTreePort::Texts(doc.Category(catBirthdays)->m_hItem),
            std::vector<std::string>{"Jan"});
  EXPECT_TRUE(CFakeTreePort::Texts(doc.ContactsRoot()->Child(0)->m_hItem).empty());
  doc.SetTreeViewPort(nullptr);
}

TEST_F(DocTest, shouldStoreTheCalendarResourceChoiceForTheNextNewOrOpen) {
  doc.OnNewDocument();
  doc.SetCalendarResource("/some/where/Czech.cal");
  EXPECT_EQ(host.settings["Settings/Resource"], "/some/where/Czech.cal");
  EXPECT_EQ(host.messages.back().text,
            "New calendar loaded. To view the current contacts with the new calendar, reopen the "
            "current contacts.");
  EXPECT_EQ(host.messages.back().icon, EMsgIcon::None);
  EXPECT_EQ(doc.ContactsRoot()->m_strLabel, "Kontakty");  // nothing reloaded yet
}

TEST_F(DocTest, shouldFindTheDefaultCalendarInTheInstalledFolder) {
  host.settings.clear();
  doc.OnNewDocument();
  EXPECT_TRUE(host.messages.empty());
  EXPECT_GT(doc.CalNameCount(), 0u);
}

class RecordAppearanceTest : public DocTest {
 protected:
  // "Anna" and "Zdeněk" with birthdays below the "Contacts" root, each with its item and its
  // event node, and a port that shows them.
  void SetUp() override {
    doc.OnNewDocument();
    for (const char* label : {"Anna", "Zdeněk"}) {
      CTreeItem* r = Add(doc.ContactsRoot(), label);
      r->m_bBirthday = 1;
      r->m_dtBirthday = CDateTime(1980, 3, 14);
    }
    doc.BuildEventNodes(doc.ContactsRoot());
    for (int i = 0; i < doc.m_items.GetSize(); ++i) port.Fill(doc.m_items.GetAt(i));
    doc.SetTreeViewPort(&port);
    anna = doc.ContactsRoot()->Child(0);
  }
  void TearDown() override { doc.SetTreeViewPort(nullptr); }

  std::vector<std::string> Contacts() const {
    return CFakeTreePort::Texts(doc.ContactsRoot()->m_hItem);
  }
  std::vector<std::string> Birthdays() const {
    return CFakeTreePort::Texts(doc.Category(catBirthdays)->m_hItem);
  }

  CFakeTreePort port;
  CTreeItem* anna = nullptr;
};

TEST_F(RecordAppearanceTest, shouldRecaptionResortAndRenameEventsAfterALabelChangedInTheForm) {
  anna->m_strLabel = "Řehoř Łukasiewicz";
  const int sorts = port.sorts;
  doc.RecordAppearanceChanged(anna, ERecordChange::Label);
  EXPECT_EQ(Contacts(), (std::vector<std::string>{"Zdeněk", "Řehoř Łukasiewicz"}));
  // The siblings and the birthdays, where the renamed contact has an event node.
  EXPECT_EQ(port.sorts, sorts + 2);
  EXPECT_EQ(Birthdays(), (std::vector<std::string>{"Zdeněk", "Řehoř Łukasiewicz"}));
  EXPECT_TRUE(doc.IsModified());
}

TEST_F(RecordAppearanceTest, shouldKeepTheSiblingsOrderAfterAnInPlaceEdit) {
  anna->m_strLabel = "Ödön Weiß";
  const int sorts = port.sorts;
  doc.RecordAppearanceChanged(anna, ERecordChange::LabelInPlace);
  EXPECT_EQ(Contacts(), (std::vector<std::string>{"Ödön Weiß", "Zdeněk"}));
  EXPECT_EQ(port.sorts, sorts);
  EXPECT_EQ(Birthdays(), (std::vector<std::string>{"Ödön Weiß", "Zdeněk"}));
  EXPECT_TRUE(doc.IsModified());
}

TEST_F(RecordAppearanceTest, shouldChangeOnlyThePictureAfterTheGroupFlagChanged) {
  anna->m_bGroup = 1;
  anna->m_strLabel = "not shown yet";
  doc.RecordAppearanceChanged(anna, ERecordChange::Group);
  EXPECT_EQ(CFakeTreePort::Get(anna->m_hItem)->image, 0);
  EXPECT_EQ(Contacts(), (std::vector<std::string>{"Anna", "Zdeněk"}));
  EXPECT_EQ(doc.Category(catBirthdays)->Child(0)->m_strLabel, "Anna");
  EXPECT_TRUE(doc.IsModified());
  anna->m_bGroup = 0;
  doc.RecordAppearanceChanged(anna, ERecordChange::Group);
  EXPECT_EQ(CFakeTreePort::Get(anna->m_hItem)->image, 1);
}

TEST_F(RecordAppearanceTest, shouldRenameTheEventNodesWithoutATreeView) {
  doc.SetTreeViewPort(nullptr);
  anna->m_strLabel = "Jiří";
  doc.RecordAppearanceChanged(anna, ERecordChange::Label);
  EXPECT_EQ(doc.Category(catBirthdays)->Child(0)->m_strLabel, "Jiří");
  EXPECT_EQ(Contacts(), (std::vector<std::string>{"Anna", "Zdeněk"}));  // no view to tell
  EXPECT_TRUE(doc.IsModified());
  doc.RecordAppearanceChanged(nullptr, ERecordChange::Label);
}
