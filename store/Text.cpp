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
// The head takes the first eight bytes; each text after it is one word, its bytes and a 0, in
// four-byte steps, and CText points at the word: the text's length in its low 16 bits, and above
// them the word's offset from the head in four-byte steps. Four bytes of a text's cost where a
// record's texts are a few bytes each.
constexpr size_t kHeadBytes = 8;
constexpr size_t kLongText = 1024;
// Less the allocator's own bytes, so that the largest block takes whole pages and no more.
constexpr size_t kMaxBlock = (size_t{256} << 10) - 64;
constexpr unsigned kLengthBits = 16;
static_assert(kLongText >> kLengthBits == 0 && (kMaxBlock / 4 - 1) >> (32 - kLengthBits) == 0);

SSharedHead* HeadOf(const char* word) {
  std::uint32_t w;
  std::memcpy(&w, word, sizeof w);
  return reinterpret_cast<SSharedHead*>(const_cast<char*>(word) - (w >> kLengthBits) * 4);
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
  static_assert(CText::kSharedLengthBits == kLengthBits);
  const size_t need = (sizeof(std::uint32_t) + s.size() + 1 + 3) & ~size_t{3};
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
  const auto n = static_cast<std::uint32_t>(s.size());
  const auto word = static_cast<std::uint32_t>(n | (m_nUsed / 4) << kLengthBits);
  std::memcpy(at, &word, sizeof word);
  std::memcpy(at + sizeof word, s.data(), n);
  at[sizeof word + n] = '\0';
  m_nUsed += need;
  ++m_nPlaced;
  // The source may be the text's own (shared) block: it is let go of only now.
  text.Release();
  text.m_p = reinterpret_cast<char*>(reinterpret_cast<std::uintptr_t>(at) | CText::kShared);
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
