#pragma once

#include <QDialog>
#include <QString>
#include <string>
#include <vector>

#include "sync/CardMerge.h"

class QPushButton;
class QRadioButton;

namespace zorvan {

// The question a synchronisation asks for a contact that was changed here and on the server in
// two ways: for each property both sides changed, which value it keeps, this database's or the
// server's. OK takes the choices (the two "for all" buttons choose every row one way and take
// them at once); Leave Unsynchronized (the dialog rejected) keeps the contact as it is on both
// sides, to be asked again at the next synchronisation.
class CSyncConflictDlg : public QDialog {
  Q_OBJECT

 public:
  CSyncConflictDlg(const QString& contact, const std::vector<sync::SCardConflict>& conflicts,
                   QWidget* parent = nullptr);

  // One choice per conflict, in the order given.
  std::vector<sync::EMergeChoice> Choices() const;
  // Chooses every row one way.
  void ChooseAll(sync::EMergeChoice choice);

  QRadioButton* MineButton(size_t row) const { return m_rows[row].pMine; }
  QRadioButton* ServersButton(size_t row) const { return m_rows[row].pServers; }
  QPushButton* KeepMineButton() const { return m_pKeepMine; }
  QPushButton* TakeServersButton() const { return m_pTakeServers; }
  QPushButton* LeaveButton() const { return m_pLeave; }

  // A property's key as the user knows it: "TEL;TYPE=CELL,WORK" is "Phone (mobile, work)"; the
  // group of grouped properties ("item1.") is left out.
  static QString PropertyName(const std::string& key);
  // The value of a content line as text: the escapes undone, the parts of a structured value
  // (a name, an address) joined by commas; "(none)" where the side has no such property.
  static QString ValueText(const std::string& line);

 private:
  struct SRow {
    QRadioButton* pMine = nullptr;
    QRadioButton* pServers = nullptr;
  };
  std::vector<SRow> m_rows;
  QPushButton* m_pKeepMine = nullptr;
  QPushButton* m_pTakeServers = nullptr;
  QPushButton* m_pLeave = nullptr;
};

}  // namespace zorvan
