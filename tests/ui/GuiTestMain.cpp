#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
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
  // The tests read the English window whatever the developer's own languages; those with the
  // Czech one install it themselves.
  qputenv("LANGUAGE", "en");
  QStandardPaths::setTestModeEnabled(true);
  QTemporaryDir settings;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
  // A session folder of the process's own: the channel of later starts lives there, and a test
  // that opens the folder to another user must not close it to the tests running beside it.
  QTemporaryDir runtime;
  qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
