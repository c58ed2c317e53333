#pragma once

#include <QWizard>
#include <vector>

#include "interchange/ColumnBinding.h"

namespace zorvan {

class CImportPage;

// The import wizard, "Import polí": one page per column of the text file, in column order,
// then the finish page, whose button reads "Import". Cancel on any page ends the import.
// Columns that come bound (a header of another program the import recognised) show their
// target chosen; the wizard then names the layout (or says that the columns were bound by their
// names) and may be finished from any page.
class CImportSheet : public QWizard {
  Q_OBJECT

 public:
  // How the columns of a header no known layout writes came bound: not at all, by the
  // columns' names, or (a first line that is a contact) by the values' shapes.
  enum class EPreset { none, byNames, byValues };

  explicit CImportSheet(const std::vector<ColumnBinding>& bindings, QWidget* parent = nullptr,
                        const QString& layoutName = QString(), EPreset preset = EPreset::none);

  // The target of every column as chosen on its page (-1 where none was chosen).
  std::vector<int> Targets() const;
  const std::vector<CImportPage*>& Pages() const { return m_pages; }

 private:
  std::vector<CImportPage*> m_pages;
};

}  // namespace zorvan
