#pragma once

#include <exception>
#include <system_error>
#include <thread>
#include <utility>

namespace zorvan {

// Runs first on this thread and second beside it on a thread of its own, and returns when both
// are done. Where no thread can be had, second runs here after first. An exception of either
// (no memory left) comes out once both have stopped, the first's before the second's.
template <typename First, typename Second>
void RunBeside(First&& first, Second&& second) {
  std::exception_ptr thrown;
  std::thread other;
  try {
    other = std::thread([&second, &thrown] {
      try {
        second();
      } catch (...) {
        thrown = std::current_exception();
      }
    });
  } catch (const std::system_error&) {  // NOLINT(bugprone-empty-catch): both here then
  }
  try {
    first();
  } catch (...) {
    if (other.joinable()) other.join();
    throw;
  }
  if (!other.joinable()) {
    second();
    return;
  }
  other.join();
  if (thrown) std::rethrow_exception(thrown);
}

}  // namespace zorvan
