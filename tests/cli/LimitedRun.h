#pragma once

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

#include "CliRunner.h"

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
// build), processor seconds, and the size of a file it writes in MB.
struct SLimits {
  unsigned long nAddressSpaceMb = 0;
  unsigned long nCpuSeconds = 0;
  unsigned long nFileMb = 0;
};

// Runs the real zorvan-cli as CCliRunner::Run does, under the limits: a tool that needs more
// memory than allowed fails to allocate (and exits with an error or is stopped), one that
// needs more processor time is stopped by SIGXCPU or SIGKILL; either way the status is not 0.
inline SRun RunLimited(const CCliRunner& cli, const std::vector<std::string>& args,
                       const SLimits& limits) {
  const std::string outPath = cli.Home() / "stdout", errPath = cli.Home() / "stderr";
  std::vector<std::string> env = {"HOME=" + cli.Home().Path(), "PATH=/usr/bin:/bin",
                                  "LC_ALL=C.UTF-8"};
  for (char** e = environ; *e; ++e) {
    const std::string var = *e;
    if (var.rfind("ASAN_", 0) == 0 || var.rfind("UBSAN_", 0) == 0) env.push_back(var);
  }
  std::vector<char*> argv{const_cast<char*>(ZORVAN_CLI)};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);

  SRun run;
  const pid_t pid = ::fork();
  if (pid == 0) {
    // Only calls that are safe between fork and exec.
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int none = ::open("/dev/null", O_RDONLY);
    if (out < 0 || err < 0 || none < 0) ::_exit(127);
    ::dup2(none, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    if (kAddressSpaceLimits && limits.nAddressSpaceMb != 0) {
      const rlim_t bytes = static_cast<rlim_t>(limits.nAddressSpaceMb) << 20;
      const rlimit as{bytes, bytes};
      ::setrlimit(RLIMIT_AS, &as);
    }
    if (limits.nCpuSeconds != 0) {
      const rlim_t seconds = limits.nCpuSeconds * kCpuFactor;
      const rlimit cpu{seconds, seconds + 1};
      ::setrlimit(RLIMIT_CPU, &cpu);
    }
    if (limits.nFileMb != 0) {
      const rlim_t bytes = static_cast<rlim_t>(limits.nFileMb) << 20;
      const rlimit size{bytes, bytes};
      ::setrlimit(RLIMIT_FSIZE, &size);
    }
    ::execve(ZORVAN_CLI, argv.data(), envp.data());
    ::_exit(127);
  }
  if (pid > 0) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  run.out = ReadFile(outPath);
  run.err = ReadFile(errPath);
  return run;
}

}  // namespace zorvan::test
