#pragma once

#include <QLineEdit>

namespace zorvan {

// The filter box above the tree: a line with a clear button that Escape empties, handing the
// focus back to the tree (Escaped).
class CFilterBox : public QLineEdit {
  Q_OBJECT

 public:
  explicit CFilterBox(QWidget* parent = nullptr);

 signals:
  void Escaped();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace zorvan
