#pragma once

#include <QObject>

class QMainWindow;
class QMenu;

namespace zorvan {

// The status-bar prompt of a command the pointer rests on in a menu, while the command cannot
// be used: Qt shows the prompts of enabled commands only, but the prompt tells what a command
// does, and that is worth knowing most when it is greyed.
class CDisabledCommandPrompts : public QObject {
  Q_OBJECT

 public:
  // window is the one whose status bar shows the prompts.
  explicit CDisabledCommandPrompts(QMainWindow* window);

  // Watches a menu (and the menus below it) of the window.
  void Watch(QMenu* menu);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowPrompt(const QString& text);

  QMainWindow* m_pWindow;
};

}  // namespace zorvan
