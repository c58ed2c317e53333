#pragma once

#include <QDialog>

class QLabel;

namespace zorvan {

// The About box: the program's name, version and maker.
class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);

  QString m_strVersion;

 private:
  void OnInitDialog();

  QLabel* m_pVersion = nullptr;  // shows m_strVersion
};

}  // namespace zorvan
