// The transfer indicator in the main window's status bar: shown with the wait cursor while an
// export runs, repainted at a bounded rate, and gone with the cursor restored afterwards,
// however the export ended.
#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QStatusBar>
#include <QThread>

#include "app/MainFrame.h"
#include "interchange-qt/TransferProgress.h"
#include "res/StringTable.h"
#include "store/ZorvanDoc.h"
#include "tests/ui/GuiTest.h"
#include "ui/ZorvanTreeView.h"

namespace zorvan::test {
namespace {

// Counts the times a widget was painted.
class CPaintCounter : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
  int paints = 0;
};

// Passes every call on to the window's indicator and notes what the status bar showed then.
class CWatchedProgress : public ITransferProgress {
 public:
  CWatchedProgress(CTransferProgress& shown, QStatusBar* statusBar)
      : m_shown(shown), m_pStatusBar(statusBar) {}

  void SetRange(int lower, int upper) override {
    m_shown.SetRange(lower, upper);
    Look();
  }
  void SetPosition(int position) override {
    m_shown.SetPosition(position);
    Look();
  }

  QStringList seen;  // "min-max at value", or "no bar"
  std::vector<int> values;
  int waitCursorCalls = 0;
  int calls = 0;
  CPaintCounter painted;

 private:
  void Look() {
    ++calls;
    const QCursor* cursor = QApplication::overrideCursor();
    if (cursor && cursor->shape() == Qt::WaitCursor) ++waitCursorCalls;
    QProgressBar* bar = m_pStatusBar->findChild<QProgressBar*>();
    if (!bar || !bar->isVisible() || bar != m_shown.Bar()) {
      seen << "no bar";
      return;
    }
    if (seen.isEmpty() || seen.back() == "no bar") bar->installEventFilter(&painted);
    values.push_back(bar->value());
    seen << QString("%1-%2 at %3").arg(bar->minimum()).arg(bar->maximum()).arg(bar->value());
  }

  CTransferProgress& m_shown;
  QStatusBar* m_pStatusBar;
};

class TransferProgressTest : public CGuiTest {
 protected:
  void SetUp() override {
    CGuiTest::SetUp();
    QStringList lines;
    for (int i = 0; i < 2000; ++i) lines << QString("Jiří Dvořák %1").arg(i);
    ASSERT_TRUE(Start({MakeDatabase("kontakty.zvd", lines)}));
  }
  QStatusBar* StatusBar() const { return Frame().statusBar(); }
  bool BarShown() const { return StatusBar()->findChild<QProgressBar*>() != nullptr; }
};

TEST_F(TransferProgressTest, shouldShowTheBarWithTheWaitCursorOnlyWhileTheExportRuns) {
  EXPECT_FALSE(BarShown());
  QElapsedTimer timer;
  STransferResult result;
  std::unique_ptr<CWatchedProgress> watched;
  {
    CTransferProgress progress(StatusBar());
    watched = std::make_unique<CWatchedProgress>(progress, StatusBar());
    STransferCallbacks callbacks;
    callbacks.pProgress = watched.get();
    timer.start();
    result = ExportContacts(Doc(), TempPath("kontakty.vcf").toStdString(), callbacks);
  }
  const qint64 elapsedMs = timer.elapsed();
  EXPECT_TRUE(result.Succeeded());
  ASSERT_EQ(watched->seen.size(), 2000 + 1 + 2);
  EXPECT_EQ(watched->seen.front().toStdString(), "1-2000 at 0");
  EXPECT_EQ(watched->seen[2000].toStdString(), "1-2000 at 2000");
  // The bar shows positions as they come, never going back, but not necessarily every one.
  EXPECT_TRUE(std::is_sorted(watched->values.begin(), watched->values.begin() + 2001));
  EXPECT_EQ(watched->seen.back().toStdString(), "1-100 at 100");
  EXPECT_EQ(watched->waitCursorCalls, watched->calls);
  // Painted while the export ran, but not on every record: about once per 50 ms, and at the
  // start and the end.
  EXPECT_GE(watched->painted.paints, 1);
  EXPECT_LE(watched->painted.paints, elapsedMs / 50 + 5);

  EXPECT_FALSE(BarShown());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(TransferProgressTest, shouldRepaintTheWindowDuringALongTransfer) {
  CTransferProgress progress(StatusBar());
  progress.SetRange(1, 3);
  // The tree needs painting while a record takes long: the next position paints it.
  CPaintCounter treePainted;
  QWidget* tree = Tree().viewport();
  tree->installEventFilter(&treePainted);
  tree->update();
  QThread::msleep(60);
  progress.SetPosition(1);
  EXPECT_GE(treePainted.paints, 1);
}

TEST_F(TransferProgressTest, shouldRemoveTheBarAndRestoreTheCursorWhenTheExportFails) {
  const std::string path = TempPath("kontakty.csv").toStdString();
  rlimit limit{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
  rlimit small = limit;
  small.rlim_cur = 64 * 1024;  // about 200 of the 2,000 rows
  STransferResult result;
  std::unique_ptr<CWatchedProgress> watched;
  {
    CTransferProgress progress(StatusBar());
    watched = std::make_unique<CWatchedProgress>(progress, StatusBar());
    STransferCallbacks callbacks;
    callbacks.pProgress = watched.get();
    void (*oldHandler)(int) = ::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    result = ExportContacts(Doc(), path, callbacks);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ::signal(SIGXFSZ, oldHandler);
  }
  EXPECT_EQ(result.outcome, ETransferOutcome::failed);
  EXPECT_EQ(result.nMessage, IDS_EXPORT_OPEN_ERROR);
  ASSERT_GE(watched->seen.size(), 3);
  EXPECT_LT(watched->seen.size(), 2000);
  EXPECT_EQ(watched->seen.front().toStdString(), "1-2000 at 0");
  EXPECT_FALSE(watched->seen.contains("no bar"));
  EXPECT_FALSE(BarShown());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  // An export whose file cannot be made shows nothing at all.
  {
    CTransferProgress progress(StatusBar());
    STransferCallbacks callbacks;
    callbacks.pProgress = &progress;
    result = ExportContacts(Doc(), TempPath("chybí/x.vcf").toStdString(), callbacks);
    EXPECT_EQ(progress.Bar(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  }
  EXPECT_EQ(result.nMessage, IDS_EXPORT_OPEN_ERROR);
}

}  // namespace
}  // namespace zorvan::test
