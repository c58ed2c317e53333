#include <QApplication>
#include <QStringList>
#include <iostream>

#include "app/ZorvanApp.h"
#include "qt/QtText.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // The arguments as the system gave them: QApplication::arguments() would turn a file name that
  // is no UTF-8 into another name. (Qt has taken its own options out of argv by now.)
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << zorvan::FromFilePath(argv[i]);
  zorvan::CZorvanApp app;
  if (!app.InitInstance(arguments, std::cout, std::cerr)) return app.ExitCode();
  return QApplication::exec();
}
