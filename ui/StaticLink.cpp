#include "ui/StaticLink.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "qt/QtText.h"
#include "store/LinkTargets.h"
#include "ui/OpenTarget.h"

namespace zorvan {

CStaticLink::CStaticLink(const QString& text, const QString& link, QWidget* parent)
    : QLabel(text, parent), m_strLink(link) {
  setTextFormat(Qt::PlainText);
  setCursor(Qt::PointingHandCursor);
  // Reachable with Tab and followed with Space or Enter, like any other control.
  setFocusPolicy(Qt::TabFocus);
  QFont underlined = font();
  underlined.setUnderline(true);
  setFont(underlined);
  UpdateColour();
}

void CStaticLink::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton)
    Follow();
  else
    QLabel::mousePressEvent(event);
}

void CStaticLink::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return ||
      event->key() == Qt::Key_Enter)
    Follow();
  else
    QLabel::keyPressEvent(event);
}

void CStaticLink::Follow() {
  if (m_strLink.isEmpty()) {
    const QString address = text();
    if (address.isEmpty()) return;
    const bool mail =
        address.contains(QLatin1Char('@')) && !address.contains(QLatin1String("mailto:"));
    m_strLink = mail ? ToQString(MailTarget(ToStdString(address))) : address;
  }
  // A target that cannot be opened beeps (in OpenTarget) and leaves the link unvisited.
  if (!OpenTarget(ToStdString(m_strLink))) return;
  m_bVisited = true;
  UpdateColour();
}

void CStaticLink::UpdateColour() {
  QPalette p = palette();
  p.setColor(QPalette::WindowText, QColor(m_bVisited ? kVisited : kUnvisited));
  setPalette(p);
}

}  // namespace zorvan
