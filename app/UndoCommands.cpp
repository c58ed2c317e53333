#include "app/UndoCommands.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <iterator>

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
  // By EStepKind; %1 is the label of the record or the file the step is about.
  static const char* const kTexts[] = {
      QT_TR_NOOP("Typing in '%1'"),  // a command's step that never got a name of its own
      QT_TR_NOOP("Typing in '%1'"),
      QT_TR_NOOP("Rename '%1'"),
      QT_TR_NOOP("Group Flag of '%1'"),
      QT_TR_NOOP("Photo of '%1'"),
      QT_TR_NOOP("New Contact"),
      QT_TR_NOOP("Delete '%1'"),
      QT_TR_NOOP("Move '%1'"),
      QT_TR_NOOP("Copy '%1'"),
      QT_TR_NOOP("Import '%1'"),
      // Only this side goes back: the server keeps its cards.
      QT_TR_NOOP("Synchronize (here only; the next synchronization brings the server's changes "
                 "back)"),
      QT_TR_NOOP("Accounts"),
  };
  static_assert(std::size(kTexts) == static_cast<size_t>(EStepKind::bind) + 1);
  QString text = tr(kTexts[static_cast<size_t>(name.kind)]);
  if (text.contains(QLatin1String("%1"))) text = text.arg(ToQString(name.label));
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

void CUndoCommands::OnUndo() { Step(EBoxUndo::undo); }

void CUndoCommands::OnRedo() { Step(EBoxUndo::redo); }

void CUndoCommands::Step(EBoxUndo what) {
  const bool undo = what == EBoxUndo::undo;
  if (QWidget* box = BoxWith(what)) {
    if (QLineEdit* edit = LineEditOf(box)) undo ? edit->undo() : edit->redo();
    if (auto* text = qobject_cast<QPlainTextEdit*>(box)) undo ? text->undo() : text->redo();
  } else if (m_bAllowed && (undo ? m_doc.CanUndo() : m_doc.CanRedo())) {
    emit Restored(undo ? m_doc.Undo() : m_doc.Redo());
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
