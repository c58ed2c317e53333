#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>

class QLabel;

namespace zorvan {

// The CAP, NUM and SCRL panes at the right of the status bar: each shows its text while its
// lock key is on. Qt does not tell the state of the lock keys, so the panes read the keyboard
// lights the system shows under /sys/class/leds, or, where it shows none, the keyboard
// indicators of the window system (X11) — once at the start, whenever a lock key is pressed or
// released in the program, and whenever one of its windows becomes active (the key may have
// been pressed in another program meanwhile). Where neither tells, the panes are left out
// rather than stay dark whatever the keys.
class CLockKeyIndicators : public QWidget {
  Q_OBJECT

 public:
  // The lock states in pane order, none where they cannot be known.
  using TLockReader = std::function<std::optional<std::array<bool, 3>>()>;
  enum class ESource { Lights, WindowSystem, None };

  // windowSystem reads the window system's indicators (by default X11's).
  explicit CLockKeyIndicators(QWidget* parent = nullptr,
                              const QString& lightsFolder = QStringLiteral("/sys/class/leds"),
                              TLockReader windowSystem = {});
  ~CLockKeyIndicators() override;

  ESource Source() const { return m_eSource; }

  // The pane of a lock key: 0 Caps Lock, 1 Num Lock, 2 Scroll Lock.
  QLabel* Pane(int index) const { return m_pPanes[index]; }
  // Reads the lights and sets the panes' texts.
  void Update();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool HasLights() const;
  bool LightOn(const QString& light) const;

  QString m_strLightsFolder;
  TLockReader m_windowSystem;
  ESource m_eSource = ESource::None;
  QLabel* m_pPanes[3] = {nullptr, nullptr, nullptr};
};

}  // namespace zorvan
