#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

// The GUI tests never touch the user's settings or need a display.
int main(int argc, char** argv) {
  // The offscreen platform's own screen is 800 x 600; the tests run on one the size of a common
  // laptop's, so that the window can take the size it asks for.
  const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  if (platform.isEmpty() || platform == "offscreen")
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" ZORVAN_OFFSCREEN_SCREEN);
  QStandardPaths::setTestModeEnabled(true);
  QTemporaryDir settings;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
