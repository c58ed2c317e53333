#pragma once

#include <QString>
#include <QWizardPage>

namespace zorvan {

// The last page of the import wizard: all columns are bound, the import may start.
class CFinishPage : public QWizardPage {
  Q_OBJECT

 public:
  explicit CFinishPage(const QString& step, QWidget* parent = nullptr);

  QString Step() const { return m_strStep; }

 private:
  QString m_strStep;
};

}  // namespace zorvan
