#pragma once

#include <QString>
#include <QWidget>

class QLabel;

namespace zorvan {

// The CAP, NUM and SCRL panes at the right of the status bar: each shows its text while its
// lock key is on. Qt does not tell the state of the lock keys, so the panes read the keyboard
// lights the system shows under /sys/class/leds — once at the start, whenever a lock key is
// pressed or released in the program, and whenever one of its windows becomes active (the key
// may have been pressed in another program meanwhile).
class CLockKeyIndicators : public QWidget {
  Q_OBJECT

 public:
  explicit CLockKeyIndicators(QWidget* parent = nullptr,
                              const QString& lightsFolder = QStringLiteral("/sys/class/leds"));
  ~CLockKeyIndicators() override;

  // The pane of a lock key: 0 Caps Lock, 1 Num Lock, 2 Scroll Lock.
  QLabel* Pane(int index) const { return m_pPanes[index]; }
  // Reads the lights and sets the panes' texts.
  void Update();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool LightOn(const QString& light) const;

  QString m_strLightsFolder;
  QLabel* m_pPanes[3] = {nullptr, nullptr, nullptr};
};

}  // namespace zorvan
