// The CAP, NUM and SCRL panes: read from the keyboard lights at the start, after a lock key and
// after a window became active, and at no other time.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include "app/MainFrame.h"
#include "tests/ui/GuiTest.h"
#include "ui/LockKeyIndicators.h"
#include "ui/X11LockKeys.h"

namespace zorvan::test {
namespace {

class LockKeyIndicatorsTest : public ::testing::Test {
 protected:
  // Sets a light as the system shows it: a folder "<device>::<light>" with its brightness.
  void SetLight(const QString& light, bool on) {
    const QString folder = QStringLiteral("input3::") + light;
    ASSERT_TRUE(QDir(m_lights.path()).mkpath(folder));
    QFile brightness(m_lights.filePath(folder + QStringLiteral("/brightness")));
    ASSERT_TRUE(brightness.open(QIODevice::WriteOnly | QIODevice::Truncate));
    brightness.write(on ? "1\n" : "0\n");
  }
  QStringList Texts(const CLockKeyIndicators& panes) const {
    return {panes.Pane(0)->text(), panes.Pane(1)->text(), panes.Pane(2)->text()};
  }

  QTemporaryDir m_lights;
  QLineEdit m_typing;  // where the keys are typed
};

TEST_F(LockKeyIndicatorsTest, ShowTheLightsThatAreOnWithTheirNamesFromTheStringTable) {
  SetLight(QStringLiteral("capslock"), true);
  SetLight(QStringLiteral("numlock"), false);
  CLockKeyIndicators panes(nullptr, m_lights.path());
  EXPECT_EQ(Texts(panes), (QStringList{"CAP", "", ""}));
  EXPECT_EQ(panes.Pane(0)->objectName(), QStringLiteral("CAP"));
  EXPECT_EQ(panes.Pane(1)->objectName(), QStringLiteral("NUM"));
  EXPECT_EQ(panes.Pane(2)->objectName(), QStringLiteral("SCRL"));
  // Where the system shows no lights at all, every pane stays empty.
  CLockKeyIndicators none(nullptr, m_lights.filePath(QStringLiteral("nothing")));
  EXPECT_EQ(Texts(none), (QStringList{"", "", ""}));
}

TEST_F(LockKeyIndicatorsTest, FollowTheLockKeysButNoOtherKeysAndNoClock) {
  SetLight(QStringLiteral("capslock"), true);
  CLockKeyIndicators panes(nullptr, m_lights.path());
  SetLight(QStringLiteral("capslock"), false);
  SetLight(QStringLiteral("scrolllock"), true);
  QTest::keyClick(&m_typing, Qt::Key_A);
  QTest::qWait(300);
  EXPECT_EQ(Texts(panes), (QStringList{"CAP", "", ""}));

  QTest::keyPress(&m_typing, Qt::Key_CapsLock);
  EXPECT_EQ(Texts(panes), (QStringList{"", "", "SCRL"}));
  SetLight(QStringLiteral("numlock"), true);
  QTest::keyRelease(&m_typing, Qt::Key_NumLock);
  EXPECT_EQ(Texts(panes), (QStringList{"", "NUM", "SCRL"}));
}

TEST_F(LockKeyIndicatorsTest, LookAgainWhenAWindowBecomesActive) {
  SetLight(QStringLiteral("capslock"), false);
  CLockKeyIndicators panes(nullptr, m_lights.path());
  EXPECT_EQ(Texts(panes), (QStringList{"", "", ""}));
  // Caps Lock was pressed while another program had the keyboard.
  SetLight(QStringLiteral("capslock"), true);
  QEvent activate(QEvent::WindowActivate);
  QApplication::sendEvent(&m_typing, &activate);
  EXPECT_EQ(Texts(panes), (QStringList{"CAP", "", ""}));
}

TEST_F(LockKeyIndicatorsTest, WithoutLightsTheWindowSystemTellsOrThePanesAreLeftOut) {
  const QString noLights = m_lights.filePath(QStringLiteral("nothing"));
  std::array<bool, 3> keyboard{false, true, false};
  QWidget bar;
  CLockKeyIndicators x11(&bar, noLights, [&] { return std::optional(keyboard); });
  EXPECT_EQ(x11.Source(), CLockKeyIndicators::ESource::WindowSystem);
  EXPECT_FALSE(x11.isHidden());
  EXPECT_EQ(Texts(x11), (QStringList{"", "NUM", ""}));
  keyboard = {true, false, true};
  QTest::keyClick(&m_typing, Qt::Key_CapsLock);
  EXPECT_EQ(Texts(x11), (QStringList{"CAP", "", "SCRL"}));

  CLockKeyIndicators unknown(&bar, noLights, [] { return std::optional<std::array<bool, 3>>(); });
  EXPECT_EQ(unknown.Source(), CLockKeyIndicators::ESource::None);
  EXPECT_TRUE(unknown.isHidden());

  // The system's lights, where it shows them, win.
  SetLight(QStringLiteral("numlock"), false);
  CLockKeyIndicators lights(nullptr, m_lights.path(), [] {
    return std::optional(std::array<bool, 3>{true, true, true});
  });
  EXPECT_EQ(lights.Source(), CLockKeyIndicators::ESource::Lights);
  EXPECT_EQ(Texts(lights), (QStringList{"", "", ""}));
  // The offscreen platform of the tests is no X11 display.
  EXPECT_FALSE(ReadX11LockKeys().has_value());
}

class LockKeyPanesInTheFrame : public CGuiTest {};

TEST_F(LockKeyPanesInTheFrame, SitAtTheRightOfTheStatusBar) {
  ASSERT_TRUE(Start());
  auto* panes = Frame().statusBar()->findChild<CLockKeyIndicators*>();
  ASSERT_NE(panes, nullptr);
  // Left out where neither the system's lights nor the window system tell the keys' state.
  EXPECT_EQ(panes->isVisible(), panes->Source() != CLockKeyIndicators::ESource::None);
  if (!panes->isVisible()) return;
  auto* idle = Frame().statusBar()->findChild<QLabel*>(QStringLiteral("idleMessage"));
  ASSERT_NE(idle, nullptr);
  EXPECT_GT(panes->geometry().left(), idle->geometry().right());
}

}  // namespace
}  // namespace zorvan::test
