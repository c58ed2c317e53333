#pragma once

#include <QAbstractButton>
#include <QPixmap>

#include "ui/Icons.h"

namespace zorvan {

// A 23 x 23 picture button in four states: up, pressed, focused and disabled. The caption
// ("EMAIL", "WEB") names the button for the keyboard and accessibility; the picture shows it.
class CBitmapButton : public QAbstractButton {
  Q_OBJECT

 public:
  enum EState { stateUp, stateDown, stateFocused, stateDisabled };

  CBitmapButton(const QString& caption, EIcon picture, QWidget* parent = nullptr);

  QSize sizeHint() const override { return {23, 23}; }
  QSize minimumSizeHint() const override { return sizeHint(); }
  EState State() const;
  // The image of a state, as the button paints it.
  const QPixmap& Image(EState state) const { return m_images[state]; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPixmap m_images[4];
};

}  // namespace zorvan
