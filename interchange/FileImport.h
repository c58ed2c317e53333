#pragma once

#include <functional>
#include <memory>
#include <string>

#include "interchange/FileLineInput.h"
#include "interchange/TextImport.h"
#include "interchange/Transfer.h"

namespace zorvan {

// One import of a file, in two steps so that everything the user is asked comes before any
// record is touched. Open opens the file (counting its lines first when there is a progress
// indicator to size), chooses the format by the file's name, and for delimited text reads the
// first line: a known header decides the layout; any other first line is read bound, with the
// delimiter and the column bindings the prompts give. Read then reads every remaining line or
// card into new records. A vCard file is read from its first line.
class CFileImport {
 public:
  CFileImport() = default;
  CFileImport(const CFileImport&) = delete;
  CFileImport& operator=(const CFileImport&) = delete;

  // done when the records can be read; otherwise the outcome to report (cancelled when a
  // prompt was declined).
  STransferResult Open(const std::string& path, const STransferCallbacks& callbacks);
  // Hands every record read to onRecord, in file order. done, or failed when reading the file
  // failed; the records handed over before stay handed over.
  STransferResult Read(const std::function<void(std::unique_ptr<CTreeItem>)>& onRecord);
  // Read, appending the records below the document's contacts root (with their tree items),
  // then completing the import in the document (event nodes, sorting, the modified flag).
  STransferResult ReadInto(CZorvanDoc& doc);

  bool IsVCard() const { return m_bVCard; }
  // True when the first line was the header of the program's own or the 39-column layout.
  bool HasKnownHeader() const { return m_bKnownHeader; }
  const STextFormat& Format() const { return m_format; }
  // The order of slash dates, taken from the locale when the file was opened.
  void SetDateOrder(EDateOrder order) { m_order = order; }

 private:
  STransferResult AskFormat(const std::string& firstLine);
  STransferResult Failure(int message) const;

  CFileLineInput m_input;
  STransferCallbacks m_callbacks;
  STextFormat m_format;
  EDateOrder m_order = EDateOrder::monthDayYear;
  bool m_bVCard = false;
  bool m_bKnownHeader = false;
};

}  // namespace zorvan
