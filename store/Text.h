#pragma once

#include <cstdint>
#include <cstring>
#include <iosfwd>
#include <string>
#include <string_view>

namespace zorvan {

class CTextArena;

// A record's text field: UTF-8, one pointer wide. An empty text holds no memory, so a record
// with most of its 38 texts empty (and every calendar event node) stays small; a database of
// 100,000 contacts keeps well under 2 KB a record.
//
// A text is never changed in place: assigning makes it another block. A block is the text's
// own (one allocation), or shared: one of many texts in a block of a CTextArena, counted, which
// is freed when its last text goes. A copy of a shared text shares it too.
class CText {
 public:
  CText() noexcept = default;
  CText(std::string_view s) { Assign(s); }    // NOLINT(google-explicit-constructor)
  CText(const char* s) { Assign(s); }         // NOLINT(google-explicit-constructor)
  CText(const std::string& s) { Assign(s); }  // NOLINT(google-explicit-constructor)
  CText(const CText& other) { CopyFrom(other); }
  CText(CText&& other) noexcept : m_p(other.m_p) { other.m_p = nullptr; }
  ~CText() { Release(); }

  CText& operator=(const CText& other) {
    if (this != &other) CopyFrom(other);
    return *this;
  }
  CText& operator=(CText&& other) noexcept {
    if (this != &other) {
      Release();
      m_p = other.m_p;
      other.m_p = nullptr;
    }
    return *this;
  }
  CText& operator=(std::string_view s) {
    Assign(s);
    return *this;
  }
  CText& operator=(const char* s) { return *this = std::string_view(s); }
  CText& operator=(const std::string& s) { return *this = std::string_view(s); }

  std::string_view view() const noexcept {
    const char* p = Block();
    return p ? std::string_view(p + sizeof(std::uint32_t), Length(p)) : std::string_view();
  }
  operator std::string_view() const noexcept { return view(); }  // NOLINT
  std::string str() const { return std::string(view()); }
  const char* c_str() const noexcept {
    const char* p = Block();
    return p ? p + sizeof(std::uint32_t) : "";
  }
  size_t size() const noexcept {
    const char* p = Block();
    return p ? Length(p) : 0;
  }
  bool empty() const noexcept { return m_p == nullptr; }
  void clear() noexcept { Release(); }

  friend bool operator==(const CText& a, std::string_view b) noexcept { return a.view() == b; }
  friend bool operator==(const CText& a, const CText& b) noexcept { return a.view() == b.view(); }
  friend bool operator==(const CText& a, const char* b) noexcept {
    return a.view() == std::string_view(b);
  }
  friend bool operator==(const CText& a, const std::string& b) noexcept {
    return a.view() == std::string_view(b);
  }
  friend std::string operator+(const CText& a, std::string_view b) {
    std::string r(a.view());
    r += b;
    return r;
  }
  friend std::string operator+(std::string_view a, const CText& b) {
    std::string r(a);
    r += b.view();
    return r;
  }

 private:
  friend class CTextArena;
  // The low bit of m_p marks a text in a shared block (its blocks are 4-byte aligned, as
  // every block of malloc is).
  static constexpr std::uintptr_t kShared = 1;
  bool IsShared() const noexcept { return (reinterpret_cast<std::uintptr_t>(m_p) & kShared) != 0; }
  const char* Block() const noexcept {
    return reinterpret_cast<const char*>(reinterpret_cast<std::uintptr_t>(m_p) & ~kShared);
  }
  // The length prefix, read where the text is looked at: a text's length is asked for on every
  // view(), and an out-of-line call costs more than the load. A shared text's holds its length
  // in its low 16 bits only (kSharedLengthBits), without a branch for it.
  static constexpr unsigned kSharedLengthBits = 16;
  std::uint32_t Length(const char* block) const noexcept {
    std::uint32_t n;
    std::memcpy(&n, block, sizeof n);
    const auto shared = static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(m_p) & kShared);
    return n & (~std::uint32_t{0} >> (shared * kSharedLengthBits));
  }
  void Assign(std::string_view s);
  void CopyFrom(const CText& other);
  void Release() noexcept {
    if (m_p) ReleaseBlock();
  }
  void ReleaseBlock() noexcept;

  // Null for the empty text; otherwise a block of a 32-bit length, the bytes and a 0
  // terminator, with the low bit set for a shared one (whose length word holds more, see
  // CTextArena).
  char* m_p = nullptr;
};

std::ostream& operator<<(std::ostream& os, const CText& t);

// Makes the texts given to it (a file's records as they are read) as shared texts, one after
// the other in blocks of their own that grow to a quarter of a megabyte: one allocation for
// hundreds of texts instead of one each, and no allocator's overhead per text. Used by one
// thread at a time; the texts may go anywhere, on any thread, and a block is freed with its
// last text. A long text gets a block of its own as CText's assignment gives it.
class CTextArena {
 public:
  CTextArena() = default;
  CTextArena(const CTextArena&) = delete;
  CTextArena& operator=(const CTextArena&) = delete;
  ~CTextArena() { Seal(); }

  void Assign(CText& text, std::string_view s);

 private:
  void Seal() noexcept;
  char* m_pBlock = nullptr;
  size_t m_nSize = 0;
  size_t m_nUsed = 0;
  std::uint32_t m_nPlaced = 0;  // the texts made in the block so far
  size_t m_nNextSize = size_t{4} << 10;
};

}  // namespace zorvan
