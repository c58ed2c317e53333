#include "interchange-qt/ImportSheet.h"

#include "interchange-qt/FinishPage.h"
#include "interchange-qt/ImportPage.h"
#include "qt/QtText.h"
#include "res/StringTable.h"

namespace zorvan {
namespace {

// "Step %d of %d:" of the string table.
QString StepText(int step, int steps) {
  QString text = ToQString(LoadString(IDS_WIZARD_STEP));
  text.replace(text.indexOf(QLatin1String("%d")), 2, QString::number(step));
  text.replace(text.indexOf(QLatin1String("%d")), 2, QString::number(steps));
  return text;
}

}  // namespace

CImportSheet::CImportSheet(const std::vector<ColumnBinding>& bindings, QWidget* parent,
                           const QString& layoutName, EPreset preset)
    : QWizard(parent) {
  const bool bound = !layoutName.isEmpty() || preset != EPreset::none;
  const QString finish = ToQString(LoadString(IDS_WIZARD_FINISH));
  QString note;
  if (!layoutName.isEmpty()) {
    setWindowTitle(QStringLiteral("Import polí \u2013 ") +
                   tr("%1 columns recognised").arg(layoutName));
    note = tr("The columns were recognised as a %1 file and are bound "
              "already. Check them page by page, or click '%2' at once.")
               .arg(layoutName, finish);
  } else if (preset == EPreset::byValues) {
    setWindowTitle(QStringLiteral("Import polí \u2013 ") + tr("the first line is a contact"));
    note = tr("The first line holds a contact, not column names: it is imported too. Its "
              "columns were bound by what their values look like (e-mail, phone, date); check "
              "them page by page, or click '%1' at once.")
               .arg(finish);
  } else if (preset == EPreset::byNames) {
    setWindowTitle(QStringLiteral("Import polí \u2013 ") + tr("columns bound by their names"));
    note = tr("The columns were bound by their names; those whose names say nothing known go "
              "to the remark. Check them page by page, or click '%1' at once.")
               .arg(finish);
  } else {
    setWindowTitle(QStringLiteral("Import polí"));
  }
  setWizardStyle(QWizard::ClassicStyle);
  setOption(QWizard::NoBackButtonOnStartPage, false);
  setButtonText(QWizard::FinishButton, ToQString(LoadString(IDS_WIZARD_FINISH)));
  const int steps = static_cast<int>(bindings.size()) + 1;
  // The sample of a file without a data line is empty for every column; it is then not shown.
  bool hasSamples = false;
  for (const ColumnBinding& b : bindings) hasSamples = hasSamples || !b.m_strSample.empty();
  for (const ColumnBinding& b : bindings) {
    auto* page = new CImportPage(StepText(b.m_nIndex + 1, steps), ToQString(b.m_strName),
                                 ToQString(b.m_strSample), hasSamples, nullptr, b.m_nTarget);
    if (bound && m_pages.empty()) page->SetNote(note);
    // Every page may end the wizard: its Import button is enabled on each.
    page->setFinalPage(bound);
    m_pages.push_back(page);
    addPage(page);
  }
  // Bound columns need not be visited one by one: a file of 90 columns is 90 pages.
  if (bound) setOption(QWizard::HaveFinishButtonOnEarlyPages, true);
  addPage(new CFinishPage(StepText(steps, steps)));
}

std::vector<int> CImportSheet::Targets() const {
  std::vector<int> targets;
  targets.reserve(m_pages.size());
  for (const CImportPage* page : m_pages) targets.push_back(page->Target());
  return targets;
}

}  // namespace zorvan
