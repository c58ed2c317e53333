#include "tests/ui/GuiTest.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QKeyEvent>
#include <QSettings>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>
#include <QWindow>

#include "FakeHost.h"
#include "TestUtil.h"
#include "app/MainFrame.h"
#include "app/ZorvanApp.h"
#include "qt/QtText.h"
#include "store/ZorvanDoc.h"
#include "ui/ZorvanTreeView.h"

namespace zorvan::test {
namespace {

// "Now" in every GUI test: 15 March 2024, 10:00.
const CDateTime kNow(2024, 3, 15, 10, 0, 0);

}  // namespace

// --- The scripted prompt ---

void CScriptedPrompt::MessageBox(const QString& text, EMsgIcon icon) {
  messages.push_back({text, icon});
}

bool CScriptedPrompt::AskYesNo(const QString& text) {
  questions << text;
  if (yesNoAnswers.empty()) return false;
  const bool answer = yesNoAnswers.front();
  yesNoAnswers.pop_front();
  return answer;
}

ESaveAnswer CScriptedPrompt::AskSaveChanges(const QString& text) {
  savePrompts << text;
  if (saveAnswers.empty()) return ESaveAnswer::Cancel;
  const ESaveAnswer answer = saveAnswers.front();
  saveAnswers.pop_front();
  return answer;
}

QString CScriptedPrompt::GetOpenFileName(const SFileDialog& dialog) {
  fileDialogs.push_back(dialog);
  if (fileAnswers.empty()) return QString();
  const QString answer = fileAnswers.front();
  fileAnswers.pop_front();
  return answer;
}

QString CScriptedPrompt::GetSaveFileName(const SFileDialog& dialog) {
  return GetOpenFileName(dialog);
}

int CScriptedPrompt::RunModal(QDialog& dialog) {
  // A dialog that the script does not close (accept) counts as cancelled.
  if (onModal) onModal(dialog);
  dialog.hide();
  // A script that clicks the dialog's OK button makes it end with OK; any other ends it
  // cancelled.
  return dialog.result();
}

bool CRecordingPrompt::OpenUrl(const QUrl& url) {
  opened << url.toString(QUrl::FullyEncoded);
  return answer;
}

QStringList CScriptedPrompt::MessageTexts() const {
  QStringList texts;
  for (const SMessage& m : messages) texts << m.text;
  return texts;
}

// --- The fixture ---

void CGuiTest::SetUp() {
  ASSERT_TRUE(m_dir.isValid());
  QSettings(QStringLiteral("Tavorin"), QStringLiteral("Zorvan")).clear();
  SetClockSource([] { return kNow; });
  SetPrompt(&m_prompt);
  UseCalendar(QStringLiteral("1;1;zulu;\n2;1;Alpha;\n3;1;mike;\n"));
}

void CGuiTest::TearDown() {
  Stop();
  while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
  SetPrompt(nullptr);
  SetClockSource({});
  QSettings(QStringLiteral("Tavorin"), QStringLiteral("Zorvan")).clear();
}

bool CGuiTest::Start(const QStringList& arguments) {
  m_pApp = std::make_unique<CZorvanApp>();
  const bool up =
      m_pApp->InitInstance(QStringList{QStringLiteral("zorvan")} + arguments, m_out, m_err);
  if (up) QApplication::processEvents();
  return up;
}

bool CGuiTest::CloseWindow() { return Frame().close(); }

void CGuiTest::Stop() { m_pApp.reset(); }

CMainFrame& CGuiTest::Frame() const { return *m_pApp->MainFrame(); }
CZorvanDoc& CGuiTest::Doc() const { return m_pApp->Doc(); }
CZorvanTreeView& CGuiTest::Tree() const { return *Frame().TreeView(); }

QString CGuiTest::ShownTitle() const {
  const QWindow* window = Frame().windowHandle();
  return window ? window->title() : QStringLiteral("(no window)");
}

void CGuiTest::UseCalendar(const QString& entries) {
  const QString path = TempPath(QStringLiteral("test.cal"));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write("CONTACTS=Contacts\nCALENDAR=Calendar\nBEGIN_CALNAMES\n");
  file.write(entries.toLatin1());
  file.write("END_CALNAMES\n");
  file.close();
  QSettings(QStringLiteral("Tavorin"), QStringLiteral("Zorvan"))
      .setValue(QStringLiteral("Settings/Resource"), path);
}

QString CGuiTest::MakeDatabase(const QString& name, const QStringList& lines) {
  CFakeHost host;
  host.settings["Settings/Resource"] = ToStdString(TempPath(QStringLiteral("test.cal")));
  CZorvanDoc doc(host);
  doc.OnNewDocument();
  std::vector<CTreeItem*> parents{doc.ContactsRoot()};
  for (const QString& line : lines) {
    const qsizetype depth = line.size() - line.trimmed().size();
    const QStringList parts = line.trimmed().split(QLatin1Char(';'));
    auto* record = new CTreeItem;
    record->m_strLabel = ToStdString(parts[0]);
    for (const QString& part : parts.mid(1)) {
      if (part == QLatin1String("g")) record->m_bGroup = 1;
      if (part.startsWith(QLatin1String("b="))) {
        const QStringList dmy = part.mid(2).split(QLatin1Char('.'));
        record->m_dtBirthday = CDateTime(dmy[2].toInt(), dmy[1].toInt(), dmy[0].toInt());
        record->m_bBirthday = 1;
      }
      if (part.startsWith(QLatin1String("a="))) {
        const QStringList dmy = part.mid(2).split(QLatin1Char('.'));
        record->m_dtAnniversary = CDateTime(dmy[2].toInt(), dmy[1].toInt(), dmy[0].toInt());
        record->m_bAnniversary = 1;
      }
    }
    parents.resize(static_cast<size_t>(depth) + 1);
    CTreeItem::AddChild(parents.back(), record);
    parents.push_back(record);
  }
  const QString path = TempPath(name);
  const CStatus saved = doc.OnSaveDocument(ToStdString(path));
  EXPECT_TRUE(saved) << saved.Reason();
  return path;
}

QTreeWidgetItem* CGuiTest::Item(const QStringList& labels) const {
  // The items of a branch never opened are made on the way, as for a user who opens it; the
  // found item's children are made too.
  QTreeWidgetItem* item = nullptr;
  for (const QString& label : labels) {
    if (item) Tree().MakeChildItems(item);
    QTreeWidgetItem* next = nullptr;
    const int count = item ? item->childCount() : Tree().topLevelItemCount();
    for (int i = 0; i < count && !next; ++i) {
      QTreeWidgetItem* candidate = item ? item->child(i) : Tree().topLevelItem(i);
      if (candidate->text(0) == label) next = candidate;
    }
    if (!next) return nullptr;
    item = next;
  }
  if (item) Tree().MakeChildItems(item);
  return item;
}

CTreeItem* CGuiTest::Record(const QStringList& labels) const {
  return CTreeViewEx::RecordOf(Item(labels));
}

void CGuiTest::Type(QWidget* widget, const QString& text) {
  widget->setFocus();
  for (const QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(widget, &release);
  }
}

QStringList CGuiTest::ChildLabels(QTreeWidgetItem* item) const {
  QStringList labels;
  if (!item) return labels;
  Tree().MakeChildItems(item);
  for (int i = 0; i < item->childCount(); ++i) labels << item->child(i)->text(0);
  return labels;
}

void CGuiTest::Select(QTreeWidgetItem* item) {
  ASSERT_NE(item, nullptr);
  if (item->isSelected()) return;  // a click on the selected item would start a label edit
  for (QTreeWidgetItem* up = item->parent(); up; up = up->parent()) up->setExpanded(true);
  Tree().scrollToItem(item);
  const QRect rect = Tree().visualItemRect(item);
  QTest::mouseClick(Tree().viewport(), Qt::LeftButton, Qt::NoModifier,
                    QPoint(rect.left() + 10, rect.center().y()));
  ASSERT_TRUE(item->isSelected());
}

}  // namespace zorvan::test
