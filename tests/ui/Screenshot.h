#pragma once

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

namespace zorvan::test {

// Where ZORVAN_SCREENSHOTS names a folder, writes what widget shows there as name.png, with
// the tool tip on top when one is up (the tip is a window of its own).
inline void SaveScreenshot(QWidget& widget, const QString& name) {
  const QString folder = qEnvironmentVariable("ZORVAN_SCREENSHOTS");
  if (folder.isEmpty()) return;
  QPixmap shot = widget.grab();
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (top->objectName() != QLatin1String("qtooltip_label") || !top->isVisible()) continue;
    QPainter painter(&shot);
    painter.drawPixmap(widget.mapFromGlobal(top->pos()), top->grab());
  }
  QDir().mkpath(folder);
  shot.save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

}  // namespace zorvan::test
