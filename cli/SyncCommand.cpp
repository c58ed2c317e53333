// The sync subcommand: a group of the database in two-way step with a CardDAV address book.
#include <ostream>
#include <string>
#include <vector>

#include "cli/Arguments.h"
#include "cli/CliHost.h"
#include "cli/Commands.h"
#include "store/DatabaseLock.h"
#include "store/RecordIdentity.h"
#include "store/TreeItem.h"
#include "store/ZorvanDoc.h"
#include "sync/SyncEngine.h"
#include "sync/SyncState.h"

namespace zorvan::cli {
namespace {

using namespace zorvan::sync;

const char kSyncHelp[] =
    "Usage: zorvan-cli sync DB.zvd [--url URL --user USER] [--group PATH] [--addressbook NAME]\n"
    "                  [--password-file FILE] [--conflicts local|remote] [--allow-mass-delete]\n"
    "                  [--pin sha256//KEY]\n"
    "\n"
    "Keeps a group of the database in two-way step with a CardDAV address book. The first run\n"
    "with --url and --user binds the group PATH (group labels separated by '/', made when\n"
    "missing; the address book's name when not given) to the address book found from URL (a\n"
    "server's address or the address book's own); when the server has several, name one with\n"
    "--addressbook, or they are listed and nothing happens. Later runs need the database only\n"
    "(and --group to synchronise one binding of several).\n"
    "\n"
    "The password is read from the first line of --password-file FILE, else from the\n"
    "environment variable ZORVAN_PASSWORD; it is never kept in the database. --pin accepts a\n"
    "server with a self-signed certificate whose public key has that SHA-256 pin; given when\n"
    "binding, it is kept with the binding for the later runs.\n"
    "\n"
    "A property changed on both sides in two ways is a conflict: --conflicts local or remote\n"
    "decides them all; without it such contacts stay as they are on both sides. A run that\n"
    "would delete more than a tenth of either side (at least five contacts) does nothing\n"
    "unless --allow-mass-delete is given. A card the server refuses (too large, or not to\n"
    "its liking) stays unsynchronised and is named on standard error with the server's reason;\n"
    "the other cards are synchronised, and the next run tries it again.\n"
    "\n"
    "Prints: fetched N, uploaded N, deleted here N, deleted there N, merged N, conflicts N.\n"
    "Exit status: 0 done, 1 usage error, 2 failure or refused cards (the reason said),\n"
    "3 conflicts left.\n";

constexpr int exitConflicts = 3;

// The group at path below the contacts root, made where missing when make is set (else null).
CTreeItem* GroupAt(CZorvanDoc& doc, const std::string& path, bool make) {
  CTreeItem* group = doc.ContactsRoot();
  size_t start = 0;
  while (group && start <= path.size()) {
    const size_t end = std::min(path.find('/', start), path.size());
    const std::string label = path.substr(start, end - start);
    start = end + 1;
    if (label.empty()) continue;
    CTreeItem* found = nullptr;
    for (size_t i = 0; i < group->ChildCount() && !found; ++i)
      if (group->Child(i)->m_bGroup != 0 && group->Child(i)->m_strLabel.view() == label)
        found = group->Child(i);
    if (!found && !make) return nullptr;
    if (!found) {
      found = doc.CreateRecord(group);
      found->m_strLabel = label;
      found->m_bGroup = 1;
      doc.RecordAppearanceChanged(found, ERecordChange::Group);
    }
    group = found;
  }
  return group;
}

// The address book of url to bind, discovered; empty (and listed, or said why) when none is
// chosen.
std::string ChooseBook(CCardDavClient& client, const CArguments& a, SContext& ctx,
                       std::string& name, int& status) {
  std::vector<SDavCollection> found;
  const SDavStatus discovered = client.Discover(a.Value("url"), found);
  status = exitFileError;
  if (!discovered.Ok()) {
    ctx.err << "zorvan-cli: " << a.Value("url") << ": " << discovered.strMessage << ".\n";
    return {};
  }
  std::vector<SDavCollection> books;
  for (const SDavCollection& book : found)
    if (book.bAddressBook &&
        (!a.Has("addressbook") || book.strDisplayName == a.Value("addressbook") ||
         book.strHref.find("/" + a.Value("addressbook") + "/") != std::string::npos))
      books.push_back(book);
  if (books.size() == 1) {
    name = books[0].strDisplayName;
    return books[0].strHref;
  }
  status = exitUsage;
  if (books.empty()) {
    ctx.err << "zorvan-cli: " << a.Value("url") << " has no address book"
            << (a.Has("addressbook") ? " of that name" : "") << ".\n";
    return {};
  }
  ctx.err << "zorvan-cli: " << a.Value("url")
          << " has several address books; choose one with --addressbook NAME:\n";
  for (const SDavCollection& book : books)
    ctx.out << "  " << book.strDisplayName << "\t" << book.strHref << "\n";
  return {};
}

int Bind(CZorvanDoc& doc, SSyncState& state, const CArguments& a, SConnectionOptions options,
         SContext& ctx) {
  CCurlTransport transport(std::move(options));
  CCardDavClient client(transport);
  std::string name;
  int status = exitSuccess;
  const std::string book = ChooseBook(client, a, ctx, name, status);
  if (book.empty()) return status;
  CTreeItem* group = GroupAt(doc, a.Value("group", name.empty() ? "CardDAV" : name), true);
  if (!group || group == doc.ContactsRoot()) return UsageError(ctx, "sync", "give a group");
  const std::string uid = BindingUid(*group);
  SBinding* binding = state.FindGroup(uid);
  if (!binding) {
    state.bindings.emplace_back();
    binding = &state.bindings.back();
    binding->groupUid = uid;
  }
  // Bound to another address book, the group starts a new agreement with it.
  if (binding->bookHref != book) {
    *binding = SBinding();
    binding->groupUid = uid;
  }
  binding->serverUrl = a.Value("url");
  binding->userName = a.Value("user");
  binding->bookHref = book;
  binding->bookName = name;
  binding->pinnedKey = a.Value("pin");
  return exitSuccess;
}

// One binding's run: its counts on standard output, a failure or the conflicts left on standard
// error; the state stored in the document whatever the outcome.
int SyncBinding(CZorvanDoc& doc, SSyncState& state, SBinding& binding,
                const SConnectionOptions& connection, const SSyncOptions& options, SContext& ctx) {
  CCurlTransport transport(connection);
  CCardDavClient client(transport);
  client.SetServer(binding.serverUrl);
  const SSyncOutcome outcome = Synchronize(doc, client, binding, options);
  StoreSyncState(doc, state);
  ctx.out << CountsLine(outcome.counts) << "\n";
  if (outcome.massDeletion) {
    ctx.err << "zorvan-cli: this would delete more than a tenth of the contacts of one side; "
               "nothing was done. Give --allow-mass-delete to do it.\n";
    return exitFileError;
  }
  if (!outcome.status.Ok()) {
    ctx.err << "zorvan-cli: " << binding.serverUrl << ": " << outcome.status.strMessage << ".\n";
    return exitFileError;
  }
  for (const SRefusedCard& card : outcome.refused)
    ctx.err << "zorvan-cli: " << binding.serverUrl << ": " << card.label
            << " stays unsynchronised (tried again next time): " << card.reason << ".\n";
  if (!outcome.refused.empty()) return exitFileError;
  if (outcome.counts.conflicts != 0) {
    ctx.err << "zorvan-cli: " << outcome.counts.conflicts
            << " contacts changed on both sides are left as they are: give --conflicts local "
               "or remote.\n";
    return exitConflicts;
  }
  return exitSuccess;
}

}  // namespace

int RunSync(const Args& args, SContext& ctx) {
  CArguments a;
  if (auto done = BeginCommand(args, ctx, {"sync", kSyncHelp, 1, "give a database file"},
                               {{"url", true},
                                {"user", true},
                                {"group", true},
                                {"addressbook", true},
                                {"password-file", true},
                                {"conflicts", true},
                                {"allow-mass-delete", false},
                                {"pin", true}},
                               a))
    return *done;
  SSyncOptions options;
  if (a.Has("conflicts")) {
    const std::string side = a.Value("conflicts");
    if (side != "local" && side != "remote")
      return UsageError(ctx, "sync", "--conflicts takes local or remote");
    options.conflicts = side == "local" ? EConflictPolicy::local : EConflictPolicy::remote;
  }
  options.allowMassDelete = a.Has("allow-mass-delete");
  if (a.Has("url") != a.Has("user")) return UsageError(ctx, "sync", "--url and --user go together");
  SConnectionOptions connection;
  connection.strPinnedKey = a.Value("pin");
  if (!ReadPassword(a, connection.strPassword, ctx)) return exitFileError;

  const std::string& db = a.Operands()[0];
  CDatabaseLock lock;
  CZorvanDoc doc(ctx.host);
  if (!OpenLocked(doc, db, "zorvan-cli sync", true, lock, ctx)) return exitFileError;
  SSyncState state;
  std::string reason;
  if (!LoadSyncState(doc, state, reason)) {
    ctx.err << "zorvan-cli: " << db << ": the synchronisation state is damaged: " << reason
            << ".\n";
    return exitFileError;
  }
  if (a.Has("url")) {
    connection.strUser = a.Value("user");
    if (int bound = Bind(doc, state, a, connection, ctx); bound != exitSuccess) return bound;
  } else if (state.Empty()) {
    return UsageError(ctx, "sync", "no address book is bound yet: give --url and --user");
  }

  // A contact's UID names its card on the server: one given now is saved before any card goes
  // there, or a run stopped midway (killed, the machine off) would leave cards the next run,
  // with new UIDs, puts there a second time.
  for (const SBinding& binding : state.bindings)
    if (CTreeItem* group =
            doc.ContactsRoot() ? FindBoundGroup(*doc.ContactsRoot(), binding.groupUid) : nullptr;
        group && !GiveIdentities(*group).empty())
      doc.SetModifiedFlag();
  if (doc.IsModified() && !SaveDatabase(doc, db, &lock)) return exitFileError;

  int status = exitSuccess;
  for (SBinding& binding : state.bindings) {
    CTreeItem* group =
        doc.ContactsRoot() ? FindBoundGroup(*doc.ContactsRoot(), binding.groupUid) : nullptr;
    if (a.Has("group") && !a.Has("url") &&
        (!group || group != GroupAt(doc, a.Value("group"), false)))
      continue;
    connection.strUser = binding.userName;
    connection.strPinnedKey = a.Has("pin") ? a.Value("pin") : binding.pinnedKey;
    const int done = SyncBinding(doc, state, binding, connection, options, ctx);
    if (status == exitSuccess || done == exitFileError) status = done;
  }
  // What was agreed is kept even when a later step failed: the next run goes on from there.
  if (doc.IsModified() && !SaveDatabase(doc, db, &lock)) return exitFileError;
  return status;
}

}  // namespace zorvan::cli
