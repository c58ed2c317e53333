#include "store/TextFields.h"

#include "store/ContactData.h"

#include <malloc.h>

#include <algorithm>
#include <new>
#include <ostream>

namespace zorvan {
namespace {

template <typename Word>
void Store(char* p, size_t v) noexcept {
  const auto w = static_cast<Word>(v);
  std::memcpy(p, &w, sizeof w);
}

// The bytes a block needs for these texts with table entries and lengths of Word.
template <typename Word>
size_t BlockSize(size_t head, const std::string_view* texts, unsigned count) noexcept {
  size_t n = head + count * sizeof(Word);
  for (unsigned i = 0; i < count; ++i)
    if (!texts[i].empty()) n += sizeof(Word) + texts[i].size() + 1;
  return n;
}

// Writes the texts into a block whose head is written; returns the bytes used.
template <typename Word>
size_t WriteTexts(char* p, size_t head, const std::string_view* texts, unsigned count) noexcept {
  size_t at = head + count * sizeof(Word);
  std::memset(p + head, 0, count * sizeof(Word));
  for (unsigned i = 0; i < count; ++i) {
    const std::string_view s = texts[i];
    if (s.empty()) continue;
    Store<Word>(p + head + i * sizeof(Word), at);
    Store<Word>(p + at, s.size());
    std::memcpy(p + at + sizeof(Word), s.data(), s.size());
    p[at + sizeof(Word) + s.size()] = '\0';
    at += sizeof(Word) + s.size() + 1;
  }
  return at;
}

}  // namespace

CRecordTexts& CRecordTexts::operator=(CRecordTexts&& other) noexcept {
  if (this != &other) {
    std::free(m_p);
    m_p = other.m_p;
    other.m_p = nullptr;
  }
  return *this;
}

void CRecordTexts::Set(unsigned slot, std::string_view s) {
  if (!m_p) {
    // The first text: most records that get one text get no other (a calendar event's label).
    if (s.empty()) return;
    std::string_view texts[kCount] = {};
    texts[slot] = s;
    Build(texts, 0);
    return;
  }
  const bool wide = Wide();
  const size_t word = wide ? sizeof(std::uint32_t) : sizeof(std::uint16_t);
  char* entry = m_p + kHead + slot * word;
  if (s.empty()) {
    std::memset(entry, 0, word);
    return;
  }
  const std::uint32_t used = Used();
  // A text appended lies after every text the source could be, so the two never overlap.
  if (s.size() + word + 1 <= Capacity() - used) {
    char* at = m_p + used;
    if (wide) {
      Store<std::uint32_t>(entry, used);
      Store<std::uint32_t>(at, s.size());
    } else {
      Store<std::uint16_t>(entry, used);
      Store<std::uint16_t>(at, s.size());
    }
    std::memcpy(at + word, s.data(), s.size());
    at[word + s.size()] = '\0';
    Store<std::uint32_t>(m_p + 4, used + word + s.size() + 1);
    return;
  }
  // No room: built again with half as much room more, for the texts set after it.
  std::string_view texts[kCount];
  Views(texts);
  texts[slot] = s;
  Build(texts, BlockSize<std::uint16_t>(kHead, texts, kCount) / 2);
}

void CRecordTexts::Views(std::string_view* texts) const noexcept {
  for (unsigned i = 0; i < kCount; ++i) texts[i] = Get(i);
}

void CRecordTexts::Build(const std::string_view* texts, size_t room) {
  const size_t narrow = BlockSize<std::uint16_t>(kHead, texts, kCount);
  const bool wide = narrow + room > kNarrowLimit;
  const size_t want = (wide ? BlockSize<std::uint32_t>(kHead, texts, kCount) : narrow) + room;
  if (want > UINT32_MAX) throw std::bad_alloc();
  char* p = static_cast<char*>(std::malloc(want));
  if (!p) throw std::bad_alloc();
  // What the allocator gave beyond the request is room for later texts too.
  const size_t given = std::max(want, malloc_usable_size(p));
  Store<std::uint32_t>(p, std::min<size_t>(given, wide ? UINT32_MAX : kNarrowLimit));
  const size_t used = wide ? WriteTexts<std::uint32_t>(p, kHead, texts, kCount)
                           : WriteTexts<std::uint16_t>(p, kHead, texts, kCount);
  Store<std::uint32_t>(p + 4, used);
  // Only now, as the texts may be this block's own.
  std::free(m_p);
  m_p = p;
}

void CRecordTexts::Fill(const std::string_view* texts, size_t room) {
  bool any = false;
  for (unsigned i = 0; i < kCount && !any; ++i) any = !texts[i].empty();
  if (any) {
    Build(texts, room);
  } else {
    std::free(m_p);
    m_p = nullptr;
  }
}

void CRecordTexts::SetSeveral(const unsigned* slots, const std::string_view* texts, size_t count) {
  if (m_p) {
    const size_t word = Wide() ? sizeof(std::uint32_t) : sizeof(std::uint16_t);
    size_t need = 0;
    for (size_t i = 0; i < count; ++i) need += texts[i].empty() ? 0 : word + texts[i].size() + 1;
    if (need <= Capacity() - Used()) {
      for (size_t i = 0; i < count; ++i) Set(slots[i], texts[i]);
      return;
    }
  }
  std::string_view all[kCount];
  Views(all);
  for (size_t i = 0; i < count; ++i) all[slots[i]] = texts[i];
  Fill(all);
}

void CRecordTexts::CopyFrom(const CRecordTexts& other) {
  // A narrow block whose bytes are all its texts' (none replaced or cleared since it was
  // built) is copied as it stands: its offsets hold in the copy, as do its lengths.
  if (other.m_p && !other.Wide()) {
    const size_t table = kHead + kCount * sizeof(std::uint16_t);
    size_t live = table;
    for (unsigned i = 0; i < kCount; ++i) {
      const std::string_view t = other.Entry<std::uint16_t>(i);
      if (!t.empty()) live += sizeof(std::uint16_t) + t.size() + 1;
    }
    if (live == other.Used() && live > table) {
      char* p = static_cast<char*>(std::malloc(live));
      if (!p) throw std::bad_alloc();
      std::memcpy(p, other.m_p, live);
      Store<std::uint32_t>(p,
                           std::min<size_t>(std::max(live, malloc_usable_size(p)), kNarrowLimit));
      std::free(m_p);
      m_p = p;
      return;
    }
  }
  std::string_view texts[kCount];
  other.Views(texts);
  Fill(texts);
}

void CRecordTexts::Reserve(size_t textBytes) {
  if (m_p && Capacity() - Used() >= textBytes) return;
  std::string_view texts[kCount];
  Views(texts);
  Build(texts, textBytes);
}

void CRecordTexts::Clear() noexcept {
  if (!m_p) return;
  const size_t table = kCount * (Wide() ? sizeof(std::uint32_t) : sizeof(std::uint16_t));
  std::memset(m_p + kHead, 0, table);
  Store<std::uint32_t>(m_p + 4, kHead + table);
}

size_t CRecordTexts::BlockBytes() const noexcept { return m_p ? Capacity() : 0; }

std::ostream& operator<<(std::ostream& os, const CTextField& t) { return os << t.view(); }

}  // namespace zorvan
