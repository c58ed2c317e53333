#pragma once

#include <QObject>
#include <QString>

#include "store/History.h"

class QAction;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace zorvan {

class CZorvanDoc;
class CTreeItem;

// Edit > Undo and Redo. In an edit box the box's own typing is undone first, then the
// document's steps; anywhere else the document's. The commands name the step they undo.
class CUndoCommands : public QObject {
  Q_OBJECT

 public:
  CUndoCommands(CZorvanDoc& doc, QAction* undo, QAction* redo, QWidget* window);

  // The commands' texts and enabled state; allowed is false while the database must not
  // change (a synchronisation running).
  void Update(bool allowed);
  void OnUndo();
  void OnRedo();
  // "Delete 'Rodina' (3,000 contacts)": what the command's text names.
  static QString StepText(const SStepName& name);

 signals:
  // A step was undone or redone; subject is the record it was about (null if none).
  void Restored(CTreeItem* subject);

 protected:
  // Lets the undo keys through to the commands when the edit box in focus has nothing of its
  // own to undo or redo.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  enum class EBoxUndo { undo, redo };
  // The box in focus within the window that can undo (or redo) its own typing, or null.
  QWidget* BoxWith(EBoxUndo what) const;
  // Undo or Redo: the box's own while it has one, the document's after.
  void Step(EBoxUndo what);

  CZorvanDoc& m_doc;
  QAction* m_pUndo;
  QAction* m_pRedo;
  QWidget* m_pWindow;
  bool m_bAllowed = true;
};

}  // namespace zorvan
