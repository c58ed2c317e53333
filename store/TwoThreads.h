#pragma once

#include <cstddef>
#include <exception>
#include <memory>
#include <semaphore>
#include <system_error>
#include <thread>
#include <utility>

namespace zorvan {

namespace two_threads_detail {

// The steps by which a new thread's heap is made while its starter waits (see StartThread).
struct SThreadStart {
  std::binary_semaphore roomGiven{0};
  std::binary_semaphore heapMade{0};
};

// Address space kept free for a new thread's first allocation: taken before the thread starts,
// given back just before that allocation. Throws std::system_error when there is none.
class CThreadRoom {
 public:
  CThreadRoom();
  CThreadRoom(const CThreadRoom&) = delete;
  CThreadRoom& operator=(const CThreadRoom&) = delete;
  ~CThreadRoom() { Give(); }
  void Give() noexcept;

 private:
  void* m_p;
};

// The calling thread's first allocation, which makes its part of the heap.
void MakeThreadHeap() noexcept;

}  // namespace two_threads_detail

// Starts f on a thread of its own; throws std::system_error when no thread can be had.
//
// A thread's first allocation makes the thread's own part of the heap, and jemalloc, which the
// programs allocate with, crashes where the memory for that part cannot be had, instead of
// failing the allocation. So the new thread makes it at once, in address space this thread kept
// free for it, while this thread waits: once running, the thread fails as any other would when
// memory runs out, with std::bad_alloc.
template <typename F>
std::thread StartThread(F&& f) {
  using namespace two_threads_detail;
  auto start = std::make_shared<SThreadStart>();
  CThreadRoom room;
  std::thread thread([start, f = std::forward<F>(f)]() mutable {
    start->roomGiven.acquire();
    MakeThreadHeap();
    start->heapMade.release();
    start.reset();
    f();
  });
  room.Give();
  start->roomGiven.release();
  start->heapMade.acquire();
  return thread;
}

// Runs first on this thread and second beside it on a thread of its own, and returns when both
// are done. Where no thread can be had, second runs here after first. An exception of either
// (no memory left) comes out once both have stopped, the first's before the second's.
template <typename First, typename Second>
void RunBeside(First&& first, Second&& second) {
  std::exception_ptr thrown;
  std::thread other;
  try {
    other = StartThread([&second, &thrown] {
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
