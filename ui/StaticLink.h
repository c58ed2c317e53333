#pragma once

#include <QLabel>
#include <QString>

namespace zorvan {

// A text that behaves as a link: underlined, blue until a click has opened its target, dark red
// after, with the pointing-hand cursor. Without a target of its own it opens its text: an
// e-mail address (a text with "@") as a new message, anything else as a web page.
class CStaticLink : public QLabel {
  Q_OBJECT

 public:
  static constexpr QRgb kUnvisited = qRgb(0, 0, 220);
  static constexpr QRgb kVisited = qRgb(200, 0, 0);

  explicit CStaticLink(const QString& text, const QString& link = QString(),
                       QWidget* parent = nullptr);

  const QString& Link() const { return m_strLink; }
  bool IsVisited() const { return m_bVisited; }

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Follow();
  void UpdateColour();

  QString m_strLink;
  bool m_bVisited = false;
};

}  // namespace zorvan
