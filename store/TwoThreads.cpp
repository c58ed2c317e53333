#include "store/TwoThreads.h"

#include <sys/mman.h>

#include <cerrno>
#include <new>

namespace zorvan::two_threads_detail {
namespace {

// More than jemalloc takes for a thread's cache and the block of the heap's own records it may
// need for it.
constexpr std::size_t kRoom = std::size_t{8} << 20;

}  // namespace

CThreadRoom::CThreadRoom()
    : m_p(mmap(nullptr, kRoom, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0)) {
  if (m_p == MAP_FAILED) {
    m_p = nullptr;
    throw std::system_error(ENOMEM, std::generic_category(), "no room for a thread");
  }
}

void CThreadRoom::Give() noexcept {
  if (m_p) munmap(m_p, kRoom);
  m_p = nullptr;
}

void MakeThreadHeap() noexcept {
  try {
    ::operator delete(::operator new(1));
  } catch (const std::bad_alloc&) {  // NOLINT(bugprone-empty-catch): the thread's work fails
  }
}

}  // namespace zorvan::two_threads_detail
