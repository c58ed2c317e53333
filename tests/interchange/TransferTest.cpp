// The Export, Business Card and Import commands after their file dialog: the format by the
// file's name, the progress they report, the questions an import asks, and their outcomes.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <deque>

#include "FakeHost.h"
#include "InterchangeTestSupport.h"
#include "TestUtil.h"
#include "interchange/FileImport.h"
#include "interchange/Transfer.h"
#include "res/StringTable.h"
#include "store/ZorvanDoc.h"

using namespace zorvan;
using namespace zorvan::testing;
using zorvan::test::CTempDir;

namespace {

// Writes down every call of the indicator, "range 1-5" and "at 3".
class CRecordingProgress : public ITransferProgress {
 public:
  void SetRange(int lower, int upper) override {
    calls.push_back("range " + std::to_string(lower) + "-" + std::to_string(upper));
  }
  void SetPosition(int position) override { calls.push_back("at " + std::to_string(position)); }

  std::vector<std::string> calls;
};

// Answers the import's questions from a script and records what it was asked.
class CScriptedPrompts : public IImportPrompts {
 public:
  bool AskDelimiter(std::string& typed) override {
    presetDelimiter = typed;
    if (!answerDelimiter) return false;
    typed = delimiter;
    return true;
  }
  bool AskBindings(const std::string& splitAt, std::vector<ColumnBinding>& bindings) override {
    askedDelimiter = splitAt;
    for (const ColumnBinding& b : bindings) {
      columns.push_back(b.m_strName);
      samples.push_back(b.m_strSample);
      EXPECT_EQ(b.m_nTarget, -1) << b.m_strName;
    }
    if (!answerBindings) return false;
    for (size_t i = 0; i < targets.size() && i < bindings.size(); ++i)
      bindings[i].m_nTarget = targets[i];
    return true;
  }

  bool answerDelimiter = true;
  bool answerBindings = true;
  std::string delimiter = ",";
  std::vector<int> targets;

  std::string presetDelimiter;
  std::string askedDelimiter;
  std::vector<std::string> columns;
  std::vector<std::string> samples;
};

const std::vector<std::string> kFull = {"range 1-100", "at 100"};

std::vector<std::string> Joined(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// A contacts root holding the hand-made files' record, which has one empty child.
std::unique_ptr<CTreeItem> FixtureRoot() {
  auto root = std::make_unique<CTreeItem>();
  root->m_nKind = kindContacts;
  auto record = MakeFixtureRecord();
  auto* child = new CTreeItem;
  child->m_strLabel.clear();
  CTreeItem::AddChild(record.get(), child);
  CTreeItem::AddChild(root.get(), record.release());
  return root;
}

class Transfer : public ::testing::Test {
 protected:
  Transfer() : doc(host) {
    host.settings["Settings/Resource"] = dir / "none.cal";
    doc.OnNewDocument();
    callbacks.pProgress = &progress;
    callbacks.pPrompts = &prompts;
  }

  std::vector<std::string> ImportedLabels() const {
    std::vector<std::string> labels;
    for (size_t i = 0; i < doc.ContactsRoot()->ChildCount(); ++i)
      labels.push_back(doc.ContactsRoot()->Child(i)->m_strLabel.str());
    return labels;
  }

  CFixedClock clock{FixtureClock()};
  CTempDir dir;
  test::CFakeHost host;
  CZorvanDoc doc;
  CRecordingProgress progress;
  CScriptedPrompts prompts;
  STransferCallbacks callbacks;
};

}  // namespace

TEST_F(Transfer, shouldExportTheHandMadeFilesChosenByTheLowerCaseExtension) {
  const auto root = FixtureRoot();
  const std::string csv = dir / "kontakty.csv";
  const STransferResult r = ExportContacts(*root, csv, callbacks);
  EXPECT_TRUE(r.Succeeded());
  EXPECT_EQ(r.nMessage, IDS_EXPORT_DONE);
  EXPECT_EQ(r.strReason, "");
  EXPECT_TRUE(ReadBytes(csv) == ReadBytes(TestDataPath("export.csv")));
  // The range is the number of records, the position steps once per record written.
  EXPECT_EQ(progress.calls, Joined({"range 1-2", "at 1", "at 2"}, kFull));

  // Any other name, capitals and no extension included, gets vCards.
  for (const char* name : {"kontakty.CSV", "kontakty.vcf", "kontakty"}) {
    ASSERT_TRUE(ExportContacts(*root, dir / name, STransferCallbacks()).Succeeded()) << name;
    EXPECT_EQ(ReadBytes(dir / name).rfind("BEGIN:VCARD\r\n", 0), 0u) << name;
  }
  EXPECT_EQ(test::FileNamesIn(dir.Path()),
            (std::vector<std::string>{"kontakty", "kontakty.CSV", "kontakty.csv", "kontakty.vcf"}));
}

TEST_F(Transfer, shouldExportTheDocumentCountingInItsProgressCount) {
  ASSERT_TRUE(doc.OnOpenDocument(test::DataPath("cli/people.zvd")));
  const std::string csv = dir / "lidé.csv";
  EXPECT_TRUE(ExportContacts(doc, csv, callbacks).Succeeded());
  EXPECT_TRUE(ReadBytes(csv) == ReadBytes(test::DataPath("cli/people.csv")));
  EXPECT_EQ(doc.m_nProgress, 5);
  EXPECT_EQ(progress.calls.front(), "range 1-5");

  // An empty tree makes a file with the header alone, or an empty vCard file.
  CTreeItem empty;
  ASSERT_TRUE(ExportContacts(empty, dir / "prázdné.vcf", STransferCallbacks()).Succeeded());
  EXPECT_EQ(ReadBytes(dir / "prázdné.vcf"), "");
}

TEST_F(Transfer, shouldKeepTheOldFileAndLeaveNoTemporaryOneWhenTheWriteFails) {
  CTreeItem root;
  for (int i = 0; i < 3000; ++i) {
    auto* r = new CTreeItem;
    r->m_strLabel = "Łukasz Wróbel " + std::to_string(i);
    r->m_strHomeCity = "Łódź";
    r->m_strRemark = std::string(200, 'x');
    CTreeItem::AddChild(&root, r);
  }
  const std::string path = dir / "adresář.csv";
  test::WriteFile(path, "předchozí export");
  STransferResult r;
  {
    // The system stops the file at 128 KB, part-way through the records.
    test::CFileSizeLimit limit(128 * 1024);
    ASSERT_TRUE(limit.IsSet());
    r = ExportContacts(root, path, callbacks);
  }

  EXPECT_EQ(r.outcome, ETransferOutcome::failed);
  EXPECT_EQ(r.nMessage, IDS_EXPORT_ERROR);
  EXPECT_EQ(FileProblemText(r, path), "Cannot write file " + path + ":\nFile too large.");
  EXPECT_EQ(test::ReadFile(path), "předchozí export");
  EXPECT_EQ(test::FileNamesIn(dir.Path()), std::vector<std::string>{"adresář.csv"});
  // The export stopped where the file did, and the indicator still ends full.
  ASSERT_GE(progress.calls.size(), 4u);
  EXPECT_EQ(progress.calls.front(), "range 1-3000");
  EXPECT_LT(progress.calls.size(), 3000u);
  EXPECT_EQ(std::vector<std::string>(progress.calls.end() - 2, progress.calls.end()), kFull);
}

TEST_F(Transfer, shouldSayWhyAnExportFileCannotBeMadeBeforeShowingAnyProgress) {
  const auto root = FixtureRoot();
  STransferResult r = ExportContacts(*root, dir / "chybí/kontakty.vcf", callbacks);
  EXPECT_EQ(r.outcome, ETransferOutcome::failed);
  EXPECT_EQ(r.nMessage, IDS_EXPORT_OPEN_ERROR);
  EXPECT_EQ(r.strReason, std::strerror(ENOENT));
  r = ExportContacts(*root, dir.Path(), callbacks);
  EXPECT_EQ(r.nMessage, IDS_EXPORT_OPEN_ERROR);
  EXPECT_EQ(r.strReason, "it is a folder");
  EXPECT_TRUE(progress.calls.empty());
  r = ExportBusinessCard(*root->Child(0), dir / "chybí/vizitka.vcf", {});
  EXPECT_EQ(r.nMessage, IDS_EXPORT_OPEN_ERROR);
  EXPECT_EQ(r.strReason, std::strerror(ENOENT));
}

TEST_F(Transfer, shouldWriteABusinessCardOfTheRecordAloneOverTheOldOne) {
  const auto root = FixtureRoot();
  const std::string path = dir / "vizitka.vcf";
  test::WriteFile(path, "stará vizitka");
  const STransferResult r = ExportBusinessCard(*root->Child(0), path, {});
  EXPECT_TRUE(r.Succeeded());
  EXPECT_EQ(r.nMessage, IDS_EXPORT_DONE);
  // One card, although the record has a child.
  EXPECT_TRUE(ReadBytes(path) == ReadBytes(TestDataPath("business-card.vcf")));
  EXPECT_EQ(test::FileNamesIn(dir.Path()), std::vector<std::string>{"vizitka.vcf"});
}

TEST_F(Transfer, shouldImportKnownFilesWithoutAQuestionAndProgressByLine) {
  STransferResult r = ImportFile(doc, TestDataPath("export.csv"), callbacks);
  EXPECT_TRUE(r.Succeeded());
  EXPECT_EQ(r.nMessage, IDS_IMPORT_DONE);
  // Three lines: the range runs over the two after the header, the position is the line.
  EXPECT_EQ(progress.calls, Joined({"range 1-2", "at 1", "at 2"}, kFull));
  ASSERT_EQ(doc.ContactsRoot()->ChildCount(), 2u);
  ExpectSameFields(*MakeFixtureRecord(), *doc.ContactsRoot()->Child(0));

  progress.calls.clear();
  r = ImportFile(doc, test::DataPath("cli/people.vcf"), callbacks);
  EXPECT_TRUE(r.Succeeded());
  EXPECT_EQ(ImportedLabels(),
            (std::vector<std::string>{"Černý, Jiří", "", "Smiths", "John Smith", "Jane Smith",
                                      "Doe family", "Žofie Černá"}));
  EXPECT_EQ(progress.calls.front(), "range 1-178");
  EXPECT_EQ(progress.calls.back(), "at 100");
  EXPECT_TRUE(prompts.columns.empty());
  EXPECT_EQ(prompts.presetDelimiter, "");
  // Imported contacts are unsaved changes: closing must not drop them without a question.
  EXPECT_TRUE(doc.IsModified());
}

TEST_F(Transfer, shouldGiveImportedContactsTheirEventNodesAtOnce) {
  const size_t calendarNames = doc.Category(catCalNames)->ChildCount();
  CFileImport import;
  ASSERT_TRUE(import.Open(TestDataPath("export.csv"), callbacks).Succeeded());
  ASSERT_TRUE(import.ReadInto(doc).Succeeded());
  // The first row has a birthday and an anniversary, its nameday unset; the second row none.
  const CTreeItem* record = doc.ContactsRoot()->Child(0);
  EXPECT_EQ(doc.Category(catNamedays)->ChildCount(), 0u);
  for (int category : {catBirthdays, catAnniversaries}) {
    const CTreeItem* events = doc.Category(category);
    ASSERT_EQ(events->ChildCount(), 1u) << category;
    EXPECT_EQ(events->Child(0)->m_pLinked, record);
    EXPECT_EQ(events->Child(0)->m_strLabel, record->m_strLabel);
  }
  EXPECT_EQ(doc.Category(catCalNames)->ChildCount(), calendarNames);
  EXPECT_TRUE(doc.IsModified());

  // An import that brings nothing leaves the document as it was.
  doc.SetModifiedFlag(false);
  const std::string empty = dir / "prázdný.vcf";
  test::WriteFile(empty, "");
  EXPECT_TRUE(ImportFile(doc, empty, callbacks).Succeeded());
  EXPECT_FALSE(doc.IsModified());
  EXPECT_EQ(doc.Category(catBirthdays)->ChildCount(), 1u);
}

TEST_F(Transfer, shouldReadOtherColumnsWithTheDelimiterAndBindingsItIsGiven) {
  prompts.delimiter = ";";
  prompts.targets = {5, 20, -1, 0};
  CFileImport import;
  STransferResult r = import.Open(test::DataPath("cli/other-columns.csv"), callbacks);
  ASSERT_TRUE(r.Succeeded());
  EXPECT_FALSE(import.HasKnownHeader());
  EXPECT_EQ(prompts.presetDelimiter, ",");
  EXPECT_EQ(prompts.askedDelimiter, ";");
  EXPECT_EQ(prompts.columns, (std::vector<std::string>{"Jméno", "Mail", "Město", "Narozen"}));
  // The wizard shows what each column holds in the first data line, which is still read.
  EXPECT_EQ(prompts.samples,
            (std::vector<std::string>{"Aleš Černý", "ales@example.cz", "Brno", "17.5.1990"}));
  // Nothing is read before the questions are answered.
  EXPECT_EQ(doc.ContactsRoot()->ChildCount(), 0u);
  r = import.ReadInto(doc);
  EXPECT_TRUE(r.Succeeded());
  EXPECT_EQ(ImportedLabels(), (std::vector<std::string>{"Aleš Černý", "Bo;Bo", ""}));
  EXPECT_EQ(doc.ContactsRoot()->Child(0)->m_strPersonalEmail, "ales@example.cz");
  EXPECT_EQ(doc.ContactsRoot()->Child(0)->m_strHomeCity, "");
}

TEST_F(Transfer, shouldEndQuietlyWhenAQuestionIsDeclined) {
  const std::string other = test::DataPath("cli/other-columns.csv");
  prompts.answerDelimiter = false;
  STransferResult r = ImportFile(doc, other, callbacks);
  EXPECT_EQ(r.outcome, ETransferOutcome::cancelled);
  EXPECT_EQ(r.nMessage, 0);
  EXPECT_TRUE(prompts.columns.empty());

  prompts.answerDelimiter = true;
  prompts.answerBindings = false;
  r = ImportFile(doc, other, callbacks);
  EXPECT_EQ(r.outcome, ETransferOutcome::cancelled);
  EXPECT_EQ(prompts.columns.size(), 1u);  // split at the "," preset, so one column

  // Without anyone to ask, a file of unknown columns is not read.
  r = ImportFile(doc, other, STransferCallbacks());
  EXPECT_EQ(r.outcome, ETransferOutcome::cancelled);
  EXPECT_EQ(doc.ContactsRoot()->ChildCount(), 0u);
  // The indicator was sized, but never set full: nothing was read.
  EXPECT_EQ(progress.calls, (std::vector<std::string>{"range 1-3", "range 1-3"}));

  // Only a lower-case .vcf holds vCards: in capitals its first line is a column name.
  const std::string upper = dir / "LIDÉ.VCF";
  test::WriteFile(upper, test::ReadFile(test::DataPath("cli/people.vcf")));
  prompts.columns.clear();
  EXPECT_EQ(ImportFile(doc, upper, callbacks).outcome, ETransferOutcome::cancelled);
  EXPECT_EQ(prompts.columns, std::vector<std::string>{"BEGIN:VCARD"});
}

TEST_F(Transfer, shouldNameTheImportFileThatCannotBeOpenedOrRead) {
  const std::string missing = dir / "chybějící.vcf";
  for (const STransferCallbacks& with : {callbacks, STransferCallbacks()}) {
    STransferResult r = ImportFile(doc, missing, with);
    EXPECT_EQ(r.outcome, ETransferOutcome::failed);
    EXPECT_EQ(r.nMessage, IDS_IMPORT_OPEN_ERROR);
    EXPECT_EQ(FileProblemText(r, missing),
              "Cannot open file " + missing + ":\nNo such file or directory.");
    // A folder or a FIFO is refused before it is opened for reading, which would wait for a
    // FIFO's writer.
    r = ImportFile(doc, dir.Path(), with);
    EXPECT_EQ(r.nMessage, IDS_IMPORT_OPEN_ERROR);
    EXPECT_EQ(FileProblemText(r, dir.Path()),
              "Cannot open file " + dir.Path() + ":\nit is a folder.");
    const std::string fifo = dir / "roura.csv";
    ::mkfifo(fifo.c_str(), 0600);
    r = ImportFile(doc, fifo, with);
    EXPECT_EQ(FileProblemText(r, fifo),
              "Cannot open file " + fifo + ":\nit is not a regular file.");
    ::unlink(fifo.c_str());
  }
  EXPECT_EQ(doc.ContactsRoot()->ChildCount(), 0u);
  EXPECT_TRUE(progress.calls.empty());
  EXPECT_EQ(FileProblemText(STransferResult(), missing), "");
}

namespace {

TEST(BusinessCardFileName, shouldOfferTheLabelAsAFileNameThatEveryFileDialogTakes) {
  EXPECT_EQ(BusinessCardFileName("Jiří Dvořák"), "Jiří Dvořák.vcf");
  EXPECT_EQ(BusinessCardFileName("Nováková/Dvořáková"), "Nováková_Dvořáková.vcf");
  EXPECT_EQ(BusinessCardFileName("A\\B:C*D?E\"F<G>H|I\tJ"), "A_B_C_D_E_F_G_H_I_J.vcf");
  // Blanks and dots at the ends would hide the file or lose its extension.
  EXPECT_EQ(BusinessCardFileName("  .Łukasz Wąsik. "), "Łukasz Wąsik.vcf");
  EXPECT_EQ(BusinessCardFileName("Ing. Jürgen Größer"), "Ing. Jürgen Größer.vcf");
  EXPECT_EQ(BusinessCardFileName(""), "card.vcf");
  EXPECT_EQ(BusinessCardFileName(" .. "), "card.vcf");
}

}  // namespace
