#include "interchange/FileImport.h"

#include <cstring>
#include <utility>

#include "interchange/LineText.h"
#include "interchange/VCardReader.h"
#include "res/StringTable.h"
#include "store/ZorvanDoc.h"

namespace zorvan {

STransferResult CFileImport::Open(const std::string& path, const STransferCallbacks& callbacks) {
  m_callbacks = callbacks;
  m_order = LocaleDateOrder();
  m_bVCard = ImportsVCards(path);
  m_bKnownHeader = false;
  m_format = STextFormat();
  if (!m_input.Open(path)) return Failure(IDS_IMPORT_OPEN_ERROR);
  if (ITransferProgress* indicator = m_callbacks.pProgress) {
    // The indicator runs over the lines after the first; the file is read twice for it.
    const int lines = CountLines(m_input);
    if (m_input.Failed()) return Failure(IDS_IMPORT_ERROR);
    indicator->SetRange(1, lines - 1);
    if (!m_input.Open(path)) return Failure(IDS_IMPORT_OPEN_ERROR);
  }
  std::string firstLine;
  if (!m_bVCard && ReadFirstLine(m_input, firstLine)) {
    m_format.layout = RecogniseHeader(firstLine);
    m_bKnownHeader = m_format.layout != ETextLayout::bound;
    if (!m_bKnownHeader && !AskFormat(firstLine)) return {ETransferOutcome::cancelled, 0, {}};
  }
  if (m_input.Failed()) return Failure(IDS_IMPORT_ERROR);
  return {};
}

STransferResult CFileImport::Read(const std::function<void(CTreeItem*)>& onRecord) {
  ITransferProgress* indicator = m_callbacks.pProgress;
  SImportHooks hooks;
  hooks.onRecord = onRecord;
  if (indicator) hooks.onLine = [indicator](int line) { indicator->SetPosition(line); };
  const bool read = m_bVCard ? ReadVCards(m_input, hooks, m_order)
                             : ReadTextRows(m_input, m_format, hooks, m_order);
  if (indicator) indicator->SetFull();
  if (!read || m_input.Failed()) return Failure(IDS_IMPORT_ERROR);
  return {ETransferOutcome::done, IDS_IMPORT_DONE, {}};
}

STransferResult CFileImport::ReadInto(CZorvanDoc& doc) {
  const size_t before = doc.ContactsRoot()->ChildCount();
  const STransferResult result =
      Read([&doc](CTreeItem* record) { doc.AppendImportedRecord(record); });
  // What was read before a failure stays, and is as much a part of the database as the rest.
  doc.CompleteImport(before);
  return result;
}

bool CFileImport::AskFormat(const std::string& firstLine) {
  IImportPrompts* prompts = m_callbacks.pPrompts;
  std::string typed = ",";
  if (!prompts || !prompts->AskDelimiter(typed)) return false;
  m_format.strDelimiter = DelimiterFromText(typed);
  m_format.bindings = MakeColumnBindings(firstLine, m_format.strDelimiter);
  // The first data line shows what each column holds; it is read again with the rows.
  std::string raw, converted;
  if (m_input.ReadLine(raw)) {
    ReadColumnSamples(LineToUtf8(raw, m_input.IsUtf8(), converted), m_format.strDelimiter,
                      m_format.bindings);
    m_input.PutBack(std::move(raw));
  }
  return prompts->AskBindings(m_format.strDelimiter, m_format.bindings);
}

STransferResult CFileImport::Failure(int message) const {
  const int error = m_input.Error();
  return {ETransferOutcome::failed, message, error != 0 ? std::strerror(error) : std::string()};
}

}  // namespace zorvan
