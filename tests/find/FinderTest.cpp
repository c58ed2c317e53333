#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include "FakeHost.h"
#include "TestUtil.h"
#include "find/Finder.h"
#include "res/CodePage.h"
#include "res/TextFold.h"
#include "store/RecordExtras.h"
#include "store/ZorvanDoc.h"

using namespace zorvan;
using namespace zorvan::test;

namespace {

// A database with a calendar branch:
//   Contacts
//     Smiths (group)            label only
//       John Smith              Prague, birthday set
//       Jane Smith              Brno
//     Doe family (group)        no name fields
//     Bob Jones                 country Prague, title Smith, remark smith
//     Zdeněk Žďárský
//   Calendar
//     Birthdays: John Smith; Anniversaries; Namedays; Calendar: "Karina: 2.1"
class FinderTest : public testing::Test {
 protected:
  FinderTest() : clock(CDateTime(2003, 6, 1, 12, 0, 0)), doc(host) {
    WriteFile(dir / "test.cal", "BEGIN_CALNAMES\n2;1;Karina;\nEND_CALNAMES\n");
    host.settings["Settings/Resource"] = dir / "test.cal";
    doc.OnNewDocument();
    CTreeItem* root = doc.ContactsRoot();
    smiths = Add(root, "Smiths");
    smiths->m_bGroup = 1;
    john = Add(smiths, "John Smith");
    john->m_strFirstName = "John";
    john->m_strLastName = "Smith";
    john->m_strHomeCity = "Prague";
    john->m_bBirthday = 1;
    john->m_dtBirthday = CDateTime(1970, 6, 1);
    jane = Add(smiths, "Jane Smith");
    jane->m_strFirstName = "Jane";
    jane->m_strLastName = "Smith";
    jane->m_strHomeCity = "Brno";
    doe = Add(root, "Doe family");
    doe->m_bGroup = 1;
    bob = Add(root, "Bob Jones");
    bob->m_strFirstName = "Bob";
    bob->m_strLastName = "Jones";
    bob->m_strHomeCountry = "Prague";
    bob->m_strTitle = "Smith";
    bob->m_strRemark = "smith";
    zdenek = Add(root, "Zdeněk Žďárský");
    zdenek->m_strFirstName = "Zdeněk";
    zdenek->m_strLastName = "Žďárský";
    doc.BuildEventNodes(smiths);
  }
  static CTreeItem* Add(CTreeItem* parent, const char* label) {
    auto* r = new CTreeItem;
    r->m_strLabel = label;
    CTreeItem::AddChild(parent, r);
    return r;
  }
  CTreeItem* Find(const CTreeItem* current, EFindDirection direction) {
    return finder.Find(doc.m_items, current, direction);
  }
  std::vector<std::string> FindAllLabels(const CTreeItem* current, EFindDirection direction) {
    std::vector<std::string> labels;
    for (CTreeItem* n : finder.FindAll(doc.m_items, current, direction))
      labels.push_back(n->m_strLabel.str() + (n->m_nKind == kindCalendar ? " (calendar)" : ""));
    return labels;
  }

  CTempDir dir;
  CFixedClock clock;
  CFakeHost host;
  CZorvanDoc doc;
  CFinder finder;
  CTreeItem *smiths, *john, *jane, *doe, *bob, *zdenek;
};

}  // namespace

TEST(FindGroups, shouldJoinEachGroupsFieldsInItsOrderKeepingTheBlanksOfEmptyFields) {
  CTreeItem r;
  r.m_strFirstName = "John";
  r.m_strLastName = "Smith";
  r.m_strNickname = "Jack";
  r.m_strLabel = "JS";
  r.m_strPersonalEmail = "j@home";
  r.m_strBusinessWeb = "w.example";
  r.m_strHomeStreet = "Main 1";
  r.m_strHomePostalCode = "11000";
  r.m_strHomeCountry = "Nowhere";
  r.m_strHomeFax = "2";
  r.m_strPersonalPager = "5";
  r.m_strCompany = "Acme";
  r.m_strOffice = "B12";
  r.m_strBusinessCity = "Brno";
  r.m_strBusinessMobile = "777";
  EXPECT_EQ(JoinedText(r, findName), "John Smith  Jack JS");
  EXPECT_EQ(JoinedText(r, findEmail), "j@home ");
  EXPECT_EQ(JoinedText(r, findWebUrl), " w.example");
  EXPECT_EQ(JoinedText(r, findHomeAddress), "Main 1  11000 ");
  EXPECT_EQ(JoinedText(r, findHomePhone), " 2   5");
  EXPECT_EQ(JoinedText(r, findBusiness), "Acme   B12");
  EXPECT_EQ(JoinedText(r, findWorkAddress), " Brno  ");
  EXPECT_EQ(JoinedText(r, findWorkPhone), "   777 ");
  EXPECT_EQ(JoinedText(r, findNone), "");
  EXPECT_EQ(JoinedText(r, kFindGroupCount), "");
}

TEST(FindLowerCase, shouldAgreeWithTheCodePagesLowerCasingOnAnyText) {
  std::mt19937 rng(4);
  const std::string pieces[] = {"A",    "z",        "Ž", "ď", "Á",
                                "É",    "Ÿ",        "ß", " ", "\xC3",
                                "\x80", "\xE2\x82", "€", "Ω", "\xF0\x9F\x98\x80",
                                "Q"};
  for (ECodePage cp : {ECodePage::Windows1250, ECodePage::Windows1252}) {
    SetActiveCodePage(cp);
    for (int n = 0; n < 2000; ++n) {
      std::string s;
      for (int k = static_cast<int>(rng() % 12); k > 0; --k) s += pieces[rng() % std::size(pieces)];
      std::string out = "x";
      AppendLowerCase(out, s);
      EXPECT_EQ(out, "x" + LowerCase(s)) << s;
    }
  }
  SetActiveCodePage(ECodePage::Windows1250);
}

TEST_F(FinderTest, shouldIgnoreCaseAndFindTextAcrossTheBlankBetweenFields) {
  finder.SetCriterion(0, findName, "smith");
  EXPECT_EQ(Find(nullptr, findFromBeginning), smiths);  // the group's label comes first
  finder.SetCriterion(0, findName, "JOHN SMITH");
  EXPECT_EQ(Find(nullptr, findFromBeginning), john);
  finder.SetCriterion(0, findName, "smith john");
  EXPECT_EQ(Find(nullptr, findFromBeginning), nullptr);
  finder.SetCriterion(0, findName, "žďár");
  EXPECT_EQ(Find(nullptr, findFromBeginning), zdenek);
  finder.SetCriterion(0, findName, "ZDENĚK ŽĎ");
  EXPECT_EQ(Find(nullptr, findFromBeginning), zdenek);
}

TEST_F(FinderTest, shouldFindAGroupByItsLabelAlone) {
  finder.SetCriterion(0, findName, "doe");
  EXPECT_EQ(Find(nullptr, findFromBeginning), doe);
}

TEST_F(FinderTest, shouldRequireEveryActiveCriterion) {
  finder.SetCriterion(0, findName, "smith");
  finder.SetCriterion(1, findHomeAddress, "prague");
  EXPECT_EQ(finder.FindAll(doc.m_items, nullptr, findFromBeginning),
            (std::vector<CTreeItem*>{john, doc.Category(catBirthdays)->Child(0)}));
  finder.SetCriterion(1, findHomeAddress, "brno");
  EXPECT_EQ(Find(nullptr, findFromBeginning), jane);
}

TEST_F(FinderTest, shouldIgnoreACriterionWithoutGroupOrWithoutText) {
  finder.SetCriterion(0, findNone, "smith");
  finder.SetCriterion(1, findName, "");
  EXPECT_FALSE(finder.HasActiveCriterion());
  EXPECT_EQ(Find(nullptr, findFromBeginning), nullptr);
  EXPECT_TRUE(finder.FindAll(doc.m_items, nullptr, findFromBeginning).empty());
  // The ignored criteria do not stand in the way of an active one.
  finder.SetCriterion(2, findName, "jane");
  EXPECT_EQ(Find(nullptr, findFromBeginning), jane);
}

TEST_F(FinderTest, shouldNotSearchCountryTitleOrRemark) {
  finder.SetCriterion(0, findHomeAddress, "prague");
  EXPECT_EQ(Find(nullptr, findFromBeginning), john);  // Bob's Prague is his country
  finder.SetCriterion(0, findName, "smith");
  finder.SetCriterion(1, findName, "bob");
  EXPECT_EQ(Find(nullptr, findFromBeginning), nullptr);
}

// The lines kept from another program's card are searched in the group their property
// belongs to; a work phone is no home phone.
TEST_F(FinderTest, shouldSearchTheKeptPropertiesInTheirGroups) {
  zdenek->m_pExtras = std::make_unique<SRecordExtras>();
  zdenek->m_pExtras->properties = {"item1.TEL;TYPE=WORK:+420 777 1",
                                   "TEL:+30 210 2",
                                   "EMAIL:Νίκος@παράδειγμα.gr",
                                   "NICKNAME:Ζντένεκ",
                                   "X-FOO:+420 777 1",
                                   "ADR;TYPE=work:;;Dlouhá 5;Brno;;;"};
  const std::tuple<EFindGroup, const char*, bool> cases[] = {
      {findWorkPhone, "777 1", true},     {findHomePhone, "777 1", false},
      {findHomePhone, "210 2", true},     {findEmail, "@παράδειγμα", true},
      {findName, "Ζντένεκ", true},        {findWorkAddress, "dlouhá", true},
      {findHomeAddress, "dlouhá", false}, {findBusiness, "777", false},
  };
  for (const auto& [group, text, found] : cases) {
    finder.SetCriterion(0, group, text);
    EXPECT_EQ(Find(nullptr, findFromBeginning), found ? zdenek : nullptr) << text;
  }
}

TEST_F(FinderTest, shouldCountEveryNodeFromTheBeginningRootsAndCurrentIncluded) {
  finder.SetCriterion(0, findName, "contacts");
  EXPECT_EQ(Find(john, findFromBeginning), doc.ContactsRoot());
  finder.SetCriterion(0, findName, "john");
  EXPECT_EQ(Find(john, findFromBeginning), john);  // the current record is found again
  finder.SetCriterion(0, findName, "karina");
  EXPECT_EQ(Find(nullptr, findFromBeginning), doc.Category(catCalNames)->Child(0));
}

TEST_F(FinderTest, shouldSkipTheCurrentRecordAndItsSubtreeAndNotWrapRound) {
  finder.SetCriterion(0, findName, "smith");
  // From the group, its own members are not searched: the next match is John's event node.
  EXPECT_EQ(FindAllLabels(smiths, findFromCurrent),
            (std::vector<std::string>{"John Smith (calendar)"}));
  EXPECT_EQ(FindAllLabels(john, findFromCurrent),
            (std::vector<std::string>{"Jane Smith", "John Smith (calendar)"}));
  // From the last matching contact the search goes on into the calendar branch.
  EXPECT_EQ(Find(jane, findFromCurrent), doc.Category(catBirthdays)->Child(0));
  // From the event node itself nothing follows; the records before it are not searched again.
  EXPECT_EQ(Find(doc.Category(catBirthdays)->Child(0), findFromCurrent), nullptr);
  finder.SetCriterion(0, findName, "jones");
  EXPECT_EQ(Find(zdenek, findFromCurrent), nullptr);
}

TEST_F(FinderTest, shouldSearchEverythingBelowARootThatIsTheCurrentRecord) {
  finder.SetCriterion(0, findName, "a");
  std::vector<std::string> all = FindAllLabels(nullptr, findFromBeginning);
  ASSERT_FALSE(all.empty());
  EXPECT_EQ(all.front(), "Contacts");
  // From the contacts root everything but the root itself counts, the calendar branch too.
  all.erase(all.begin());
  EXPECT_EQ(FindAllLabels(doc.ContactsRoot(), findFromCurrent), all);
  // From the calendar root only the calendar branch below it.
  finder.SetCriterion(0, findName, "smith");
  EXPECT_EQ(FindAllLabels(doc.CalendarRoot(), findFromCurrent),
            (std::vector<std::string>{"John Smith (calendar)"}));
}

TEST_F(FinderTest, shouldCompareEventNodesOnTheirContact) {
  CTreeItem* event = doc.Category(catBirthdays)->Child(0);
  ASSERT_EQ(event->m_pLinked, john);
  event->m_strLabel = "relabelled";  // the node's own fields do not count
  finder.SetCriterion(0, findHomeAddress, "prague");
  EXPECT_TRUE(finder.Matches(*event));
  finder.SetCriterion(0, findName, "relabelled");
  EXPECT_FALSE(finder.Matches(*event));
}

TEST_F(FinderTest, shouldFindNothingFromACurrentRecordOutsideTheTree) {
  CTreeItem stranger;
  finder.SetCriterion(0, findName, "smith");
  EXPECT_EQ(Find(&stranger, findFromCurrent), nullptr);
  EXPECT_EQ(Find(&stranger, findFromBeginning), smiths);
}

TEST(Finder, shouldSearchATreeNestedDeeperThanTheCallStackWouldAllow) {
  CTreeItemArray items;
  auto* root = new CTreeItem;
  items.Add(root);
  CTreeItem* parent = root;
  for (int i = 0; i < 200000; ++i) {
    auto* child = new CTreeItem;
    child->m_strLabel = i == 199999 ? "needle" : "hay";
    CTreeItem::AddChild(parent, child);
    parent = child;
  }
  CFinder finder;
  finder.SetCriterion(0, findName, "needle");
  EXPECT_EQ(finder.Find(items, nullptr, findFromBeginning), parent);
}

// Ignoring accents, the criteria and the fields are compared folded, the kept properties as
// well; minding them, as before, only case is ignored. Switching keeps the criteria given.
TEST_F(FinderTest, shouldIgnoreAccentsOnlyWhenToldTo) {
  zdenek->m_pExtras = std::make_unique<SRecordExtras>();
  zdenek->m_pExtras->properties = {"ADR;TYPE=work:;;Piotrkowska 3;Łódź;;;"};
  const std::tuple<EFindGroup, const char*, CTreeItem*, CTreeItem*> cases[] = {
      // group, text, found ignoring accents, found minding them
      {findName, "zdenek zdarsky", zdenek, nullptr}, {findName, "ZDENĚK ŽĎ", zdenek, zdenek},
      {findName, "žďar", zdenek, nullptr},           {findWorkAddress, "LODZ", zdenek, nullptr},
      {findWorkAddress, "łódź", zdenek, zdenek},     {findName, "smíth", smiths, nullptr},
      {findName, "nobody", nullptr, nullptr},
  };
  for (const auto& [group, text, ignoring, minding] : cases) {
    finder.SetCriterion(0, group, text);
    finder.SetIgnoreAccents(true);
    EXPECT_EQ(Find(nullptr, findFromBeginning), ignoring) << text;
    finder.SetIgnoreAccents(false);
    EXPECT_EQ(Find(nullptr, findFromBeginning), minding) << text;
    EXPECT_EQ(finder.Text(0), text);
  }
}

// The caller's own order: the first and the last match in it, none without criteria.
TEST_F(FinderTest, shouldFindTheFirstAndTheLastMatchInTheOrderGiven) {
  std::vector<CTreeItem*> shown{zdenek, bob, doe, smiths, jane, john};
  // Long enough that the search tests it in more than one batch.
  for (int i = 0; i < 600; ++i) shown.insert(shown.begin(), bob);
  EXPECT_EQ(finder.FirstMatch(shown), nullptr);
  finder.SetIgnoreAccents(true);
  finder.SetCriterion(0, findName, "smith");
  EXPECT_EQ(finder.FirstMatch(shown), smiths);
  EXPECT_EQ(finder.LastMatch(shown), john);
  finder.SetCriterion(0, findName, "ZDARSKY");
  EXPECT_EQ(finder.FirstMatch(shown), zdenek);
  EXPECT_EQ(finder.LastMatch(std::span(shown).first(600)), nullptr);
  EXPECT_EQ(finder.FirstMatch({}), nullptr);
}

// The filter box's key: names, label, e-mails, phones (with their digits alone), company and
// the kept lines of those kinds, folded; the address, title and remark are not in it, and no
// text is found across two fields.
TEST(FilterKey, shouldHoldTheNamesAddressesPhonesAndCompanyFolded) {
  CTreeItem r;
  r.m_strFirstName = "Łucja";
  r.m_strLastName = "Wąsowska";
  r.m_strLabel = "Ciocia Łucja";
  r.m_strPersonalEmail = "lucja@przyklad.pl";
  r.m_strBusinessMobile = "+48 601 234 567";
  r.m_strCompany = "Żabka Polska";
  r.m_strHomeCity = "Łódź";
  r.m_strJobTitle = "Kierowniczka";
  r.m_strRemark = "Ulubiony kolor: zielony";
  r.m_pExtras = std::make_unique<SRecordExtras>();
  r.m_pExtras->properties = {"TEL;TYPE=cell:+48 22 111", "EMAIL:łucja@例子.中国", "NOTE:tajné"};
  const std::tuple<const char*, bool> cases[] = {
      {"lucja wasowska", true}, {"ŁUCJA", true},     {"ciocia", true},      {"przyklad.pl", true},
      {"601 234", true},        {"601234567", true}, {"zabka", true},       {"22 111", true},
      {"@例子", true},          {"lodz", false},     {"kierownicz", false}, {"zielony", false},
      {"tajne", false},         {"pl+48", false},    {"567+48", false},
  };
  const std::string key = FilterKey(r);
  for (const auto& [typed, found] : cases)
    EXPECT_EQ(key.find(FoldedText(typed)) != std::string::npos, found) << typed;
  CTreeItem none;
  none.m_strLabel = "";
  const std::string empty = FilterKey(none);
  EXPECT_EQ(empty.find_first_not_of(" \n"), std::string::npos) << testing::PrintToString(empty);
}
