#include "app/UndoCommands.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>

#include "qt/QtText.h"
#include "store/ZorvanDoc.h"

namespace zorvan {
namespace {

QLineEdit* LineEditOf(QWidget* widget) {
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit;
  if (auto* combo = qobject_cast<QComboBox*>(widget)) return combo->lineEdit();
  return nullptr;
}

}  // namespace

CUndoCommands::CUndoCommands(CZorvanDoc& doc, QAction* undo, QAction* redo, QWidget* window)
    : QObject(window), m_doc(doc), m_pUndo(undo), m_pRedo(redo), m_pWindow(window) {
  // Ctrl+Y as on other systems, Ctrl+Shift+Z as in this one's editors.
  m_pRedo->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
  qApp->installEventFilter(this);
  // Typing in another box, or in the tree, is another step.
  connect(qApp, &QApplication::focusChanged, this, [this] { m_doc.EndMerging(); });
  Update(true);
}

QString CUndoCommands::StepText(const SStepName& name) {
  const QString label = ToQString(name.label);
  QString text;
  switch (name.kind) {
    case EStepKind::unnamed:
    case EStepKind::edit:
      text = tr("Typing in '%1'").arg(label);
      break;
    case EStepKind::relabel:
      text = tr("Rename '%1'").arg(label);
      break;
    case EStepKind::group:
      text = tr("Group Flag of '%1'").arg(label);
      break;
    case EStepKind::photo:
      text = tr("Photo of '%1'").arg(label);
      break;
    case EStepKind::create:
      text = tr("New Contact");
      break;
    case EStepKind::remove:
      text = tr("Delete '%1'").arg(label);
      break;
    case EStepKind::move:
      text = tr("Move '%1'").arg(label);
      break;
    case EStepKind::copy:
      text = tr("Copy '%1'").arg(label);
      break;
    case EStepKind::import:
      text = tr("Import '%1'").arg(label);
      break;
    case EStepKind::sync:
      // Only this side goes back: the server keeps its cards.
      return tr(
          "Synchronize (here only; the next synchronization brings the server's "
          "changes back)");
    case EStepKind::bind:
      return tr("Accounts");
  }
  if (name.contacts == 1) return tr("%1 (1 contact)").arg(text);
  if (name.contacts > 1)
    return tr("%1 (%2 contacts)").arg(text, QLocale().toString(qulonglong{name.contacts}));
  return text;
}

void CUndoCommands::Update(bool allowed) {
  m_bAllowed = allowed;
  const SStepName* undo = m_doc.UndoName();
  const SStepName* redo = m_doc.RedoName();
  m_pUndo->setText(undo ? tr("&Undo %1\tCtrl+Z").arg(StepText(*undo)) : tr("&Undo\tCtrl+Z"));
  m_pRedo->setText(redo ? tr("&Redo %1\tCtrl+Y").arg(StepText(*redo)) : tr("&Redo\tCtrl+Y"));
  m_pUndo->setToolTip(undo ? tr("Undo %1").arg(StepText(*undo)) : tr("Undo"));
  m_pRedo->setToolTip(redo ? tr("Redo %1").arg(StepText(*redo)) : tr("Redo"));
  // A box with typing of its own to take back keeps the commands on.
  m_pUndo->setEnabled((allowed && undo) || BoxWith(EBoxUndo::undo));
  m_pRedo->setEnabled((allowed && redo) || BoxWith(EBoxUndo::redo));
}

QWidget* CUndoCommands::BoxWith(EBoxUndo what) const {
  QWidget* focus = QApplication::focusWidget();
  if (!focus || focus->window() != m_pWindow) return nullptr;
  if (QLineEdit* edit = LineEditOf(focus)) {
    if (edit->isReadOnly()) return nullptr;
    return (what == EBoxUndo::undo ? edit->isUndoAvailable() : edit->isRedoAvailable()) ? edit
                                                                                        : nullptr;
  }
  if (auto* text = qobject_cast<QPlainTextEdit*>(focus)) {
    if (text->isReadOnly()) return nullptr;
    const QTextDocument* document = text->document();
    return (what == EBoxUndo::undo ? document->isUndoAvailable() : document->isRedoAvailable())
               ? text
               : nullptr;
  }
  return nullptr;
}

void CUndoCommands::OnUndo() {
  if (QWidget* box = BoxWith(EBoxUndo::undo)) {
    if (QLineEdit* edit = LineEditOf(box)) edit->undo();
    if (auto* text = qobject_cast<QPlainTextEdit*>(box)) text->undo();
  } else if (m_bAllowed && m_doc.CanUndo()) {
    emit Restored(m_doc.Undo());
  }
  Update(m_bAllowed);
}

void CUndoCommands::OnRedo() {
  if (QWidget* box = BoxWith(EBoxUndo::redo)) {
    if (QLineEdit* edit = LineEditOf(box)) edit->redo();
    if (auto* text = qobject_cast<QPlainTextEdit*>(box)) text->redo();
  } else if (m_bAllowed && m_doc.CanRedo()) {
    emit Restored(m_doc.Redo());
  }
  Update(m_bAllowed);
}

bool CUndoCommands::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::ShortcutOverride || !watched->isWidgetType()) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  const bool undo = key->matches(QKeySequence::Undo);
  const bool redo = key->matches(QKeySequence::Redo) ||
                    key->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Y);
  if (!undo && !redo) return false;
  auto* widget = static_cast<QWidget*>(watched);
  if (widget->window() != m_pWindow ||
      (!LineEditOf(widget) && !qobject_cast<QPlainTextEdit*>(widget)))
    return false;
  // The box's own undo while it has one; the window's command (the document's) after.
  Update(m_bAllowed);
  return BoxWith(undo ? EBoxUndo::undo : EBoxUndo::redo) == nullptr;
}

}  // namespace zorvan
