#include "ui/DisabledCommandPrompts.h"

#include <QAction>
#include <QCoreApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QStatusTipEvent>
#include <QTimer>

namespace zorvan {

CDisabledCommandPrompts::CDisabledCommandPrompts(QMainWindow* window)
    : QObject(window), m_pWindow(window) {}

void CDisabledCommandPrompts::Watch(QMenu* menu) {
  menu->installEventFilter(this);
  for (QAction* action : menu->actions())
    if (QMenu* sub = action->menu()) Watch(sub);
}

bool CDisabledCommandPrompts::eventFilter(QObject* watched, QEvent* event) {
  auto* menu = qobject_cast<QMenu*>(watched);
  if (!menu) return false;
  if (event->type() == QEvent::MouseMove) {
    QAction* action = menu->actionAt(static_cast<QMouseEvent*>(event)->position().toPoint());
    if (action && !action->isEnabled() && !action->isSeparator()) {
      // After the menu has handled the move: leaving its highlighted command clears the bar.
      QPointer<QAction> hovered(action);
      QTimer::singleShot(0, this, [this, hovered, menu = QPointer<QMenu>(menu)] {
        if (hovered && menu && menu->isVisible() && !hovered->isEnabled())
          ShowPrompt(hovered->statusTip());
      });
    }
  } else if (event->type() == QEvent::Hide) {
    ShowPrompt(QString());
  }
  return false;
}

void CDisabledCommandPrompts::ShowPrompt(const QString& text) {
  QStatusTipEvent tip(text);
  QCoreApplication::sendEvent(m_pWindow, &tip);
}

}  // namespace zorvan
