#pragma once

#include <QWizard>
#include <vector>

#include "interchange/ColumnBinding.h"

namespace zorvan {

class CImportPage;

// The import wizard, "Import polí": one page per column of the text file, in column order,
// then the finish page, whose button reads "Import". Cancel on any page ends the import.
class CImportSheet : public QWizard {
  Q_OBJECT

 public:
  explicit CImportSheet(const std::vector<ColumnBinding>& bindings, QWidget* parent = nullptr);

  // The target of every column as chosen on its page (-1 where none was chosen).
  std::vector<int> Targets() const;
  const std::vector<CImportPage*>& Pages() const { return m_pages; }

 private:
  std::vector<CImportPage*> m_pages;
};

}  // namespace zorvan
