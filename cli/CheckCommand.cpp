// check: reads a file the way the program reads it and says what it found.
#include <algorithm>
#include <ostream>
#include <utility>

#include "cli/Arguments.h"
#include "cli/CliHost.h"
#include "cli/Commands.h"
#include "interchange/FileLineInput.h"
#include "interchange/TextImport.h"
#include "interchange/Transfer.h"
#include "interchange/VCardReader.h"
#include "res/CodePage.h"
#include "store/CalendarResource.h"
#include "store/FileRead.h"
#include "store/TextUtil.h"
#include "store/ZvdFile.h"
#include "store/ZvdLayout.h"

namespace zorvan::cli {
namespace {

const char kCheckHelp[] =
    "Usage: zorvan-cli check FILE [--delimiter D]\n"
    "\n"
    "Reads FILE as the program reads it and says what it holds:\n"
    "  .zvd  a contacts database: its records, groups, depth and set dates; a damaged\n"
    "        database is reported with the reason (exit status 2); the records that carry\n"
    "        extensions (texts the code page cannot hold, identities), and why an\n"
    "        extension trailer was ignored\n"
    "  .cal  a calendar resource: its lines, calendar names and labels\n"
    "  .vcf  vCards: the cards the Import command would add\n"
    "  .csv  delimited text (also .txt): its layout and the records Import would add; for\n"
    "        columns the program does not know, their names split at the delimiter D\n"
    "        (\",\" unless given; \"tab\" and \"space\" as for import)\n";

int CannotRead(SContext& ctx, const std::string& path, const std::string& reason) {
  ctx.err << "zorvan-cli: Cannot open file " << path << ":\n" << reason << ".\n";
  return exitFileError;
}

int CheckDatabase(SContext& ctx, const std::string& path) {
  std::string error;
  CHeld<CTreeItem> held(ctx);
  CTreeItem& root = *held;
  root.m_nKind = kindContacts;
  SZvdExtras extras;
  if (!LoadDatabaseFile(path, root, error, &extras, zvd_layout::MaxDatabaseBytes()))
    return CannotRead(ctx, path, error);

  size_t records = 0, groups = 0, levels = 0, birthdays = 0, anniversaries = 0, namedays = 0;
  // The root is no record; its children are the first level.
  WalkSubtreeWhile(std::as_const(root), [&](const CTreeItem& r, size_t depth) {
    if (depth == 0) return true;
    ++records;
    groups += r.m_bGroup != 0;
    birthdays += IsDateSet(r.m_bBirthday, r.m_dtBirthday);
    anniversaries += IsDateSet(r.m_bAnniversary, r.m_dtAnniversary);
    namedays += IsDateSet(r.m_bNameDay, r.m_dtNameDay);
    levels = std::max(levels, depth);
    return true;
  });
  ctx.out << path << ": contacts database\n"
          << "records: " << records << '\n'
          << "top-level records: " << root.ChildCount() << '\n'
          << "groups: " << groups << '\n'
          << "levels: " << levels << '\n'
          << "birthdays: " << birthdays << '\n'
          << "anniversaries: " << anniversaries << '\n'
          << "namedays: " << namedays << '\n';
  // A file of the older layout alone says nothing of extensions.
  if (extras.hasTrailer) {
    ctx.out << "records with extensions: " << extras.extendedRecords << '\n';
    if (!extras.kept.empty()) ctx.out << "kept sections: " << extras.kept.size() << '\n';
    if (!extras.ignored.empty()) ctx.out << "extension trailer ignored: " << extras.ignored << '\n';
  }
  return exitSuccess;
}

int CheckCalendar(SContext& ctx, const std::string& path) {
  std::string bytes, error;
  if (!ReadWholeFile(path, bytes, error, kMaxCalendarResourceBytes))
    return CannotRead(ctx, path, error);
  SCalendarResource r;
  ParseCalendarResource(AnsiToUtf8(bytes), r);
  // The list ends at the first entry with day 0; the calendar ignores what follows.
  size_t listed = 0;
  while (listed < r.names.size() && r.names[listed].m_nDay != 0) ++listed;
  ctx.out << path << ": calendar resource\n"
          << "lines: " << r.nLines << '\n'
          << "calendar names: " << listed << '\n';
  if (listed < r.names.size())
    ctx.out << "entries after the end of the list: " << r.names.size() - listed << '\n';
  const std::pair<bool, const std::string*> labels[] = {
      {r.bContacts, &r.strContacts},   {r.bCalendar, &r.strCalendar},
      {r.bBirthdays, &r.strBirthdays}, {r.bAnniversaries, &r.strAnniversaries},
      {r.bNamedays, &r.strNamedays},   {r.bCalNames, &r.strCalNames}};
  const char* keys[] = {"CONTACTS", "CALENDAR", "BIRTHDAY", "ANNIVERSARY", "NAMEDAY", "CALNAMES"};
  for (size_t i = 0; i < std::size(labels); ++i)
    if (labels[i].first)
      ctx.out << keys[i] << " label: " << EscapeControlCharacters(*labels[i].second) << '\n';
  return exitSuccess;
}

int CheckVCards(SContext& ctx, const std::string& path) {
  CFileLineInput input;
  if (!input.Open(path)) return CannotRead(ctx, path, input.Reason());
  std::int64_t lines = 0, cards = 0;
  SImportHooks hooks;
  hooks.onRecord = [&](std::unique_ptr<CTreeItem>) { ++cards; };
  const bool read = ReadVCards(input, hooks, EDateOrder::dayMonthYear);
  if (!read || input.Failed()) return CannotRead(ctx, path, input.Reason());
  input.Open(path);
  lines = CountLines(input);
  ctx.out << path << ": vCard file\n"
          << "lines: " << lines << '\n'
          << "cards: " << cards << '\n';
  return exitSuccess;
}

int CheckText(SContext& ctx, const std::string& path, const std::string& typedDelimiter) {
  CFileLineInput input;
  if (!input.Open(path)) return CannotRead(ctx, path, input.Reason());
  std::string first;
  const bool any = ReadFirstLine(input, first);
  // Every line after the first becomes a record, empty lines too.
  const std::int64_t rest = any ? CountLines(input) : 0;
  if (input.Failed()) return CannotRead(ctx, path, input.Reason());
  ctx.out << path << ": delimited text\n"
          << "lines: " << (any ? rest + 1 : 0) << '\n';
  switch (RecogniseHeader(first)) {
    case ETextLayout::ownColumns:
      ctx.out << "layout: the program's own 45 columns\n";
      break;
    case ETextLayout::shortColumns:
      ctx.out << "layout: the 39 columns\n";
      break;
    case ETextLayout::bound: {
      ctx.out << "layout: other columns, to be bound for an import\n";
      const std::string delimiter = DelimiterFromText(typedDelimiter);
      const int count = CountColumns(first, delimiter);
      ctx.out << "columns split at \"" << typedDelimiter << "\": " << count << '\n';
      if (count > kMaxColumns)
        ctx.out << "an import refuses more than " << kMaxColumns << " columns\n";
      PrintColumnNames(ctx.out, MakeColumnBindings(first, delimiter, kScreenfulOfColumns), count,
                       "column ", ": ");
    }
  }
  ctx.out << "records: " << rest << '\n';
  return exitSuccess;
}

}  // namespace

int RunCheck(const Args& args, SContext& ctx) {
  CArguments a;
  if (auto done = BeginCommand(args, ctx, {"check", kCheckHelp, 1, "give one file"},
                               {{"delimiter", true}}, a))
    return *done;
  const std::string& path = a.Operands()[0];
  const std::string ext = FileExtension(path);
  if (SameIgnoringAsciiCase(ext, "zvd")) return CheckDatabase(ctx, path);
  if (SameIgnoringAsciiCase(ext, "cal")) return CheckCalendar(ctx, path);
  // As the Import command reads them: only a lower-case .vcf holds vCards.
  if (ImportsVCards(path)) return CheckVCards(ctx, path);
  if (SameIgnoringAsciiCase(ext, "vcf")) {
    ctx.err << "zorvan-cli: " << path
            << " is read as delimited text: only a .vcf in lower case is read as vCards.\n";
    return CheckText(ctx, path, a.Value("delimiter", ","));
  }
  if (SameIgnoringAsciiCase(ext, "csv") || SameIgnoringAsciiCase(ext, "txt"))
    return CheckText(ctx, path, a.Value("delimiter", ","));
  return UsageError(ctx, "check",
                    "cannot tell what " + path + " is: give a .zvd, .cal, .vcf or .csv file");
}

}  // namespace zorvan::cli
