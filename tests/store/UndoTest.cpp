#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <random>
#include <sstream>
#include <tuple>

#include "FakeHost.h"
#include "FakeTreePort.h"
#include "TestUtil.h"
#include "store/CalendarEvents.h"
#include "store/RecordFields.h"
#include "store/RecordIdentity.h"
#include "store/ZorvanDoc.h"
#include "store/ZvdFile.h"

using namespace zorvan;
using namespace zorvan::test;

namespace {

const char* const kNames[] = {"Šťastný", "Łukasz", "Grüßner", "Αλέξανδρος", "王小明",
                              "Dvořák",  "Żaneta", "Öztürk",  "Ελένη",      "李娜"};

// Everything undo must give back, as text: the file the contacts branch would be saved as (every
// field, the order, the extras), the kept section, the calendar branch (each event node's record
// by its place in the file, its label and group flag), the tree view's items and the flag.
std::string Picture(CZorvanDoc& doc, const CFakeTreePort& port) {
  std::ostringstream out;
  std::string bytes, error;
  EXPECT_TRUE(StoreDatabase(doc.ContactsRoot(), UINT64_MAX, bytes, error));
  out << std::hash<std::string>()(bytes) << ' ' << bytes.size() << '\n';
  if (const std::string* kept = doc.KeptSection("SYNC")) out << "kept " << *kept << '\n';
  std::map<const CTreeItem*, size_t> place;
  ForEachInSubtree(doc.ContactsRoot(), [&](CTreeItem* r) { place.emplace(r, place.size()); });
  for (int c : kEventCategories) {
    out << "category " << c << ':';
    const CTreeItem* category = doc.Category(c);
    for (size_t i = 0; i < category->ChildCount(); ++i) {
      const CTreeItem* e = category->Child(i);
      out << ' ' << place.at(e->m_pLinked) << '/' << e->m_strLabel.view() << '/' << e->m_bGroup;
    }
    out << '\n';
  }
  // The items of each level in the control's order, which is sorted wherever it was asked: as
  // sorted text, each item with its subtree, so that items of one text compare by what is below.
  std::function<std::string(const CFakeTreePort::SItem*, int)> items = [&](const auto* item,
                                                                           int depth) {
    std::vector<std::string> children;
    for (const auto* child : item->children) children.push_back(items(child, depth + 1));
    std::sort(children.begin(), children.end());
    std::string text = std::string(depth, ' ') + item->text + '#' + std::to_string(item->image);
    for (const std::string& child : children) text += '\n' + child;
    return text;
  };
  for (const auto* root : port.roots) out << items(root, 0) << '\n';
  out << "modified " << doc.IsModified() << '\n';
  return out.str();
}

// The first line where two pictures differ, with its number; empty when they are the same.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
  std::istringstream a(expected), b(actual);
  std::string x, y;
  for (int line = 1;; ++line) {
    const bool more = static_cast<bool>(std::getline(a, x)),
               other = static_cast<bool>(std::getline(b, y));
    if (!more && !other) return {};
    if (more == other && x == y) continue;
    const size_t at =
        std::mismatch(x.begin(), x.begin() + std::min(x.size(), y.size()), y.begin()).first -
        x.begin();
    const size_t from = at < 80 ? 0 : at - 80;
    return "line " + std::to_string(line) + ":\n  " + x.substr(from, 200) + "\n  " +
           y.substr(from, 200);
  }
}

class UndoTest : public testing::Test {
 protected:
  UndoTest() : clock(CDateTime(2026, 12, 10, 9, 0, 0)), identities(1797000000), doc(host) {
    doc.OnNewDocument();
    doc.History().SetLimits(100000, SIZE_MAX);
  }

  // size contacts in groups of 20, every third with a birthday, every fifth with a nameday and
  // an identity; the tree view's items made for all of them.
  void Fill(size_t size) {
    CTreeItem* group = nullptr;
    for (size_t i = 0; i < size; ++i) {
      if (i % 20 == 0) {
        group = new CTreeItem(CText("Skupina " + std::to_string(i / 20)));
        group->m_bGroup = 1;
        CTreeItem::AddChild(doc.ContactsRoot(), group);
      }
      auto* r = new CTreeItem(CText(std::string(kNames[i % 10]) + " " + std::to_string(i)));
      r->m_strLastName = kNames[(i + 3) % 10];
      r->m_bBirthday = i % 3 == 0;
      r->m_dtBirthday = CDateTime(1970 + static_cast<int>(i % 40), 1 + i % 12, 1 + i % 28);
      r->m_bNameDay = i % 5 == 0;
      r->m_dtNameDay = CDateTime(2000, 1 + i % 12, 2 + i % 27);
      if (i % 5 == 0) {
        r->m_pExtras = std::make_unique<SRecordExtras>();
        r->m_pExtras->uid = "urn:uuid:" + std::to_string(i);
        r->m_pExtras->rev = "20250101T000000Z";
      }
      CTreeItem::AddChild(i % 7 == 0 ? doc.ContactsRoot() : group, r);
    }
    for (CTreeItem* root : {doc.ContactsRoot(), doc.CalendarRoot()}) ClearItems(root);
    doc.BuildEventNodes(doc.ContactsRoot());
    port.Fill(doc.ContactsRoot());
    port.Fill(doc.CalendarRoot());
    doc.SetTreeViewPort(&port);
  }
  static void ClearItems(CTreeItem* root) {
    ForEachInSubtree(root, [](CTreeItem* n) { n->m_hItem = nullptr; });
  }

  CTreeItem* FirstGroup() {
    CTreeItem* root = doc.ContactsRoot();
    for (size_t i = 0; i < root->ChildCount(); ++i)
      if (root->Child(i)->ChildCount() > 10) return root->Child(i);
    return root;
  }
  std::vector<CTreeItem*> Records() {
    std::vector<CTreeItem*> all;
    for (size_t i = 0; i < doc.ContactsRoot()->ChildCount(); ++i)
      ForEachInSubtree(doc.ContactsRoot()->Child(i), [&](CTreeItem* r) { all.push_back(r); });
    return all;
  }

  CFixedClock clock;
  CFixedIdentityClock identities;
  CFakeHost host;
  CFakeTreePort port;
  CZorvanDoc doc;
};

// The operations the window and the synchronisation make, each as the user's step.
class COperations {
 public:
  COperations(CZorvanDoc& doc, CFakeHost& host, std::mt19937& random)
      : m_doc(doc), m_host(host), m_random(random) {}

  void Any(const std::vector<CTreeItem*>& records) {
    CTreeItem* r = records.empty() ? m_doc.ContactsRoot() : records[Pick(records.size())];
    switch (Pick(12)) {
      case 0:
      case 1:
        return Type(r);
      case 2:
        return Relabel(r);
      case 3:
        return Edit(r, EStepKind::group, [](CTreeItem& x) { x.m_bGroup = !x.m_bGroup; });
      case 4:
        return Edit(r, EStepKind::photo, [this](CTreeItem& x) { Extras(x); });
      case 5:
        m_doc.CreateRecord(Pick(2) ? r : m_doc.ContactsRoot());
        return;
      case 6:
        m_host.answers.push_back(true);
        m_doc.DeleteNode(r);
        return;
      case 7:
        return DeleteEvent();
      case 8:
      case 9: {
        CTreeItem* target = records.empty() ? r : records[Pick(records.size())];
        if (Pick(2))
          m_doc.MoveBranch(r, target);
        else
          m_doc.CopyBranch(r, target);
        return;
      }
      case 10:
        return Import();
      default:
        return Sync(records);
    }
  }

 private:
  size_t Pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(m_random); }
  std::string Text() { return std::string(kNames[Pick(10)]) + std::to_string(Pick(1000)); }

  template <typename F>
  void Edit(CTreeItem* r, EStepKind kind, F&& change, const void* key = nullptr) {
    if (!r->m_pParent) return;
    auto step = m_doc.BeginChange({kind, r->m_strLabel.str()}, key, r);
    m_doc.RecordWillChange(r);
    change(*r);
    TouchRecord(*r);
    m_doc.SyncEventNodes(r);
    m_doc.RecordAppearanceChanged(
        r, kind == EStepKind::relabel ? ERecordChange::Label : ERecordChange::Group);
  }
  // A few keystrokes in one box, one step; sometimes a date set or cleared with them.
  void Type(CTreeItem* r) {
    // The label changes through its own box, with its caption and event nodes.
    const SRecordField& field = kRecordFields[Pick(kRecordFieldCount)];
    if (field.pText == &CContactData::m_strLabel) return Relabel(r);
    for (size_t keys = 1 + Pick(4); keys-- > 0;) {
      Edit(
          r, EStepKind::edit,
          [&](CTreeItem& x) {
            if (field.pText) x.*field.pText = (x.*field.pText).str() + Text().substr(0, 2);
            if (field.type == EFieldType::date) x.*field.pNumber = !(x.*field.pNumber);
          },
          &field);
    }
  }
  void Relabel(CTreeItem* r) {
    Edit(r, EStepKind::relabel, [this](CTreeItem& x) { x.m_strLabel = Text(); });
  }
  void Extras(CTreeItem& x) {
    if (!x.m_pExtras) x.m_pExtras = std::make_unique<SRecordExtras>();
    x.m_pExtras->photoType = "image/png";
    x.m_pExtras->photo = "\x89PNG\r\n\x1A\n" + Text();
    x.m_pExtras->properties.push_back("CATEGORIES:" + Text());
  }
  void DeleteEvent() {
    CTreeItem* category = m_doc.Category(static_cast<int>(Pick(3)));
    if (category->ChildCount() != 0)
      m_doc.DeleteNode(category->Child(Pick(category->ChildCount())));
  }
  std::unique_ptr<CTreeItem> Branch() {
    auto group = std::make_unique<CTreeItem>(CText("Import " + Text()));
    group->m_bGroup = 1;
    for (size_t i = 0, n = 1 + Pick(5); i < n; ++i) {
      auto* r = new CTreeItem(CText(Text()));
      r->m_bAnniversary = 1;
      r->m_dtAnniversary = CDateTime(2001, 1 + static_cast<int>(Pick(12)), 3);
      CTreeItem::AddChild(group.get(), r);
    }
    return group;
  }
  void Import() {
    if (Pick(2)) {
      m_doc.AppendImportedBranch(m_doc.ContactsRoot(), Branch());
      return;
    }
    const size_t before = m_doc.ContactsRoot()->ChildCount();
    for (size_t i = 0, n = 1 + Pick(4); i < n; ++i) {
      auto* r = new CTreeItem(CText(Text()));
      r->m_bBirthday = 1;
      r->m_nKind = kindContacts;
      m_doc.AppendImportedRecord(r);
    }
    m_doc.CompleteImport(before);
  }
  // What a synchronisation does here: its state, a card changed, one deleted, one new.
  void Sync(const std::vector<CTreeItem*>& records) {
    auto step = m_doc.BeginChange({EStepKind::sync, "Práce"});
    m_doc.SetKeptSection("SYNC", Pick(4) ? "token " + Text() : std::string());
    if (records.size() < 2) return;
    CTreeItem* changed = records[Pick(records.size())];
    Edit(changed, EStepKind::edit, [this](CTreeItem& x) { x.m_strRemark = Text(); });
    CTreeItem* gone = records[Pick(records.size())];
    if (gone != changed) m_doc.RemoveBranch(gone);
    m_doc.AppendImportedBranch(m_doc.ContactsRoot(), Branch());
  }

  CZorvanDoc& m_doc;
  CFakeHost& m_host;
  std::mt19937& m_random;
};

}  // namespace

// A thousand changes of every kind, some undone and redone on the way, all undone give the
// database it started from, and all redone the one they ended with.
TEST_F(UndoTest, shouldGiveBackTheStartAndTheEndOfAThousandChanges) {
  Fill(1000);
  const std::string start = Picture(doc, port);
  std::mt19937 random(20261210);
  COperations operations(doc, host, random);
  for (int i = 0; i < 1000; ++i) {
    operations.Any(Records());
    if (random() % 10 == 0) {
      const int back = 1 + static_cast<int>(random() % 3);
      for (int k = 0; k < back; ++k) doc.Undo();
      for (int k = 0; k < back - 1; ++k) doc.Redo();
    }
  }
  const std::string end = Picture(doc, port);
  ASSERT_NE(start, end);
  size_t steps = 0;
  while (doc.CanUndo()) {
    doc.Undo();
    ++steps;
  }
  EXPECT_GT(steps, 700u);
  EXPECT_EQ(FirstDifference(start, Picture(doc, port)), "");
  while (doc.CanRedo()) doc.Redo();
  EXPECT_EQ(FirstDifference(end, Picture(doc, port)), "");
}

TEST_F(UndoTest, shouldNameStepsAndMergeTypingInOneBox) {
  Fill(20);
  CTreeItem* r = FirstGroup()->Child(0);
  const int box = 0, otherBox = 0;
  auto type = [&](const void* key, const char* text) {
    auto step = doc.BeginChange({EStepKind::edit, r->m_strLabel.str()}, key, r);
    doc.RecordWillChange(r);
    r->m_strFirstName = text;
  };
  type(&box, "Ž");
  type(&box, "Že");
  type(&box, "Žeň");
  type(&otherBox, "x");
  doc.EndMerging();
  type(&otherBox, "xy");
  ASSERT_EQ(doc.History().Steps(), 3u);
  EXPECT_EQ(doc.UndoName()->kind, EStepKind::edit);
  EXPECT_EQ(doc.UndoName()->label, r->m_strLabel.str());
  doc.Undo();
  EXPECT_EQ(r->m_strFirstName, "x");
  doc.Undo();
  EXPECT_EQ(r->m_strFirstName, "Žeň");
  EXPECT_EQ(doc.Undo(), r);
  EXPECT_EQ(r->m_strFirstName, "");
  EXPECT_FALSE(doc.CanUndo());
  ASSERT_NE(doc.RedoName(), nullptr);

  host.answers.push_back(true);
  CTreeItem* group = FirstGroup();
  ASSERT_TRUE(doc.DeleteNode(group));
  EXPECT_FALSE(doc.CanRedo());
  EXPECT_EQ(doc.UndoName()->kind, EStepKind::remove);
  EXPECT_EQ(doc.UndoName()->contacts, group->ChildCount());
}

// The flag is clear where the file was saved, also after undoing past it and redoing back; a
// change that is no step (outside any) leaves no way back to the saved state.
TEST_F(UndoTest, shouldClearTheModifiedFlagAtTheSavedState) {
  Fill(20);
  CTempDir dir;
  CTreeItem* r = FirstGroup()->Child(0);
  doc.CreateRecord(doc.ContactsRoot());
  ASSERT_TRUE(doc.OnSaveDocument(dir / "kontakty.zvd").Ok());
  doc.CreateRecord(r);
  EXPECT_TRUE(doc.IsModified());
  doc.Undo();
  EXPECT_FALSE(doc.IsModified());
  doc.Undo();
  EXPECT_TRUE(doc.IsModified());
  doc.Redo();
  EXPECT_FALSE(doc.IsModified());
  r->m_strRemark = "změna bez kroku";
  doc.SetModifiedFlag();
  doc.CreateRecord(r);
  doc.Undo();
  EXPECT_TRUE(doc.IsModified());
}

// The oldest steps go once the history keeps more than its memory; the newest stays however
// large. Keeping nothing frees what a deletion took out at once.
TEST_F(UndoTest, shouldKeepToItsMemory) {
  Fill(400);
  doc.History().SetLimits(100, 4 << 10);
  for (int i = 0; i < 3; ++i) {
    host.answers.push_back(true);
    ASSERT_TRUE(doc.DeleteNode(FirstGroup()));
  }
  EXPECT_EQ(doc.History().Steps(), 1u);
  EXPECT_GT(doc.History().Bytes(), size_t{4} << 10);
  doc.History().SetLimits(100, 1 << 20);
  for (int i = 0; i < 150; ++i) doc.CreateRecord(doc.ContactsRoot());
  EXPECT_EQ(doc.History().Steps(), 100u);
  EXPECT_LE(doc.History().Bytes(), size_t{1} << 20);
  doc.History().SetLimits(0, 0);
  EXPECT_EQ(doc.History().Steps(), 0u);
  host.answers.push_back(true);
  ASSERT_TRUE(doc.DeleteNode(FirstGroup()));
  EXPECT_FALSE(doc.CanUndo());
}
