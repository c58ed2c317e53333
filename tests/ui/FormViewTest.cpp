// The form: the sheet's pages, the exchange between the pages and the shown record, the label
// box, the address lists and buttons, the date fields and the Calendar page.
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include <sys/resource.h>

#include "app/MainFrame.h"
#include "store/RecordExtras.h"
#include "store/ZorvanDoc.h"
#include "tests/TestUtil.h"
#include "tests/ui/GuiTest.h"
#include "tests/ui/Screenshot.h"
#include "ui/BitmapButton.h"
#include "ui/DateField.h"
#include "ui/KeptLineDlg.h"
#include "ui/MyPropSheet.h"
#include "ui/StaticLink.h"
#include "ui/ZorvanTreeView.h"
#include "ui/ZorvanView.h"
#include "ui/pages/PageAbout.h"
#include "ui/pages/PageBusiness.h"
#include "ui/pages/PageCalendar.h"
#include "ui/pages/PageHome.h"
#include "ui/pages/PageName.h"
#include "ui/pages/PagePersonal.h"
#include "ui/pages/PageSummary.h"

namespace zorvan::test {
namespace {

class FormViewTest : public CGuiTest {
 protected:
  // Rodina (a group) with Jan Novák (a birthday) and his daughter Zuzana below him; Łucja at the
  // top.
  void OpenSample() {
    const QString path = MakeDatabase(
        "sample.zvd", {"Rodina;g", " Jan Novák;b=17.5.1970", "  Zuzana", "Łucja Wąsowska"});
    ASSERT_TRUE(Start({path}));
    // Focus moves, and a box left tells of it, only in the active window.
    QApplication::setActiveWindow(&Frame());
    CTreeItem* jan = Record({"Contacts", "Rodina", "Jan Novák"});
    jan->m_strFirstName = "Jan";
    jan->m_strMiddleName = "Karel";
    jan->m_strLastName = "Novák";
    jan->m_strNickname = "Honza";
  }

  CMyPropSheet& Sheet() { return *Frame().FormView()->Sheet(); }
  template <typename Page>
  Page& Show(Page* page) {
    Sheet().setCurrentWidget(page);
    QApplication::processEvents();
    return *page;
  }
  // A small picture as a PNG file holds it.
  static QByteArray PngPicture() {
    QImage image(40, 60, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    return image.save(&buffer, "PNG") ? png : QByteArray();
  }
  QStringList Items(QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
  }
  QStringList Items(QListWidget* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
    return items;
  }
  // The record at path keeps lines (and an identity when uid is given), and the Summary page
  // shows it.
  CPageSummary& ShowKept(const QStringList& path, std::vector<std::string> lines,
                         const std::string& uid = {}) {
    CTreeItem* record = Record(path);
    record->m_pExtras = std::make_unique<SRecordExtras>();
    record->m_pExtras->uid = uid;
    record->m_pExtras->properties = std::move(lines);
    Select(Item(path));
    Doc().SetModifiedFlag(false);
    return Show(Sheet().m_pageSummary);
  }
  static void SelectRows(QListWidget* list, std::initializer_list<int> rows) {
    list->clearSelection();
    for (const int row : rows) list->item(row)->setSelected(true);
  }
};

}  // namespace

TEST_F(FormViewTest, ANewDatabaseShowsTheSevenPagesWithTheCalendarActive) {
  ASSERT_TRUE(Start());
  QStringList titles;
  for (int i = 0; i < Sheet().count(); ++i) titles << Sheet().tabText(i);
  EXPECT_EQ(titles, (QStringList{"Summary", "Name", "Home", "Business", "Personal", "Calendar",
                                 "About Zorvan"}));
  EXPECT_EQ(Sheet().ActivePage(), pageCalendar);
  EXPECT_EQ(Sheet().m_pageName->Header()->Text(), QStringLiteral("Name & Internet"));
  EXPECT_EQ(Sheet().m_pageAbout->Header()->Text(), QStringLiteral("About \"Zorvan\""));
}

// What a contact keeps from another program's card shows on the Summary page: its photo, and
// each kept property in words (the raw line where there are none); a contact without any shows
// no such box.
TEST_F(FormViewTest, TheSummaryShowsThePhotoAndTheKeptPropertiesOfAContact) {
  OpenSample();
  const QByteArray png = PngPicture();
  ASSERT_FALSE(png.isEmpty());
  CTreeItem* jan = Record({"Contacts", "Rodina", "Jan Novák"});
  ASSERT_NE(jan, nullptr);
  jan->m_pExtras = std::make_unique<SRecordExtras>();
  jan->m_pExtras->photoType = "image/png";
  jan->m_pExtras->photo = png.toStdString();
  jan->m_pExtras->properties = {"TEL;TYPE=HOME:+30 210 2", "item1.URL:http://blog.gr",
                                "item1.X-ABLabel:Ιστολόγιο", "X-SOCIALPROFILE:nikos"};
  Select(Item({"Contacts", "Rodina", "Jan Novák"}));
  const CPageSummary& page = *Sheet().m_pageSummary;
  EXPECT_FALSE(page.m_pKeptBox->isHidden());
  ASSERT_FALSE(page.m_pPhoto->pixmap().isNull());
  EXPECT_EQ(page.m_pPhoto->pixmap().height(), 96);
  QStringList shown;
  for (int i = 0; i < page.m_pKept->count(); ++i) shown << page.m_pKept->item(i)->text();
  EXPECT_EQ(shown, (QStringList{"Phone (home): +30 210 2", "Web (Ιστολόγιο): http://blog.gr",
                                "X-SOCIALPROFILE:nikos"}));
  Select(Item({"Contacts", "Rodina"}));
  EXPECT_TRUE(Sheet().m_pageSummary->m_pKeptBox->isHidden());
}

// Kept lines are removed from the Summary page by Delete or the Remove button: an Apple label
// goes with the last line of its group; the record is stored and touched as after any edit,
// and drops its extras only when it keeps nothing, its identity included.
TEST_F(FormViewTest, KeptLinesAreRemovedWithTheLabelsOfTheirGroups) {
  OpenSample();
  const CFixedIdentityClock clock(1796797800);  // 2026-12-09 06:30:00 UTC
  struct SCase {
    QStringList path;
    std::string uid;
    bool extrasLeft;
    const char* rev;
  };
  const SCase cases[] = {
      {{"Contacts", "Rodina", "Jan Novák"},
       "urn:uuid:0f6c7a52-1b0e-4c8e-9d5f-3a2b1c0d9e8f",
       true,
       "20261209T063000Z"},
      {{"Contacts", "Łucja Wąsowska"}, "", false, "(none)"},
  };
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.path.join('/').toStdString());
    CPageSummary& page = ShowKept(
        c.path,
        {"item1.TEL:+30 210 1234567", "item1.X-ABLabel:Εξοχικό", "CATEGORIES:Rodina,Přátelé",
         "X-SKYPE:jan.novák", "item2.URL:http://blog.gr", "item2.X-ABLabel:Ιστολόγιο"},
        c.uid);
    const CTreeItem* record = Record(c.path);
    ASSERT_EQ(page.m_pKept->count(), 4);
    EXPECT_FALSE(page.m_pEditKept->isEnabled());
    EXPECT_FALSE(page.m_pRemoveKept->isEnabled());

    SelectRows(page.m_pKept, {0, 3});
    EXPECT_FALSE(page.m_pEditKept->isEnabled()) << "one line is edited at a time";
    EXPECT_TRUE(page.m_pRemoveKept->isEnabled());
    page.m_pKept->setFocus();
    QTest::keyClick(page.m_pKept, Qt::Key_Delete);
    EXPECT_EQ(record->m_pExtras->properties,
              (std::vector<std::string>{"CATEGORIES:Rodina,Přátelé", "X-SKYPE:jan.novák"}));
    EXPECT_EQ(page.m_pKept->count(), 2);
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_EQ(record->m_pExtras->rev.empty() ? "(none)" : record->m_pExtras->rev, c.rev);
    // The entry after the removed ones is selected, so Delete goes on.
    EXPECT_EQ(page.m_pKept->selectedItems().size(), 1);
    EXPECT_TRUE(page.m_pRemoveKept->isEnabled());

    QTest::mouseClick(page.m_pRemoveKept, Qt::LeftButton);
    QTest::mouseClick(page.m_pRemoveKept, Qt::LeftButton);
    EXPECT_EQ(record->m_pExtras != nullptr, c.extrasLeft);
    if (record->m_pExtras) {
      EXPECT_EQ(record->m_pExtras->uid, c.uid);
      EXPECT_TRUE(record->m_pExtras->properties.empty());
    }
    EXPECT_TRUE(page.m_pKeptBox->isHidden());
  }
}

// A birthday without a year is a kept line: removing it takes its node from the calendar.
TEST_F(FormViewTest, RemovingAKeptBirthdayWithoutAYearTakesItsEventNode) {
  OpenSample();
  const QStringList path = {"Contacts", "Łucja Wąsowska"};
  CPageSummary& page = ShowKept(path, {"BDAY:--0415"});
  Doc().SyncEventNodes(Record(path));
  ASSERT_EQ(ChildLabels(Item({"Calendar", "Birthdays"})),
            (QStringList{"Jan Novák", "Łucja Wąsowska"}));
  SelectRows(page.m_pKept, {0});
  QTest::mouseClick(page.m_pRemoveKept, Qt::LeftButton);
  EXPECT_EQ(ChildLabels(Item({"Calendar", "Birthdays"})), QStringList{"Jan Novák"});
}

// A kept line is edited as its text, from the Edit button, Enter or a double click: a text
// that is no content line is refused in the dialog, which keeps it for mending; a line break
// typed or pasted cannot start a line of its own in a card; an empty text removes the line.
TEST_F(FormViewTest, AKeptLineIsEditedAsTextAndStaysOneContentLine) {
  OpenSample();
  const CFixedIdentityClock clock(1796797800);  // 2026-12-09 06:30:00 UTC
  // The photo stays in the box when the lines are gone.
  const QByteArray png = PngPicture();
  ASSERT_FALSE(png.isEmpty());
  const QStringList path = {"Contacts", "Rodina", "Jan Novák"};
  CPageSummary& page =
      ShowKept(path,
               {"TEL;TYPE=CELL:+30 210 1234567", "item1.ADR:;;Lesní 5;Horní Planá;;38226;CZ",
                "item1.X-ABLabel:Chata", "CATEGORIES:Rodina,Přátelé"},
               "urn:uuid:0f6c7a52-1b0e-4c8e-9d5f-3a2b1c0d9e8f");
  CTreeItem* jan = Record(path);
  jan->m_pExtras->photoType = "image/png";
  jan->m_pExtras->photo = png.toStdString();
  Select(Item({"Contacts", "Rodina"}));
  Select(Item(path));
  Show(Sheet().m_pageSummary);
  SaveScreenshot(Frame(), QStringLiteral("summary-kept"));
  const std::vector<std::string>& lines = jan->m_pExtras->properties;

  // Each answer is typed in turn and OK pressed; what the dialog shows after each is checked.
  struct SAnswer {
    QString typed;
    QString error;  // empty when OK takes the line
  };
  std::vector<SAnswer> answers;
  QStringList shown;
  m_prompt.onModal = [&](QDialog& dialog) {
    auto* edit = dynamic_cast<CKeptLineDlg*>(&dialog);
    ASSERT_NE(edit, nullptr);
    shown << edit->Text();
    for (const SAnswer& answer : answers) {
      edit->SetText(answer.typed);
      QTest::mouseClick(edit->m_pOk, Qt::LeftButton);
      EXPECT_EQ(edit->m_pError->isVisibleTo(edit) ? edit->m_pError->text() : QString(),
                answer.error)
          << answer.typed.toStdString();
      if (!answer.error.isEmpty()) {
        EXPECT_EQ(edit->result(), QDialog::Rejected);
        EXPECT_EQ(edit->Text(), answer.typed) << "the text stays for mending";
        edit->show();
        SaveScreenshot(*edit, QStringLiteral("edit-kept-refused"));
        edit->hide();
      }
    }
  };

  // Enter on the phone: a line without ':' is refused, then one with a line break taken as one
  // line.
  answers = {{"TEL;TYPE=CELL +30 210 7654321",
              "The line needs a ':' between the property name and its value."},
             {"TEL;TYPE=CELL:+30 210 7654321\r\nEMAIL:x@útok.cz", {}}};
  page.m_pKept->setFocus();
  page.m_pKept->setCurrentRow(0);
  QTest::keyClick(page.m_pKept, Qt::Key_Return);
  EXPECT_EQ(shown, QStringList{"TEL;TYPE=CELL:+30 210 1234567"});
  EXPECT_EQ(lines[0], "TEL;TYPE=CELL:+30 210 7654321EMAIL:x@útok.cz");
  EXPECT_TRUE(Doc().IsModified());
  EXPECT_EQ(jan->m_pExtras->rev, "20261209T063000Z");

  // OK on the text as it was, and Cancel, change nothing.
  Doc().SetModifiedFlag(false);
  jan->m_pExtras->rev = "20250101T080000Z";
  answers = {{"CATEGORIES:Rodina,Přátelé", {}}};
  SelectRows(page.m_pKept, {2});
  QTest::mouseClick(page.m_pEditKept, Qt::LeftButton);
  answers.clear();
  QTest::mouseClick(page.m_pEditKept, Qt::LeftButton);
  EXPECT_EQ(shown.size(), 3);
  EXPECT_EQ(lines[3], "CATEGORIES:Rodina,Přátelé");
  EXPECT_FALSE(Doc().IsModified());
  EXPECT_EQ(jan->m_pExtras->rev, "20250101T080000Z");

  // A double click on the address with an empty text removes it, and its label with it.
  answers = {{"  ", {}}};
  const QRect address = page.m_pKept->visualItemRect(page.m_pKept->item(1));
  QTest::mouseClick(page.m_pKept->viewport(), Qt::LeftButton, {}, address.center());
  QTest::mouseDClick(page.m_pKept->viewport(), Qt::LeftButton, {}, address.center());
  EXPECT_EQ(shown.last(), QStringLiteral("item1.ADR:;;Lesní 5;Horní Planá;;38226;CZ"));
  EXPECT_EQ(lines, (std::vector<std::string>{"TEL;TYPE=CELL:+30 210 7654321EMAIL:x@útok.cz",
                                             "CATEGORIES:Rodina,Přátelé"}));
  EXPECT_TRUE(Doc().IsModified());
  EXPECT_EQ(Items(page.m_pKept).size(), 2);
  EXPECT_FALSE(page.m_pKeptBox->isHidden());

  SelectRows(page.m_pKept, {0, 1});
  QTest::mouseClick(page.m_pRemoveKept, Qt::LeftButton);
  EXPECT_FALSE(page.m_pKeptBox->isHidden()) << "the photo is still kept";
  EXPECT_TRUE(page.m_pKept->isHidden());
  EXPECT_TRUE(page.m_pRemoveKept->isHidden());
}

// The photo beside the names is set from a picture file and removed again; a file that is no
// picture, or one too large, is refused with its reason and leaves the photo as it was.
TEST_F(FormViewTest, ThePhotoIsSetFromAFileAndRemovedOnTheNamePage) {
  OpenSample();
  Select(Item({"Contacts", "Rodina", "Jan Novák"}));
  CPageName& page = Show(Sheet().m_pageName);
  EXPECT_FALSE(page.m_pRemovePhoto->isEnabled());
  const QString picture = TempPath("portrét Žofie.png");
  QImage image(30, 40, QImage::Format_RGB32);
  image.fill(Qt::darkMagenta);
  ASSERT_TRUE(image.save(picture, "PNG"));
  const QString text = TempPath("není obrázek.png");
  QFile file(text);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("jen text");
  file.close();
  const QString huge = TempPath("velký.jpg");
  QFile big(huge);
  ASSERT_TRUE(big.open(QIODevice::WriteOnly));
  big.write(QByteArray("\xFF\xD8\xFF", 3) + QByteArray(static_cast<int>(kMaxPhotoBytes), 'x'));
  big.close();

  m_prompt.fileAnswers = {picture, text, huge};
  page.m_pSetPhoto->trigger();
  const CTreeItem* jan = Record({"Contacts", "Rodina", "Jan Novák"});
  ASSERT_TRUE(jan->m_pExtras);
  EXPECT_EQ(jan->m_pExtras->photoType, "image/png");
  EXPECT_TRUE(Doc().IsModified());
  EXPECT_FALSE(page.m_pPhoto->icon().isNull());
  EXPECT_TRUE(page.m_pRemovePhoto->isEnabled());
  const std::string kept = jan->m_pExtras->photo;
  page.m_pSetPhoto->trigger();
  page.m_pSetPhoto->trigger();
  EXPECT_EQ(m_prompt.MessageTexts(),
            (QStringList{"The file není obrázek.png is no JPEG, PNG or GIF picture.",
                         "The picture velký.jpg is larger than 4 MB."}));
  EXPECT_EQ(jan->m_pExtras->photo, kept);

  page.m_pRemovePhoto->trigger();
  EXPECT_EQ(jan->m_pExtras, nullptr);
  EXPECT_TRUE(page.m_pPhoto->icon().isNull());
  EXPECT_FALSE(page.m_pRemovePhoto->isEnabled());
}

TEST_F(FormViewTest, SelectingShowsTheRecordAndChoosesThePageByItsPlace) {
  OpenSample();
  Sheet().SetActivePage(pageHome);
  Select(Item({"Contacts"}));
  // A top-level record keeps the page the user is on; any other shows its summary.
  EXPECT_EQ(Sheet().ActivePage(), pageHome);
  Select(Item({"Contacts", "Rodina"}));
  EXPECT_EQ(Sheet().ActivePage(), pageSummary);
  Sheet().SetActivePage(pageBusiness);
  Select(Item({"Contacts", "Rodina", "Jan Novák"}));
  EXPECT_EQ(Sheet().ActivePage(), pageSummary);
  EXPECT_EQ(Sheet().m_pageSummary->m_pNameBox->title(), QStringLiteral("Jan Novák (Honza)"));
  EXPECT_EQ(Sheet().m_pageSummary->m_pWorkBox->title(), QStringLiteral("Zaměstnání"));
  // An event node shows its contact on the Personal page.
  Select(Item({"Calendar", "Birthdays", "Jan Novák"}));
  EXPECT_EQ(Sheet().ActivePage(), pagePersonal);
  EXPECT_EQ(Sheet().Record(), Record({"Contacts", "Rodina", "Jan Novák"}));
  EXPECT_TRUE(Sheet().m_pagePersonal->m_pBirthday->HasDate());
  // Loading never marks the database modified.
  EXPECT_FALSE(Doc().IsModified());
}

TEST_F(FormViewTest, TypingOneCharacterStoresTheRecordAtOnceAndKeepsTheLabel) {
  OpenSample();
  Select(Item({"Contacts", "Rodina", "Jan Novák"}));
  CPageName& page = Show(Sheet().m_pageName);
  EXPECT_EQ(page.m_pLabel->currentText(), QStringLiteral("Jan Novák"));
  EXPECT_EQ(Items(page.m_pLabel),
            (QStringList{"Honza", "Jan Novák", "Jan K. Novák", "Novák, Jan", "Novák, Jan K."}));
  Type(page.m_pFirst, QStringLiteral("a"));
  CTreeItem* jan = Record({"Contacts", "Rodina", "Jan Novák"});
  EXPECT_EQ(jan->m_strFirstName, "Jana");
  EXPECT_TRUE(Doc().IsModified());
  EXPECT_EQ(jan->m_strLabel, "Jan Novák");
  EXPECT_EQ(page.m_pLabel->currentText(), QStringLiteral("Jan Novák"));
  EXPECT_EQ(Items(page.m_pLabel)[1], QStringLiteral("Jana Novák"));
  EXPECT_EQ(Sheet().m_pageSummary->m_pNameBox->title(), QStringLiteral("Jana Novák (Honza)"));
}

TEST_F(FormViewTest, AnEditOrARenameMovesTheRevisionOfASharedContactOnly) {
  OpenSample();
  const CFixedIdentityClock clock(1796797800);  // 2026-12-09 06:30:00 UTC
  CTreeItem* jan = Record({"Contacts", "Rodina", "Jan Novák"});
  jan->m_pExtras = std::make_unique<SRecordExtras>();
  jan->m_pExtras->uid = "urn:uuid:7d3e1f0a-2b4c-4d5e-8f90-a1b2c3d4e5f6";
  const auto rev = [](const CTreeItem* r) { return r->m_pExtras ? r->m_pExtras->rev : "(none)"; };
  struct SCase {
    QStringList path;
    const char* revAfter;  // after an edit in the form, and again after a rename with F2
  };
  const SCase cases[] = {
      {{"Contacts", "Rodina", "Jan Novák"}, "20261209T063000Z"},
      {{"Contacts", "Łucja Wąsowska"}, "(none)"},  // an edit gives no identity
  };
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.path.join('/').toStdString());
    CTreeItem* record = Record(c.path);
    Select(Item(c.path));
    jan->m_pExtras->rev = "20250101T080000Z";
    Type(Show(Sheet().m_pageName).m_pFirst, QStringLiteral("a"));
    EXPECT_EQ(rev(record), c.revAfter);

    jan->m_pExtras->rev = "20250101T080000Z";
    Tree().setFocus();
    QTest::keyClick(&Tree(), Qt::Key_F2);
    auto* editor = Tree().viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    // QTest types ASCII keys only.
    editor->setText(QStringLiteral("Nový štítek"));
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(record->m_strLabel, "Nový štítek");
    EXPECT_EQ(rev(record), c.revAfter);
  }
  EXPECT_EQ(jan->m_pExtras->uid, "urn:uuid:7d3e1f0a-2b4c-4d5e-8f90-a1b2c3d4e5f6");
  EXPECT_EQ(rev(jan), "20250101T080000Z") << "the edits of another record leave it alone";
}

TEST_F(FormViewTest, PickingASuggestionRenamesTheNodeAndTypingRenamesItWhenTheBoxIsLeft) {
  OpenSample();
  Select(Item({"Contacts", "Rodina", "Jan Novák"}));
  CPageName& page = Show(Sheet().m_pageName);
  page.m_pLabel->setFocus();
  page.m_pLabel->setCurrentIndex(3);
  emit page.m_pLabel->activated(3);
  EXPECT_EQ(ChildLabels(Item({"Contacts", "Rodina"})), QStringList{"Novák, Jan"});
  EXPECT_EQ(ChildLabels(Item({"Calendar", "Birthdays"})), QStringList{"Novák, Jan"});
  // The new label is a change to keep: closing now would ask to save it.
  EXPECT_TRUE(Doc().IsModified());

  page.m_pLabel->lineEdit()->selectAll();
  Type(page.m_pLabel->lineEdit(), QStringLiteral("Děda"));
  EXPECT_EQ(ChildLabels(Item({"Contacts", "Rodina"})), QStringList{"Novák, Jan"});
  page.m_pFirst->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(ChildLabels(Item({"Contacts", "Rodina"})), QStringList{"Děda"});
  EXPECT_EQ(Record({"Contacts", "Rodina", "Děda"})->m_strLabel, "Děda");
}

TEST_F(FormViewTest, TheGroupBoxStoresTheFlagAndChangesTheNodeImage) {
  OpenSample();
  Select(Item({"Contacts", "Łucja Wąsowska"}));
  CPageName& page = Show(Sheet().m_pageName);
  QTest::mouseClick(page.m_pGroup, Qt::LeftButton, Qt::NoModifier,
                    QPoint(page.m_pGroup->width() - 8, page.m_pGroup->height() / 2));
  EXPECT_EQ(Record({"Contacts", "Łucja Wąsowska"})->m_bGroup, 1);
  EXPECT_EQ(Item({"Contacts", "Łucja Wąsowska"})->icon(0).cacheKey(),
            Tree().NodeIcon(0).cacheKey());
  EXPECT_TRUE(Doc().IsModified());
}

TEST_F(FormViewTest, AnEmailTypedAtHomeBecomesThePreferredAddressAndEnablesTheButtons) {
  OpenSample();
  CRecordingPrompt prompt;
  SetPrompt(&prompt);
  Select(Item({"Contacts", "Rodina", "Jan Novák"}));
  CPageName& name = Show(Sheet().m_pageName);
  EXPECT_FALSE(name.m_pEmailButton->isEnabled());
  EXPECT_EQ(name.m_pPrefEmail->count(), 0);

  CPageHome& home = Show(Sheet().m_pageHome);
  EXPECT_FALSE(home.m_pEmailButton->isEnabled());
  Type(home.m_pEmail, QStringLiteral("jan@novák.example"));
  EXPECT_TRUE(home.m_pEmailButton->isEnabled());
  EXPECT_FALSE(home.m_pWebButton->isEnabled());

  Show(Sheet().m_pageName);
  EXPECT_EQ(Items(name.m_pPrefEmail), QStringList{"jan@novák.example"});
  EXPECT_EQ(name.m_pPrefEmail->currentIndex(), 0);
  EXPECT_EQ(Record({"Contacts", "Rodina", "Jan Novák"})->m_nPrefEmail, 0);
  EXPECT_TRUE(name.m_pEmailButton->isEnabled());
  QTest::mouseClick(name.m_pEmailButton, Qt::LeftButton);
  EXPECT_EQ(prompt.opened, QStringList{"mailto:jan@nov%C3%A1k.example"});
  SetPrompt(&m_prompt);
}

TEST_F(FormViewTest, TheWebButtonsOpenOnlyWebPages) {
  OpenSample();
  CRecordingPrompt prompt;
  SetPrompt(&prompt);
  Select(Item({"Contacts", "Rodina", "Jan Novák"}));
  CPageBusiness& page = Show(Sheet().m_pageBusiness);
  Type(page.m_pWeb, QStringLiteral("www.firma.example"));
  QTest::mouseClick(page.m_pWebButton, Qt::LeftButton);
  page.m_pWeb->clear();
  Type(page.m_pWeb, QStringLiteral("file:///etc/passwd#http://"));
  QTest::mouseClick(page.m_pWebButton, Qt::LeftButton);
  EXPECT_EQ(prompt.opened, QStringList{"http://www.firma.example"});
  SetPrompt(&m_prompt);
}

TEST_F(FormViewTest, TheBirthdayBoxAddsAndRemovesTheBirthdaysNode) {
  OpenSample();
  Select(Item({"Contacts", "Rodina", "Jan Novák"}));
  CPagePersonal& page = Show(Sheet().m_pagePersonal);
  QCheckBox* box = page.m_pBirthday->CheckBox();
  ASSERT_TRUE(box->isChecked());
  QTest::mouseClick(box, Qt::LeftButton);
  CTreeItem* jan = Record({"Contacts", "Rodina", "Jan Novák"});
  EXPECT_EQ(jan->m_bBirthday, 0);
  EXPECT_EQ(ChildLabels(Item({"Calendar", "Birthdays"})), QStringList{});
  EXPECT_TRUE(Doc().IsModified());
  QTest::mouseClick(box, Qt::LeftButton);
  EXPECT_EQ(jan->m_bBirthday, 1);
  EXPECT_EQ(jan->m_dtBirthday.GetYear(), 1970);
  EXPECT_EQ(ChildLabels(Item({"Calendar", "Birthdays"})), QStringList{"Jan Novák"});
}

TEST_F(FormViewTest, TheRemarkKeepsWindowsLineBreaksInTheRecord) {
  OpenSample();
  CTreeItem* lucja = Record({"Contacts", "Łucja Wąsowska"});
  lucja->m_strRemark = "Pierwsza linia\r\nDruga";
  Select(Item({"Contacts", "Łucja Wąsowska"}));
  CPagePersonal& page = Show(Sheet().m_pagePersonal);
  EXPECT_EQ(page.m_pRemark->toPlainText(), QStringLiteral("Pierwsza linia\nDruga"));
  page.m_pRemark->moveCursor(QTextCursor::End);
  page.m_pRemark->setFocus();
  QTest::keyClick(page.m_pRemark, Qt::Key_Return);
  Type(page.m_pRemark, QStringLiteral("Trzecia"));
  EXPECT_EQ(lucja->m_strRemark, "Pierwsza linia\r\nDruga\r\nTrzecia");

  // The anniversary's text beside its date goes into the record and comes back with it.
  Type(page.m_pAnniversaryText, QStringLiteral("Ślub"));
  EXPECT_EQ(lucja->m_strAnniversaryText, "Ślub");
  Select(Item({"Contacts", "Rodina"}));
  EXPECT_EQ(page.m_pAnniversaryText->text(), QString());
  Select(Item({"Contacts", "Łucja Wąsowska"}));
  EXPECT_EQ(page.m_pAnniversaryText->text(), QStringLiteral("Ślub"));
}

TEST_F(FormViewTest, YesterdayAndTomorrowCrossTheYearAndStoreTheShownRecord) {
  OpenSample();
  Select(Item({"Contacts", "Rodina", "Jan Novák"}));
  CPageCalendar& page = Show(Sheet().m_pageCalendar);
  page.m_pDay->Editor()->setDate(QDate(2026, 12, 31));
  EXPECT_FALSE(Doc().IsModified());  // choosing a day only shows it
  QTest::mouseClick(page.m_pTomorrow, Qt::LeftButton);
  EXPECT_EQ(Doc().m_dtCalendarDay.GetYear(), 2027);
  EXPECT_EQ(Doc().m_dtCalendarDay.GetMonth(), 1);
  EXPECT_EQ(Doc().m_dtCalendarDay.GetDay(), 1);
  EXPECT_TRUE(Doc().IsModified());
  QTest::mouseClick(page.m_pYesterday, Qt::LeftButton);
  EXPECT_EQ(page.m_pDay->Editor()->date(), QDate(2026, 12, 31));

  // On the birthday itself the list names Jan with his age.
  page.m_pDay->Editor()->setDate(QDate(2026, 5, 17));
  EXPECT_TRUE(page.m_pBirthdays->toPlainText().startsWith(QStringLiteral("Jan Novák")));
}

// A line longer than its box starts where it begins: "/inohradská" lost its V when the box
// showed the end of the text.
TEST_F(FormViewTest, TheSummaryAndCalendarLinesShowTheirBeginning) {
  OpenSample();
  CTreeItem* jan = Record({"Contacts", "Rodina", "Jan Novák"});
  jan->m_strHomeStreet = "Vinohradská 1234/56, Praha 2 – Vinohrady, vchod ze dvora, 3. patro";
  jan->m_strBusinessStreet = "Václavské náměstí 846/1, Nové Město, Praha 1, budova B, recepce";
  Select(Item({"Contacts", "Rodina", "Jan Novák"}));
  CPageSummary& summary = Show(Sheet().m_pageSummary);
  for (QLineEdit* line : {summary.m_pHomeAddress, summary.m_pWorkAddress}) {
    EXPECT_TRUE(line->text().startsWith(QLatin1Char('V'))) << line->text().toStdString();
    EXPECT_EQ(line->cursorPosition(), 0) << line->text().toStdString();
  }
  CPageCalendar& page = Show(Sheet().m_pageCalendar);
  // The coming days put each event on its own line with its day and the age reached.
  page.m_pDay->Editor()->setDate(QDate(2026, 5, 13));
  EXPECT_EQ(page.m_pNext7Days->toPlainText(), QStringLiteral("Sun 17 May  Jan Novák (56 let)"));
  EXPECT_EQ(page.m_pNext7Days->textCursor().position(), 0);
}

namespace {

// Counts the paints a widget receives.
class CPaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return QObject::eventFilter(watched, event);
  }
};

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

TEST_F(FormViewTest, TheIdleCalendarPageStaysQuietYetFollowsTheRecords) {
  OpenSample();
  Select(Item({"Contacts", "Łucja Wąsowska"}));
  CPageCalendar& page = Show(Sheet().m_pageCalendar);
  QTest::qWait(100);
  CPaintCounter counter;
  page.installEventFilter(&counter);
  const double cpuBefore = CpuSeconds();
  QTest::qWait(2000);
  const double cpu = CpuSeconds() - cpuBefore;
  page.removeEventFilter(&counter);
  // Two seconds of idling: a handful of paints at most, and a small part of a core.
  EXPECT_LE(counter.paints, 5);
  EXPECT_LT(cpu, 0.5);

  // A birthday set today (the clock says 15 March) reaches the list with the next paint.
  CTreeItem* jan = Record({"Contacts", "Rodina", "Jan Novák"});
  jan->m_dtBirthday = CDateTime(1970, 3, 15);
  page.update();
  QTest::qWait(100);
  EXPECT_TRUE(page.m_pBirthdays->toPlainText().startsWith(QStringLiteral("Jan Novák")))
      << page.m_pBirthdays->toPlainText().toStdString();
  SaveScreenshot(Frame(), QStringLiteral("calendar-page-idle"));
}

TEST_F(FormViewTest, ARecordDestroyedWhileShownLeavesTheFormUnharmed) {
  OpenSample();
  Select(Item({"Contacts", "Rodina", "Jan Novák"}));
  CPageName& page = Show(Sheet().m_pageName);
  m_prompt.yesNoAnswers.push_back(true);
  Doc().DeleteNode(Record({"Contacts", "Rodina"}));
  EXPECT_EQ(Sheet().Record(), nullptr);
  EXPECT_EQ(Frame().FormView()->Record(), nullptr);
  // Typing now changes no record: there is none.
  Type(page.m_pFirst, QStringLiteral("x"));
  page.m_pLabel->setFocus();
  page.m_pFirst->setFocus();
  EXPECT_EQ(Doc().ContactsRoot()->ChildCount(), 1u);

  // A moved record is a copy and the original goes: the form lets go of the original and
  // edits reach the copy the tree now shows.
  Select(Item({"Contacts", "Łucja Wąsowska"}));
  const CTreeItem* original = Sheet().Record();
  Doc().MoveBranch(Record({"Contacts", "Łucja Wąsowska"}), Doc().ContactsRoot());
  EXPECT_NE(Sheet().Record(), original);
  Type(Show(Sheet().m_pageHome).m_pEmail, QStringLiteral("ł@example.pl"));
  EXPECT_EQ(Sheet().Record(), Record({"Contacts", "Łucja Wąsowska"}));
  EXPECT_EQ(Record({"Contacts", "Łucja Wąsowska"})->m_strPersonalEmail, "ł@example.pl");
}

TEST_F(FormViewTest, TheAboutLinksOpenMailAndTheWebAndTurnVisited) {
  ASSERT_TRUE(Start());
  CRecordingPrompt prompt;
  SetPrompt(&prompt);
  CPageAbout& page = Show(Sheet().m_pageAbout);
  EXPECT_EQ(page.m_pEmailLink->palette().color(QPalette::WindowText).rgb(),
            CStaticLink::kUnvisited);
  prompt.answer = false;
  QTest::mouseClick(page.m_pWebLink, Qt::LeftButton);
  EXPECT_FALSE(page.m_pWebLink->IsVisited());
  prompt.answer = true;
  QTest::mouseClick(page.m_pEmailLink, Qt::LeftButton);
  EXPECT_TRUE(page.m_pEmailLink->IsVisited());
  EXPECT_EQ(page.m_pEmailLink->palette().color(QPalette::WindowText).rgb(), CStaticLink::kVisited);
  EXPECT_EQ(prompt.opened, (QStringList{"http://www.example.org", "mailto:author@example.com"}));
  SetPrompt(&m_prompt);
}

class FormLayoutTest : public FormViewTest, public ::testing::WithParamInterface<QSize> {};

// The window as it starts (no size given), on a small laptop screen and on the smallest screen
// still sold.
INSTANTIATE_TEST_SUITE_P(Sizes, FormLayoutTest,
                         ::testing::Values(QSize(), QSize(1024, 640), QSize(800, 600)),
                         [](const ::testing::TestParamInfo<QSize>& paramInfo) {
                           const QSize& size = paramInfo.param;
                           return size.isValid() ? "At" + std::to_string(size.width()) + "x" +
                                                       std::to_string(size.height())
                                                 : std::string("AsItStarts");
                         });

TEST_P(FormLayoutTest, EveryPageFitsTheWindow) {
  OpenSample();
  CTreeItem* jan = Record({"Contacts", "Rodina", "Jan Novák"});
  jan->m_strHomeStreet = "Dlouhá 12";
  jan->m_strHomeCity = "Brno";
  jan->m_strPersonalEmail = "jan@novak.example";
  jan->m_strCompany = "Škoda a.s.";
  jan->m_strDepartment = "Vývoj";
  jan->m_strRemark = "Má rád knedlíky.\r\nVolat večer.";
  if (GetParam().isValid()) Frame().resize(GetParam());
  QApplication::processEvents();
  Select(Item({"Contacts", "Rodina", "Jan Novák"}));
  // Every tab of the form is in sight, none behind the tab bar's scroll buttons.
  EXPECT_GE(Sheet().tabBar()->width(), Sheet().tabBar()->sizeHint().width());
  const QString folder = qEnvironmentVariable("ZORVAN_SCREENSHOTS");
  for (int i = 0; i < Sheet().count(); ++i) {
    Sheet().SetActivePage(i);
    QApplication::processEvents();
    QWidget* page = Sheet().widget(i);
    SCOPED_TRACE(Sheet().tabText(i).toStdString());
    // Nothing of a page lies outside the part of the pane that shows it.
    for (QWidget* child : page->findChildren<QWidget*>()) {
      if (!child->isVisibleTo(page)) continue;
      const QRect r(child->mapTo(page, QPoint(0, 0)), child->size());
      EXPECT_TRUE(page->rect().contains(r))
          << child->metaObject()->className() << " " << child->objectName().toStdString();
    }
    if (!folder.isEmpty())
      Frame().grab().save(
          QDir(folder).filePath(QStringLiteral("page-%1-%2.png").arg(i).arg(Frame().width())));
  }
  // The address and the ways of reaching the contact are as wide at work as at home.
  auto boxOf = [](QWidget* page, const QString& label) -> QWidget* {
    for (QLabel* l : page->findChildren<QLabel*>())
      if (l->text() == label) return l->buddy();
    return nullptr;
  };
  for (const auto& [home, work] : {std::pair{"&Street:", "&Street:"},
                                   {"&ZIP:", "&ZIP:"},
                                   {"&Phone:", "&Phone:"},
                                   {"&E-mail:", "&E-mail:"}}) {
    Sheet().SetActivePage(pageHome);
    QWidget* atHome = boxOf(Sheet().m_pageHome, home);
    const int homeWidth = atHome ? atHome->width() : -1;
    Sheet().SetActivePage(pageBusiness);
    QWidget* atWork = boxOf(Sheet().m_pageBusiness, work);
    ASSERT_TRUE(atHome && atWork) << home;
    EXPECT_EQ(atWork->width(), homeWidth) << home;
  }
}

// The page titles take the theme's text colour: in a dark or high-contrast theme black on black
// would hide them.
TEST_F(FormViewTest, ThePageHeadersAreDrawnInTheThemesTextColour) {
  OpenSample();
  Select(Item({"Contacts", "Rodina", "Jan Novák"}));
  for (const QColor& text : {QColor(0xf0, 0xe0, 0x10), QColor(0x20, 0x40, 0xc0)}) {
    QPalette palette = Sheet().palette();
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Window, text == QColor(0x20, 0x40, 0xc0) ? Qt::white : Qt::black);
    Sheet().setPalette(palette);
    const QImage shot = Sheet().m_pageHome->Header()->grab().toImage();
    int inText = 0;
    for (int y = 0; y < shot.height(); ++y)
      for (int x = 0; x < shot.width(); ++x) inText += shot.pixelColor(x, y) == text ? 1 : 0;
    EXPECT_GT(inText, 200) << text.name().toStdString();
  }
}

TEST_F(FormViewTest, MnemonicsReachTheirBoxesEvenWhereTheMenuUsesTheLetter) {
  OpenSample();
  Select(Item({"Contacts", "Rodina", "Jan Novák"}));
  CPageName& page = Show(Sheet().m_pageName);
  page.m_pNickname->setFocus();
  // Alt+F and Alt+E also open the File and Edit menus; in the form they reach the boxes.
  const std::pair<Qt::Key, QWidget*> keys[] = {{Qt::Key_F, page.m_pFirst},
                                               {Qt::Key_S, page.m_pLast},
                                               {Qt::Key_E, page.m_pPrefEmail},
                                               {Qt::Key_L, page.m_pLabel}};
  for (const auto& [key, box] : keys) {
    QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), box) << QKeySequence(key).toString().toStdString();
  }
}

}  // namespace zorvan::test
