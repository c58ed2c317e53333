// Draws the desktop's icons of the program and of its documents into a hicolor icon tree:
//   zorvan_make_icons <folder> <size>...
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>

#include "ui/Icons.h"

int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: zorvan_make_icons <folder> <size>...\n");
    return 2;
  }
  const QDir root(QString::fromLocal8Bit(argv[1]));
  for (int i = 2; i < argc; ++i) {
    const int size = std::atoi(argv[i]);
    if (size <= 0) return 2;
    const QString dir = QStringLiteral("%1x%1").arg(size);
    const struct {
      zorvan::EIcon icon;
      QString path;
    } files[] = {
        {zorvan::EIcon::Application, dir + QStringLiteral("/apps/zorvan.png")},
        {zorvan::EIcon::Document, dir + QStringLiteral("/mimetypes/application-x-zorvan.png")},
    };
    for (const auto& file : files) {
      const QString path = root.filePath(file.path);
      QDir().mkpath(QFileInfo(path).absolutePath());
      if (!zorvan::PaintIcon(file.icon, size).save(path, "PNG")) {
        std::fprintf(stderr, "zorvan_make_icons: cannot write %s\n", qPrintable(path));
        return 1;
      }
    }
  }
  return 0;
}
