#include "ui/LockKeyIndicators.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>

#include "qt/QtText.h"
#include "res/StringTable.h"
#include "ui/X11LockKeys.h"

namespace zorvan {
namespace {

// The string ids of the panes' texts and the names the system gives the keys' lights, in pane
// order.
const int kTextIds[3] = {59137, 59138, 59139};
const char* const kLights[3] = {"capslock", "numlock", "scrolllock"};

bool IsLockKey(int key) {
  return key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock;
}

}  // namespace

CLockKeyIndicators::CLockKeyIndicators(QWidget* parent, const QString& lightsFolder,
                                       TLockReader windowSystem)
    : QWidget(parent),
      m_strLightsFolder(lightsFolder),
      m_windowSystem(windowSystem ? std::move(windowSystem) : TLockReader(ReadX11LockKeys)) {
  if (HasLights())
    m_eSource = ESource::Lights;
  else if (m_windowSystem())
    m_eSource = ESource::WindowSystem;
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  // The spacing the status bar keeps between its own panes.
  layout->setSpacing(6);
  for (int i = 0; i < 3; ++i) {
    const QString text = ToQString(LoadString(kTextIds[i]));
    auto* pane = new QLabel(this);
    pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pane->setAlignment(Qt::AlignCenter);
    pane->setObjectName(text);
    pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(text) + 10);
    layout->addWidget(pane);
    m_pPanes[i] = pane;
  }
  if (m_eSource == ESource::None) {
    setVisible(false);
    return;
  }
  qApp->installEventFilter(this);
  Update();
}

CLockKeyIndicators::~CLockKeyIndicators() { qApp->removeEventFilter(this); }

bool CLockKeyIndicators::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      // The light may change on the press or only on the release, depending on the system.
      if (IsLockKey(static_cast<QKeyEvent*>(event)->key())) Update();
      break;
    case QEvent::WindowActivate:
      if (watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow()) Update();
      break;
    case QEvent::ApplicationActivate:
      Update();
      break;
    default:
      break;
  }
  return false;
}

void CLockKeyIndicators::Update() {
  std::array<bool, 3> on{};
  if (m_eSource == ESource::Lights) {
    for (int i = 0; i < 3; ++i) on[static_cast<size_t>(i)] = LightOn(QLatin1String(kLights[i]));
  } else if (m_eSource == ESource::WindowSystem) {
    on = m_windowSystem().value_or(on);
  }
  for (int i = 0; i < 3; ++i) {
    const QString text =
        on[static_cast<size_t>(i)] ? ToQString(LoadString(kTextIds[i])) : QString();
    if (m_pPanes[i]->text() != text) m_pPanes[i]->setText(text);
  }
}

// Whether the system shows any lock key's light at all.
bool CLockKeyIndicators::HasLights() const {
  QStringList patterns;
  for (const char* light : kLights) patterns << QStringLiteral("*::") + QLatin1String(light);
  return !QDir(m_strLightsFolder).entryList(patterns, QDir::Dirs | QDir::System).isEmpty();
}

// The state of a lock key's light, where the system shows it (off where it does not).
bool CLockKeyIndicators::LightOn(const QString& light) const {
  const QDir leds(m_strLightsFolder);
  const QStringList names =
      leds.entryList({QStringLiteral("*::") + light}, QDir::Dirs | QDir::System);
  for (const QString& name : names) {
    QFile brightness(leds.filePath(name + QStringLiteral("/brightness")));
    if (brightness.open(QIODevice::ReadOnly) && brightness.readAll().trimmed() != "0") return true;
  }
  return false;
}

}  // namespace zorvan
