#pragma once

#include <functional>
#include <string>

#include "interchange/Transfer.h"

class QDialog;
class QWidget;

namespace zorvan {

// The import's two questions asked in the window: the delimiter dialog and the import wizard.
// The dialogs are run by the function given, so that the program runs them as it runs every
// modal dialog (and tests can answer them). While one is open, the pointer shows the arrow
// over it, not the wait cursor of the running import.
class CImportPrompts : public IImportPrompts {
 public:
  // runModal runs a dialog modally and returns its result code (QDialog::Accepted or not).
  using ModalRunner = std::function<int(QDialog&)>;

  CImportPrompts(QWidget* parent, ModalRunner runModal);

  bool AskDelimiter(std::string& typed) override;
  bool AskBindings(const std::string& delimiter, std::vector<ColumnBinding>& bindings) override;
  void NoteLayout(const std::string& layoutName) override { m_strLayout = layoutName; }

 private:
  bool Run(QDialog& dialog);

  QWidget* m_pParent;
  ModalRunner m_runModal;
  std::string m_strLayout;
};

}  // namespace zorvan
