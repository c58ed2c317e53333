#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "interchange/ColumnBinding.h"
#include "interchange/vcard/ForeignVCardWriter.h"
#include "store/DateParse.h"

namespace zorvan {

class CTreeItem;
class CZorvanDoc;

// The Export, Import and Business Card commands after their file dialog, the same for the
// window and the command line. They never show anything themselves: progress and questions go
// through the callbacks, and the outcome comes back as a value for the caller to show.

// How a transfer shows its progress: an indicator with a range and a position. An export's
// range is the number of records and the position the records written; an import's range is
// the file's lines less one and the position its reader's line counter. At the end of either
// the indicator is set full (range 1 to 100, position 100) whatever the outcome.
class ITransferProgress {
 public:
  virtual ~ITransferProgress() = default;
  virtual void SetRange(int lower, int upper) = 0;
  virtual void SetPosition(int position) = 0;

  void SetFull() {
    SetRange(1, 100);
    SetPosition(100);
  }
};

// The two questions an import asks about a delimited-text file whose first line is not a
// header the program knows. Either may be declined, which ends the import without a message.
class IImportPrompts {
 public:
  virtual ~IImportPrompts() = default;
  // The delimiter as the user types it, preset to ","; see DelimiterFromText.
  virtual bool AskDelimiter(std::string& typed) = 0;
  // The target of every column of the first line, split at delimiter: each binding comes
  // with its column's name and target -1, and leaves with the chosen target (or still -1).
  virtual bool AskBindings(const std::string& delimiter, std::vector<ColumnBinding>& bindings) = 0;
  // Before AskBindings of a file of another program: the program whose layout the header was
  // recognised as ("Outlook", "Google Contacts", ...), its columns coming with their targets
  // preselected; empty when the header is not one the program knows.
  virtual void NoteLayout(const std::string& /*layoutName*/) {}
  // Before AskBindings of a file of another program whose header no known layout writes but
  // whose column names say what most columns hold: they come bound by their names.
  virtual void NoteBoundByNames() {}
  // Before AskBindings of a file of another program whose first line is a contact, not a
  // header: the columns are named by their numbers and come bound by their values' shapes.
  virtual void NoteFirstLineIsData() {}
};

// What a transfer may call back; either part may be missing. Without progress an import does
// not count the lines of its file first; without prompts an import of unknown columns is
// declined.
struct STransferCallbacks {
  ITransferProgress* pProgress = nullptr;
  IImportPrompts* pPrompts = nullptr;
};

enum class ETransferOutcome {
  done,
  cancelled,  // a prompt was declined: nothing was added or written, nothing to show
  failed,
};

// How a transfer ended and the message of the string table to show for it (the done, open
// error or error message of its command; 0 when cancelled, and for a failed calendar export,
// whose file problem says it all). strReason holds the system's words for a file that could not
// be opened, read or written, empty for any other outcome. A calendar export also counts its
// events: those written (the number its message tells) and those left out.
struct STransferResult {
  ETransferOutcome outcome = ETransferOutcome::done;
  int nMessage = 0;
  std::string strReason;
  size_t nCount = 0;
  size_t nLeftOut = 0;
  // The contacts an export for other programs gave a new identity (ShareForOtherPrograms).
  size_t nNewIdentities = 0;

  bool Succeeded() const { return outcome == ETransferOutcome::done; }
};

// The result's message, its number filled in; empty for a result without one.
std::string TransferMessageText(const STransferResult& result);

// What the user should know besides the message of a transfer that succeeded ("1 event was left
// out: ..."); empty when nothing.
std::string TransferNoteText(const STransferResult& result);

// "Cannot open file <path>:\n<reason>." (read or write in place of open, as the message says)
// for a result with a reason; empty without one.
std::string FileProblemText(const STransferResult& result, const std::string& path);

// The extension of a file name after its last dot, as written ("" without one).
std::string FileExtension(const std::string& path);
// Only a name ending in ".csv" in lower case exports delimited text, every other one vCards;
// only a name ending in ".vcf" in lower case imports vCards, every other one delimited text.
bool ExportsDelimitedText(const std::string& path);
bool ImportsVCards(const std::string& path);

// How dates written with slashes are read in an import: in the order the user's locale
// writes them (month first in the C locale).
EDateOrder LocaleDateOrder();

// Writes every record below the document's contacts root, top-level records in order, each
// followed by its subtree, to the file at path: the 45-column delimited text with its header
// line for a .csv name, vCards otherwise. The file is replaced as a whole or not at all: the
// records stream to a temporary file beside it, which takes the file's place when everything
// was written. The progress is counted in the document's m_nProgress. Like every export (see
// CExportFile), it refuses a path that is the document's own file (under any name). The
// overload of a bare tree is for trees of no database file.
STransferResult ExportContacts(const CTreeItem& contactsRoot, const std::string& path,
                               const STransferCallbacks& callbacks);
STransferResult ExportContacts(CZorvanDoc& doc, const std::string& path,
                               const STransferCallbacks& callbacks);

// The Export for Other Programs command after its dialogs: the contacts of top's subtree as
// standard vCards of the version (see WriteForeignVCards), every contact for the contacts root.
// The file is replaced as Export replaces its file, with the same messages and the same
// progress (a step a record, groups included); a path that is the database's file
// (databasePath, under any name) is refused.
STransferResult ExportForOtherPrograms(const CTreeItem& top, const std::string& path,
                                       EVCardVersion version, const STransferCallbacks& callbacks,
                                       const std::string& databasePath);

// ExportForOtherPrograms for contacts being shared: every contact of top's subtree without a
// stored UID first gets a new identity (GiveIdentities), which its card carries, and the result
// counts them (nNewIdentities). When the file could not be written they are taken back, so that
// nothing was given: the records are as they were.
STransferResult ShareForOtherPrograms(CTreeItem& top, const std::string& path,
                                      EVCardVersion version, const STransferCallbacks& callbacks,
                                      const std::string& databasePath);

// The file name a Business Card is offered under: the record's label with ".vcf", every
// character a file name cannot hold, or that other systems or a file dialog's patterns would
// read otherwise (/ \ : * ? " < > | and control characters), made "_", and blanks and dots at
// either end dropped; "card.vcf" for a label left empty.
std::string BusinessCardFileName(std::string_view label);

// Writes the record alone, without its subtree, as a one-card vCard file, replaced as Export
// replaces its file; a path that is the database's file (databasePath, under any name) is
// refused.
STransferResult ExportBusinessCard(const CTreeItem& record, const std::string& path,
                                   const std::string& databasePath);

// Reads the file at path into new records appended below the document's contacts root, as
// CFileImport does; see there. The outcome names the Import command's messages.
STransferResult ImportFile(CZorvanDoc& doc, const std::string& path,
                           const STransferCallbacks& callbacks);

}  // namespace zorvan
