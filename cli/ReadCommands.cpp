// The subcommands that read a database and print what it holds: show, calendar and find.
#include <ostream>

#include "calendar/CalendarTexts.h"
#include "cli/Arguments.h"
#include "cli/CliHost.h"
#include "cli/Commands.h"
#include "find/Finder.h"
#include "res/StringTable.h"
#include "store/CalendarResource.h"
#include "store/FileRead.h"
#include "store/TextUtil.h"
#include "store/ZorvanDoc.h"

namespace zorvan::cli {
namespace {

const char kShowHelp[] =
    "Usage: zorvan-cli show DB.zvd\n"
    "\n"
    "Prints the contacts tree of a database in document order, one record a line: the records\n"
    "directly below the contacts root without indent, each further level two more spaces.\n"
    "Control characters in a label are shown escaped (\\n, \\r, \\t, \\x1B, \\u009B).\n";

const char kCalendarHelp[] =
    "Usage: zorvan-cli calendar DB.zvd [--day YYYY-MM-DD] [--today YYYY-MM-DD]\n"
    "                          [--resource FILE.cal]\n"
    "\n"
    "Prints the four texts of the Calendar page for a day: the day's calendar name, its\n"
    "birthdays (with ages) and anniversaries, the contacts whose nameday it is, and the events\n"
    "of the next seven days.\n"
    "\n"
    "  --day YYYY-MM-DD     the day to list (default: today)\n"
    "  --today YYYY-MM-DD   the date to take as today: the calendar names are given dates in\n"
    "                       its year (an age is the one reached on the day listed)\n"
    "  --resource FILE.cal  the calendar resource (default: the one the desktop program uses,\n"
    "                       else American.cal)\n";

const char kFindHelp[] =
    "Usage: zorvan-cli find DB.zvd [--from-current LABEL] (--where GROUP --text TEXT)...\n"
    "                      [--all]\n"
    "\n"
    "Finds the first node that satisfies every criterion, searching the contacts branch and\n"
    "then the calendar branch, and prints its label. Up to three criteria; each looks for TEXT\n"
    "(case ignored) in the fields of GROUP, given by name or number:\n"
    "  0 Name, 1 E-mail, 2 Web URL, 3 Home Address, 4 Home Phone, 5 Business,\n"
    "  6 Work Address, 7 Work Phone\n"
    "\n"
    "  --from-current LABEL  start after the first node with this label and its subtree\n"
    "                        (default: from the beginning, every node counts)\n"
    "  --all                 print every match, in search order\n"
    "\n"
    "Exit status 1 when nothing matches.\n";

// One node a line: a label's line breaks and escape sequences are shown, not obeyed.
void PrintLabel(std::ostream& out, const CTreeItem& node) {
  out << EscapeControlCharacters(node.m_strLabel.view()) << '\n';
}

int ParseGroup(const std::string& text) {
  if (text.size() == 1 && text[0] >= '0' && text[0] < '0' + kFindGroupCount) return text[0] - '0';
  for (int g = 0; g < kFindGroupCount; ++g)
    if (SameIgnoringAsciiCase(FindGroupName(g), text)) return g;
  return findNone;
}

// The first node in document order (the contacts branch, then the calendar branch) with the
// label; null when there is none.
CTreeItem* NodeLabelled(const CZorvanDoc& doc, const std::string& label) {
  CTreeItem* found = nullptr;
  for (int i = 0; i < doc.m_items.GetSize() && !found; ++i)
    ForEachInSubtree(doc.m_items.GetAt(i), [&](CTreeItem* n) {
      if (!found && n->m_strLabel == label) found = n;
    });
  return found;
}

}  // namespace

int RunShow(const Args& args, SContext& ctx) {
  CArguments a;
  if (auto done = BeginCommand(args, ctx, {"show", kShowHelp, 1, "give one database file"}, {}, a))
    return *done;
  CHeld<CZorvanDoc> held(ctx, ctx.host);
  CZorvanDoc& doc = *held;
  if (!OpenDatabase(doc, a.Operands()[0])) return exitFileError;

  const CTreeItem& root = *doc.ContactsRoot();
  WalkSubtreeWhile(root, [&ctx](const CTreeItem& node, size_t depth) {
    // The records directly below the root have no indent.
    if (depth > 0) {
      ctx.out << std::string(2 * (depth - 1), ' ');
      PrintLabel(ctx.out, node);
    }
    return true;
  });
  return ctx.out ? exitSuccess : exitFileError;
}

int RunCalendar(const Args& args, SContext& ctx) {
  CArguments a;
  if (auto done = BeginCommand(args, ctx, {"calendar", kCalendarHelp, 1, "give one database file"},
                               {{"day", true}, {"today", true}, {"resource", true}}, a))
    return *done;
  CDateTime today, day;
  if (a.Has("today") && !ParseIsoDate(a.Value("today"), today))
    return UsageError(ctx, "calendar", "--today takes a date YYYY-MM-DD, not " + a.Value("today"));
  if (a.Has("day") && !ParseIsoDate(a.Value("day"), day))
    return UsageError(ctx, "calendar", "--day takes a date YYYY-MM-DD, not " + a.Value("day"));
  if (a.Has("resource")) {
    // A resource asked for by name must be there; the settings' one may be missing, as it may
    // for the desktop program, which then goes on without calendar names.
    const std::string path = ResolveCalendarPath(a.Value("resource"));
    std::string bytes, error;
    if (!ReadWholeFile(path, bytes, error, kMaxCalendarResourceBytes)) {
      ctx.err << "zorvan-cli: Cannot read file " << path << ":\n" << error << ".\n";
      return exitFileError;
    }
    ctx.host.WriteProfileString("Settings", "Resource", path);
  }
  if (a.Has("today")) SetClockSource([today] { return today; });

  CHeld<CZorvanDoc> held(ctx, ctx.host);
  CZorvanDoc& doc = *held;
  const bool opened = OpenDatabase(doc, a.Operands()[0]);
  if (opened) {
    if (a.Has("day")) doc.m_dtCalendarDay = day;
    const CCalendarTexts texts = FillCalendarTexts(doc);
    // The names come from the database and the calendar resource: shown, never obeyed.
    ctx.out << "Calendar name: " << EscapeControlCharacters(texts.m_strNamedaysToday) << '\n'
            << "Namedays: " << EscapeControlCharacters(texts.m_strContactNamedays) << '\n'
            << "Birthdays and anniversaries: " << EscapeControlCharacters(texts.m_strBirthdays)
            << '\n'
            << "Next 7 days: " << EscapeControlCharacters(texts.m_strNext7Days) << '\n';
  }
  SetClockSource({});
  return opened ? exitSuccess : exitFileError;
}

int RunFind(const Args& args, SContext& ctx) {
  CArguments a;
  if (auto done = BeginCommand(
          args, ctx, {"find", kFindHelp, 1, "give one database file"},
          {{"from-current", true}, {"where", true}, {"text", true}, {"all", false}}, a))
    return *done;
  const Args& wheres = a.Values("where");
  const Args& texts = a.Values("text");
  if (wheres.empty() && texts.empty())
    return UsageError(ctx, "find", "give a criterion: --where GROUP --text TEXT");
  if (wheres.size() > CFinder::kCriteria || texts.size() > CFinder::kCriteria)
    return UsageError(ctx, "find", "give at most three criteria");

  // The n-th --where goes with the n-th --text; one without the other makes a criterion that
  // does not count, as a dialog row with only one of them filled in.
  CFinder finder;
  for (size_t i = 0; i < wheres.size(); ++i) {
    const int group = ParseGroup(wheres[i]);
    if (group == findNone)
      return UsageError(ctx, "find",
                        "unknown field group " + wheres[i] +
                            " (give 0-7 or one of Name, E-mail, Web URL, Home Address, Home "
                            "Phone, Business, Work Address, Work Phone)");
    finder.SetCriterion(static_cast<int>(i), group, i < texts.size() ? texts[i] : "");
  }
  for (size_t i = wheres.size(); i < texts.size(); ++i)
    finder.SetCriterion(static_cast<int>(i), findNone, texts[i]);

  CHeld<CZorvanDoc> held(ctx, ctx.host);
  CZorvanDoc& doc = *held;
  if (!OpenDatabase(doc, a.Operands()[0])) return exitFileError;
  const CTreeItem* current = nullptr;
  EFindDirection direction = findFromBeginning;
  if (a.Has("from-current")) {
    current = NodeLabelled(doc, a.Value("from-current"));
    if (!current) return UsageError(ctx, "find", "no node is labelled " + a.Value("from-current"));
    direction = findFromCurrent;
  }
  std::vector<CTreeItem*> found;
  if (a.Has("all")) {
    found = finder.FindAll(doc.m_items, current, direction);
  } else if (CTreeItem* first = finder.Find(doc.m_items, current, direction)) {
    found.push_back(first);
  }
  if (found.empty()) {
    ctx.err << "zorvan-cli: " << LoadString(IDS_FIND_NO_MATCH) << '\n';
    return exitNothingFound;
  }
  for (const CTreeItem* node : found) PrintLabel(ctx.out, *node);
  return exitSuccess;
}

}  // namespace zorvan::cli
