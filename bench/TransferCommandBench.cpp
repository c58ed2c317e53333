// The window's Export and Import commands on generated databases, from the menu command to the
// message at the end: the transfer with its progress bar, the tree items of the imported
// records, their event nodes and the sort of the contacts. Set beside the formats' own figures
// (zorvan_interchange_bench) they show what the window adds.
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <map>
#include <memory>
#include <sstream>

#include "GeneratedDatabase.h"
#include "app/MainFrame.h"
#include "app/ZorvanApp.h"
#include "interchange/Transfer.h"
#include "interchange/vcard/ForeignVCardWriter.h"
#include "qt/Prompt.h"
#include "store/ZorvanDoc.h"

using namespace zorvan;

namespace {

enum EFormat { vcard = 0, text = 1 };

std::string Extension(EFormat format) { return format == text ? ".csv" : ".vcf"; }

// Gives every file dialog the same file and says nothing.
class CFilePrompt : public CPrompt {
 public:
  explicit CFilePrompt(const std::string& path) : m_strPath(QString::fromStdString(path)) {}
  void MessageBox(const QString& text, EMsgIcon) override { lastMessage = text; }
  bool AskYesNo(const QString&) override { return false; }
  ESaveAnswer AskSaveChanges(const QString&) override { return ESaveAnswer::No; }
  QString GetOpenFileName(const SFileDialog&) override { return m_strPath; }
  QString GetSaveFileName(const SFileDialog&) override { return m_strPath; }
  int RunModal(QDialog&) override { return 0; }

  QString lastMessage;

 private:
  QString m_strPath;
};

// Installs a prompt for the life of the object.
class CPromptInUse {
 public:
  explicit CPromptInUse(CPrompt& prompt) : m_pOld(&Prompt()) { SetPrompt(&prompt); }
  ~CPromptInUse() { SetPrompt(m_pOld); }

 private:
  CPrompt* m_pOld;
};

std::unique_ptr<CZorvanApp> StartWith(const std::string& database) {
  static std::ostringstream out;
  auto app = std::make_unique<CZorvanApp>();
  QStringList arguments{QStringLiteral("zorvan")};
  if (!database.empty()) arguments << QString::fromStdString(database);
  app->InitInstance(arguments, out, out);
  QApplication::processEvents();
  return app;
}

// The generated database of n contacts exported once per size and format, for the imports.
const std::string& ExportedFile(int n, EFormat format) {
  static std::map<std::pair<int, int>, std::string> files;
  std::string& path = files[{n, format}];
  if (path.empty()) {
    path = bench::BenchFile("command-in-" + std::to_string(n) + Extension(format));
    CTreeItem root;
    root.m_nKind = kindContacts;
    bench::GenerateContacts(root, n);
    ExportContacts(root, path, STransferCallbacks());
  }
  return path;
}

// With a contact shown in the form, or (calendar 1) the Calendar page as after the start: that
// page computes its day texts afresh whenever it is painted, and the window is painted every
// 50 ms while a transfer runs.
void BM_ExportCommand(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const auto format = static_cast<EFormat>(state.range(1));
  auto app = StartWith(bench::GeneratedDatabaseFile(n));
  if (state.range(2) == 0) {
    CZorvanDoc& doc = app->Doc();
    doc.UpdateAllViews(nullptr, HINT_SHOW_RECORD, doc.ContactsRoot()->Child(0)->Child(0));
    QApplication::processEvents();
  }
  CFilePrompt prompt(bench::BenchFile("command-out" + Extension(format)));
  CPromptInUse use(prompt);
  QAction* command = app->MainFrame()->Action(ID_FILE_EXPORT);
  for (auto _ : state) command->trigger();
  if (prompt.lastMessage != QStringLiteral("Data were successfuly exported."))
    state.SkipWithError("export failed");
  state.SetItemsProcessed(state.iterations() * n);
}

// Times the command, each time on a new, empty database; making the database is not timed.
void TriggerOnNewDatabases(benchmark::State& state, CZorvanApp& app, int commandId) {
  QAction* command = app.MainFrame()->Action(commandId);
  for (auto _ : state) {
    state.PauseTiming();
    app.Doc().OnNewDocument();
    QApplication::processEvents();
    state.ResumeTiming();
    command->trigger();
  }
}

void BM_ImportCommand(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const auto format = static_cast<EFormat>(state.range(1));
  CFilePrompt prompt(ExportedFile(n, format));
  CPromptInUse use(prompt);
  auto app = StartWith(std::string());
  TriggerOnNewDatabases(state, *app, ID_FILE_IMPORT);
  if (prompt.lastMessage != QStringLiteral("Data were successfuly imported."))
    state.SkipWithError("import failed");
  state.SetItemsProcessed(state.iterations() *
                          static_cast<int64_t>(app->Doc().ContactsRoot()->ChildCount()));
}

// Import from Other Programs into a new database: the standard vCard 3.0 file that Export for
// Other Programs writes of the generated contacts, read whole, the preview made (and accepted),
// the contacts added into their new group with the tree items of the group, the contacts and
// their event nodes.
class CAcceptingPrompt : public CFilePrompt {
 public:
  using CFilePrompt::CFilePrompt;
  int RunModal(QDialog&) override { return QDialog::Accepted; }
};

// The standard vCard 3.0 file of the n generated contacts, written once per size.
const std::string& OtherProgramsFile(int n) {
  static std::map<int, std::string> files;
  std::string& path = files[n];
  if (path.empty()) {
    path = bench::BenchFile("command-other-" + std::to_string(n) + ".vcf");
    CTreeItem root;
    root.m_nKind = kindContacts;
    bench::GenerateContacts(root, n);
    ExportForOtherPrograms(root, path, EVCardVersion::v30, STransferCallbacks(), {});
  }
  return path;
}

void BM_ImportOtherCommand(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  CAcceptingPrompt prompt(OtherProgramsFile(n));
  CPromptInUse use(prompt);
  auto app = StartWith(std::string());
  TriggerOnNewDatabases(state, *app, ID_FILE_IMPORT_OTHER);
  if (!prompt.lastMessage.startsWith(QString::number(n) + QStringLiteral(" contacts were")))
    state.SkipWithError("import failed");
  state.SetItemsProcessed(state.iterations() * n);
}

// Edit > Undo of the deletion of a group of n contacts (what 0) or of an Import from Other
// Programs of n cards (what 1), from the command to the tree, the calendar branch and the form
// back; the deletion or the import again by Redo between the runs is not timed.
void BM_UndoCommand(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const bool import = state.range(1) != 0;
  CAcceptingPrompt prompt(import ? OtherProgramsFile(n) : std::string());
  CPromptInUse use(prompt);
  auto app = StartWith(import ? std::string() : bench::OneGroupDatabaseFile(n));
  CZorvanDoc& doc = app->Doc();
  // An import into a new database, whatever the window opened at its start.
  if (import) doc.OnNewDocument();
  const size_t before = import ? 0 : 1;
  if (import)
    app->MainFrame()->Action(ID_FILE_IMPORT_OTHER)->trigger();
  else
    doc.RemoveBranch(doc.ContactsRoot()->Child(0));
  QApplication::processEvents();
  QAction* undo = app->MainFrame()->Action(ID_EDIT_UNDO);
  QAction* redo = app->MainFrame()->Action(ID_EDIT_REDO);
  for (auto _ : state) {
    undo->trigger();
    QApplication::processEvents();
    state.PauseTiming();
    if (doc.ContactsRoot()->ChildCount() != before) {
      state.SkipWithError("the undo did not bring the database back");
      break;
    }
    redo->trigger();
    QApplication::processEvents();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * n);
}

void Sizes(benchmark::internal::Benchmark* b) {
  for (int format : {vcard, text})
    for (int n : {1000, 10000, 100000}) b->Args({n, format});
  b->ArgNames({"records", "csv"})->Unit(benchmark::kMillisecond);
}

void ExportSizes(benchmark::internal::Benchmark* b) {
  for (int format : {vcard, text}) {
    for (int n : {1000, 10000, 100000}) b->Args({n, format, 0});
    b->Args({100000, format, 1});
  }
  b->ArgNames({"records", "csv", "calendar"})->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(BM_ExportCommand)->Apply(ExportSizes);
BENCHMARK(BM_ImportCommand)->Apply(Sizes);
BENCHMARK(BM_UndoCommand)
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->ArgNames({"records", "import"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportOtherCommand)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->ArgName("records")
    ->Unit(benchmark::kMillisecond);
