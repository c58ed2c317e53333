// The tree's items as a user meets them: the locale's alphabetical order, a new item scrolled
// into view, an in-place edit that changes nothing, clicks beside the items, long labels, and
// characters the file cannot hold typed into a label.
#include <QApplication>
#include <QHelpEvent>
#include <QLineEdit>
#include <QLocale>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QToolTip>

#include "app/MainFrame.h"
#include "store/ZorvanDoc.h"
#include "tests/ui/GuiTest.h"
#include "tests/ui/Screenshot.h"
#include "ui/ZorvanTreeView.h"

namespace zorvan::test {
namespace {

class TreeItemsTest : public CGuiTest {
 protected:
  void TearDown() override {
    CGuiTest::TearDown();
    QLocale::setDefault(m_savedLocale);
  }

  // Czech and other contacts at the top, Czech name days in the calendar resource.
  void OpenCzech(const QLocale& locale) {
    QLocale::setDefault(locale);
    UseCalendar(QStringLiteral(
        "1;1;Zuzana;\n2;1;\xC8\x65n\xECk;\n3;1;\x8E\x6F\x66ie;\n4;1;Adam;\n5;1;Chrudo\x9A;\n"
        "6;1;Hana;\n"));
    const QString path = MakeDatabase(
        "czech.zvd", {"Zeman", "šťastný", "Černý", "Cyril", "chalupa", "Hora", "Églantine", "eva"});
    ASSERT_TRUE(Start({path}));
  }

  // The editor of an in-place edit begun with F2 (an ended edit's editor is gone first).
  QLineEdit* StartLabelEdit(QTreeWidgetItem* item) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Select(item);
    QTest::keyClick(&Tree(), Qt::Key_F2);
    const QList<QLineEdit*> editors = Tree().viewport()->findChildren<QLineEdit*>();
    return editors.size() == 1 ? editors.first() : nullptr;
  }

  // Types text as key presses carrying each character (QTest's typing knows Latin-1 only).
  void Type(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
      QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
      QApplication::sendEvent(widget, &press);
      QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
      QApplication::sendEvent(widget, &release);
    }
  }

  bool InView(QTreeWidgetItem* item) {
    return Tree().viewport()->rect().contains(Tree().visualItemRect(item));
  }

  QLocale m_savedLocale;
};

// The calendar resource above is Windows-1250: Čeněk, Žofie, Chrudoš.
const QStringList kCzechNames{"Adam: 4.1",    "Čeněk: 2.1",  "Hana: 6.1",
                              "Chrudoš: 5.1", "Zuzana: 1.1", "Žofie: 3.1"};

}  // namespace

TEST_F(TreeItemsTest, CzechLocaleSortsContactsAndCalendarNamesInTheCzechAlphabet) {
  OpenCzech(QLocale(QLocale::Czech, QLocale::Czechia));
  // Č after C, Ch after H, Š after S, accents and case second to the letters.
  EXPECT_EQ(ChildLabels(Item({"Contacts"})), (QStringList{"Cyril", "Černý", "Églantine", "eva",
                                                          "Hora", "chalupa", "šťastný", "Zeman"}));
  EXPECT_EQ(ChildLabels(Item({"Calendar", "Calendar"})), kCzechNames);

  // A level sorted again after a change keeps to the same alphabet.
  Select(Item({"Contacts"}));
  Frame().Action(ID_EDIT_CREATE_NEW)->trigger();
  EXPECT_EQ(ChildLabels(Item({"Contacts"})),
            (QStringList{"Cyril", "Černý", "Églantine", "eva", "Hora", "chalupa", "šťastný",
                         "Unnamed", "Zeman"}));
  Tree().expandItem(Item({"Calendar"}));
  Tree().expandItem(Item({"Calendar", "Calendar"}));
  Frame().resize(640, 520);
  SaveScreenshot(Frame(), QStringLiteral("czech-tree-sorted"));
}

TEST_F(TreeItemsTest, OtherLocalesSortAccentedLettersWithTheirBaseLetters) {
  const QStringList english{"Černý", "chalupa", "Cyril",   "Églantine",
                            "eva",   "Hora",    "šťastný", "Zeman"};
  OpenCzech(QLocale(QLocale::English, QLocale::UnitedStates));
  EXPECT_EQ(ChildLabels(Item({"Contacts"})), english);
  EXPECT_EQ(ChildLabels(Item({"Calendar", "Calendar"})),
            (QStringList{"Adam: 4.1", "Čeněk: 2.1", "Chrudoš: 5.1", "Hana: 6.1", "Žofie: 3.1",
                         "Zuzana: 1.1"}));
  Stop();
  // The C locale orders no alphabet: the tree then takes the common order of Unicode rather
  // than the characters' numbers, which would put every accented capital after "Z".
  OpenCzech(QLocale::c());
  EXPECT_EQ(ChildLabels(Item({"Contacts"})), english);
}

TEST_F(TreeItemsTest, CreateNewScrollsTheSortedNewItemIntoView) {
  QStringList lines;
  for (int i = 0; i < 150; ++i) lines << QStringLiteral("Adámek %1").arg(i, 3, 10, QChar('0'));
  for (int i = 0; i < 150; ++i) lines << QStringLiteral("Žák %1").arg(i, 3, 10, QChar('0'));
  ASSERT_TRUE(Start({MakeDatabase("long.zvd", lines)}));
  Frame().resize(800, 400);
  QApplication::processEvents();
  Select(Item({"Contacts"}));
  Frame().Action(ID_EDIT_CREATE_NEW)->trigger();
  QApplication::processEvents();
  QTreeWidgetItem* created = Item({"Contacts", "Unnamed"});
  ASSERT_NE(created, nullptr);
  // Sorted between the two halves, far from the end where it was made.
  EXPECT_EQ(Item({"Contacts"})->indexOfChild(created), 150);
  EXPECT_TRUE(created->isSelected());
  EXPECT_TRUE(InView(created)) << "item at y=" << Tree().visualItemRect(created).y()
                               << ", viewport height " << Tree().viewport()->height();
}

TEST_F(TreeItemsTest, InPlaceEditThatLeavesTheLabelAsItWasChangesNothing) {
  ASSERT_TRUE(Start({MakeDatabase("a.zvd", {"Řehoř Dvořák;b=1.2.1980", "Anna"})}));
  ASSERT_FALSE(Doc().IsModified());
  QLineEdit* editor = StartLabelEdit(Item({"Contacts", "Řehoř Dvořák"}));
  ASSERT_NE(editor, nullptr);
  QTest::keyClick(editor, Qt::Key_Escape);
  QApplication::processEvents();
  EXPECT_FALSE(Doc().IsModified());
  // Typed away and back again is no change either.
  editor = StartLabelEdit(Item({"Contacts", "Řehoř Dvořák"}));
  ASSERT_NE(editor, nullptr);
  QTest::keyClick(editor, Qt::Key_End);
  QTest::keyClick(editor, Qt::Key_Backspace);
  Type(editor, QStringLiteral("k"));
  QTest::keyClick(editor, Qt::Key_Return);
  QApplication::processEvents();
  EXPECT_FALSE(Doc().IsModified());
  // A real change still counts.
  editor = StartLabelEdit(Item({"Contacts", "Řehoř Dvořák"}));
  ASSERT_NE(editor, nullptr);
  QTest::keyClick(editor, Qt::Key_End);
  Type(editor, QStringLiteral("ová"));
  QTest::keyClick(editor, Qt::Key_Return);
  QApplication::processEvents();
  EXPECT_TRUE(Doc().IsModified());
  EXPECT_NE(Record({"Contacts", "Řehoř Dvořáková"}), nullptr);
}

TEST_F(TreeItemsTest, AClickOnTheEmptySpaceKeepsTheSelectionAndTheCommands) {
  ASSERT_TRUE(Start({MakeDatabase("a.zvd", {"Ůlehla", "Anna"})}));
  Frame().resize(600, 500);
  QApplication::processEvents();
  Select(Item({"Contacts"}));
  Tree().expandItem(Item({"Contacts"}));
  Select(Item({"Contacts", "Ůlehla"}));
  ASSERT_TRUE(Frame().Action(ID_EDIT_DELETE_CONTACT)->isEnabled());
  const QPoint below(20, Tree().viewport()->height() - 5);
  ASSERT_EQ(Tree().itemAt(below), nullptr);
  QTest::mouseClick(Tree().viewport(), Qt::LeftButton, Qt::NoModifier, below);
  QTest::mouseClick(Tree().viewport(), Qt::LeftButton, Qt::ControlModifier, below);
  QTest::mouseDClick(Tree().viewport(), Qt::LeftButton, Qt::NoModifier, below);
  QApplication::processEvents();
  EXPECT_TRUE(Item({"Contacts", "Ůlehla"})->isSelected());
  EXPECT_EQ(Tree().currentItem(), Item({"Contacts", "Ůlehla"}));
  EXPECT_TRUE(Frame().Action(ID_EDIT_CREATE_NEW)->isEnabled());
  EXPECT_TRUE(Frame().Action(ID_EDIT_DELETE_CONTACT)->isEnabled());
}

TEST_F(TreeItemsTest, ALongLabelGetsAHorizontalScrollBarAndItsWholeTextAsToolTip) {
  const QString longLabel = QStringLiteral(
      "Ing. Bohumila Přemyslovna Šťastná-Koudelková, Krajský úřad Vysočina, "
      "odbor životního prostředí a zemědělství");
  ASSERT_TRUE(Start({MakeDatabase("a.zvd", {longLabel, "Eva"})}));
  Frame().resize(960, 400);
  Frame().show();
  QApplication::processEvents();
  Select(Item({"Contacts"}));
  Tree().expandItem(Item({"Contacts"}));
  QApplication::processEvents();
  QTreeWidgetItem* item = Item({"Contacts", longLabel});
  ASSERT_NE(item, nullptr);
  EXPECT_GT(Tree().horizontalScrollBar()->maximum(), 0);

  // The whole label shows as the tip of the cut item, none over a label that fits.
  const QRect rect = Tree().visualItemRect(item);
  const QPoint over(rect.left() + 30, rect.center().y());
  QHelpEvent help(QEvent::ToolTip, over, Tree().viewport()->mapToGlobal(over));
  QApplication::sendEvent(Tree().viewport(), &help);
  EXPECT_TRUE(QToolTip::isVisible());
  EXPECT_EQ(QToolTip::text(), longLabel);
  SaveScreenshot(Frame(), QStringLiteral("long-label-tooltip"));

  QToolTip::hideText();
  QTest::qWait(400);  // a tip fades out
  ASSERT_FALSE(QToolTip::isVisible());
  const QRect short_ = Tree().visualItemRect(Item({"Contacts", "Eva"}));
  const QPoint overShort(short_.left() + 10, short_.center().y());
  QHelpEvent shortHelp(QEvent::ToolTip, overShort, Tree().viewport()->mapToGlobal(overShort));
  QApplication::sendEvent(Tree().viewport(), &shortHelp);
  EXPECT_FALSE(QToolTip::isVisible()) << QToolTip::text().toStdString();

  // Scrolled all the way, the label's end is in view and needs no tip.
  Tree().horizontalScrollBar()->setValue(Tree().horizontalScrollBar()->maximum());
  QApplication::processEvents();
  const QRect scrolled = Tree().visualItemRect(item);
  EXPECT_LE(scrolled.right(), Tree().viewport()->width() + 2);
}

TEST_F(TreeItemsTest, ALabelTypedWithCharactersTheCodePageCannotHoldIsKeptWithoutAWord) {
  // The file keeps such texts whole after its records: nothing to warn about.
  ASSERT_TRUE(Start({MakeDatabase("a.zvd", {"Anna", "Bára"})}));
  // Typing replaces the whole label, which the edit starts with selected.
  const struct {
    const char* label;
    const char* typed;
  } kCases[] = {
      {"Anna", "Anna Nováková Ørsted"},
      {"Bára", "Bára 李 Νίκη"},
  };
  for (const auto& c : kCases) {
    QLineEdit* editor = StartLabelEdit(Item({"Contacts", QString::fromUtf8(c.label)}));
    ASSERT_NE(editor, nullptr) << c.label;
    Type(editor, QString::fromUtf8(c.typed));
    EXPECT_EQ(Frame().statusBar()->currentMessage(), QString()) << c.label;
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_TRUE(m_prompt.messages.empty());
    const CTreeItem* record = Record({"Contacts", QString::fromUtf8(c.typed)});
    ASSERT_NE(record, nullptr) << c.typed;
    EXPECT_EQ(record->m_strLabel, c.typed);
  }
}

}  // namespace zorvan::test
