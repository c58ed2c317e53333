#include "app/SyncCommands.h"

#include <QEventLoop>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <algorithm>
#include <ctime>
#include <exception>
#include <new>
#include <system_error>
#include <utility>

#include "app/SyncPassword.h"
#include "qt/Prompt.h"
#include "qt/QtText.h"
#include "store/RecordIdentity.h"
#include "store/TreeItem.h"
#include "store/ZorvanDoc.h"
#include "ui/SyncConflictDlg.h"

namespace zorvan {
namespace {

using namespace zorvan::sync;

// The address book as the user knows it: its display name, else its address.
QString BookName(const SBinding& binding) {
  return ToQString(binding.bookName.empty() ? binding.bookHref : binding.bookName);
}

bool ChangedAnything(const SSyncCounts& c) {
  return c.fetched + c.uploaded + c.deletedHere + c.deletedThere + c.merged != 0;
}

}  // namespace

CSyncCommands::CSyncCommands(CZorvanDoc& doc, QWidget* window, QStatusBar* statusBar)
    : QObject(window), m_doc(doc), m_pWindow(window), m_pStatusBar(statusBar) {}

// The bar and the button are there only while a run goes on.
void CSyncCommands::ShowRunning() {
  m_pProgress = new QProgressBar(m_pStatusBar);
  m_pProgress->setObjectName(QStringLiteral("syncProgress"));
  m_pProgress->setMaximumWidth(m_pProgress->fontMetrics().averageCharWidth() * 24);
  m_pProgress->setMaximumHeight(m_pProgress->fontMetrics().height() + 4);
  m_pProgress->setFormat(QStringLiteral("%v / %m"));
  m_pProgress->setRange(0, 0);
  m_pCancel = new QPushButton(tr("Cancel"), m_pStatusBar);
  m_pCancel->setObjectName(QStringLiteral("syncCancel"));
  m_pCancel->setToolTip(tr("Stop the synchronization; what was done so far is kept"));
  m_pCancel->setMaximumHeight(m_pProgress->maximumHeight() + 4);
  connect(m_pCancel, &QPushButton::clicked, this, &CSyncCommands::Cancel);
  m_pStatusBar->addPermanentWidget(m_pProgress);
  m_pStatusBar->addPermanentWidget(m_pCancel);
  Say(tr("Synchronizing..."));
}

void CSyncCommands::Say(const QString& text) {
  m_pStatusBar->showMessage(text);
  // A widget added to the status bar or taken from it lays the bar out anew, which shows its
  // idle text again once the events come round: the line is shown once more after that.
  QMetaObject::invokeMethod(
      m_pStatusBar,
      [bar = m_pStatusBar, text] {
        if (bar->currentMessage() != text) return;
        bar->clearMessage();
        bar->showMessage(text);
      },
      Qt::QueuedConnection);
}

CSyncCommands::~CSyncCommands() { CancelAndWait(); }

void CSyncCommands::OnFileSynchronize() { Start(false); }

void CSyncCommands::SynchronizeWhenOpened() { Start(true); }

void CSyncCommands::Cancel() {
  if (!IsRunning()) return;
  m_bCancel = true;
  m_pCancel->setEnabled(false);
  m_pStatusBar->showMessage(tr("Stopping the synchronization..."));
}

void CSyncCommands::CancelAndWait() {
  if (!IsRunning()) return;
  Cancel();
  // The worker's steps on the tree are answered meanwhile; the user's input waits.
  QEventLoop loop;
  connect(this, &CSyncCommands::Finished, &loop, &QEventLoop::quit);
  if (IsRunning()) loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void CSyncCommands::Start(bool onlyWhenOpened) {
  if (IsRunning()) return;
  SSyncState state;
  std::string reason;
  if (!LoadSyncState(m_doc, state, reason)) {
    if (!onlyWhenOpened)
      Prompt().MessageBox(
          tr("The synchronization state of this database is damaged: %1.").arg(ToQString(reason)),
          EMsgIcon::Error);
    return;
  }
  if (state.Empty()) {
    if (!onlyWhenOpened)
      Prompt().MessageBox(tr("No group is bound to an address book yet; bind one with File > "
                             "Accounts..."),
                          EMsgIcon::Information);
    return;
  }
  m_jobs.clear();
  m_locked.clear();
  m_outcomes.clear();
  bool refused = false;
  std::vector<CTreeItem*> groups;
  for (size_t i = 0; i < state.bindings.size(); ++i) {
    const SBinding& binding = state.bindings[i];
    if (onlyWhenOpened && !binding.syncWhenOpened) continue;
    SJob job;
    job.binding = i;
    job.connection.strUser = binding.userName;
    job.connection.strPinnedKey = binding.pinnedKey;
    job.connection.pCancel = &m_bCancel;
    if (!binding.userName.empty()) {
      QString password;
      if (!app::FindSyncPassword(m_pWindow, ToQString(binding.serverUrl),
                                 ToQString(binding.userName), password)) {
        refused = true;
        continue;
      }
      job.connection.strPassword = ToStdString(password);
    }
    if (CTreeItem* root = m_doc.ContactsRoot())
      if (CTreeItem* group = FindBoundGroup(*root, binding.groupUid)) {
        m_locked.push_back(group);
        groups.push_back(group);
      }
    m_jobs.push_back(std::move(job));
  }
  if (m_jobs.empty()) {
    if (refused) m_pStatusBar->showMessage(m_strResult = tr("Synchronization cancelled."));
    return;
  }
  if (!GiveFirstIdentities(groups)) {
    m_jobs.clear();
    m_locked.clear();
    return;
  }
  m_loaded = state;
  m_state = std::move(state);
  SPublishState published;
  m_publish.reset();
  if (LoadPublishState(m_doc, published, reason)) m_publish = std::move(published);
  m_publishLoaded = m_publish;
  m_published.clear();
  m_bCancel = false;
  ++m_nRun;
  ShowRunning();
  try {
    m_worker = std::thread([this] { Work(); });
  } catch (const std::system_error&) {
    m_outcomes.assign(m_jobs.size(), {});
    m_outcomes.front().status = DavFailure(EDavFailure::Cancelled, "no thread could be started");
    Finish();
    return;
  }
  // The worker's first step waits for the window's thread, which locks the groups first.
  emit Started();
}

// Contacts synchronised for the first time get their UIDs before the run, and the database is
// saved before any of them is sent: a run cut short (the window killed, its changes not saved)
// would otherwise give them other UIDs the next time, and each would then be there twice, here
// and on the server.
bool CSyncCommands::GiveFirstIdentities(const std::vector<CTreeItem*>& groups) {
  std::vector<SGivenIdentity> given;
  for (CTreeItem* group : groups) {
    std::vector<SGivenIdentity> more = GiveIdentities(*group);
    given.insert(given.end(), more.begin(), more.end());
  }
  if (given.empty() || !m_saveFirst) return true;
  m_doc.SetModifiedFlag();
  if (m_saveFirst()) return true;
  TakeBackIdentities(given);
  m_pStatusBar->showMessage(
      m_strResult = tr("Synchronization cancelled: the database is saved before its contacts "
                       "first go to a server."));
  return false;
}

SSyncOptions CSyncCommands::EngineOptions() {
  SSyncOptions options;
  options.runLocal = [this](const std::function<void()>& step) {
    // A failure of the step (memory running out) ends the run on the worker, not the window.
    std::exception_ptr failure;
    QMetaObject::invokeMethod(
        this,
        [&] {
          try {
            // The run's changes here are one step to undo, however many pieces they come in.
            const CZorvanDoc::CChange change =
                m_doc.BeginChange({EStepKind::sync, {}}, RunKey(), nullptr);
            step();
          } catch (...) {
            failure = std::current_exception();
          }
        },
        Qt::BlockingQueuedConnection);
    if (failure) std::rethrow_exception(failure);
  };
  options.progress = [this](size_t done, size_t total) {
    QMetaObject::invokeMethod(
        this, [this, done, total] { ShowProgress(done, total); }, Qt::QueuedConnection);
  };
  options.resolve = [this](const std::string& label, const std::vector<SCardConflict>& conflicts) {
    std::optional<std::vector<EMergeChoice>> choices;
    if (!m_bCancel)
      QMetaObject::invokeMethod(
          this, [&] { choices = AskConflicts(label, conflicts); }, Qt::BlockingQueuedConnection);
    return choices;
  };
  return options;
}

void CSyncCommands::Work() {
  for (const SJob& job : m_jobs) {
    SSyncOutcome outcome;
    std::optional<SPublishOutcome> published;
    SBinding& binding = m_state.bindings[job.binding];
    try {
      CCurlTransport transport(job.connection);
      CCardDavClient client(transport);
      client.SetServer(binding.serverUrl);
      SSyncOptions options = EngineOptions();
      if (m_bCancel)
        outcome.status = DavFailure(EDavFailure::Cancelled);
      else
        outcome = Synchronize(m_doc, client, binding, options);
      bool goOn = false;
      if (outcome.massDeletion && !m_bCancel)
        QMetaObject::invokeMethod(
            this, [&] { goOn = AskMassDeletion(binding, outcome); }, Qt::BlockingQueuedConnection);
      if (goOn) {
        options.allowMassDelete = true;
        outcome = Synchronize(m_doc, client, binding, options);
      }
      if (outcome.status.Ok() && !outcome.massDeletion && !m_bCancel)
        published = Publish(job, binding, options);
    } catch (const std::bad_alloc&) {
      outcome.status = DavFailure(EDavFailure::Cancelled, "there is not enough memory");
    }
    m_outcomes.push_back(std::move(outcome));
    m_published.push_back(std::move(published));
  }
  QMetaObject::invokeMethod(
      this, [this] { Finish(); }, Qt::QueuedConnection);
}

std::optional<SPublishOutcome> CSyncCommands::Publish(const SJob& job, const SBinding& binding,
                                                      const SSyncOptions& options) {
  if (binding.calendarUrl.empty() || !m_publish) return std::nullopt;
  // A transport of its own: the calendar may be on another server than the address book.
  CCurlTransport transport(job.connection);
  CCardDavClient client(transport);
  SPublishOptions publish;
  publish.tStamp = std::time(nullptr);
  publish.runLocal = options.runLocal;
  return PublishCalendar(m_doc, client, binding.calendarUrl,
                         m_publish->ForCalendar(binding.calendarUrl), publish);
}

std::optional<std::vector<EMergeChoice>> CSyncCommands::AskConflicts(
    const std::string& label, const std::vector<SCardConflict>& conflicts) {
  if (m_bCancel) return std::nullopt;
  CSyncConflictDlg dialog(ToQString(label), conflicts, m_pWindow);
  if (Prompt().RunModal(dialog) != QDialog::Accepted) return std::nullopt;
  return dialog.Choices();
}

bool CSyncCommands::AskMassDeletion(const SBinding& binding, const SSyncOutcome& outcome) {
  if (m_bCancel) return false;
  return Prompt().AskYesNo(
      tr("Synchronizing with %1 would delete %2 contacts here and %3 on the server.\n"
         "Delete them?")
          .arg(BookName(binding))
          .arg(outcome.wouldDeleteHere)
          .arg(outcome.wouldDeleteThere));
}

void CSyncCommands::ShowProgress(size_t done, size_t total) {
  if (!m_pProgress) return;
  m_pProgress->setRange(0, static_cast<int>(total));
  m_pProgress->setValue(static_cast<int>(std::min(done, total)));
}

void CSyncCommands::Finish() {
  if (m_worker.joinable()) m_worker.join();
  bool changed = false;
  for (size_t i = 0; i < m_outcomes.size(); ++i) {
    const SBinding& binding = m_state.bindings[m_jobs[i].binding];
    changed = changed || ChangedAnything(m_outcomes[i].counts);
    // A refused password is asked again next time, not tried again.
    if (m_outcomes[i].status.kind == EDavFailure::Unauthorized)
      app::ForgetSyncPassword(ToQString(binding.serverUrl), ToQString(binding.userName));
  }
  // The state goes with the run's step when it made one: undone, the run's changes come back
  // from the server with the next run.
  std::optional<CZorvanDoc::CChange> step;
  if (m_doc.CanJoin(RunKey(), nullptr)) step.emplace(m_doc.BeginChange({}, RunKey(), nullptr));
  // What was agreed is kept whatever the end: the next run goes on from there.
  if (!(m_state == m_loaded)) {
    StoreSyncState(m_doc, m_state);
    changed = true;
  }
  if (m_publish && m_publish != m_publishLoaded) {
    StorePublishState(m_doc, *m_publish);
    changed = true;
  }
  if (changed) m_doc.SetModifiedFlag();
  m_locked.clear();
  delete std::exchange(m_pProgress, nullptr);
  delete std::exchange(m_pCancel, nullptr);
  m_strResult = ResultLine();
  Say(m_strResult);
  emit Finished();
}

QString CSyncCommands::ResultLine() const {
  SSyncCounts sum;
  for (size_t i = 0; i < m_outcomes.size(); ++i) {
    const SSyncOutcome& outcome = m_outcomes[i];
    const QString book = BookName(m_state.bindings[m_jobs[i].binding]);
    if (outcome.status.kind == EDavFailure::Cancelled && m_bCancel)
      return tr("Synchronization cancelled; what was done so far is kept.");
    if (!outcome.status.Ok())
      return tr("Synchronizing with %1 failed: %2.")
          .arg(book, ToQString(outcome.status.strMessage));
    if (outcome.massDeletion)
      return tr("Nothing was synchronized with %1: it would have deleted too many contacts.")
          .arg(book);
    const SSyncCounts& c = outcome.counts;
    sum.fetched += c.fetched;
    sum.uploaded += c.uploaded;
    sum.deletedHere += c.deletedHere;
    sum.deletedThere += c.deletedThere;
    sum.merged += c.merged;
    sum.conflicts += c.conflicts;
  }
  return tr("Synchronized: fetched %1, uploaded %2, deleted here %3, deleted there %4, merged "
            "%5, conflicts left %6")
             .arg(sum.fetched)
             .arg(sum.uploaded)
             .arg(sum.deletedHere)
             .arg(sum.deletedThere)
             .arg(sum.merged)
             .arg(sum.conflicts) +
         CalendarLine();
}

QString CSyncCommands::CalendarLine() const {
  SPublishCounts sum;
  bool any = false;
  for (const std::optional<SPublishOutcome>& published : m_published) {
    if (!published) continue;
    if (!published->status.Ok())
      return tr("; publishing the calendar failed: %1.")
          .arg(ToQString(published->status.strMessage));
    any = true;
    sum.published += published->counts.published;
    sum.unchanged += published->counts.unchanged;
    sum.withdrawn += published->counts.withdrawn;
  }
  if (!any) return QString();
  return tr("; calendar: published %1, unchanged %2, withdrawn %3")
      .arg(sum.published)
      .arg(sum.unchanged)
      .arg(sum.withdrawn);
}

}  // namespace zorvan
