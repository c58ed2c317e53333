#include "ui/FilterBox.h"

#include <QKeyEvent>

namespace zorvan {

CFilterBox::CFilterBox(QWidget* parent) : QLineEdit(parent) {
  setObjectName(QStringLiteral("filterBox"));
  setPlaceholderText(tr("Filter contacts (Ctrl+K)"));
  setClearButtonEnabled(true);
}

void CFilterBox::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    clear();
    emit Escaped();
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

}  // namespace zorvan
