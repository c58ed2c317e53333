#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QProgressBar>

#include "interchange/Transfer.h"

class QStatusBar;

namespace zorvan {

// The indicator of a transfer in the window: a progress bar over the first pane of the status
// bar, with the wait cursor, from the first range the transfer sets until this object goes
// away, whichever way the transfer ended. The transfer runs inside the command, so while it
// does the window is repainted now and then (at most every 50 ms); user input waits until the
// command has returned, so nothing can start another command meanwhile.
class CTransferProgress : public ITransferProgress {
 public:
  explicit CTransferProgress(QStatusBar* statusBar);
  CTransferProgress(const CTransferProgress&) = delete;
  CTransferProgress& operator=(const CTransferProgress&) = delete;
  ~CTransferProgress() override;

  void SetRange(int lower, int upper) override;
  void SetPosition(int position) override;

  // The transfer is over: the wait cursor goes now, the bar (full) stays until this object goes,
  // so that it is still seen while the command's message is read.
  void EndWait();

  // The bar while it is shown, else null.
  QProgressBar* Bar() const { return m_pBar; }

 private:
  void Show();
  // Lets the window paint what waits to be painted; input stays queued.
  void Paint();

  QPointer<QStatusBar> m_pStatusBar;
  QPointer<QProgressBar> m_pBar;
  bool m_bWaitCursor = false;
  QElapsedTimer m_lastPaint;
};

}  // namespace zorvan
