#include "interchange-qt/ImportPrompts.h"

#include <QApplication>
#include <QDialog>

#include "interchange-qt/DelimiterDlg.h"
#include "interchange-qt/ImportSheet.h"
#include "qt/Prompt.h"
#include "qt/QtText.h"

namespace zorvan {

CImportPrompts::CImportPrompts(QWidget* parent) : m_pParent(parent) {}

bool CImportPrompts::Run(QDialog& dialog) {
  QApplication::setOverrideCursor(Qt::ArrowCursor);
  const int result = Prompt().RunModal(dialog);
  QApplication::restoreOverrideCursor();
  return result == QDialog::Accepted;
}

bool CImportPrompts::AskDelimiter(std::string& typed) {
  CDelimiterDlg dialog(m_pParent);
  dialog.SetDelimiter(ToQString(typed));
  if (!Run(dialog)) return false;
  typed = ToStdString(dialog.Delimiter());
  return true;
}

bool CImportPrompts::AskBindings(const std::string& /*delimiter*/,
                                 std::vector<ColumnBinding>& bindings) {
  CImportSheet sheet(bindings, m_pParent, ToQString(m_strLayout), m_preset);
  if (!Run(sheet)) return false;
  const std::vector<int> targets = sheet.Targets();
  for (size_t i = 0; i < bindings.size(); ++i) bindings[i].m_nTarget = targets[i];
  return true;
}

}  // namespace zorvan
