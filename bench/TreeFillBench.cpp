// The program's start with a generated database: from the command line to the shown window
// with the filled tree, and the fill of the tree alone.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <map>
#include <memory>
#include <sstream>

#include "GeneratedDatabase.h"
#include "app/MainFrame.h"
#include "app/ZorvanApp.h"
#include "store/AtomicFile.h"
#include "store/ZorvanDoc.h"
#include "store/ZvdFile.h"
#include "ui/Prompt.h"
#include "ui/ZorvanTreeView.h"

using namespace zorvan;

namespace {

// No dialogs while measuring.
class CSilentPrompt : public CPrompt {
 public:
  void MessageBox(const QString&, EMsgIcon) override {}
  bool AskYesNo(const QString&) override { return false; }
  ESaveAnswer AskSaveChanges(const QString&) override { return ESaveAnswer::No; }
  QString GetOpenFileName(const SFileDialog&) override { return QString(); }
  QString GetSaveFileName(const SFileDialog&) override { return QString(); }
  int RunModal(QDialog&) override { return 0; }
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
