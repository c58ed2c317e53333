// Standard vCards written for other programs and read back by the reader of other programs'
// files: every one of the 45 fields comes back, in both versions, and the groups the contacts
// lay in come back as their group path.
#include <gtest/gtest.h>

#include <vector>

#include "InterchangeTestSupport.h"
#include "interchange/StringOutput.h"
#include "interchange/vcard/ForeignVCardFile.h"
#include "interchange/vcard/ForeignVCardWriter.h"
#include "interchange/vcard/VCardBase64.h"
#include "store/RecordExtras.h"
#include "store/TreeItem.h"

using namespace zorvan;
using namespace zorvan::testing;

namespace {

std::vector<SForeignContact> ReadBack(const std::string& bytes) {
  std::vector<SForeignContact> contacts;
  SForeignReadHooks hooks;
  hooks.onContact = [&](SForeignContact&& c) { contacts.push_back(std::move(c)); };
  ReadForeignVCards(bytes, hooks);
  return contacts;
}

std::string Written(const CTreeItem& top, EVCardVersion version) {
  CStringOutput out;
  EXPECT_TRUE(WriteForeignVCards(out, top, version, nullptr));
  return out.Bytes();
}

// The full record of the interchange tests as a contact: the writer makes no card of a group.
CTreeItem* FullContact() {
  auto r = MakeFullRecord();
  r->m_bGroup = 0;
  return r.release();
}

CTreeItem* Contact(const char* label, const char* first, const char* last) {
  auto* r = new CTreeItem;
  r->m_strLabel = label;
  r->m_strFirstName = first;
  r->m_strLastName = last;
  return r;
}

CTreeItem* Group(const char* label) {
  auto* g = new CTreeItem;
  g->m_strLabel = label;
  g->m_bGroup = 1;
  return g;
}

class ForeignRoundTrip : public ::testing::TestWithParam<EVCardVersion> {};

TEST_P(ForeignRoundTrip, EveryFieldOfEveryContactComesBack) {
  // A database: a full contact at the top, a group holding a contact with a subcontact, a
  // nested group below it, and a contact whose every field is at its default.
  CTreeItem root;
  CTreeItem* full = FullContact();
  CTreeItem::AddChild(&root, full);
  CTreeItem* family = Group("Rodina; \"Dvořákovi\", Brno");
  CTreeItem::AddChild(&root, family);
  CTreeItem* wife = Contact("Žofie Dvořáková", "Žofie", "Dvořáková");
  wife->m_nGender = 2;
  wife->m_nPrefEmail = 0;
  wife->m_strPersonalEmail = "zofie@dvorak.cz";
  wife->m_dtBirthday = CDateTime(1988, 2, 29);
  wife->m_bBirthday = 1;
  CTreeItem::AddChild(family, wife);
  CTreeItem* child = Contact("Łukasz Wąsik", "Łukasz", "Wąsik");
  child->m_nPrefUrl = 1;
  child->m_strBusinessWeb = "https://wąsik.pl/a,b;c";
  CTreeItem::AddChild(wife, child);
  CTreeItem* friends = Group("Freunde \\ Größ");
  CTreeItem::AddChild(family, friends);
  CTreeItem* jurgen = Contact("Jürgen Größ", "Jürgen", "Größ");
  jurgen->m_strRemark = "Kennt München.\r\nZweite Zeile; mit, Zeichen.";
  CTreeItem::AddChild(friends, jurgen);
  auto* blank = new CTreeItem;
  CTreeItem::AddChild(&root, blank);

  const std::vector<SForeignContact> back = ReadBack(Written(root, GetParam()));
  const std::vector<const CTreeItem*> expected = {full, wife, child, jurgen, blank};
  const std::vector<std::vector<std::string>> paths = {
      {},
      {"Rodina; \"Dvořákovi\", Brno"},
      {"Rodina; \"Dvořákovi\", Brno"},
      {"Rodina; \"Dvořákovi\", Brno", "Freunde \\ Größ"},
      {}};
  ASSERT_EQ(back.size(), expected.size());
  for (size_t i = 0; i < back.size(); ++i) {
    SCOPED_TRACE("contact " + std::to_string(i));
    ExpectSameFields(*expected[i], *back[i].pRecord);
    EXPECT_EQ(back[i].groupPath, paths[i]);
  }
}

TEST_P(ForeignRoundTrip, ASelectedGroupKeepsThePathAboveIt) {
  CTreeItem root;
  CTreeItem* outer = Group("Práce");
  CTreeItem::AddChild(&root, outer);
  CTreeItem* inner = Group("Kraków");
  CTreeItem::AddChild(outer, inner);
  CTreeItem::AddChild(inner, Contact("Paweł Wąsik", "Paweł", "Wąsik"));

  const std::vector<SForeignContact> back = ReadBack(Written(*inner, GetParam()));
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].pRecord->m_strLabel.view(), "Paweł Wąsik");
  EXPECT_EQ(back[0].groupPath, (std::vector<std::string>{"Práce", "Kraków"}));
}

// The preferred e-mail and web page come back from PREF alone, as another program that kept
// the card without the program's own lines gives it back, and exactly from those lines.
TEST_P(ForeignRoundTrip, shouldKeepThePreferredAddressesWithAndWithoutTheOwnLines) {
  struct SCase {
    int stored;
    bool personal, business;
    int fromPref;  // what PREF alone tells
  };
  const SCase cases[] = {{1, false, true, 1}, {1, true, true, 1},   {0, true, true, 0},
                         {0, true, false, 0}, {-1, true, true, -1}, {0, false, true, 1}};
  for (const SCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.stored) + (c.personal ? " personal" : "") +
                 (c.business ? " business" : ""));
    CTreeItem root;
    CTreeItem* r = Contact("Jiří Dvořák", "Jiří", "Dvořák");
    r->m_nPrefEmail = r->m_nPrefUrl = c.stored;
    if (c.personal) r->m_strPersonalEmail = "jiri@dvorak.cz", r->m_strPersonalWeb = "http://a.cz";
    if (c.business) r->m_strBusinessEmail = "jiri@firma.cz", r->m_strBusinessWeb = "http://b.cz";
    CTreeItem::AddChild(&root, r);
    const std::string card = Written(root, GetParam());
    std::vector<SForeignContact> back = ReadBack(card);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].pRecord->m_nPrefEmail, c.stored);
    EXPECT_EQ(back[0].pRecord->m_nPrefUrl, c.stored);
    std::string foreign;
    for (size_t pos = 0; pos < card.size();) {
      const size_t end = card.find("\r\n", pos) + 2;
      const std::string line = card.substr(pos, end - pos);
      if (line.rfind("X-TAVORIN-", 0) != 0) foreign += line;
      pos = end;
    }
    back = ReadBack(foreign);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].pRecord->m_nPrefEmail, c.fromPref) << foreign;
    EXPECT_EQ(back[0].pRecord->m_nPrefUrl, c.fromPref) << foreign;
    EXPECT_EQ(back[0].pRecord->m_strBusinessEmail.view(), c.business ? "jiri@firma.cz" : "");
  }
}

// Another program's card: what the fields hold, its photo and every line it has no field for
// come back as they were, in the order they came, read from what the writer made of it twice.
TEST_P(ForeignRoundTrip, shouldWriteBackThePhotoAndEveryKeptLineUnchanged) {
  const std::string photo = "\xFF\xD8\xFF\xE0" + std::string(300, '\x7F') + "Ωμέγα";
  std::string base64;
  AppendBase64(base64, photo);
  const std::string card =
      "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Παπαδόπουλος;Νίκος\r\nTEL;HOME:1\r\nTEL;HOME:2\r\n"
      "EMAIL;INTERNET:a@b.gr\r\nEMAIL;INTERNET:c@d.gr\r\nEMAIL;INTERNET:e@f.gr\r\n"
      "CATEGORIES:Οικογένεια,朋友\r\nBDAY:--0415\r\nURL:http://a.gr\r\n"
      "URL;TYPE=WORK:http://b.gr\r\nitem1.URL:http://x.gr\r\n"
      "item1.X-ABLabel:Блог\r\nX-SOCIALPROFILE;TYPE=twitter:nikos\r\n"
      "NICKNAME;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=CE=9D=CE=AF=CE=BA=CE=BF=CF=82\r\n"
      "PHOTO;ENCODING=BASE64;TYPE=JPEG:" +
      base64.substr(0, 60) + "\r\n " + base64.substr(60) + "\r\n\r\nEND:VCARD\r\n";
  std::vector<SForeignContact> first = ReadBack(card);
  ASSERT_EQ(first.size(), 1u);
  ASSERT_TRUE(first[0].pRecord->m_pExtras);
  const SRecordExtras kept = *first[0].pRecord->m_pExtras;
  EXPECT_EQ(kept.photo, photo);
  EXPECT_EQ(kept.properties,
            (std::vector<std::string>{"TEL;TYPE=HOME:2", "EMAIL;TYPE=INTERNET:e@f.gr",
                                      "CATEGORIES:Οικογένεια,朋友", "BDAY:--0415",
                                      "item1.URL:http://x.gr", "item1.X-ABLabel:Блог",
                                      "X-SOCIALPROFILE;TYPE=twitter:nikos"}));
  // Lines the database file might hold that no card may carry are left out.
  first[0].pRecord->m_pExtras->properties.insert(
      first[0].pRecord->m_pExtras->properties.begin(),
      {"END:VCARD", "X-BAD:a\nBEGIN:VCARD", "UID:urn:uuid:cizí", "no colon"});
  CTreeItem root;
  CTreeItem::AddChild(&root, first[0].pRecord.release());
  const std::string written = Written(root, GetParam());
  EXPECT_EQ(written.find("X-BAD"), std::string::npos) << written;
  EXPECT_EQ(written.find("cizí"), std::string::npos) << written;
  const std::vector<SForeignContact> again = ReadBack(written);
  ASSERT_EQ(again.size(), 1u);
  const CTreeItem& r = *again[0].pRecord;
  ASSERT_TRUE(r.m_pExtras);
  EXPECT_EQ(r.m_pExtras->photo, photo);
  EXPECT_EQ(r.m_pExtras->photoType, "image/jpeg");
  EXPECT_EQ(r.m_pExtras->properties, kept.properties) << written;
  EXPECT_EQ(r.m_strNickname.view(), "Νίκος");
  EXPECT_EQ(r.m_strHomePhone.view(), "1");
  // A birthday the record holds itself wins over the kept one without a year.
  CTreeItem* withDate = root.m_pChildren->front();
  withDate->m_bBirthday = 1;
  withDate->m_dtBirthday = CDateTime(1980, 4, 15, 0, 0, 0);
  EXPECT_EQ(Written(root, GetParam()).find("BDAY:--0415"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Versions, ForeignRoundTrip,
                         ::testing::Values(EVCardVersion::v30, EVCardVersion::v40),
                         [](const auto& paramInfo) {
                           return paramInfo.param == EVCardVersion::v30 ? "v30" : "v40";
                         });

}  // namespace
