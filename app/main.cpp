#include <QApplication>
#include <iostream>

#include "app/ZorvanApp.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  zorvan::CZorvanApp app;
  if (!app.InitInstance(QApplication::arguments(), std::cout, std::cerr)) return app.ExitCode();
  return QApplication::exec();
}
