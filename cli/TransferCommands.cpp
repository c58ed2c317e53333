// export and import: the Export and Import commands without their dialogs.
#include <langinfo.h>
#include <locale.h>
#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <ostream>

#include "cli/Arguments.h"
#include "cli/CliHost.h"
#include "cli/Commands.h"
#include "interchange/FieldList.h"
#include "interchange/FileLineInput.h"
#include "interchange/Progress.h"
#include "interchange/StringOutput.h"
#include "interchange/TextExport.h"
#include "interchange/TextImport.h"
#include "interchange/VCardReader.h"
#include "interchange/VCardWriter.h"
#include "res/StringTable.h"
#include "store/AtomicFile.h"
#include "store/ZorvanDoc.h"

namespace zorvan::cli {
namespace {

const char kExportHelp[] =
    "Usage: zorvan-cli export DB.zvd OUT\n"
    "\n"
    "Writes every contact of the database to OUT, as the Export command does: delimited text\n"
    "in the program's 45 columns when OUT ends in .csv (lower case), vCards otherwise. OUT is\n"
    "replaced as a whole or not at all.\n";

const char kImportHelp[] =
    "Usage: zorvan-cli import IN DB.zvd [--delimiter D] [--bind COLUMN=TARGET]...\n"
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
    "The database is saved only when the whole file was read; it is never left half written.\n";

bool IsAllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

// A target of the wizard's list by number, by its exact item or column name, or by either
// with case and surrounding blanks ignored; -1 for none.
int ParseTarget(std::string_view text) {
  if (IsAllDigits(text)) {
    const int n = text.size() <= 2 ? std::stoi(std::string(text)) : kTargetCount;
    return n < kTargetCount ? n : -1;
  }
  const int exact = TargetIndexOf(text);
  if (exact >= 0) return exact;
  const std::string_view wanted = TrimBlanks(text);
  for (int t = 0; t < kTargetCount; ++t) {
    if (SameIgnoringCase(TrimBlanks(TargetItems()[t]), wanted)) return t;
    if (t > 0 && SameIgnoringCase(FieldByTarget(t)->header, wanted)) return t;
  }
  return -1;
}

// How dates written with slashes are read: in the order the user's locale writes them.
EDateOrder LocaleDateOrder() {
  const locale_t locale = ::newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0));
  if (!locale) return EDateOrder::monthDayYear;  // the C locale writes %m/%d/%y
  const std::string format = ::nl_langinfo_l(D_FMT, locale);
  ::freelocale(locale);
  const size_t day = format.find("%d"), month = format.find("%m");
  if (day != std::string::npos && month != std::string::npos && month < day)
    return EDateOrder::monthDayYear;
  return day != std::string::npos ? EDateOrder::dayMonthYear : EDateOrder::monthDayYear;
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

// Opens an input file; on failure says why, then the Import command's message.
bool OpenInput(SContext& ctx, CFileLineInput& input, const std::string& path) {
  if (input.Open(path)) return true;
  ctx.err << "zorvan-cli: Cannot open file " << path << ":\n"
          << std::strerror(errno) << ".\n"
          << "zorvan-cli: " << LoadString(IDS_IMPORT_OPEN_ERROR) << '\n';
  return false;
}

int ReadFailed(SContext& ctx, const std::string& path, int error) {
  ctx.err << "zorvan-cli: Cannot read file " << path << ":\n"
          << std::strerror(error) << ".\n"
          << "zorvan-cli: " << LoadString(IDS_IMPORT_ERROR) << '\n';
  return exitFileError;
}

// Sets up the bound reading of a text file from --delimiter and --bind; exitSuccess or the
// status of a usage error.
int SetUpBinding(SContext& ctx, const CArguments& a, const std::string& in,
                 const std::string& firstLine, STextFormat& format) {
  format.strDelimiter = DelimiterFromText(a.Value("delimiter", ","));
  format.bindings = MakeColumnBindings(firstLine, format.strDelimiter);
  const Args& binds = a.Values("bind");
  if (binds.empty()) {
    // The wizard would ask; here nothing would be read but empty records.
    ctx.err << "zorvan-cli import: the first line of " << in
            << " is not a header the program knows; say which columns to read with --bind "
               "COLUMN=TARGET. Its columns, split at \""
            << format.strDelimiter << "\":\n";
    for (const ColumnBinding& b : format.bindings)
      ctx.err << "  " << b.m_nIndex + 1 << " " << b.m_strName << '\n';
    ctx.err << "Try 'zorvan-cli import --help'.\n";
    return exitUsage;
  }
  for (const std::string& bind : binds) {
    const size_t eq = bind.rfind('=');
    if (eq == std::string::npos)
      return UsageError(ctx, "import", "--bind takes COLUMN=TARGET, not " + bind);
    const std::string column = bind.substr(0, eq), target = bind.substr(eq + 1);
    ColumnBinding* binding = nullptr;
    if (IsAllDigits(column)) {
      const size_t n = column.size() <= 9 ? std::stoul(column) : 0;
      if (n >= 1 && n <= format.bindings.size()) binding = &format.bindings[n - 1];
    } else {
      for (ColumnBinding& b : format.bindings)
        if (!binding && b.m_strName == column) binding = &b;
    }
    if (!binding) return UsageError(ctx, "import", in + " has no column " + column);
    binding->m_nTarget = ParseTarget(target);
    if (binding->m_nTarget < 0)
      return UsageError(
          ctx, "import",
          "unknown target " + target + " (give 0-45 or a field of the import wizard's list)");
  }
  return exitSuccess;
}

}  // namespace

int RunExport(const Args& args, SContext& ctx) {
  if (WantsHelp(args)) {
    ctx.out << kExportHelp;
    return exitSuccess;
  }
  CArguments a;
  std::string error;
  if (!a.Parse(args, {}, error)) return UsageError(ctx, "export", error);
  if (a.Operands().size() != 2)
    return UsageError(ctx, "export", "give the database and the file to write");
  const std::string& out = a.Operands()[1];
  CZorvanDoc doc(ctx.host);
  if (!OpenDatabase(doc, a.Operands()[0])) return exitFileError;

  // The whole file is made first and then put in place in one step.
  CStringOutput bytes;
  const CTreeItem* root = doc.ContactsRoot();
  doc.m_nProgress = 0;
  CProgress progress(doc.m_nProgress);
  bool ok = true;
  if (Extension(out) == "csv") {
    ok = WriteTextHeader(bytes);
    for (size_t i = 0; ok && i < root->ChildCount(); ++i)
      ok = WriteTextRow(bytes, *root->Child(i), progress);
  } else {
    for (size_t i = 0; ok && i < root->ChildCount(); ++i)
      ok = WriteVCard(bytes, *root->Child(i), &progress);
  }
  if (!ok) {
    ctx.err << "zorvan-cli: " << LoadString(IDS_EXPORT_ERROR) << '\n';
    return exitFileError;
  }
  if (!WriteFileAtomically(out, bytes.Bytes(), error)) {
    ctx.err << "zorvan-cli: Cannot write file " << out << ":\n"
            << error << ".\n"
            << "zorvan-cli: " << LoadString(IDS_EXPORT_OPEN_ERROR) << '\n';
    return exitFileError;
  }
  ctx.out << LoadString(IDS_EXPORT_DONE) << '\n';
  return exitSuccess;
}

int RunImport(const Args& args, SContext& ctx) {
  if (WantsHelp(args)) {
    ctx.out << kImportHelp;
    return exitSuccess;
  }
  CArguments a;
  std::string error;
  if (!a.Parse(args, {{"delimiter", true}, {"bind", true}}, error))
    return UsageError(ctx, "import", error);
  if (a.Operands().size() != 2)
    return UsageError(ctx, "import", "give the file to read and the database");
  const std::string& in = a.Operands()[0];
  const std::string& db = a.Operands()[1];

  CFileLineInput input;
  if (!OpenInput(ctx, input, in)) return exitFileError;
  const EDateOrder order = LocaleDateOrder();
  // The bound reading is set up before the database is touched, so that a usage error leaves
  // everything as it was.
  const bool vcard = Extension(in) == "vcf";
  std::string firstLine;
  STextFormat format;
  if (!vcard && ReadFirstLine(input, firstLine)) {
    format.layout = RecogniseHeader(firstLine);
    if (format.layout == ETextLayout::bound) {
      const int status = SetUpBinding(ctx, a, in, firstLine, format);
      if (status != exitSuccess) return status;
    } else if (a.Has("delimiter") || a.Has("bind")) {
      ctx.err << "zorvan-cli: " << in
              << " has the program's own header; --delimiter and --bind are not needed.\n";
    }
  }
  if (input.Failed()) return ReadFailed(ctx, in, errno);

  CZorvanDoc doc(ctx.host);
  if (FileExists(db)) {
    if (!OpenDatabase(doc, db)) return exitFileError;
  } else {
    doc.OnNewDocument();
  }
  SImportHooks hooks;
  hooks.onRecord = [&](CTreeItem* record) { doc.AppendImportedRecord(record); };
  const bool read =
      vcard ? ReadVCards(input, hooks, order) : ReadTextRows(input, format, hooks, order);
  if (!read || input.Failed()) return ReadFailed(ctx, in, errno);
  // Only a complete import is saved, and the save replaces the file in one step.
  if (!SaveDatabase(doc, db)) return exitFileError;
  ctx.out << LoadString(IDS_IMPORT_DONE) << '\n';
  return exitSuccess;
}

}  // namespace zorvan::cli
