// The publish-calendar subcommand: the calendar Export Calendar derives, put into a CalDAV
// calendar and kept up to date there.
#include <chrono>
#include <ostream>
#include <string>

#include "cli/Arguments.h"
#include "cli/CliHost.h"
#include "cli/Commands.h"
#include "store/DatabaseLock.h"
#include "store/ZorvanDoc.h"
#include "sync/CalendarPublish.h"
#include "sync/PublishState.h"

namespace zorvan::cli {
namespace {

using namespace zorvan::sync;

const char kPublishHelp[] =
    "Usage: zorvan-cli publish-calendar DB.zvd --url CALENDAR_URL --user USER\n"
    "                  [--calendar-names] [--password-file FILE] [--pin sha256//KEY]\n"
    "\n"
    "Puts the calendar that export-calendar writes (a yearly all-day event for every birthday,\n"
    "anniversary and nameday; with --calendar-names also the names of the calendar resource in\n"
    "use) into the CalDAV calendar at CALENDAR_URL, one event to a resource. A later run sends\n"
    "only the events that changed and deletes the ones this database published that are no\n"
    "longer derived; events put into the calendar by anyone else are left alone. What was\n"
    "published is recorded in the database, for each calendar URL.\n"
    "\n"
    "The password is read from the first line of --password-file FILE, else from the\n"
    "environment variable ZORVAN_PASSWORD; it is never kept in the database. --pin accepts a\n"
    "server with a self-signed certificate whose public key has that SHA-256 pin.\n"
    "\n"
    "Prints: published N, unchanged N, withdrawn N.\n"
    "Exit status: 0 done, 1 usage error, 2 failure (its reason said).\n";

}  // namespace

int RunPublishCalendar(const Args& args, SContext& ctx) {
  CArguments a;
  if (auto done =
          BeginCommand(args, ctx, {"publish-calendar", kPublishHelp, 1, "give a database file"},
                       {{"url", true},
                        {"user", true},
                        {"calendar-names", false},
                        {"password-file", true},
                        {"pin", true}},
                       a))
    return *done;
  if (!a.Has("url") || !a.Has("user"))
    return UsageError(ctx, "publish-calendar", "give the calendar's --url and the --user");
  SConnectionOptions connection;
  connection.strUser = a.Value("user");
  connection.strPinnedKey = a.Value("pin");
  if (!ReadPassword(a, connection.strPassword, ctx)) return exitFileError;

  const std::string& db = a.Operands()[0];
  CDatabaseLock lock;
  CZorvanDoc doc(ctx.host);
  if (!OpenLocked(doc, db, "zorvan-cli publish-calendar", false, lock, ctx)) return exitFileError;
  SPublishState state;
  std::string reason;
  if (!LoadPublishState(doc, state, reason)) {
    ctx.err << "zorvan-cli: " << db << ": " << reason << ".\n";
    return exitFileError;
  }
  SPublishOptions options;
  options.bCalNames = a.Has("calendar-names");
  options.tStamp = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  CCurlTransport transport(connection);
  CCardDavClient client(transport);
  const SPublishOutcome outcome =
      PublishCalendar(doc, client, a.Value("url"), state.ForCalendar(a.Value("url")), options);
  ctx.out << PublishCountsLine(outcome.counts) << "\n";
  // What was published is recorded even when a later step failed: the next run goes on from
  // there instead of sending it again.
  StorePublishState(doc, state);
  if (doc.IsModified() && !SaveDatabase(doc, db, &lock)) return exitFileError;
  if (!outcome.status.Ok()) {
    ctx.err << "zorvan-cli: " << a.Value("url") << ": " << outcome.status.strMessage << ".\n";
    return exitFileError;
  }
  return exitSuccess;
}

}  // namespace zorvan::cli
