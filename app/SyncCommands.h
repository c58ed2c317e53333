#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "sync/CalendarPublish.h"
#include "sync/CardMerge.h"
#include "sync/HttpTransport.h"
#include "sync/PublishState.h"
#include "sync/SyncEngine.h"
#include "sync/SyncState.h"

class QProgressBar;
class QPushButton;
class QStatusBar;
class QWidget;

namespace zorvan {

class CTreeItem;
class CZorvanDoc;

// File > Synchronize: every group of the open database bound to an address book, one after the
// other, on a worker thread, so that the window goes on answering. The network and the merges
// run on the worker; every step that reads or changes the tree is run on the window's thread
// while the worker waits. While it runs, the status bar shows its progress with a Cancel
// button, and the bound groups are locked (the window keeps the tree and the form from changing
// them). The conflicts are asked in a dialog, a mass deletion in a question; at the end the
// state is stored in the database, which is then modified (saved on the user's command), and
// one line in the status bar tells what was done or why it failed.
class CSyncCommands : public QObject {
  Q_OBJECT

 public:
  CSyncCommands(CZorvanDoc& doc, QWidget* window, QStatusBar* statusBar);
  ~CSyncCommands() override;

  void OnFileSynchronize();
  // After a database was opened: the bindings that are to be synchronised then, without a
  // question.
  void SynchronizeWhenOpened();
  bool IsRunning() const { return m_worker.joinable(); }
  // Stops a run under way at its next request; what was agreed so far is kept.
  void Cancel();
  // Saves the database (false when it was not saved): done before contacts without a UID are
  // first synchronised.
  void SetSaveFirst(std::function<bool()> save) { m_saveFirst = std::move(save); }
  // Cancels a run under way and waits for its end (answering its steps meanwhile): before the
  // database is closed or replaced.
  void CancelAndWait();
  // The bound groups the run under way changes; empty when none runs.
  const std::vector<const CTreeItem*>& LockedGroups() const { return m_locked; }
  // The line the last run ended with.
  const QString& LastResult() const { return m_strResult; }
  // The status bar's Cancel button and progress bar, null when no run goes on.
  QPushButton* CancelButton() const { return m_pCancel; }
  QProgressBar* ProgressBar() const { return m_pProgress; }

 signals:
  // A run began: the groups of LockedGroups are locked.
  void Started();
  // A run ended: the tree may have changed, the groups are free again.
  void Finished();

 private:
  struct SJob {
    size_t binding = 0;  // its index in m_state
    sync::SConnectionOptions connection;
  };
  void Start(bool onlyWhenOpened);
  void ShowRunning();
  // One line in the status bar.
  void Say(const QString& text);
  // On the worker: every job in turn.
  void Work();
  sync::SSyncOptions EngineOptions();
  bool GiveFirstIdentities(const std::vector<CTreeItem*>& groups);
  // On the worker, after the job's binding was synchronised: its calendar, where it has one.
  std::optional<sync::SPublishOutcome> Publish(const SJob& job, const sync::SBinding& binding,
                                               const sync::SSyncOptions& options);
  // On the window's thread, asked from the worker.
  std::optional<std::vector<sync::EMergeChoice>> AskConflicts(
      const std::string& label, const std::vector<sync::SCardConflict>& conflicts);
  bool AskMassDeletion(const sync::SBinding& binding, const sync::SSyncOutcome& outcome);
  void ShowProgress(size_t done, size_t total);
  // Back on the window's thread once the worker is done.
  void Finish();
  QString ResultLine() const;
  // "; calendar: published 3, ..." for the calendars published, empty for none.
  QString CalendarLine() const;

  CZorvanDoc& m_doc;
  QWidget* m_pWindow;
  QStatusBar* m_pStatusBar;
  QProgressBar* m_pProgress = nullptr;
  QPushButton* m_pCancel = nullptr;

  // The state the run works on (the worker's while it runs) and as it was loaded.
  sync::SSyncState m_state;
  sync::SSyncState m_loaded;
  std::vector<SJob> m_jobs;
  // Each job's outcome, filled by the worker.
  std::vector<sync::SSyncOutcome> m_outcomes;
  // What the bindings' calendars last received (null where the record is damaged: then nothing
  // is published), and each job's publishing, where it had a calendar.
  std::optional<sync::SPublishState> m_publish;
  std::optional<sync::SPublishState> m_publishLoaded;
  std::vector<std::optional<sync::SPublishOutcome>> m_published;
  std::vector<const CTreeItem*> m_locked;
  std::function<bool()> m_saveFirst;
  std::atomic<bool> m_bCancel = false;
  // The runs one after the other: each run's changes make one step of the undo history, kept
  // apart from the next run's by its key.
  std::uint64_t m_nRun = 0;
  const void* RunKey() const {
    return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(m_nRun));
  }
  std::thread m_worker;
  QString m_strResult;
};

}  // namespace zorvan
