// Edit > Undo and Redo as a user meets them: their texts, the keys in the tree and in an edit
// box, and the window's "*" for unsaved changes.
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include "app/MainFrame.h"
#include "qt/QtText.h"
#include "store/RecordFields.h"
#include "store/ZorvanDoc.h"
#include "tests/ui/GuiTest.h"
#include "tests/ui/Screenshot.h"
#include "ui/ZorvanTreeView.h"
#include "ui/ZorvanView.h"

namespace zorvan::test {
namespace {

class UndoWindowTest : public CGuiTest {
 protected:
  QAction* Undo() const { return Frame().Action(ID_EDIT_UNDO); }
  QAction* Redo() const { return Frame().Action(ID_EDIT_REDO); }
  void Key(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
    QTest::keyClick(widget, key, modifiers);
    QApplication::processEvents();
  }
};

}  // namespace

TEST_F(UndoWindowTest, KeysInTheTreeUndoAndRedoADeletedGroup) {
  ASSERT_TRUE(
      Start({MakeDatabase("rodina.zvd", {"Rodina;g", " Jiří;b=1.2.1980", " Zoë", "Łukasz"})}));
  QApplication::setActiveWindow(&Frame());
  EXPECT_FALSE(Undo()->isEnabled());
  EXPECT_FALSE(Redo()->isEnabled());
  Select(Item({"Contacts", "Rodina"}));
  Tree().setFocus();
  m_prompt.yesNoAnswers = {true};
  QTest::keyClick(&Tree(), Qt::Key_Delete);
  ASSERT_EQ(Item({"Contacts", "Rodina"}), nullptr);
  EXPECT_TRUE(ShownTitle().contains('*'));
  EXPECT_EQ(Undo()->text(), "&Undo Delete 'Rodina' (2 contacts)\tCtrl+Z");
  for (QObject* object : Undo()->associatedObjects()) {
    auto* menu = qobject_cast<QMenu*>(object);
    if (!menu || qEnvironmentVariableIsEmpty("ZORVAN_SCREENSHOTS")) continue;
    menu->popup(Frame().mapToGlobal(QPoint(40, 20)));
    QApplication::processEvents();
    SaveScreenshot(*menu, QStringLiteral("undo-menu"));
    SaveScreenshot(Frame(), QStringLiteral("undo-window"));
    menu->hide();
  }

  Key(&Tree(), Qt::Key_Z);
  EXPECT_EQ(ChildLabels(Item({"Contacts", "Rodina"})), (QStringList{"Jiří", "Zoë"}));
  EXPECT_EQ(ChildLabels(Item({"Calendar", "Birthdays"})), QStringList{"Jiří"});
  EXPECT_FALSE(ShownTitle().contains('*'));
  EXPECT_FALSE(Undo()->isEnabled());
  EXPECT_EQ(Redo()->text(), "&Redo Delete 'Rodina' (2 contacts)\tCtrl+Y");

  for (const Qt::KeyboardModifiers redo :
       {Qt::ControlModifier | Qt::NoModifier, Qt::ControlModifier | Qt::ShiftModifier}) {
    Key(&Tree(), redo & Qt::ShiftModifier ? Qt::Key_Z : Qt::Key_Y, redo);
    EXPECT_EQ(Item({"Contacts", "Rodina"}), nullptr);
    EXPECT_TRUE(ShownTitle().contains('*'));
    Key(&Tree(), Qt::Key_Z);
    EXPECT_NE(Item({"Contacts", "Rodina"}), nullptr);
  }
}

// In an edit box the box's own typing goes first, then the document's steps, the last of which
// here brings back a contact deleted before the typing.
TEST_F(UndoWindowTest, AnEditBoxUndoesItsTypingBeforeTheDocument) {
  ASSERT_TRUE(Start({MakeDatabase("lide.zvd", {"Zoë", "Łukasz"})}));
  QApplication::setActiveWindow(&Frame());
  Select(Item({"Contacts", "Zoë"}));
  Tree().setFocus();
  m_prompt.yesNoAnswers = {true};
  QTest::keyClick(&Tree(), Qt::Key_Delete);
  Select(Item({"Contacts", "Łukasz"}));
  auto* box = Frame().FormView()->findChild<QLineEdit*>();
  ASSERT_NE(box, nullptr);
  CTreeItem* record = Record({"Contacts", "Łukasz"});
  // Whether the record holds the typed letters in any of its texts.
  auto holdsTyping = [record] {
    for (const SRecordField& field : kRecordFields)
      if (field.pText && ToQString((record->*field.pText).view()).contains(QStringLiteral("Żó")))
        return true;
    return false;
  };
  const QString before = box->text();
  Type(box, QStringLiteral("Żó"));
  EXPECT_TRUE(holdsTyping());
  const QString typed = box->text();
  ASSERT_TRUE(typed.endsWith(QStringLiteral("Żó")));
  EXPECT_EQ(Undo()->text(), "&Undo Typing in 'Łukasz'\tCtrl+Z");

  for (int keys = 0; keys < 5 && box->isUndoAvailable(); ++keys) Key(box, Qt::Key_Z);
  EXPECT_EQ(box->text(), before);
  EXPECT_FALSE(holdsTyping());
  EXPECT_EQ(Undo()->text(), "&Undo Typing in 'Łukasz'\tCtrl+Z");
  Key(box, Qt::Key_Z);
  EXPECT_EQ(Undo()->text(), "&Undo Delete 'Zoë'\tCtrl+Z");
  EXPECT_TRUE(box->hasFocus());
  Key(box, Qt::Key_Z);
  EXPECT_NE(Item({"Contacts", "Zoë"}), nullptr);
  EXPECT_FALSE(ShownTitle().contains('*'));
  Key(box, Qt::Key_Y);
  EXPECT_EQ(Item({"Contacts", "Zoë"}), nullptr);
}

}  // namespace zorvan::test

namespace zorvan::test {

// Undo while the tree's label editor is open on the record the step made: the record goes with
// its editor, and nothing typed there reaches a record that is gone.
TEST_F(UndoWindowTest, UndoInTheLabelEditorTakesTheNewRecordAway) {
  ASSERT_TRUE(Start({MakeDatabase("lide.zvd", {"Zoë"})}));
  QApplication::setActiveWindow(&Frame());
  Select(Item({"Contacts"}));
  Tree().setFocus();
  QTest::keyClick(&Tree(), Qt::Key_Insert);
  ASSERT_EQ(Item({"Contacts"})->childCount(), 2);
  Tree().editItem(Tree().currentItem());
  QApplication::processEvents();
  auto* editor = Tree().findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  editor->setFocus();
  Type(editor, QStringLiteral("Řehoř"));
  for (int keys = 0; keys < 8 && Item({"Contacts"})->childCount() == 2; ++keys) {
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : &Tree(), Qt::Key_Z, Qt::ControlModifier);
    QApplication::processEvents();
  }
  EXPECT_EQ(ChildLabels(Item({"Contacts"})), QStringList{"Zoë"});
  QTest::keyClick(&Tree(), Qt::Key_Return);
  QApplication::processEvents();
  EXPECT_EQ(ChildLabels(Item({"Contacts"})), QStringList{"Zoë"});
}

}  // namespace zorvan::test
