// The standard writer's output for a fixed tree, compared byte for byte with the reference
// files in tests/data/interchange/reference: a change to what other programs get is seen in a
// diff of those files, and made on purpose. ZORVAN_WRITE_REFERENCE=1 writes them anew.
#include <gtest/gtest.h>

#include <cstdlib>

#include "InterchangeTestSupport.h"
#include "TestUtil.h"
#include "interchange/StringOutput.h"
#include "interchange/vcard/ForeignVCardWriter.h"
#include "store/RecordExtras.h"
#include "store/TreeItem.h"

using namespace zorvan;
using namespace zorvan::testing;

namespace {

CTreeItem* Add(CTreeItem* parent, const char* label, bool group = false) {
  auto* r = new CTreeItem;
  r->m_strLabel = label;
  r->m_bGroup = group ? 1 : 0;
  CTreeItem::AddChild(parent, r);
  return r;
}

// A group with the full record, a Greek contact imported from a card (its identity, a photo and
// lines it had no field for), a company alone, and a Chinese contact at the top.
void BuildTree(CTreeItem& root) {
  CTreeItem* work = Add(&root, "Práce; Kraków", true);
  auto full = MakeFullRecord();
  full->m_bGroup = 0;
  CTreeItem::AddChild(work, full.release());
  CTreeItem* nikos = Add(work, "Νίκος Παπαδόπουλος");
  nikos->m_strFirstName = "Νίκος";
  nikos->m_strLastName = "Παπαδόπουλος";
  nikos->m_strHomePhone = "+30 210 1234567";
  nikos->m_pExtras = std::make_unique<SRecordExtras>();
  nikos->m_pExtras->uid = "urn:uuid:0b5e8e3c-5f0e-4c1e-9b7a-3c2d1e0f9a8b";
  nikos->m_pExtras->rev = "20261209T071500Z";
  nikos->m_pExtras->photoType = "image/png";
  nikos->m_pExtras->photo = std::string("\x89PNG\r\n\x1A\n", 8) + std::string(90, '\x41');
  nikos->m_pExtras->properties = {"TEL;TYPE=HOME:+30 210 7654321",
                                  "CATEGORIES:Οικογένεια,Φίλοι",
                                  "BDAY:--0415",
                                  "item1.URL:http://blog.example.gr",
                                  "item1.X-ABLabel:Ιστολόγιο",
                                  "X-SOCIALPROFILE;TYPE=twitter:nikos"};
  CTreeItem* company = Add(work, "Dvořák a syn, s.r.o.");
  company->m_strCompany = "Dvořák a syn, s.r.o.";
  company->m_strBusinessPhone = "+420 222 333 444";
  CTreeItem* wang = Add(&root, "王小明");
  wang->m_strFirstName = "小明";
  wang->m_strLastName = "王";
  wang->m_strPersonalMobile = "+86 138 0013 8000";
}

TEST(ForeignVCardReference, shouldWriteEachVersionByteForByteAsTheReferenceFile) {
  CTreeItem root;
  BuildTree(root);
  for (const auto& [version, name] : {std::pair{EVCardVersion::v30, "standard-3.0.vcf"},
                                      {EVCardVersion::v40, "standard-4.0.vcf"}}) {
    SCOPED_TRACE(name);
    CStringOutput out;
    ASSERT_TRUE(WriteForeignVCards(out, root, version, nullptr));
    const std::string path = TestDataPath(std::string("reference/") + name);
    if (std::getenv("ZORVAN_WRITE_REFERENCE")) zorvan::test::WriteFile(path, out.Bytes());
    const std::string reference = ReadBytes(path);
    ASSERT_FALSE(reference.empty()) << path;
    EXPECT_EQ(out.Bytes(), reference);
  }
}

}  // namespace
