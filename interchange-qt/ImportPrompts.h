#pragma once

#include <string>

#include "interchange-qt/ImportSheet.h"
#include "interchange/Transfer.h"

class QDialog;
class QWidget;

namespace zorvan {

// The import's two questions asked in the window: the delimiter dialog and the import wizard.
// The dialogs are run through the program's prompt, as every modal dialog is (and tests
// answer them there). While one is open, the pointer shows the arrow over it, not the wait
// cursor of the running import.
class CImportPrompts : public IImportPrompts {
 public:
  explicit CImportPrompts(QWidget* parent);

  bool AskDelimiter(std::string& typed) override;
  bool AskBindings(const std::string& delimiter, std::vector<ColumnBinding>& bindings) override;
  void NoteLayout(const std::string& layoutName) override { m_strLayout = layoutName; }
  void NoteBoundByNames() override { m_preset = CImportSheet::EPreset::byNames; }
  void NoteFirstLineIsData() override { m_preset = CImportSheet::EPreset::byValues; }

 private:
  bool Run(QDialog& dialog);

  QWidget* m_pParent;
  std::string m_strLayout;
  CImportSheet::EPreset m_preset = CImportSheet::EPreset::none;
};

}  // namespace zorvan
