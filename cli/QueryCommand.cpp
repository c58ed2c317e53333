// The query subcommand: the address book of mail clients.
#include <ostream>
#include <string>
#include <string_view>

#include "cli/Arguments.h"
#include "cli/CliHost.h"
#include "cli/Commands.h"
#include "find/AddressQuery.h"

namespace zorvan::cli {
namespace {

const char kQueryHelp[] =
    "Usage: zorvan-cli query DB.zvd TEXT\n"
    "\n"
    "Prints the e-mail addresses of the contacts whose first and last name, label, nickname\n"
    "or an e-mail address holds TEXT (case ignored), in the form mail clients read for their\n"
    "address completion: a line of status text, then one line per address with the address,\n"
    "the name and the label separated by tabs. Personal and business addresses each get a\n"
    "line, the preferred one first.\n"
    "\n"
    "  mutt, neomutt:  set query_command = \"zorvan-cli query ~/contacts.zvd %s\"\n"
    "  aerc:           address-book-cmd = zorvan-cli query ~/contacts.zvd \"%s\"\n"
    "\n"
    "Exit status 1 when nothing matches.\n";

}  // namespace

int RunQuery(const Args& args, SContext& ctx) {
  CArguments a;
  if (auto done = BeginCommand(args, ctx,
                               {"query", kQueryHelp, 2, "give a database file and a text"}, {}, a))
    return *done;
  const std::string& path = a.Operands()[0];
  const std::string& text = a.Operands()[1];

  CAddressQuery query(text);
  std::string error;
  if (!query.ReadFile(path, error)) {
    ctx.host.MessageBox("Cannot open file " + path + ":\n" + error + ".", EMsgIcon::Error);
    return exitFileError;
  }
  // The first line is for the mail client's status line; it skips it when it lists addresses.
  std::string shown;
  AppendPrintable(shown, text);
  if (query.Addresses() == 0) {
    ctx.out << "No address matches \"" << shown << "\".\n";
    return exitNothingFound;
  }
  ctx.out << query.Addresses() << (query.Addresses() == 1 ? " address matches" : " addresses match")
          << " \"" << shown << "\".\n"
          << query.Lines();
  return exitSuccess;
}

}  // namespace zorvan::cli
