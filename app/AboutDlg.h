#pragma once

#include <QDialog>

class QLabel;

namespace zorvan {

class CStaticLink;

// The About box: the program's name, version and maker.
class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);

  QString m_strVersion;
  // Both open their own text: the author's address as a new message, the maker's web page.
  CStaticLink* m_pEmailLink = nullptr;
  CStaticLink* m_pWebLink = nullptr;

 private:
  void OnInitDialog();

  QLabel* m_pVersion = nullptr;  // shows m_strVersion
};

}  // namespace zorvan
