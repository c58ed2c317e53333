#include "interchange/Transfer.h"

#include <langinfo.h>
#include <locale.h>

#include "interchange/ExportFile.h"
#include "interchange/FileImport.h"
#include "interchange/Output.h"
#include "interchange/Progress.h"
#include "interchange/TextExport.h"
#include "interchange/VCardWriter.h"
#include "interchange/vcard/ForeignVCardWriter.h"
#include "res/StringTable.h"
#include "store/AtomicFile.h"
#include "store/RecordIdentity.h"
#include "store/TreeItem.h"
#include "store/ZorvanDoc.h"

namespace zorvan {
namespace {

// An export of records through WriteExportFile, with its progress. The records below top (and
// top itself unless it is the contacts root, which is no record of its own) size the indicator
// once the file is made, counted only when there is an indicator to size; write(out, progress)
// steps the progress once a record and tells whether everything was written. count ends as the
// number of records stepped.
template <class Write>
STransferResult WriteExport(const CTreeItem& top, const std::string& path,
                            const std::string& databasePath, const STransferCallbacks& callbacks,
                            int& count, Write&& write) {
  ITransferProgress* indicator = callbacks.pProgress;
  bool opened = false;
  const STransferResult result = WriteExportFile(path, databasePath, [&](IOutput& out) {
    opened = true;
    count = 0;
    if (indicator) {
      if (top.m_pParent)
        CountRecords(top, count);
      else
        for (size_t i = 0; i < top.ChildCount(); ++i) CountRecords(*top.Child(i), count);
      indicator->SetRange(1, count);
      count = 0;
    }
    CProgress progress(count, indicator ? CProgress::PositionFn([indicator](int position) {
                         indicator->SetPosition(position);
                       })
                                        : CProgress::PositionFn());
    return write(out, progress);
  });
  if (opened && indicator) indicator->SetFull();
  return result;
}

STransferResult ExportRecords(const CTreeItem& root, const std::string& path,
                              const std::string& databasePath, const STransferCallbacks& callbacks,
                              int& count) {
  const bool csv = ExportsDelimitedText(path);
  return WriteExport(root, path, databasePath, callbacks, count,
                     [&](IOutput& out, CProgress& progress) {
                       bool ok = !csv || WriteTextHeader(out);
                       for (size_t i = 0; ok && i < root.ChildCount(); ++i)
                         ok = csv ? WriteTextRow(out, *root.Child(i), progress)
                                  : WriteVCard(out, *root.Child(i), &progress);
                       return ok;
                     });
}

const char* FileVerb(int message) {
  switch (message) {
    case IDS_IMPORT_OPEN_ERROR:
      return "open";
    case IDS_IMPORT_ERROR:
      return "read";
    default:
      return "write";
  }
}

}  // namespace

std::string TransferMessageText(const STransferResult& result) {
  return Formatted(LoadString(result.nMessage), {std::to_string(result.nCount)});
}

std::string TransferNoteText(const STransferResult& result) {
  if (!result.Succeeded() || result.nLeftOut == 0) return {};
  if (result.nLeftOut == 1) return LoadString(IDS_CALENDAR_LEFT_OUT_ONE);
  return Formatted(LoadString(IDS_CALENDAR_LEFT_OUT), {std::to_string(result.nLeftOut)});
}

std::string FileProblemText(const STransferResult& result, const std::string& path) {
  if (result.strReason.empty()) return {};
  return std::string("Cannot ") + FileVerb(result.nMessage) + " file " + path + ":\n" +
         result.strReason + ".";
}

std::string FileExtension(const std::string& path) {
  const size_t slash = path.rfind('/');
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return path.substr(dot + 1);
}

bool ExportsDelimitedText(const std::string& path) { return FileExtension(path) == "csv"; }

bool ImportsVCards(const std::string& path) { return FileExtension(path) == "vcf"; }

EDateOrder LocaleDateOrder() {
  const locale_t locale = ::newlocale(LC_TIME_MASK, "", locale_t{});
  if (!locale) return EDateOrder::monthDayYear;  // the C locale writes %m/%d/%y
  const std::string format = ::nl_langinfo_l(D_FMT, locale);
  ::freelocale(locale);
  const size_t day = format.find("%d"), month = format.find("%m");
  if (day != std::string::npos && month != std::string::npos && month < day)
    return EDateOrder::monthDayYear;
  return day != std::string::npos ? EDateOrder::dayMonthYear : EDateOrder::monthDayYear;
}

STransferResult ExportContacts(const CTreeItem& contactsRoot, const std::string& path,
                               const STransferCallbacks& callbacks) {
  int count = 0;
  return ExportRecords(contactsRoot, path, {}, callbacks, count);
}

STransferResult ExportContacts(CZorvanDoc& doc, const std::string& path,
                               const STransferCallbacks& callbacks) {
  return ExportRecords(*doc.ContactsRoot(), path, doc.GetPathName(), callbacks, doc.m_nProgress);
}

STransferResult ExportForOtherPrograms(const CTreeItem& top, const std::string& path,
                                       EVCardVersion version, const STransferCallbacks& callbacks,
                                       const std::string& databasePath) {
  int count = 0;
  return WriteExport(top, path, databasePath, callbacks, count,
                     [&](IOutput& out, CProgress& progress) {
                       return WriteForeignVCards(out, top, version, &progress);
                     });
}

STransferResult ShareForOtherPrograms(CTreeItem& top, const std::string& path,
                                      EVCardVersion version, const STransferCallbacks& callbacks,
                                      const std::string& databasePath) {
  const std::vector<SGivenIdentity> given = GiveIdentities(top);
  STransferResult result = ExportForOtherPrograms(top, path, version, callbacks, databasePath);
  if (result.Succeeded())
    result.nNewIdentities = given.size();
  else
    TakeBackIdentities(given);
  return result;
}

std::string BusinessCardFileName(std::string_view label) {
  std::string name;
  name.reserve(label.size() + 4);
  for (const char c : label) {
    const bool unsafe = static_cast<unsigned char>(c) < 0x20 || c == 0x7F ||
                        std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos;
    name += unsafe ? '_' : c;
  }
  const size_t first = name.find_first_not_of(" .");
  if (first == std::string::npos) return "card.vcf";
  name = name.substr(first, name.find_last_not_of(" .") - first + 1);
  return name + ".vcf";
}

STransferResult ExportBusinessCard(const CTreeItem& record, const std::string& path,
                                   const std::string& databasePath) {
  return WriteExportFile(path, databasePath,
                         [&record](IOutput& out) { return WriteVCard(out, record, nullptr); });
}

STransferResult ImportFile(CZorvanDoc& doc, const std::string& path,
                           const STransferCallbacks& callbacks) {
  CFileImport import;
  const STransferResult opened = import.Open(path, callbacks);
  return opened.Succeeded() ? import.ReadInto(doc) : opened;
}

}  // namespace zorvan
