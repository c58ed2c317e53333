#include "interchange/FileImport.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

#include "interchange/LineText.h"
#include "interchange/Progress.h"
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
    const std::int64_t lines = CountLines(m_input);
    if (m_input.Failed()) return Failure(IDS_IMPORT_ERROR);
    indicator->SetRange(1, IndicatorPosition(lines - 1));
    if (!m_input.Open(path)) return Failure(IDS_IMPORT_OPEN_ERROR);
  }
  std::string firstLine;
  if (!m_bVCard && ReadFirstLine(m_input, firstLine)) {
    m_format.layout = RecogniseHeader(firstLine);
    m_bKnownHeader = m_format.layout != ETextLayout::bound;
    if (!m_bKnownHeader) {
      const STransferResult asked = AskFormat(firstLine);
      if (asked.outcome != ETransferOutcome::done) return asked;
    }
  }
  if (m_input.Failed()) return Failure(IDS_IMPORT_ERROR);
  return {};
}

STransferResult CFileImport::Read(const std::function<void(std::unique_ptr<CTreeItem>)>& onRecord) {
  ITransferProgress* indicator = m_callbacks.pProgress;
  SImportHooks hooks;
  hooks.onRecord = onRecord;
  if (indicator)
    hooks.onLine = [indicator](std::int64_t line) {
      indicator->SetPosition(IndicatorPosition(line));
    };
  const bool read = m_bVCard ? ReadVCards(m_input, hooks, m_order)
                             : ReadTextRows(m_input, m_format, hooks, m_order);
  if (indicator) indicator->SetFull();
  if (!read || m_input.Failed()) return Failure(IDS_IMPORT_ERROR);
  return {ETransferOutcome::done, IDS_IMPORT_DONE, {}};
}

STransferResult CFileImport::ReadInto(CZorvanDoc& doc) {
  const size_t before = doc.ContactsRoot()->ChildCount();
  const STransferResult result = Read(
      [&doc](std::unique_ptr<CTreeItem> record) { doc.AppendImportedRecord(record.release()); });
  // What was read before a failure stays, and is as much a part of the database as the rest.
  doc.CompleteImport(before);
  return result;
}

STransferResult CFileImport::AskFormat(const std::string& firstLine) {
  const STransferResult cancelled = {ETransferOutcome::cancelled, 0, {}};
  IImportPrompts* prompts = m_callbacks.pPrompts;
  std::string typed = ",";
  if (!prompts || !prompts->AskDelimiter(typed)) return cancelled;
  m_format.strDelimiter = DelimiterFromText(typed);
  if (CountColumns(firstLine, m_format.strDelimiter) > kMaxColumns)
    return {ETransferOutcome::failed, IDS_IMPORT_ERROR,
            "its first line has more than " + std::to_string(kMaxColumns) + " columns"};
  m_format.bindings = MakeColumnBindings(firstLine, m_format.strDelimiter);
  // The first data line shows what each column holds; it is read again with the rows.
  std::string raw, converted;
  if (m_input.ReadLine(raw)) {
    ReadColumnSamples(ImportLineToUtf8(raw, m_input.IsUtf8(), converted), m_format.strDelimiter,
                      m_format.bindings);
    m_input.PutBack(std::move(raw));
  }
  if (!prompts->AskBindings(m_format.strDelimiter, m_format.bindings)) return cancelled;
  return {};
}

STransferResult CFileImport::Failure(int message) const {
  return {ETransferOutcome::failed, message, m_input.Reason()};
}

}  // namespace zorvan
