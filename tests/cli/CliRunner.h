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

  SRun Run(const std::vector<std::string>& args, const std::string& cwd = {}) const {
    const std::string outPath = m_home / "stdout", errPath = m_home / "stderr";
    std::vector<std::string> env = {"HOME=" + m_home.Path(), "PATH=/usr/bin:/bin",
                                    "LC_ALL=C.UTF-8"};
    for (char** e = environ; *e; ++e) {
      // The sanitizers' settings go through to the tool.
      const std::string var = *e;
      if (var.rfind("ASAN_", 0) == 0 || var.rfind("UBSAN_", 0) == 0) env.push_back(var);
    }
    // A limit of the address space goes through prlimit, which sets it and runs the tool.
    const std::string limit = "--as=" + std::to_string(m_nAddressSpace);
    const char* program = m_nAddressSpace ? "/usr/bin/prlimit" : ZORVAN_CLI;
    std::vector<char*> argv{const_cast<char*>(program)};
    if (m_nAddressSpace) argv.push_back(const_cast<char*>(limit.c_str()));
    if (m_nAddressSpace) argv.push_back(const_cast<char*>(ZORVAN_CLI));
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
      int status = 0;
      for (int waited = 0; ::waitpid(pid, &status, WNOHANG) == 0; ++waited) {
        if (waited == kPatienceMs / 10) {
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

  // Runs the tool with at most bytes of address space (0: as much as the system gives); a
  // sanitizer build cannot run under such a limit.
  void LimitAddressSpace(std::size_t bytes) { m_nAddressSpace = bytes; }

 private:
  CTempDir m_home;
  std::size_t m_nAddressSpace = 0;
};

}  // namespace zorvan::test
