#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "TestUtil.h"

extern char** environ;

namespace zorvan::test {

// AddressSanitizer reserves terabytes of address space for its shadow memory, so a limit of
// the address space only means something in a build without it.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kAddressSpaceLimits = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kAddressSpaceLimits = false;
#else
inline constexpr bool kAddressSpaceLimits = true;
#endif
#else
inline constexpr bool kAddressSpaceLimits = true;
#endif

// A sanitizer build runs several times slower: its processor limits are this much larger.
inline constexpr unsigned long kCpuFactor = kAddressSpaceLimits ? 1 : 5;

// What the tool may take (0: no limit): address space in MB (none at all in a sanitizer
// build), processor seconds, and the size of a file it writes in MB. A tool that needs more
// memory fails to allocate, one that needs more processor time is stopped by SIGXCPU.
struct SLimits {
  unsigned long nAddressSpaceMb = 0;
  unsigned long nCpuSeconds = 0;
  unsigned long nFileMb = 0;
};

// What a run of the command-line tool gave.
struct SRun {
  int status = -1;  // the exit status; -1 when it did not exit normally
  std::string out;
  std::string err;
  bool hung = false;  // stopped after waiting CCliRunner::kPatienceMs
};

// Runs the real zorvan-cli with a home folder of its own, so that the user's settings never
// play a part; a test puts a settings file there when it needs one.
class CCliRunner {
 public:
  static constexpr int kPatienceMs = 60000;

  CCliRunner() { ::mkdir((m_home / ".config").c_str(), 0755); }

  const CTempDir& Home() const { return m_home; }

  // Writes the desktop program's settings file with the given text.
  void WriteSettings(const std::string& ini) {
    ::mkdir((m_home / ".config/Tavorin").c_str(), 0755);
    WriteFile(m_home / ".config/Tavorin/Zorvan.conf", ini);
  }

  SRun Run(const std::vector<std::string>& args, const std::string& cwd = {},
           const SLimits& limits = {}) const {
    const std::string outPath = m_home / "stdout", errPath = m_home / "stderr";
    std::vector<std::string> env = {"HOME=" + m_home.Path(), "PATH=/usr/bin:/bin",
                                    "LC_ALL=C.UTF-8"};
    for (char** e = environ; *e; ++e) {
      // The sanitizers' settings go through to the tool.
      const std::string var = *e;
      if (var.rfind("ASAN_", 0) == 0 || var.rfind("UBSAN_", 0) == 0) env.push_back(var);
    }
    // Limits go through prlimit, which sets them and runs the tool.
    std::vector<std::string> words;
    if (kAddressSpaceLimits && limits.nAddressSpaceMb != 0)
      words.push_back("--as=" + std::to_string(limits.nAddressSpaceMb << 20));
    if (limits.nCpuSeconds != 0)
      words.push_back("--cpu=" + std::to_string(limits.nCpuSeconds * kCpuFactor) + ':' +
                      std::to_string(limits.nCpuSeconds * kCpuFactor + 1));
    if (limits.nFileMb != 0) words.push_back("--fsize=" + std::to_string(limits.nFileMb << 20));
    const char* program = words.empty() ? ZORVAN_CLI : "/usr/bin/prlimit";
    if (!words.empty()) words.push_back(ZORVAN_CLI);
    std::vector<char*> argv{const_cast<char*>(program)};
    for (const std::string& w : words) argv.push_back(const_cast<char*>(w.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    if (!cwd.empty()) posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
    pid_t pid = 0;
    SRun run;
    if (posix_spawn(&pid, program, &actions, nullptr, argv.data(), envp.data()) == 0) {
      // A tool that hangs (on a FIFO, say) fails its test instead of stopping the suite.
      // A processor limit gives the tool twice its seconds on top (a loaded machine).
      const unsigned long patienceMs = kPatienceMs + 2000 * limits.nCpuSeconds * kCpuFactor;
      int status = 0;
      for (unsigned long waited = 0; ::waitpid(pid, &status, WNOHANG) == 0; ++waited) {
        if (waited == patienceMs / 10) {
          ::kill(pid, SIGKILL);
          ::waitpid(pid, &status, 0);
          run.hung = true;
          break;
        }
        ::usleep(10000);
      }
      run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    run.out = ReadFile(outPath);
    run.err = ReadFile(errPath);
    return run;
  }

 private:
  CTempDir m_home;
};

}  // namespace zorvan::test
