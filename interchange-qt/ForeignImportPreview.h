#pragma once

#include <QDialog>
#include <vector>

#include "interchange/ForeignImport.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QTableWidget;
class QTreeWidget;

namespace zorvan {

// What Import from Other Programs is about to do, shown before anything is added: how many
// contacts go into which new group, the first contact as it will be stored (each field that
// holds something, with its name), and the contacts that look like duplicates, each with the
// contact it looks like and why, and a check box that skips it (all checked at first); the
// heading and the count below the list both say how many will be imported. Import adds, and is
// what Enter does; Cancel and Escape add nothing.
class CForeignImportPreview : public QDialog {
  Q_OBJECT

 public:
  CForeignImportPreview(const CForeignImport& import, std::vector<SDuplicate> duplicates,
                        QWidget* parent = nullptr);

  // One flag per contact of the import: set for a duplicate whose box is checked.
  std::vector<bool> SkipFlags() const;
  // Checks or clears every duplicate's box.
  void SetAllSkipped(bool skipped);

  QLabel* Summary() const { return m_pSummary; }
  QTableWidget* FirstContact() const { return m_pFirst; }
  QTreeWidget* Duplicates() const { return m_pDuplicates; }
  QPushButton* SkipAllButton() const { return m_pSkipAll; }
  QPushButton* ImportAllButton() const { return m_pImportAll; }
  QPushButton* ImportButton() const { return m_pImport; }

  // SDuplicate::ReasonText in the window's language (the same words in English).
  static QString ReasonText(const SDuplicate& duplicate);

 private:
  // The list of likely duplicates with its buttons.
  QGroupBox* DuplicatesBox(const CForeignImport& import);
  // One checked item per likely duplicate: the file's contact, the one it looks like, and why.
  void AddDuplicateItems(const std::vector<SForeignContact>& contacts);
  void UpdateCount();

  const CForeignImport& m_import;
  size_t m_nContacts;
  std::vector<SDuplicate> m_duplicates;
  QLabel* m_pSummary = nullptr;
  QLabel* m_pSkipCount = nullptr;
  QTableWidget* m_pFirst = nullptr;
  QTreeWidget* m_pDuplicates = nullptr;
  QPushButton* m_pSkipAll = nullptr;
  QPushButton* m_pImportAll = nullptr;
  QPushButton* m_pImport = nullptr;
};

}  // namespace zorvan
