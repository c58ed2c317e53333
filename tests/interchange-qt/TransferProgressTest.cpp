// The transfer indicator in the main window's status bar: shown with the wait cursor while an
// export runs, repainted at a bounded rate, and gone with the cursor restored afterwards,
// however the export ended.
#include <algorithm>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QStatusBar>
#include <QThread>

#include "TestUtil.h"
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
  explicit CWatchedProgress(QStatusBar* statusBar) : m_pStatusBar(statusBar) {}

  void Watch(CTransferProgress* shown) { m_pShown = shown; }
  void SetRange(int lower, int upper) override {
    m_pShown->SetRange(lower, upper);
    Look();
  }
  void SetPosition(int position) override {
    m_pShown->SetPosition(position);
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
    if (!bar || !bar->isVisible() || bar != m_pShown->Bar()) {
      seen << "no bar";
      return;
    }
    if (seen.isEmpty() || seen.back() == "no bar") bar->installEventFilter(&painted);
    values.push_back(bar->value());
    seen << QString("%1-%2 at %3").arg(bar->minimum()).arg(bar->maximum()).arg(bar->value());
  }

  CTransferProgress* m_pShown = nullptr;
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
  // Exports the document to the file through the window's indicator, watched; the indicator
  // is gone when this returns.
  STransferResult Export(const QString& name, CWatchedProgress& watched) {
    CTransferProgress progress(StatusBar());
    watched.Watch(&progress);
    STransferCallbacks callbacks;
    callbacks.pProgress = &watched;
    const STransferResult result = ExportContacts(Doc(), TempPath(name).toStdString(), callbacks);
    watched.Watch(nullptr);
    return result;
  }
};

TEST_F(TransferProgressTest, shouldShowTheBarWithTheWaitCursorOnlyWhileTheExportRuns) {
  EXPECT_FALSE(BarShown());
  auto watched = std::make_unique<CWatchedProgress>(StatusBar());
  QElapsedTimer timer;
  timer.start();
  const STransferResult result = Export("kontakty.vcf", *watched);
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
  auto watched = std::make_unique<CWatchedProgress>(StatusBar());
  STransferResult result;
  {
    CFileSizeLimit limit(64 * 1024);  // about 200 of the 2,000 rows
    ASSERT_TRUE(limit.IsSet());
    result = Export("kontakty.csv", *watched);
  }
  EXPECT_EQ(result.outcome, ETransferOutcome::failed);
  EXPECT_EQ(result.nMessage, IDS_EXPORT_ERROR);
  ASSERT_GE(watched->seen.size(), 3);
  EXPECT_LT(watched->seen.size(), 2000);
  EXPECT_EQ(watched->seen.front().toStdString(), "1-2000 at 0");
  EXPECT_FALSE(watched->seen.contains("no bar"));
  EXPECT_FALSE(BarShown());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  // An export whose file cannot be made shows nothing at all.
  CWatchedProgress unseen(StatusBar());
  result = Export("chybí/x.vcf", unseen);
  EXPECT_EQ(result.nMessage, IDS_EXPORT_OPEN_ERROR);
  EXPECT_EQ(unseen.calls, 0);
  EXPECT_FALSE(BarShown());
}

}  // namespace
}  // namespace zorvan::test
