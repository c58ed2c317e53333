#include "store/Text.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <ostream>

namespace zorvan {
namespace {

// The head of a shared block: how many texts refer to it. While its arena still makes texts in
// it, the count carries kBias besides, so that texts let go meanwhile cannot free it.
struct SSharedHead {
  std::atomic<std::uint32_t> refs;
};
constexpr std::uint32_t kBias = std::uint32_t{1} << 30;
// The head takes the first eight bytes; each text after it is its offset back to the head, its
// length, its bytes and a 0, in four-byte steps, and CText points at its length.
constexpr size_t kHeadBytes = 8;
constexpr size_t kLongText = 1024;
constexpr size_t kMaxBlock = size_t{256} << 10;

SSharedHead* HeadOf(const char* length) {
  std::uint32_t back;
  std::memcpy(&back, length - sizeof back, sizeof back);
  return reinterpret_cast<SSharedHead*>(const_cast<char*>(length) - back);
}

void FreeBlock(SSharedHead* head) noexcept {
  head->~SSharedHead();
  std::free(head);
}

}  // namespace

void CText::Assign(std::string_view s) {
  if (s.empty()) {
    Release();
    return;
  }
  if (s.size() > UINT32_MAX - 8) throw std::bad_alloc();
  const auto n = static_cast<std::uint32_t>(s.size());
  // The source may live inside the block being replaced (t = t.view().substr(...)).
  char* p = static_cast<char*>(std::malloc(sizeof n + n + 1));
  if (!p) throw std::bad_alloc();
  std::memcpy(p, &n, sizeof n);
  std::memcpy(p + sizeof n, s.data(), n);
  p[sizeof n + n] = '\0';
  Release();
  m_p = p;
}

void CText::CopyFrom(const CText& other) {
  if (!other.IsShared()) {
    Assign(other.view());
    return;
  }
  // Counted before this text lets go of its own block, which may be the same one.
  HeadOf(other.Block())->refs.fetch_add(1, std::memory_order_relaxed);
  Release();
  m_p = other.m_p;
}

void CText::ReleaseBlock() noexcept {
  if (IsShared()) {
    SSharedHead* head = HeadOf(Block());
    if (head->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) FreeBlock(head);
  } else {
    std::free(m_p);
  }
  m_p = nullptr;
}

std::ostream& operator<<(std::ostream& os, const CText& t) { return os << t.view(); }

void CTextArena::Assign(CText& text, std::string_view s) {
  if (s.empty() || s.size() > kLongText) {
    text = s;
    return;
  }
  const size_t need = (2 * sizeof(std::uint32_t) + s.size() + 1 + 3) & ~size_t{3};
  if (m_nUsed + need > m_nSize) {
    Seal();
    const size_t size = std::max(m_nNextSize, kHeadBytes + need);
    m_nNextSize = std::min(m_nNextSize * 2, kMaxBlock);
    void* block = std::malloc(size);
    if (!block) throw std::bad_alloc();
    new (block) SSharedHead{kBias};
    m_pBlock = static_cast<char*>(block);
    m_nSize = size;
    m_nUsed = kHeadBytes;
  }
  char* at = m_pBlock + m_nUsed;
  const auto back = static_cast<std::uint32_t>(m_nUsed + sizeof(std::uint32_t));
  const auto n = static_cast<std::uint32_t>(s.size());
  std::memcpy(at, &back, sizeof back);
  std::memcpy(at + sizeof back, &n, sizeof n);
  std::memcpy(at + sizeof back + sizeof n, s.data(), n);
  at[sizeof back + sizeof n + n] = '\0';
  m_nUsed += need;
  ++m_nPlaced;
  // The source may be the text's own (shared) block: it is let go of only now.
  text.Release();
  text.m_p =
      reinterpret_cast<char*>(reinterpret_cast<std::uintptr_t>(at + sizeof back) | CText::kShared);
}

void CTextArena::Seal() noexcept {
  if (!m_pBlock) return;
  auto* head = reinterpret_cast<SSharedHead*>(m_pBlock);
  // From now on the block lives exactly as long as the texts that refer to it.
  const std::uint32_t unbias = kBias - m_nPlaced;
  if (head->refs.fetch_sub(unbias, std::memory_order_acq_rel) == unbias) FreeBlock(head);
  m_pBlock = nullptr;
  m_nSize = m_nUsed = 0;
  m_nPlaced = 0;
}

}  // namespace zorvan
