// The program's window with a generated database: the start from the command line to the shown
// window with the filled tree, the fill of the tree alone, the first opening of a branch, a
// keystroke in the form, the Calendar page's paint, Find and the filter box.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <map>
#include <memory>
#include <sstream>

#include <QComboBox>
#include <QRadioButton>
#include <functional>
#include "GeneratedDatabase.h"

#include "app/MainFrame.h"
#include "app/ZorvanApp.h"
#include "calendar/CalendarTexts.h"
#include "find/Finder.h"
#include "qt/Prompt.h"
#include "store/AtomicFile.h"
#include "store/DateTime.h"
#include "store/ZorvanDoc.h"
#include "store/ZvdFile.h"
#include "ui/FilterBox.h"
#include "ui/FindDlg.h"
#include "ui/MyPropSheet.h"
#include "ui/ZorvanTreeView.h"
#include "ui/ZorvanView.h"
#include "ui/pages/PageCalendar.h"
#include "ui/pages/PageName.h"

using namespace zorvan;

namespace {

// What the modal dialogs answer while a benchmark runs (nothing is shown).
std::function<int(QDialog&)> g_onModal;

// No dialogs while measuring.
class CSilentPrompt : public CPrompt {
 public:
  void MessageBox(const QString&, EMsgIcon) override {}
  bool AskYesNo(const QString&) override { return false; }
  ESaveAnswer AskSaveChanges(const QString&) override { return ESaveAnswer::No; }
  QString GetOpenFileName(const SFileDialog&) override { return QString(); }
  QString GetSaveFileName(const SFileDialog&) override { return QString(); }
  int RunModal(QDialog& dialog) override { return g_onModal ? g_onModal(dialog) : 0; }
};

// Start-up with the database on the command line until the window is shown and painted.
void BM_StartToShownWindow(benchmark::State& state) {
  const std::string& path = bench::GeneratedDatabaseFile(static_cast<int>(state.range(0)));
  std::ostringstream out;
  for (auto _ : state) {
    auto app = std::make_unique<CZorvanApp>();
    app->InitInstance({QStringLiteral("zorvan"), QString::fromStdString(path)}, out, out);
    QApplication::processEvents();
    app->MainFrame()->repaint();
    state.PauseTiming();
    app.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StartToShownWindow)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The tree view's fill alone (the document's open is not measured).
void BM_TreeFill(benchmark::State& state) {
  const std::string& path = bench::GeneratedDatabaseFile(static_cast<int>(state.range(0)));
  std::ostringstream out;
  CZorvanApp app;
  app.InitInstance({QStringLiteral("zorvan"), QString::fromStdString(path)}, out, out);
  for (auto _ : state) app.MainFrame()->TreeView()->OnInitialUpdate();
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_TreeFill)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The program with the generated database open and its window shown.
std::unique_ptr<CZorvanApp> StartWith(int n) {
  static std::ostringstream out;
  auto app = std::make_unique<CZorvanApp>();
  app->InitInstance(
      {QStringLiteral("zorvan"), QString::fromStdString(bench::GeneratedDatabaseFile(n))}, out,
      out);
  QApplication::processEvents();
  return app;
}

// The first opening of a branch after the fill, where the tree makes its items: 0 the
// "Contacts" root (a group item for every 50 contacts) and its first group, 1 the "Calendar"
// root and its Birthdays category, the tree painted. Where ZORVAN_SCREENSHOTS names a folder,
// the window is saved there, the group or category closed again so that the closed ones around
// it show with their arrows.
void BM_OpenBranch(benchmark::State& state) {
  auto app = StartWith(static_cast<int>(state.range(0)));
  CMainFrame& frame = *app->MainFrame();
  CZorvanTreeView& tree = *frame.TreeView();
  CZorvanDoc& doc = app->Doc();
  const bool calendar = state.range(1) != 0;
  for (auto _ : state) {
    state.PauseTiming();
    tree.OnInitialUpdate();
    QApplication::processEvents();
    state.ResumeTiming();
    CTreeItem* root = calendar ? doc.CalendarRoot() : doc.ContactsRoot();
    tree.expandItem(tree.ItemOf(root));
    tree.expandItem(tree.MakeItemOf(calendar ? doc.Category(catBirthdays) : root->Child(0)));
    QApplication::processEvents();
    tree.viewport()->repaint();
  }
  const QString folder = qEnvironmentVariable("ZORVAN_SCREENSHOTS");
  if (!folder.isEmpty()) {
    CTreeItem* root = calendar ? doc.CalendarRoot() : doc.ContactsRoot();
    tree.collapseItem(tree.ItemOf(calendar ? doc.Category(catBirthdays) : root->Child(0)));
    QApplication::processEvents();
    QDir().mkpath(folder);
    frame.grab().save(QDir(folder).filePath(QStringLiteral("open-branch-%1.png").arg(calendar)));
  }
}
BENCHMARK(BM_OpenBranch)
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->ArgNames({"records", "calendar"})
    ->Unit(benchmark::kMillisecond);

// One keystroke in the First name box of a shown contact: the whole record is stored, its
// label suggestions, address lists and summary rebuilt, the database marked modified. The
// contact is the first of the reminders' week when the second argument is 1.
void BM_KeystrokeInForm(benchmark::State& state) {
  auto app = StartWith(static_cast<int>(state.range(0)));
  CZorvanDoc& doc = app->Doc();
  CTreeItem* contact = doc.ContactsRoot()->Child(0)->Child(0);
  if (state.range(1) != 0) {
    const std::vector<SReminder> week = CollectReminders(doc, CurrentLocalTime());
    if (week.empty()) {
      state.SkipWithError("no contact has an event this week");
      return;
    }
    contact = const_cast<CTreeItem*>(week.front().pContact);
  }
  doc.UpdateAllViews(nullptr, HINT_SHOW_RECORD, contact);
  CMyPropSheet& sheet = *app->MainFrame()->FormView()->Sheet();
  sheet.SetActivePage(pageName);
  QApplication::processEvents();
  QLineEdit* first = sheet.m_pageName->m_pFirst;
  bool add = true;
  for (auto _ : state) {
    // Typing and taking back a letter keeps the record the same size throughout.
    QKeyEvent key(QEvent::KeyPress, add ? Qt::Key_A : Qt::Key_Backspace, Qt::NoModifier,
                  add ? QStringLiteral("a") : QString());
    QApplication::sendEvent(first, &key);
    // The edit and the summary repaint before the next key is handled.
    QApplication::processEvents();
    add = !add;
  }
}
BENCHMARK(BM_KeystrokeInForm)
    ->Args({1000, 0})
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->ArgNames({"records", "ofTheWeek"})
    ->Unit(benchmark::kMillisecond);

// The Calendar page painted: its four texts computed afresh for the day and shown.
void BM_CalendarPagePaint(benchmark::State& state) {
  auto app = StartWith(static_cast<int>(state.range(0)));
  CMyPropSheet& sheet = *app->MainFrame()->FormView()->Sheet();
  sheet.SetActivePage(pageCalendar);
  QApplication::processEvents();
  for (auto _ : state) sheet.m_pageCalendar->repaint();
}
BENCHMARK(BM_CalendarPagePaint)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The Find command on the "Contacts" root with a name found nowhere, so that every node of the
// tree is compared: the dialog, the search, the current item shown again and the message.
void BM_FindInWindow(benchmark::State& state) {
  auto app = StartWith(static_cast<int>(state.range(0)));
  CMainFrame& frame = *app->MainFrame();
  frame.TreeView()->SelectRecord(app->Doc().ContactsRoot());
  frame.TreeView()->setFocus();
  QApplication::processEvents();
  g_onModal = [](QDialog& dialog) {
    auto& find = dynamic_cast<CFindDlg&>(dialog);
    find.m_pText[0]->setText(QStringLiteral("Nobody Such"));
    find.m_pWhere[0]->setCurrentIndex(findName);
    find.m_pFromBeginning->setChecked(true);
    find.accept();
    return find.result();
  };
  for (auto _ : state) frame.Action(ID_EDIT_FIND)->trigger();
  g_onModal = nullptr;
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FindInWindow)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// One keystroke in the filter box above the tree: "novák " (a sixth of the contacts, in every
// group) narrowed to "novák 1" and widened back by turns, the items hidden and shown, the tree
// laid out and painted. The records' keys are made by the first filtering, before measuring.
void BM_FilterKeystroke(benchmark::State& state) {
  auto app = StartWith(static_cast<int>(state.range(0)));
  CMainFrame& frame = *app->MainFrame();
  CZorvanTreeView& tree = *frame.TreeView();
  frame.FilterBox()->setFocus();
  tree.SetFilterText(QStringLiteral("novák "));
  QApplication::processEvents();
  bool add = true;
  // The tree's own filtering, as the box asks for it after each key (or, for a tree this
  // large, once the typing pauses).
  for (auto _ : state) {
    tree.SetFilterText(add ? QStringLiteral("novák 1") : QStringLiteral("novák "));
    QApplication::processEvents();
    tree.viewport()->repaint();
    add = !add;
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FilterKeystroke)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The first keystroke in the filter box after the fill: every record's folded key made, the
// filter's rows over every record, and the groups that lead to the matches opened (their items
// made), the tree laid out and painted.
void BM_FirstFilterKeystroke(benchmark::State& state) {
  auto app = StartWith(static_cast<int>(state.range(0)));
  CZorvanTreeView& tree = *app->MainFrame()->TreeView();
  for (auto _ : state) {
    state.PauseTiming();
    tree.SetFilterText(QString());
    tree.OnInitialUpdate();
    QApplication::processEvents();
    state.ResumeTiming();
    tree.SetFilterText(QStringLiteral("novák "));
    QApplication::processEvents();
    tree.viewport()->repaint();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FirstFilterKeystroke)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir settings;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
  QApplication application(argc, argv);
  CSilentPrompt prompt;
  SetPrompt(&prompt);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  SetPrompt(nullptr);
  return 0;
}
