#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "store/DateTime.h"

namespace zorvan {
class CZorvanDoc;
}

namespace zorvan::cli {

class CCliHost;

// Exit statuses of every subcommand.
enum EExitStatus {
  exitSuccess = 0,
  exitNothingFound = 1,  // also a usage error
  exitUsage = 1,
  exitFileError = 2,  // a file could not be read or written
};

// What a subcommand runs with: its output streams and the host its document uses.
struct SContext {
  std::ostream& out;
  std::ostream& err;
  CCliHost& host;
};

using Args = std::vector<std::string>;

int RunShow(const Args& args, SContext& ctx);
int RunCalendar(const Args& args, SContext& ctx);
int RunExport(const Args& args, SContext& ctx);
int RunImport(const Args& args, SContext& ctx);
int RunFind(const Args& args, SContext& ctx);
int RunCheck(const Args& args, SContext& ctx);

// The help of the whole program, and the usage lines shown with a usage error.
void PrintProgramHelp(std::ostream& out);

// --- Shared by the subcommands ---

// True when the subcommand's words ask for its help (before any "--").
bool WantsHelp(const Args& args);
// Reports a usage error of a subcommand on standard error; returns exitUsage.
int UsageError(SContext& ctx, const std::string& command, const std::string& problem);
// Opens a database into doc; on failure says why through the document's host, naming the file.
bool OpenDatabase(CZorvanDoc& doc, const std::string& path);
// Saves doc to path; on failure says why through the document's host, naming the file.
bool SaveDatabase(CZorvanDoc& doc, const std::string& path);
// A date written YYYY-MM-DD; false when it is not one or names no real day.
bool ParseIsoDate(const std::string& text, CDateTime& date);

}  // namespace zorvan::cli
