// zorvan-cli: the contact database on the command line, on the core library alone.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iostream>
#include <map>
#include <memory>
#include <new>
#include <string_view>
#include <system_error>
#include <vector>

#include "cli/CliHost.h"
#include "cli/Commands.h"
#include "res/StringTable.h"

using namespace zorvan;
using namespace zorvan::cli;

namespace {

// The subcommands by the word that names them.
const std::map<std::string_view, int (*)(const Args&, SContext&)> kSubcommands = {
    {"show", RunShow},     {"calendar", RunCalendar},
    {"export", RunExport}, {"export-calendar", RunExportCalendar},
    {"import", RunImport}, {"find", RunFind},
    {"check", RunCheck},   {"query", RunQuery},
    {"sync", RunSync},     {"publish-calendar", RunPublishCalendar},
};

// A build with the sanitizers frees everything as usual, so that its leak check sees what a
// command leaves behind.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kLeaveToExit = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || \
    __has_feature(memory_sanitizer)
constexpr bool kLeaveToExit = false;
#else
constexpr bool kLeaveToExit = true;
#endif
#else
constexpr bool kLeaveToExit = true;
#endif

// Ends the process with status once the output is out. The commands have written and closed
// every file and released the database's lock by now; what they left (the records they read,
// a hundred thousand of them in a large database) goes back to the system with the process's
// memory, at no cost, instead of being freed one allocation after another.
[[noreturn]] void ExitLeaving(int status) {
  std::cout.flush();
  std::cerr.flush();
  std::fflush(nullptr);
  std::_Exit(status);
}

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const Args args(argv + (argc > 1 ? 2 : 1), argv + argc);
  if (argc < 2) {
    PrintProgramHelp(std::cerr);
    return exitUsage;
  }
  const std::string command = argv[1];
  if (command == "--help" || command == "-h" || command == "help") {
    PrintProgramHelp(std::cout);
    return exitSuccess;
  }
  if (command == "--version") {
    std::cout << LoadString(IDS_VERSION) << '\n';
    return exitSuccess;
  }
  CCliHost host(std::cerr);
  host.LoadSettings();
  std::vector<std::shared_ptr<void>> left;
  SContext ctx{std::cout, std::cerr, host, kLeaveToExit ? &left : nullptr};
  int status = exitUsage;
  // Running out of memory (or of threads) part-way is reported like any failure: the unwinding
  // releases the database's lock, and every file being written is replaced only when complete,
  // so the old one stays as it was.
  try {
    const auto run = kSubcommands.find(command);
    if (run == kSubcommands.end()) {
      std::cerr << "zorvan-cli: unknown command " << command << "\n"
                << "Try 'zorvan-cli --help'.\n";
      return exitUsage;
    }
    status = run->second(args, ctx);
  } catch (const std::bad_alloc&) {
    std::cerr << "zorvan-cli: There is not enough memory to go on; " << command
              << " was stopped.\n";
    return exitFileError;
  } catch (const std::system_error& e) {
    // A thread whose stack finds no room left to map is memory running out too.
    if (e.code() == std::errc::resource_unavailable_try_again)
      std::cerr << "zorvan-cli: There is not enough memory to go on; " << command
                << " was stopped.\n";
    else
      std::cerr << "zorvan-cli: " << command << " was stopped: " << e.what() << ".\n";
    return exitFileError;
  } catch (const std::exception& e) {
    std::cerr << "zorvan-cli: " << command << " was stopped: " << e.what() << ".\n";
    return exitFileError;
  }
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "zorvan-cli: Cannot write the standard output:\n" << std::strerror(errno) << ".\n";
    return exitFileError;
  }
  if (!left.empty()) ExitLeaving(status);
  return status;
}
