#pragma once

#include <initializer_list>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/Arguments.h"
#include "interchange/ColumnBinding.h"
#include "store/DateTime.h"

namespace zorvan {
class CZorvanDoc;
class CDatabaseLock;
}  // namespace zorvan

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
  // Where a command leaves the database it read when the process ends right after it: the
  // memory goes back to the system whole at the exit, not record by record. Null (the tests,
  // a build with the sanitizers) destroys it at the end of the command as usual.
  std::vector<std::shared_ptr<void>>* leftToExit = nullptr;
};

// What a command builds for its run (its document, a tree it read), made with args: at the end
// of the scope it goes to the context's leftToExit when there is one, and is destroyed when
// there is not (or when no room is left to hand it over).
template <typename T>
class CHeld {
 public:
  template <typename... A>
  explicit CHeld(SContext& ctx, A&&... args)
      : m_ctx(ctx), m_held(std::make_unique<T>(std::forward<A>(args)...)) {}
  CHeld(const CHeld&) = delete;
  CHeld& operator=(const CHeld&) = delete;
  ~CHeld() {
    if (!m_ctx.leftToExit) return;
    try {
      m_ctx.leftToExit->push_back(std::shared_ptr<T>(std::move(m_held)));
    } catch (...) {  // NOLINT(bugprone-empty-catch): then it is destroyed here
    }
  }
  T& operator*() const { return *m_held; }
  T* operator->() const { return m_held.get(); }

 private:
  SContext& m_ctx;
  std::unique_ptr<T> m_held;
};

using Args = std::vector<std::string>;

int RunShow(const Args& args, SContext& ctx);
int RunCalendar(const Args& args, SContext& ctx);
int RunExport(const Args& args, SContext& ctx);
int RunExportCalendar(const Args& args, SContext& ctx);
int RunImport(const Args& args, SContext& ctx);
int RunFind(const Args& args, SContext& ctx);
int RunCheck(const Args& args, SContext& ctx);
int RunQuery(const Args& args, SContext& ctx);
int RunSync(const Args& args, SContext& ctx);
int RunPublishCalendar(const Args& args, SContext& ctx);

// The help of the whole program, and the usage lines shown with a usage error.
void PrintProgramHelp(std::ostream& out);

// --- Shared by the subcommands ---

// True when the subcommand's words ask for its help (before any "--").
bool WantsHelp(const Args& args);

// A subcommand as its start sees it: its name, its help, and how many operands it takes with
// the usage problem said when another number is given.
struct SCommand {
  const char* name;
  const char* help;
  size_t operands;
  const char* operandsProblem;
};
// What every subcommand does first: shows its help when its words ask for it; otherwise splits
// them by the options it takes into a and checks the number of operands. Returns the exit
// status when the subcommand ends there (help shown, usage error), nothing when it goes on.
std::optional<int> BeginCommand(const Args& args, SContext& ctx, const SCommand& command,
                                std::initializer_list<CArguments::SOption> options, CArguments& a);
// Reports a usage error of a subcommand on standard error; returns exitUsage.
int UsageError(SContext& ctx, const std::string& command, const std::string& problem);
// What a command opens a database for: the whole document, or its contacts branch alone (an
// export), without the calendar branch's event nodes.
enum class EOpenFor { everything, contactsOnly };
// Opens a database into doc; on failure says why through the document's host, naming the file.
bool OpenDatabase(CZorvanDoc& doc, const std::string& path, EOpenFor use = EOpenFor::everything);
// Saves doc to path; on failure says why through the document's host, naming the file. With
// the lock taken before the database was read, the save is refused when that lock or the file
// changed meanwhile (CZorvanDoc::SaveUnderLock).
bool SaveDatabase(CZorvanDoc& doc, const std::string& path, const CDatabaseLock* lock = nullptr);
// Takes the lock of the database at path for a command that writes it (who names the command
// to other programs), then opens it into doc, or starts a new one when bMayBeNew and there is no
// file yet. On failure says why, naming the file.
bool OpenLocked(CZorvanDoc& doc, const std::string& path, const char* who, bool bMayBeNew,
                CDatabaseLock& lock, SContext& ctx);
// The password of a command that talks to a server: the first line of --password-file, else the
// environment variable ZORVAN_PASSWORD, else empty. False (said why) when the file cannot be
// read.
bool ReadPassword(const CArguments& a, std::string& password, SContext& ctx);
// The column names a subcommand lists at most, so that a line of a million commas still fits
// on the screen.
inline constexpr size_t kScreenfulOfColumns = 20;
// Lists the columns, a line each: prefix, the number, separator, the name; after them how
// many of count were left out.
void PrintColumnNames(std::ostream& out, const std::vector<ColumnBinding>& columns, int count,
                      const std::string& prefix, const std::string& separator);
// A date written YYYY-MM-DD; false when it is not one or names no real day.
bool ParseIsoDate(const std::string& text, CDateTime& date);

}  // namespace zorvan::cli
