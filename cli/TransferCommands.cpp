// export and import: the Export and Import commands without their dialogs.
#include <malloc.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Arguments.h"
#include "cli/CliHost.h"
#include "cli/Commands.h"
#include "interchange/CalendarExport.h"
#include "interchange/ColumnBinding.h"
#include "interchange/FieldList.h"
#include "interchange/FileImport.h"
#include "interchange/ForeignImport.h"
#include "interchange/Transfer.h"
#include "res/StringTable.h"
#include "store/DatabaseLock.h"
#include "store/FileRead.h"
#include "store/TextUtil.h"
#include "store/ZorvanDoc.h"

namespace zorvan::cli {
namespace {

const char kExportHelp[] =
    "Usage: zorvan-cli export DB.zvd OUT\n"
    "       zorvan-cli export --to-other [--vcard 3.0|4.0] [--read-only] DB.zvd OUT.vcf\n"
    "\n"
    "Writes every contact of the database to OUT, as the Export command does: delimited text\n"
    "in the program's 45 columns when OUT ends in .csv (lower case), vCards otherwise. OUT is\n"
    "replaced as a whole or not at all.\n"
    "\n"
    "  --to-other     write standard vCards in UTF-8 for phones, webmail and other address\n"
    "                 books instead, as Export for Other Programs does: one card a contact,\n"
    "                 the groups above it as its categories\n"
    "  --vcard 3.0    the vCard version with --to-other: 3.0 (the default), which phones and\n"
    "                 webmail import most reliably, or 4.0\n"
    "\n"
    "With --to-other every contact is written with its UID, so that a program that imports the\n"
    "file again updates the contact instead of adding it twice. A contact shared for the first\n"
    "time is given a new random UID and a REV (the time of its last change), which are saved\n"
    "in the database, under its lock, once the file is written; from then on every change of\n"
    "the contact moves its REV on. A database none of whose contacts was shared is not written.\n"
    "\n"
    "  --read-only    leave the database as it is: a contact without a UID of its own gets one\n"
    "                 derived from its place in the tree, which stays the same as long as the\n"
    "                 contact is neither renamed nor moved\n";

const char kImportHelp[] =
    "Usage: zorvan-cli import IN DB.zvd [--delimiter D] [--bind COLUMN=TARGET]... [--wait S]\n"
    "\n"
    "Adds the contacts of IN below the contacts root of the database, as the Import command\n"
    "does, and saves the database (a new one when DB.zvd does not exist). IN is read as vCards\n"
    "when it ends in .vcf (lower case), as delimited text otherwise. A text file whose first\n"
    "line is neither the program's own header nor the 39-column one is read with a delimiter\n"
    "and a binding of its columns, as the import wizard sets them:\n"
    "\n"
    "  --delimiter D          the delimiter: \",\" (the default), \"tab\", \"space\" or any text\n"
    "  --bind COLUMN=TARGET   read the column, given by its number from 1 or by its name in\n"
    "                         the first line, into the field TARGET, given by its number 0-45\n"
    "                         or by its name in the wizard's list (\"First Name\", \"Surname\",\n"
    "                         \"Birthday\", ...); columns not bound are discarded\n"
    "\n"
    "  --wait SECONDS         how long to wait for another program that has the database open\n"
    "                         or is importing into it (default 10)\n"
    "\n"
    "The database is saved only when the whole file was read; it is never left half written.\n";

const char kImportOtherHelp[] =
    "\n"
    "Usage: zorvan-cli import --from-other FILE DB.zvd [--skip-duplicates]\n"
    "                         [--bind COLUMN=TARGET]... [--no-header] [--wait S]\n"
    "\n"
    "Adds the contacts of a file another program wrote, as Import from Other Programs does:\n"
    "vCards of any version, or the delimited text that address books, webmail and mail\n"
    "programs export. They go into a new group named after FILE, so that deleting the group\n"
    "undoes the import. Contacts that look like duplicates of contacts already in the\n"
    "database or of an earlier contact of FILE (the same UID or e-mail address, or the same\n"
    "label with no e-mail, birthday or phone that differs) are listed on standard error, one\n"
    "a line:\n"
    "\n"
    "  duplicate: LABEL -> EXISTING LABEL: REASON\n"
    "\n"
    "  --skip-duplicates      leave those contacts out\n"
    "  --bind COLUMN=TARGET   as above: corrects the columns of a header the program\n"
    "                         recognised or bound by its names, and is needed for any other\n"
    "                         header\n"
    "  --no-header            the first line is a contact, not a header: its columns are\n"
    "                         bound by what their values look like (e-mail, phone, date)\n";

const char kExportCalendarHelp[] =
    "Usage: zorvan-cli export-calendar DB.zvd OUT.ics [--calendar-names]\n"
    "\n"
    "Writes an iCalendar file for calendar programs and phones: one yearly all-day event for\n"
    "every birthday, anniversary and nameday set in the database. Exporting again gives the\n"
    "events the same identities, so a calendar that imports the file again updates them\n"
    "instead of adding them twice. OUT.ics is replaced as a whole or not at all.\n"
    "\n"
    "  --calendar-names   add an event for every name of the calendar resource in use\n";

// How long an import waits for another program that holds the database, unless told.
constexpr int kLockPatienceSeconds = 10;

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

// A transfer that did not succeed: why the file failed, then its command's message (as the
// string table has it unless given), each there is on a line of its own.
int TransferFailed(SContext& ctx, const STransferResult& result, const std::string& path,
                   const std::string& message) {
  for (const std::string& line : {FileProblemText(result, path), message})
    if (!line.empty()) ctx.err << "zorvan-cli: " << line << '\n';
  return exitFileError;
}
int TransferFailed(SContext& ctx, const STransferResult& result, const std::string& path) {
  return TransferFailed(ctx, result, path, TransferMessageText(result));
}

// A transfer that succeeded: the line that says so (its command's message unless given) on
// standard output, and what else the user should know of it on standard error.
int TransferDone(SContext& ctx, const STransferResult& result, const std::string& line) {
  ctx.out << line << '\n';
  if (const std::string note = TransferNoteText(result); !note.empty())
    ctx.err << "zorvan-cli: " << note << '\n';
  return exitSuccess;
}
int TransferDone(SContext& ctx, const STransferResult& result) {
  return TransferDone(ctx, result, TransferMessageText(result));
}

// The end of an export, whichever way it went.
int ExportFinished(SContext& ctx, const STransferResult& result, const std::string& path) {
  return result.Succeeded() ? TransferDone(ctx, result) : TransferFailed(ctx, result, path);
}

// The import's questions answered from --delimiter and --bind. A binding that cannot be made
// is a usage error: it is reported, the question is declined and Status() tells the exit
// status.
class CArgumentPrompts : public IImportPrompts {
 public:
  CArgumentPrompts(SContext& ctx, const CArguments& a, const std::string& in)
      : m_ctx(ctx), m_args(a), m_strIn(in) {}

  bool AskDelimiter(std::string& typed) override {
    typed = m_args.Value("delimiter", ",");
    return true;
  }
  bool AskBindings(const std::string& delimiter, std::vector<ColumnBinding>& bindings) override;

  int Status() const { return m_nStatus; }

 protected:
  bool HasBinds() const { return !m_args.Values("bind").empty(); }
  const CArguments& Arguments() const { return m_args; }
  SContext& Context() const { return m_ctx; }
  const std::string& In() const { return m_strIn; }
  void SetStatus(int status) { m_nStatus = status; }
  // Tells on standard error where each column went that was bound by its name or, in a file
  // without a header, by its values.
  void PrintBoundColumns(const std::vector<ColumnBinding>& bindings, bool byValues) const {
    m_ctx.err << "zorvan-cli import: the columns of " << m_strIn << " were bound by their "
              << (byValues ? "values" : "names") << " (correct them with --bind COLUMN=TARGET):\n";
    for (const ColumnBinding& b : bindings) {
      if (b.m_nTarget <= targetNothing) continue;
      m_ctx.err << "  " << b.m_nIndex + 1 << ' ' << EscapeControlCharacters(b.m_strName) << " -> "
                << TargetItems()[static_cast<size_t>(b.m_nTarget)] << '\n';
    }
  }

 private:
  bool Refuse(const std::string& problem) {
    m_nStatus = UsageError(m_ctx, "import", problem);
    return false;
  }

  SContext& m_ctx;
  const CArguments& m_args;
  const std::string& m_strIn;
  int m_nStatus = exitSuccess;
};

bool CArgumentPrompts::AskBindings(const std::string& delimiter,
                                   std::vector<ColumnBinding>& bindings) {
  const Args& binds = m_args.Values("bind");
  if (binds.empty()) {
    // The wizard would ask; here nothing would be read but empty records.
    m_ctx.err << "zorvan-cli import: the first line of " << m_strIn
              << " is not a header the program knows; say which columns to read with --bind "
                 "COLUMN=TARGET. Its columns, split at \""
              << delimiter << "\":\n";
    const std::vector<ColumnBinding> shown(
        bindings.begin(), bindings.begin() + static_cast<std::ptrdiff_t>(
                                                 std::min(bindings.size(), kScreenfulOfColumns)));
    PrintColumnNames(m_ctx.err, shown, static_cast<int>(bindings.size()), "  ", " ");
    m_ctx.err << "Try 'zorvan-cli import --help'.\n";
    m_nStatus = exitUsage;
    return false;
  }
  for (const std::string& bind : binds) {
    const size_t eq = bind.rfind('=');
    if (eq == std::string::npos) return Refuse("--bind takes COLUMN=TARGET, not " + bind);
    const std::string column = bind.substr(0, eq), target = bind.substr(eq + 1);
    ColumnBinding* binding = FindColumn(bindings, column);
    if (!binding) return Refuse(m_strIn + " has no column " + column);
    binding->m_nTarget = ParseTarget(target);
    if (binding->m_nTarget < 0)
      return Refuse("unknown target " + target +
                    " (give 0-45 or a field of the import wizard's list)");
  }
  return true;
}

// The questions of an import from another program answered from --bind: the columns of a
// header the reader recognised come bound and --bind only corrects them; any other header
// needs --bind as a text file of unknown columns does.
class CForeignArgumentPrompts : public CArgumentPrompts {
 public:
  using CArgumentPrompts::CArgumentPrompts;

  void NoteLayout(const std::string& layoutName) override { m_strLayout = layoutName; }
  void NoteBoundByNames() override { m_bByNames = true; }
  void NoteFirstLineIsData() override { m_bNoHeader = true; }
  bool AskBindings(const std::string& delimiter, std::vector<ColumnBinding>& bindings) override;

 private:
  std::string m_strLayout;
  bool m_bByNames = false;
  bool m_bNoHeader = false;
};

bool CForeignArgumentPrompts::AskBindings(const std::string& delimiter,
                                          std::vector<ColumnBinding>& bindings) {
  if (m_bNoHeader && !Arguments().Has("no-header") && !HasBinds()) {
    // A line of data where a header was expected: the user says how to read it.
    Context().err << "zorvan-cli import: the first line of " << In()
                  << " looks like a contact, not a header; give --no-header to import it too, "
                     "its columns bound by their values, or say which columns to read with "
                     "--bind COLUMN=TARGET.\nTry 'zorvan-cli import --help'.\n";
    SetStatus(exitUsage);
    return false;
  }
  if ((!m_strLayout.empty() || m_bByNames || m_bNoHeader) && !HasBinds()) {
    if (m_bByNames || m_bNoHeader) PrintBoundColumns(bindings, m_bNoHeader);
    return true;
  }
  return CArgumentPrompts::AskBindings(delimiter, bindings);
}

// The file and the database of an import, and how long to wait for the database.
struct SImportOperands {
  std::string in;
  std::string db;
  int wait = 0;
};

// The words of both imports split by the options the import takes into a, and its operands and
// --wait read; the exit status of the usage error reported when they are not sound, nothing
// when the import goes on.
std::optional<int> ReadImportOperands(const Args& args,
                                      std::initializer_list<CArguments::SOption> options,
                                      SContext& ctx, CArguments& a, SImportOperands& operands) {
  std::string error;
  if (!a.Parse(args, options, error)) return UsageError(ctx, "import", error);
  if (a.Operands().size() != 2)
    return UsageError(ctx, "import", "give the file to read and the database");
  operands.in = a.Operands()[0];
  operands.db = a.Operands()[1];
  const std::string waitText = a.Value("wait", std::to_string(kLockPatienceSeconds));
  operands.wait = ParseInteger(waitText);
  if (waitText.empty() || waitText.find_first_not_of("0123456789") != std::string::npos ||
      operands.wait > 86400)
    return UsageError(ctx, "import", "--wait takes a number of seconds up to 86400");
  if (SameFile(operands.in, operands.db))
    return UsageError(ctx, "import",
                      operands.in + " is the database itself; give another file to read");
  return std::nullopt;
}

// The message of a failure to open the file of an import.
std::string OpenFailureText(const CFileImport&, const STransferResult& result) {
  return TransferMessageText(result);
}
std::string OpenFailureText(const CForeignImport& import, const STransferResult& result) {
  return import.MessageText(result);
}

// Opens the file of an import, its questions answered from the arguments by prompts. Nothing
// when its records can be read; otherwise the exit status, the failure reported.
template <class TImport>
std::optional<int> OpenImport(TImport& import, CArgumentPrompts& prompts, const std::string& in,
                              SContext& ctx) {
  STransferCallbacks callbacks;
  callbacks.pPrompts = &prompts;
  const STransferResult result = import.Open(in, callbacks);
  if (result.outcome == ETransferOutcome::cancelled) return prompts.Status();
  if (!result.Succeeded()) return TransferFailed(ctx, result, in, OpenFailureText(import, result));
  return std::nullopt;
}

// Locks the database of an import and opens it, or starts a new one when there is no file yet.
// The lock is held from before the database is read until it is saved, so that a second import
// into it waits for this one and adds to its result instead of overwriting it.
bool OpenForImport(SContext& ctx, const SImportOperands& operands, CDatabaseLock& lock,
                   CZorvanDoc& doc) {
  const CStatus locked =
      lock.Acquire(operands.db, "zorvan-cli import", std::chrono::seconds(operands.wait));
  if (!locked) {
    ctx.err << "zorvan-cli: Cannot write file " << operands.db << ":\n" << locked.Reason() << ".\n";
    return false;
  }
  if (!FileExists(operands.db)) {
    // As OpenDatabase sets a command's document: nothing kept to undo, and no calendar branch,
    // which the command would make for nothing before it saves the contacts and ends.
    doc.History().SetLimits(0, 0);
    doc.SetMakesEventNodes(false);
    doc.OnNewDocument();
    return true;
  }
  return OpenDatabase(doc, operands.db, EOpenFor::contactsOnly);
}

// Takes what is written to a stream while it lives (standard error, where the host's messages
// go too) and appends it to text, to be written after what has to come first.
class CCapture {
 public:
  CCapture(std::ostream& stream, std::string& text)
      : m_stream(stream), m_text(text), m_old(stream.rdbuf(&m_buffer)) {}
  CCapture(const CCapture&) = delete;
  CCapture& operator=(const CCapture&) = delete;
  ~CCapture() {
    m_stream.rdbuf(m_old);
    m_text += m_buffer.str();
  }

 private:
  std::ostream& m_stream;
  std::string& m_text;
  std::stringbuf m_buffer;
  std::streambuf* m_old;
};

// The lines of the duplicates for standard error, gathered to be written at once (it is
// unbuffered: a file of many repeats would cost a few system calls per line); records gives the
// contacts by their places.
std::string DuplicateReport(const std::vector<SDuplicate>& duplicates,
                            const std::vector<const CTreeItem*>& records) {
  std::string report;
  for (const SDuplicate& d : duplicates) {
    // One line each, whatever control characters a hostile file put into a label.
    report += "duplicate: ";
    report += EscapeControlCharacters(records[d.nContact]->m_strLabel.view());
    report += " -> ";
    report += EscapeControlCharacters(d.strExisting);
    report += ": ";
    report += EscapeControlCharacters(d.ReasonText());
    report += '\n';
  }
  return report;
}

// Import from Other Programs: the file is read whole and its duplicates listed before the
// database is touched; the contacts then go into a new group, and the database is saved.
int RunImportOther(const Args& args, SContext& ctx) {
  if (WantsHelp(args)) {
    ctx.out << kImportOtherHelp;
    return exitSuccess;
  }
  CArguments a;
  SImportOperands operands;
  if (auto status = ReadImportOperands(args,
                                       {{"from-other", false},
                                        {"skip-duplicates", false},
                                        {"bind", true},
                                        {"no-header", false},
                                        {"wait", true}},
                                       ctx, a, operands))
    return *status;
  const std::string& in = operands.in;
  const std::string& db = operands.db;

#if !ZORVAN_WITH_JEMALLOC
  // The C library's allocator keeps every block in its heap rather than mapping the large ones
  // apart: the room of the file read and freed is then where the event nodes and the save's
  // buffers go, instead of fresh memory the system has to fault in and clear for them. The
  // process ends with the command. (jemalloc reuses that room by itself.)
  ::mallopt(M_MMAP_MAX, 0);
#endif
  CForeignArgumentPrompts prompts(ctx, a, in);
  CForeignImport import;
  import.SetFirstLineIsData(a.Has("no-header"));
  if (auto status = OpenImport(import, prompts, in, ctx)) return *status;
  if (import.IsVCard() && a.Has("bind"))
    ctx.err << "zorvan-cli: " << in << " holds vCards; --bind is not needed.\n";

  CDatabaseLock lock;
  CHeld<CZorvanDoc> held(ctx, ctx.host);
  CZorvanDoc& doc = *held;
  if (!OpenForImport(ctx, operands, lock, doc)) return exitFileError;
  const bool skip = a.Has("skip-duplicates");
  std::vector<bool> skipped(import.Count(), false);
  // The records by the contacts' places, for the report: they move into the database.
  std::vector<const CTreeItem*> records;
  records.reserve(import.Count());
  for (const SForeignContact& contact : import.Contacts()) records.push_back(contact.pRecord.get());
  // When none is skipped, the contacts go into the database and it is saved while the duplicates
  // are looked for; what the save says is told after them, as when it follows them.
  STransferResult result;
  bool saved = true;
  std::string saveSays;
  auto addAndSave = [&] {
    result = import.AddTo(doc);
    if (!result.Succeeded() || import.AddedCount() == 0) return;
    CCapture capture(ctx.err, saveSays);
    saved = SaveDatabase(doc, db, &lock);
  };
  const std::vector<SDuplicate> duplicates =
      skip ? import.FindDuplicates(*doc.ContactsRoot())
           : import.FindDuplicates(*doc.ContactsRoot(), addAndSave);
  ctx.err << DuplicateReport(duplicates, records);
  if (skip) {
    for (const SDuplicate& d : duplicates) skipped[d.nContact] = true;
    result = import.AddTo(doc, skipped);
    if (result.Succeeded() && import.AddedCount() != 0) saved = SaveDatabase(doc, db, &lock);
  }
  ctx.err << saveSays;
  if (!result.Succeeded()) return TransferFailed(ctx, result, in);
  if (!saved) return exitFileError;
  return TransferDone(ctx, result, import.MessageText(result));
}

// The database of an export that shares its contacts, locked and read: the lock is held from
// before it is read until the identities it gives out are saved, so that no other program's
// save in between is lost.
bool OpenForSharing(SContext& ctx, const std::string& db, CDatabaseLock& lock, CZorvanDoc& doc) {
  const CStatus locked =
      lock.Acquire(db, "zorvan-cli export", std::chrono::seconds(kLockPatienceSeconds));
  if (!locked) {
    ctx.err << "zorvan-cli: Cannot write file " << db << ":\n" << locked.Reason() << ".\n";
    return false;
  }
  return OpenDatabase(doc, db, EOpenFor::contactsOnly);
}

// export --to-other: the Export for Other Programs command of the whole database.
int RunExportForOtherPrograms(const Args& args, SContext& ctx) {
  CArguments a;
  std::string error;
  if (!a.Parse(args, {{"to-other", false}, {"vcard", true}, {"read-only", false}}, error))
    return UsageError(ctx, "export", error);
  if (a.Operands().size() != 2)
    return UsageError(ctx, "export", "give the database and the .vcf file to write");
  const std::string versionText = a.Value("vcard", "3.0");
  if (versionText != "3.0" && versionText != "4.0")
    return UsageError(ctx, "export", "--vcard takes 3.0 or 4.0, not " + versionText);
  const EVCardVersion version = versionText == "4.0" ? EVCardVersion::v40 : EVCardVersion::v30;
  const std::string& db = a.Operands()[0];
  const std::string& out = a.Operands()[1];
  CHeld<CZorvanDoc> held(ctx, ctx.host);
  CZorvanDoc& doc = *held;
  if (a.Has("read-only")) {
    if (!OpenDatabase(doc, db, EOpenFor::contactsOnly)) return exitFileError;
    return ExportFinished(ctx,
                          ExportForOtherPrograms(*doc.ContactsRoot(), out, version,
                                                 STransferCallbacks(), doc.GetPathName()),
                          out);
  }
  CDatabaseLock lock;
  if (!OpenForSharing(ctx, db, lock, doc)) return exitFileError;
  const STransferResult result = ShareForOtherPrograms(*doc.ContactsRoot(), out, version,
                                                       STransferCallbacks(), doc.GetPathName());
  if (!result.Succeeded()) return TransferFailed(ctx, result, out);
  // The file is out with the new identities: the database must know them too, or the next
  // export would give the same contacts other ones.
  if (result.nNewIdentities != 0 && !SaveDatabase(doc, db, &lock)) return exitFileError;
  return TransferDone(ctx, result);
}

}  // namespace

int RunExport(const Args& args, SContext& ctx) {
  if (WantsHelp(args)) {
    ctx.out << kExportHelp;
    return exitSuccess;
  }
  // The option among the words before any "--", alone or with its value after "=".
  const auto given = [&args](const std::string& option) {
    for (const std::string& word : args) {
      if (word == "--") return false;
      if (word == option || word.rfind(option + "=", 0) == 0) return true;
    }
    return false;
  };
  if (given("--to-other")) return RunExportForOtherPrograms(args, ctx);
  for (const char* option : {"--vcard", "--read-only"})
    if (given(option))
      return UsageError(ctx, "export", std::string(option) + " goes with --to-other");
  CArguments a;
  std::string error;
  if (!a.Parse(args, {}, error)) return UsageError(ctx, "export", error);
  if (a.Operands().size() != 2)
    return UsageError(ctx, "export", "give the database and the file to write");
  const std::string& out = a.Operands()[1];
  CHeld<CZorvanDoc> held(ctx, ctx.host);
  CZorvanDoc& doc = *held;
  if (!OpenDatabase(doc, a.Operands()[0], EOpenFor::contactsOnly)) return exitFileError;
  return ExportFinished(ctx, ExportContacts(doc, out, STransferCallbacks()), out);
}

int RunExportCalendar(const Args& args, SContext& ctx) {
  CArguments a;
  const SCommand command{"export-calendar", kExportCalendarHelp, 2,
                         "give the database and the .ics file to write"};
  if (auto status = BeginCommand(args, ctx, command, {{"calendar-names", false}}, a))
    return *status;
  const std::string& out = a.Operands()[1];
  CHeld<CZorvanDoc> held(ctx, ctx.host);
  CZorvanDoc& doc = *held;
  if (!OpenDatabase(doc, a.Operands()[0], EOpenFor::contactsOnly)) return exitFileError;
  SCalendarExportOptions options;
  options.bCalNames = a.Has("calendar-names");
  options.tStamp = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  const STransferResult result = ExportCalendar(doc, out, options);
  if (!result.Succeeded()) return TransferFailed(ctx, result, out);
  // The command line names the file it wrote, where the window says what it exported.
  const int wrote = result.nCount == 1 ? IDS_CALENDAR_EXPORT_WROTE_ONE : IDS_CALENDAR_EXPORT_WROTE;
  return TransferDone(ctx, result,
                      Formatted(LoadString(wrote), {std::to_string(result.nCount), out}));
}

int RunImport(const Args& args, SContext& ctx) {
  if (std::find(args.begin(), args.end(), "--from-other") != args.end())
    return RunImportOther(args, ctx);
  if (WantsHelp(args)) {
    ctx.out << kImportHelp << kImportOtherHelp;
    return exitSuccess;
  }
  CArguments a;
  SImportOperands operands;
  if (auto status = ReadImportOperands(args, {{"delimiter", true}, {"bind", true}, {"wait", true}},
                                       ctx, a, operands))
    return *status;
  const std::string& in = operands.in;
  const std::string& db = operands.db;

  // Everything about reading the file is settled before the database is touched, so that a
  // usage error leaves everything as it was.
  CArgumentPrompts prompts(ctx, a, in);
  CFileImport import;
  if (auto status = OpenImport(import, prompts, in, ctx)) return *status;
  if (import.HasKnownHeader() && (a.Has("delimiter") || a.Has("bind")))
    ctx.err << "zorvan-cli: " << in
            << " has the program's own header; --delimiter and --bind are not needed.\n";

  CDatabaseLock lock;
  CHeld<CZorvanDoc> held(ctx, ctx.host);
  CZorvanDoc& doc = *held;
  if (!OpenForImport(ctx, operands, lock, doc)) return exitFileError;
  const STransferResult result = import.ReadInto(doc);
  if (!result.Succeeded()) return TransferFailed(ctx, result, in);
  // Only a complete import is saved, and the save replaces the file in one step.
  if (!SaveDatabase(doc, db, &lock)) return exitFileError;
  return TransferDone(ctx, result);
}

}  // namespace zorvan::cli
