// The extension trailer after the last record: texts the code page cannot hold come back
// exactly, a database without them stays the older layout, and a trailer that is damaged or
// belongs to other records is ignored with its reason while the records still load.
#include <gtest/gtest.h>

#include <cctype>
#include <utility>

#include "FakeHost.h"
#include "TestUtil.h"
#include "store/ExtensionTrailer.h"
#include "store/ZorvanDoc.h"
#include "store/ZvdFile.h"
#include "store/ZvdRecordReader.h"

using namespace zorvan;
using namespace zorvan::test;

namespace {

std::string Fixture(const std::string& name) { return ReadFile(DataPath("store/" + name)); }

bool Load(std::string_view bytes, CTreeItem& root, SZvdExtras& extras, std::string& error) {
  root.m_nKind = kindContacts;
  return LoadDatabase(bytes, root, error, &extras);
}

// The bytes before the trailer, as a reader of the records alone takes the file.
std::string RecordsPart(const std::string& file) {
  const size_t at = file.find(zvd_trailer::kMagic);
  return at == std::string::npos ? file : file.substr(0, at);
}

struct SText {
  CTextField CContactData::*field;
  const char* utf8;
  const char* ansiForm;  // as the code page gives it, read without the trailer
};

const SText kTexts[] = {
    {&CContactData::m_strFirstName, "Νίκος", "?????"},
    {&CContactData::m_strLastName, "Παπαδόπουλος", "????????????"},
    {&CContactData::m_strCompany, "王小明有限公司", "???????"},
    {&CContactData::m_strNickname, "Бетти", "?????"},
    {&CContactData::m_strHomeCity, "Tromsø", "Troms?"},
    {&CContactData::m_strRemark, "Řádek 1\r\nΣημείωση 😀", "Řádek 1\r\n???????? ?"},
    {&CContactData::m_strLabel, "Jiří Dvořák", "Jiří Dvořák"},  // the code page holds it
};

class ExtensionTrailer : public testing::Test {
 protected:
  ExtensionTrailer() : doc(host) {
    host.settings["Settings/Resource"] = dir / "none.cal";
    doc.OnNewDocument();
  }

  CTreeItem* Add(CTreeItem* parent) {
    auto* r = new CTreeItem;
    CTreeItem::AddChild(parent, r);
    return r;
  }

  CTempDir dir;
  const std::string path = dir / "kontakty.zvd";
  CFakeHost host;
  CZorvanDoc doc;
};

}  // namespace

TEST_F(ExtensionTrailer, shouldBringBackEveryTextAfterSaveAndOpenWithTheQuestionMarksBelow) {
  // A group with one contact per text, the last one nested a level deeper.
  CTreeItem* group = Add(doc.ContactsRoot());
  group->m_strLabel = "Přátelé";
  group->m_bGroup = 1;
  CTreeItem* parent = group;
  for (const SText& t : kTexts) {
    CTreeItem* r = Add(parent);
    r->*t.field = t.utf8;
    parent = t.field == &CContactData::m_strNickname ? r : group;
  }
  const CStatus saved = doc.OnSaveDocument(path);
  ASSERT_TRUE(saved) << saved.Reason();
  const CStatus opened = doc.OnOpenDocument(path);
  ASSERT_TRUE(opened) << opened.Reason();
  EXPECT_EQ(doc.TrailerNote(), "");

  CTreeItem base;
  SZvdExtras baseExtras;
  std::string error;
  ASSERT_TRUE(Load(RecordsPart(ReadFile(path)), base, baseExtras, error)) << error;
  EXPECT_FALSE(baseExtras.hasTrailer);
  std::vector<const CTreeItem*> reopened, older;
  for (const CTreeItem* root :
       {static_cast<const CTreeItem*>(doc.ContactsRoot()), static_cast<const CTreeItem*>(&base)}) {
    auto& list = root == &base ? older : reopened;
    WalkSubtreeWhile(*root->Child(0), [&list](const CTreeItem& r, size_t depth) {
      if (depth > 0) list.push_back(&r);
      return true;
    });
  }
  ASSERT_EQ(reopened.size(), std::size(kTexts));
  ASSERT_EQ(older.size(), std::size(kTexts));
  for (size_t i = 0; i < std::size(kTexts); ++i) {
    EXPECT_EQ(reopened[i]->*kTexts[i].field, kTexts[i].utf8);
    EXPECT_EQ(older[i]->*kTexts[i].field, kTexts[i].ansiForm);
  }
  EXPECT_EQ(doc.ContactsRoot()->Child(0)->m_strLabel, "Přátelé");
}

TEST_F(ExtensionTrailer, shouldWriteTheOlderLayoutAloneWhenEveryTextFitsTheCodePage) {
  CTreeItem* r = Add(doc.ContactsRoot());
  r->m_strFirstName = "Bетти";  // a Latin "B" before Cyrillic letters
  const std::string withTrailer = StoreDatabase(doc.ContactsRoot());
  EXPECT_NE(withTrailer.find(zvd_trailer::kMagic), std::string::npos);
  // Its records are those of the "?" form, written without a trailer.
  r->m_strFirstName = "B????";
  EXPECT_EQ(StoreDatabase(doc.ContactsRoot()), RecordsPart(withTrailer));
  // Texts of the code page's letters: no trailer, and reading gives the same file again.
  r->m_strFirstName = "Łucja Żółć";
  r->m_strLastName = "Straße";
  const std::string plain = StoreDatabase(doc.ContactsRoot());
  EXPECT_EQ(plain.find(zvd_trailer::kMagic), std::string::npos);
  CTreeItem back;
  SZvdExtras extras;
  std::string error;
  ASSERT_TRUE(Load(plain, back, extras, error)) << error;
  EXPECT_FALSE(extras.hasTrailer);
  EXPECT_EQ(StoreDatabase(&back), plain);
}

TEST_F(ExtensionTrailer, shouldKeepTheExtrasThroughSaveOpenAndMoveButGiveACopyNoIdentity) {
  CTreeItem* group = Add(doc.ContactsRoot());
  group->m_bGroup = 1;
  CTreeItem* jiri = Add(group);
  jiri->m_strLabel = "Jiří Dvořák";
  jiri->m_pExtras = std::make_unique<SRecordExtras>();
  jiri->m_pExtras->uid = "urn:uuid:7d3e1f0a-2b4c-4d5e-8f90-a1b2c3d4e5f6";
  jiri->m_pExtras->rev = "20261208T120000Z";
  jiri->m_pExtras->properties = {"CATEGORIES:Rodina,Přátelé"};
  Add(doc.ContactsRoot())->m_strLabel = "Paweł";
  ASSERT_TRUE(doc.OnSaveDocument(path));
  // Identities alone make a trailer, and the records themselves are the older layout's.
  const std::string file = ReadFile(path);
  EXPECT_NE(file.find(zvd_trailer::kMagic), std::string::npos);
  jiri->m_pExtras.reset();
  EXPECT_EQ(StoreDatabase(doc.ContactsRoot()), RecordsPart(file));

  ASSERT_TRUE(doc.OnOpenDocument(path));
  CTreeItem* opened = doc.ContactsRoot()->Child(0)->Child(0);
  ASSERT_NE(opened->m_pExtras, nullptr);
  EXPECT_EQ(opened->m_pExtras->uid, "urn:uuid:7d3e1f0a-2b4c-4d5e-8f90-a1b2c3d4e5f6");
  EXPECT_EQ(opened->m_pExtras->rev, "20261208T120000Z");
  EXPECT_EQ(doc.ContactsRoot()->Child(1)->m_pExtras, nullptr);

  CTreeItem* pawel = doc.ContactsRoot()->Child(1);
  CTreeItem* copy = doc.CopyBranch(doc.ContactsRoot()->Child(0), pawel);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->Child(0)->m_strLabel, "Jiří Dvořák");
  ASSERT_NE(copy->Child(0)->m_pExtras, nullptr) << "a copy holds the same properties";
  EXPECT_EQ(copy->Child(0)->m_pExtras->uid, "") << "a copy is another contact";
  EXPECT_EQ(copy->Child(0)->m_pExtras->properties, opened->m_pExtras->properties);
  CTreeItem* moved = doc.MoveBranch(doc.ContactsRoot()->Child(0), pawel);
  ASSERT_NE(moved, nullptr);
  ASSERT_NE(moved->Child(0)->m_pExtras, nullptr) << "a move is the same contact";
  EXPECT_EQ(moved->Child(0)->m_pExtras->uid, "urn:uuid:7d3e1f0a-2b4c-4d5e-8f90-a1b2c3d4e5f6");
}

TEST(ExtensionTrailerFile, shouldReadTheHandMadeFixtureAndWriteItAgainByteForByte) {
  const std::string bytes = Fixture("trailer-texts.zvd");
  CTreeItem root;
  SZvdExtras extras;
  std::string error;
  ASSERT_TRUE(Load(bytes, root, extras, error)) << error;
  EXPECT_TRUE(extras.hasTrailer);
  EXPECT_EQ(extras.ignored, "");
  EXPECT_EQ(extras.extendedRecords, 4u);
  const CTreeItem& jan = *root.Child(0)->Child(0);
  ASSERT_NE(jan.m_pExtras, nullptr);
  EXPECT_EQ(jan.m_pExtras->uid, "νίκος-παπαδόπουλος@example.gr");
  EXPECT_EQ(jan.m_pExtras->rev, "20261208T120000Z");
  ASSERT_NE(root.Child(0)->m_pExtras, nullptr);
  EXPECT_EQ(root.Child(0)->m_pExtras->uid, "urn:uuid:0b6f3a52-8d1e-4c7a-9f21-5e3d7c9a1b40");
  EXPECT_EQ(jan.Child(0)->m_pExtras, nullptr);  // only the records that have extras hold any
  EXPECT_EQ(jan.m_strFirstName, "Νίκος");
  EXPECT_EQ(jan.m_strLabel, "Νίκος Παπαδόπουλος");
  EXPECT_EQ(jan.Child(0)->m_strFirstName, "王小明");
  EXPECT_EQ(jan.Child(0)->m_strLabel, "Kid");
  EXPECT_EQ(root.Child(1)->m_strLabel, "Бетти");
  // Jan's photo and kept properties, and Бетти's.
  EXPECT_EQ(jan.m_pExtras->photoType, "image/png");
  EXPECT_TRUE(jan.m_pExtras->photo.starts_with("\x89PNG\r\n"));
  EXPECT_EQ(jan.m_pExtras->properties, (std::vector<std::string>{"CATEGORIES:Přátelé,Rodina",
                                                                 "TEL;TYPE=CELL:+30 210 1234567"}));
  ASSERT_NE(root.Child(1)->m_pExtras, nullptr);
  EXPECT_EQ(root.Child(1)->m_pExtras->properties,
            std::vector<std::string>{"X-SOCIALPROFILE;TYPE=twitter:@betty"});
  EXPECT_EQ(root.Child(1)->m_pExtras->photo, "");
  // The sections of other tags are kept as they were, in their order.
  ASSERT_EQ(extras.kept.size(), 2u);
  EXPECT_EQ(extras.kept[0],
            (zvd_trailer::SSection{"NOTE", "Poznámka, kterou čte jen novější program"}));
  EXPECT_EQ(extras.kept[1], (zvd_trailer::SSection{"ZZZZ", std::string("\0\1\2", 3)}));
  EXPECT_EQ(StoreDatabase(&root, extras.kept), bytes);
}

TEST_F(ExtensionTrailer, shouldKeepUnknownSectionsThroughOpenAndSave) {
  WriteFile(path, Fixture("trailer-texts.zvd"));
  ASSERT_TRUE(doc.OnOpenDocument(path));
  doc.ContactsRoot()->Child(1)->m_strLabel = "Betty";  // the only text outside the code page
  ASSERT_TRUE(doc.OnSaveDocument(path));
  CTreeItem root;
  SZvdExtras extras;
  std::string error;
  ASSERT_TRUE(Load(ReadFile(path), root, extras, error)) << error;
  EXPECT_EQ(extras.ignored, "");
  EXPECT_EQ(extras.extendedRecords, 4u);  // Betty keeps her kept property
  ASSERT_EQ(extras.kept.size(), 2u);
  EXPECT_EQ(extras.kept[0].tag, "NOTE");
  EXPECT_EQ(extras.kept[1].payload, std::string("\0\1\2", 3));
  EXPECT_EQ(root.Child(1)->m_strLabel, "Betty");
}

namespace {

struct SDamagedTrailer {
  const char* file;
  const char* reason;
};

void PrintTo(const SDamagedTrailer& d, std::ostream* os) { *os << d.file; }

}  // namespace

class DamagedTrailer : public testing::TestWithParam<SDamagedTrailer> {};

TEST_P(DamagedTrailer, shouldLoadTheRecordsAndIgnoreTheTrailerWithItsReason) {
  const std::string bytes = Fixture(GetParam().file);
  CTreeItem root;
  SZvdExtras extras;
  std::string error;
  ASSERT_TRUE(Load(bytes, root, extras, error)) << error;
  EXPECT_TRUE(extras.hasTrailer);
  EXPECT_EQ(extras.ignored, GetParam().reason);
  EXPECT_EQ(extras.extendedRecords, 0u);
  EXPECT_TRUE(extras.kept.empty());
  ASSERT_EQ(root.ChildCount(), 2u);
  ASSERT_EQ(root.Child(0)->ChildCount(), 1u);
  EXPECT_EQ(root.Child(0)->Child(0)->m_strLabel, "????? ????????????");
  EXPECT_EQ(root.Child(0)->Child(0)->Child(0)->m_strFirstName, "???");
  WalkSubtreeWhile(std::as_const(root), [](const CTreeItem& r) {
    EXPECT_EQ(r.m_pExtras, nullptr) << r.m_strLabel;
    return true;
  });
  // A save writes the records alone: the ignored trailer is not carried on.
  EXPECT_EQ(StoreDatabase(&root), RecordsPart(bytes));

  // The document opens it as well and keeps the reason for the window.
  CTempDir dir;
  CFakeHost host;
  host.settings["Settings/Resource"] = dir / "none.cal";
  CZorvanDoc doc(host);
  WriteFile(dir / "damaged.zvd", bytes);
  ASSERT_TRUE(doc.OnOpenDocument(dir / "damaged.zvd"));
  EXPECT_EQ(doc.TrailerNote(), GetParam().reason);
  ASSERT_TRUE(doc.OnSaveDocument(dir / "damaged.zvd"));
  EXPECT_EQ(doc.TrailerNote(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, DamagedTrailer,
    testing::Values(
        SDamagedTrailer{"trailer-cut.zvd", "it is cut short"},
        SDamagedTrailer{"trailer-magic-only.zvd", "it is cut short"},
        SDamagedTrailer{"trailer-bad-crc.zvd", "it has a wrong checksum"},
        SDamagedTrailer{"trailer-unknown-version.zvd", "it has the unknown version 2"},
        SDamagedTrailer{"trailer-wrong-count.zvd",
                        "it does not match its records: it belongs to 5 records, and the file "
                        "holds 4"},
        SDamagedTrailer{"trailer-section-too-long.zvd",
                        "a section in it is longer than the trailer"},
        SDamagedTrailer{"trailer-other-records.zvd",
                        "it does not match its records: they were written again without it"},
        SDamagedTrailer{"trailer-text-beyond-records.zvd", "a text in it belongs to no record"},
        SDamagedTrailer{"trailer-identity-beyond-records.zvd",
                        "an identity in it belongs to no record"},
        SDamagedTrailer{"trailer-identity-too-long.zvd",
                        "an identity in it is longer than its section"},
        SDamagedTrailer{"trailer-photo-beyond-records.zvd", "a photo in it belongs to no record"},
        SDamagedTrailer{"trailer-properties-too-many.zvd",
                        "a property list in it is longer than its section"},
        SDamagedTrailer{"trailer-text-in-a-number.zvd",
                        "a text in it belongs to a field that holds no text"}),
    [](const testing::TestParamInfo<SDamagedTrailer>& fixture) {
      std::string name;
      for (const char* c = fixture.param.file; *c && *c != '.'; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
      return name;
    });

TEST(ExtensionTrailerFile, shouldLoadTheRecordsAtEveryCutOfTheTrailer) {
  const std::string bytes = Fixture("trailer-texts.zvd");
  const size_t records = RecordsPart(bytes).size();
  for (size_t n = records; n < bytes.size(); ++n) {
    CTreeItem root;
    SZvdExtras extras;
    std::string error;
    ASSERT_TRUE(Load(bytes.substr(0, n), root, extras, error)) << n << ": " << error;
    // Part of the magic is no trailer; from the magic on, the trailer is ignored as cut.
    EXPECT_EQ(extras.hasTrailer, n >= records + zvd_trailer::kMagic.size()) << n;
    EXPECT_EQ(extras.ignored, extras.hasTrailer ? "it is cut short" : "") << n;
    EXPECT_EQ(root.Child(1)->m_strLabel, "?????") << n;
  }
}

TEST(ExtensionTrailerFile, shouldGiveTheWalkingReaderItsTextsUnlessIgnored) {
  CZvdRecordReader::CFieldSet fields;
  fields.set(fieldLabel);
  fields.set(fieldNickname);
  for (const auto& [file, utf8] : std::vector<std::pair<std::string, std::vector<std::string>>>{
           {"trailer-texts.zvd", {"-", "Νίκος Παπαδόπουλος", "-", "Бетти"}},
           {"trailer-bad-crc.zvd", {"-", "-", "-", "-"}},
           {"trailer-other-records.zvd", {"-", "-", "-", "-"}}}) {
    std::vector<std::string> labels, texts;
    std::string error;
    ASSERT_TRUE(CZvdRecordReader(fields).Read(
        Fixture(file),
        [&](const CZvdRecord& r) {
          labels.emplace_back(r.Ansi(fieldLabel));
          texts.emplace_back(r.Utf8(fieldLabel) ? *r.Utf8(fieldLabel) : "-");
          // The first names were not asked for, so their texts are not handed over.
          EXPECT_EQ(r.Utf8(fieldFirstName), nullptr);
          EXPECT_EQ(r.HasUtf8(), texts.back() != "-");
        },
        error))
        << error;
    EXPECT_EQ(labels[1], "????? ????????????") << file;
    EXPECT_EQ(texts, utf8) << file;
  }
}

// The copy for the older program: the records exactly as a file had them before trailers
// existed, whatever texts, identities and kept sections the database holds.
TEST(ExtensionTrailerFile, shouldStoreTheBaseFormatAloneAsTheRecordsPartOfTheFullFile) {
  for (const char* name : {"trailer-texts.zvd", "one-record.zvd", "three-levels.zvd"}) {
    const std::string file = Fixture(name);
    CTreeItem root;
    SZvdExtras extras;
    std::string error;
    ASSERT_TRUE(Load(file, root, extras, error)) << name << ": " << error;
    ASSERT_EQ(StoreDatabase(&root, extras.kept), file) << name;
    const std::string base = StoreDatabase(&root, extras.kept, EZvdTrailer::none);
    EXPECT_EQ(base, RecordsPart(file)) << name;
    std::string bounded;
    ASSERT_TRUE(StoreDatabase(&root, base.size(), bounded, error, EZvdTrailer::none)) << error;
    EXPECT_EQ(bounded, base) << name;
    EXPECT_FALSE(StoreDatabase(&root, base.size() - 1, bounded, error, EZvdTrailer::none)) << name;
  }
}

TEST_F(ExtensionTrailer, shouldSaveACopyInTheBaseFormatAndLeaveTheDocumentAsItWas) {
  CTreeItem* r = Add(doc.ContactsRoot());
  for (const SText& t : kTexts) r->*t.field = t.utf8;
  r->m_pExtras = std::make_unique<SRecordExtras>();
  r->m_pExtras->uid = "urn:uuid:7d3e1f0a-2b4c-4d5e-8f90-a1b2c3d4e5f6";
  ASSERT_TRUE(doc.OnSaveDocument(path));
  doc.ContactsRoot()->Child(0)->m_strNickname = "Σοφία";
  doc.SetModifiedFlag();
  const std::string copy = dir / "kopie.zvd";
  const CStatus saved = doc.SaveBaseCopy(copy);
  ASSERT_TRUE(saved) << saved.Reason();
  const std::string full = StoreDatabase(doc.ContactsRoot());
  EXPECT_NE(full.find(zvd_trailer::kMagic), std::string::npos);
  EXPECT_EQ(ReadFile(copy), RecordsPart(full));
  EXPECT_EQ(doc.GetPathName(), path);
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(doc.ContactsRoot()->Child(0)->m_strNickname, "Σοφία");
  ASSERT_NE(doc.ContactsRoot()->Child(0)->m_pExtras, nullptr);
  // A copy too large to be read again is not written.
  doc.SetMaxFileBytes(RecordsPart(full).size() - 1);
  EXPECT_FALSE(doc.SaveBaseCopy(dir / "zu-gross.zvd"));
}

// A save hands the file to the disk in pieces: the records, the trailer's small values a
// buffer's worth at a time, and each long text or photo as the record holds it. What reaches
// the disk is the very file the whole-file writer makes, on either side of the bounds where a
// photo stops being gathered and where the gathered buffer is passed on; a save over the size
// limit leaves the file as it was.
TEST_F(ExtensionTrailer, shouldSaveInPiecesTheSameBytesAsTheWholeFile) {
  struct SShape {
    int records;
    size_t photoBytes;  // 0: no photos
    int photoEvery;
  };
  for (const SShape s : {SShape{1, 0, 1}, SShape{3, 4095, 1}, SShape{3, 4096, 2},
                         SShape{2500, 20000, 100}, SShape{2500, 100, 7}}) {
    const std::string shape = std::to_string(s.records) + " records, photos of " +
                              std::to_string(s.photoBytes) + " bytes";
    doc.OnNewDocument();
    doc.SetMaxFileBytes(std::uint64_t{1} << 32);
    for (int i = 0; i < s.records; ++i) {
      CTreeItem* r = Add(doc.ContactsRoot());
      r->m_strLastName = i % 2 ? "Dvořák" : "Παπαδόπουλος";
      r->m_strFirstName = i % 3 ? "Łucja" : "王小明";
      r->m_pExtras = std::make_unique<SRecordExtras>();
      r->m_pExtras->uid = "urn:uuid:7d3e1f0a-2b4c-4d5e-8f90-" + std::to_string(100000 + i);
      r->m_pExtras->rev = "20261208T120000Z";
      if (s.photoBytes && i % s.photoEvery == 0) {
        r->m_pExtras->photoType = "image/jpeg";
        r->m_pExtras->photo = "\xFF\xD8\xFF" + std::string(s.photoBytes - 3, char('A' + i % 26));
      }
      if (i % 3 == 0) r->m_pExtras->properties = {"CATEGORIES:Přátelé", "NOTE:Grüße aus Łódź"};
    }
    const std::string whole = StoreDatabase(doc.ContactsRoot());
    const CStatus saved = doc.OnSaveDocument(path);
    ASSERT_TRUE(saved) << shape << ": " << saved.Reason();
    EXPECT_EQ(ReadFile(path), whole) << shape;
    doc.ContactsRoot()->Child(0)->m_strNickname = "Σοφία";
    doc.SetMaxFileBytes(StoreDatabase(doc.ContactsRoot()).size() - 1);
    EXPECT_FALSE(doc.OnSaveDocument(path)) << shape;
    EXPECT_EQ(ReadFile(path), whole) << shape << ": a refused save left the file as it was";
  }
  // Kept sections, texts, an identity and a photo read from a file go back in pieces unchanged.
  const std::string fixture = Fixture("trailer-texts.zvd");
  WriteFile(path, fixture);
  doc.SetMaxFileBytes(std::uint64_t{1} << 32);
  ASSERT_TRUE(doc.OnOpenDocument(path));
  ASSERT_TRUE(doc.OnSaveDocument(dir / "znovu.zvd"));
  EXPECT_EQ(ReadFile(dir / "znovu.zvd"), fixture);
}
