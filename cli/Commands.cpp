#include "cli/Commands.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <ostream>

#include "cli/CliHost.h"
#include "res/StringTable.h"
#include "store/DatabaseLock.h"
#include "store/FileRead.h"
#include "store/TextUtil.h"
#include "store/ZorvanDoc.h"

namespace zorvan::cli {

bool WantsHelp(const Args& args) {
  for (const std::string& a : args) {
    if (a == "--") return false;
    if (a == "--help" || a == "-h") return true;
  }
  return false;
}

int UsageError(SContext& ctx, const std::string& command, const std::string& problem) {
  ctx.err << "zorvan-cli " << command << ": " << problem << "\n"
          << "Try 'zorvan-cli " << command << " --help'.\n";
  return exitUsage;
}

std::optional<int> BeginCommand(const Args& args, SContext& ctx, const SCommand& command,
                                std::initializer_list<CArguments::SOption> options, CArguments& a) {
  if (WantsHelp(args)) {
    ctx.out << command.help;
    return exitSuccess;
  }
  std::string error;
  if (!a.Parse(args, options, error)) return UsageError(ctx, command.name, error);
  if (a.Operands().size() != command.operands)
    return UsageError(ctx, command.name, command.operandsProblem);
  return std::nullopt;
}

bool OpenDatabase(CZorvanDoc& doc, const std::string& path, EOpenFor use) {
  doc.SetMakesEventNodes(use == EOpenFor::everything);
  // Every command is one step: nothing here is undone, so nothing is kept for it.
  doc.History().SetLimits(0, 0);
  const CStatus opened = doc.OnOpenDocument(path);
  // A save of the database writes its records without the ignored trailer: the user hears of
  // it first.
  if (opened && !doc.TrailerNote().empty())
    doc.Host().MessageBox("The extensions stored after the contacts of " + path +
                              " were ignored: " + doc.TrailerNote() + ".",
                          EMsgIcon::Information);
  if (opened) return true;
  doc.Host().MessageBox("Cannot open file " + opened.File() + ":\n" + opened.Reason() + ".",
                        EMsgIcon::Error);
  doc.Host().MessageBox(LoadString(IDS_OPEN_ERROR), EMsgIcon::Error);
  return false;
}

bool SaveDatabase(CZorvanDoc& doc, const std::string& path, const CDatabaseLock* lock) {
  const CStatus saved = lock ? doc.SaveUnderLock(path, *lock) : doc.OnSaveDocument(path);
  if (!saved)
    doc.Host().MessageBox("Cannot save file " + saved.File() + ":\n" + saved.Reason() + ".",
                          EMsgIcon::Error);
  if (!saved.Note().empty())
    doc.Host().MessageBox("Saved file " + saved.File() + ", but " + saved.Note() + ".",
                          EMsgIcon::Information);
  return saved.Ok();
}

bool OpenLocked(CZorvanDoc& doc, const std::string& path, const char* who, bool bMayBeNew,
                CDatabaseLock& lock, SContext& ctx) {
  if (const CStatus locked = lock.Acquire(path, who, std::chrono::seconds(10)); !locked) {
    ctx.err << "zorvan-cli: Cannot write file " << path << ":\n" << locked.Reason() << ".\n";
    return false;
  }
  if (bMayBeNew && !std::filesystem::exists(path)) {
    doc.History().SetLimits(0, 0);
    return doc.OnNewDocument();
  }
  return OpenDatabase(doc, path);
}

bool ReadPassword(const CArguments& a, std::string& password, SContext& ctx) {
  if (a.Has("password-file")) {
    std::string error;
    if (!ReadWholeFile(a.Value("password-file"), password, error, 64 * 1024)) {
      ctx.err << "zorvan-cli: Cannot read " << a.Value("password-file") << ": " << error << ".\n";
      return false;
    }
    password = password.substr(0, password.find_first_of("\r\n"));
  } else if (const char* env = std::getenv("ZORVAN_PASSWORD")) {
    password = env;
  }
  return true;
}

void PrintColumnNames(std::ostream& out, const std::vector<ColumnBinding>& columns, int count,
                      const std::string& prefix, const std::string& separator) {
  for (const ColumnBinding& c : columns)
    out << prefix << c.m_nIndex + 1 << separator << EscapeControlCharacters(c.m_strName) << '\n';
  if (static_cast<size_t>(count) > columns.size())
    out << "... and " << count - static_cast<int>(columns.size()) << " more columns\n";
}

bool ParseIsoDate(const std::string& text, CDateTime& date) {
  // YYYY-MM-DD; a one-digit month or day is taken too.
  int parts[3] = {0, 0, 0};
  size_t part = 0, digits = 0;
  for (char c : text) {
    if (c == '-' && digits > 0 && part < 2) {
      ++part;
      digits = 0;
      continue;
    }
    if (c < '0' || c > '9' || ++digits > (part == 0 ? 4u : 2u)) return false;
    parts[part] = parts[part] * 10 + (c - '0');
  }
  if (part != 2 || digits == 0) return false;
  return date.SetDate(parts[0], parts[1], parts[2]) && date.IsUsable();
}

void PrintProgramHelp(std::ostream& out) {
  out << "Usage: zorvan-cli COMMAND [ARGUMENTS]\n"
         "\n"
         "The contact database and its calendar on the command line.\n"
         "\n"
         "Commands:\n"
         "  show DB.zvd                     print the contacts tree\n"
         "  calendar DB.zvd [--day D] [--today D] [--resource FILE.cal]\n"
         "                                  print the Calendar page's texts for a day\n"
         "  export DB.zvd OUT               write every contact to OUT (.vcf or .csv)\n"
         "  export --to-other [--vcard 3.0|4.0] [--read-only] DB.zvd OUT.vcf\n"
         "                                  write standard vCards for other programs (and\n"
         "                                  save the identities given to contacts)\n"
         "  export-calendar DB.zvd OUT.ics [--calendar-names]\n"
         "                                  write the dates as yearly iCalendar events\n"
         "  import IN DB.zvd [--delimiter D] [--bind COLUMN=TARGET]...\n"
         "                                  add the contacts of IN (.vcf or text) to DB\n"
         "  import --from-other FILE DB.zvd [--skip-duplicates] [--bind COLUMN=TARGET]...\n"
         "                                  add another program's vCards or CSV to DB\n"
         "  find DB.zvd [--from-current LABEL] (--where GROUP --text TEXT)... [--all]\n"
         "                                  print the first (or every) matching node\n"
         "  check FILE                      say what a .zvd, .cal, .vcf or .csv file holds\n"
         "  query DB.zvd TEXT               print the matching e-mail addresses for a mail\n"
         "                                  client's address completion\n"
         "  sync DB.zvd [--url URL --user USER] [--group PATH] [--conflicts local|remote]\n"
         "                                  keep a group in two-way step with a CardDAV\n"
         "                                  address book\n"
         "  publish-calendar DB.zvd --url CALENDAR_URL --user USER [--calendar-names]\n"
         "                                  put the dates as events into a CalDAV calendar\n"
         "\n"
         "  --help                          this help; COMMAND --help tells more\n"
         "  --version                       the program's name and version\n"
         "\n"
         "Exit status: 0 success, 1 nothing found or a usage error, 2 a file could not be read\n"
         "or written.\n";
}

}  // namespace zorvan::cli
