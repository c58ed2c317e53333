#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iosfwd>
#include <string>
#include <string_view>

#include "store/Text.h"

namespace zorvan {

// The 38 texts of one record in one block of its own: a head, a table of where each text
// begins, and the texts one after another, each its length, its bytes and a 0. An empty text
// takes no bytes beyond its table entry, and a record whose texts are all empty holds no block.
//
// A text set anew is appended to the block while there is room, and the block is built again,
// without the texts left behind and with room for half as much again, when there is none; the
// first block, a copy and a block filled at once are built at their size (with what the
// allocator gives beyond it). A block
// under 64 KB keeps two-byte table entries and lengths, a larger one four-byte ones.
class CRecordTexts {
 public:
  static constexpr unsigned kCount = 38;

  CRecordTexts() noexcept = default;
  CRecordTexts(const CRecordTexts& other) { CopyFrom(other); }
  CRecordTexts(CRecordTexts&& other) noexcept : m_p(other.m_p) { other.m_p = nullptr; }
  CRecordTexts& operator=(const CRecordTexts& other) {
    if (this != &other) CopyFrom(other);
    return *this;
  }
  CRecordTexts& operator=(CRecordTexts&& other) noexcept;
  ~CRecordTexts() { std::free(m_p); }

  std::string_view Get(unsigned slot) const noexcept {
    if (!m_p) return {};
    return Wide() ? Entry<std::uint32_t>(slot) : Entry<std::uint16_t>(slot);
  }
  // The text with a 0 after it; "" for an empty one.
  const char* CStr(unsigned slot) const noexcept {
    const std::string_view s = Get(slot);
    return s.empty() ? "" : s.data();
  }
  // The source may be one of this record's own texts.
  void Set(unsigned slot, std::string_view s);
  // Every text at once (texts[slot]), in one block of the exact size and room bytes more.
  void Fill(const std::string_view* texts, size_t room = 0);
  // Sets count texts (texts[i] for slots[i]): in the block's room where they fit, else with the
  // block built once at its exact size.
  void SetSeveral(const unsigned* slots, const std::string_view* texts, size_t count);
  // Room for texts of about this many bytes in all, so that setting them one by one does not
  // build the block again and again.
  void Reserve(size_t textBytes);
  // Every text empty, the block's room kept for the next texts.
  void Clear() noexcept;
  // The bytes of the block, for the benchmarks' and tests' accounts.
  size_t BlockBytes() const noexcept;

 private:
  static constexpr size_t kHead = 8;  // capacity and bytes used, four bytes each
  static constexpr std::uint32_t kNarrowLimit = 0xFFFF;

  static std::uint32_t Load32(const char* p) noexcept {
    std::uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
  }
  std::uint32_t Capacity() const noexcept { return Load32(m_p); }
  bool Wide() const noexcept { return Capacity() > kNarrowLimit; }
  template <typename Word>
  std::string_view Entry(unsigned slot) const noexcept {
    Word at, n;
    std::memcpy(&at, m_p + kHead + slot * sizeof(Word), sizeof at);
    if (at == 0) return {};
    std::memcpy(&n, m_p + at, sizeof n);
    return {m_p + at + sizeof(Word), n};
  }
  std::uint32_t Used() const noexcept { return Load32(m_p + 4); }
  void Views(std::string_view* texts) const noexcept;
  void CopyFrom(const CRecordTexts& other);
  // Builds the block anew for these texts (which may be its own), in slot order, with room
  // bytes more.
  void Build(const std::string_view* texts, size_t room);

  char* m_p = nullptr;
};

// One text field of a record: a name for one of the record's texts, which live in the record's
// CRecordTexts. It reads and assigns as a CText does; a copy of the text is a CText. A field
// finds its record's texts from its own place, so it exists only as a member of
// SRecordTextFields and cannot be copied on its own.
class CTextField {
 public:
  constexpr explicit CTextField(unsigned char slot) noexcept : m_slot(slot) {}
  CTextField(const CTextField&) = delete;

  CTextField& operator=(const CTextField& other) { return *this = other.view(); }
  CTextField& operator=(std::string_view s) {
    Texts().Set(m_slot, s);
    return *this;
  }
  CTextField& operator=(const char* s) { return *this = std::string_view(s); }
  CTextField& operator=(const std::string& s) { return *this = std::string_view(s); }
  CTextField& operator=(const CText& s) { return *this = s.view(); }

  std::string_view view() const noexcept { return Texts().Get(m_slot); }
  operator std::string_view() const noexcept { return view(); }  // NOLINT
  std::string str() const { return std::string(view()); }
  const char* c_str() const noexcept { return Texts().CStr(m_slot); }
  size_t size() const noexcept { return view().size(); }
  bool empty() const noexcept { return view().empty(); }
  void clear() { *this = std::string_view(); }
  unsigned Slot() const noexcept { return m_slot; }

  // A literal, a string or a CText compares through its view.
  friend bool operator==(const CTextField& a, std::string_view b) noexcept { return a.view() == b; }
  friend bool operator==(const CTextField& a, const CTextField& b) noexcept {
    return a.view() == b.view();
  }
  friend std::string operator+(const CTextField& a, std::string_view b) {
    std::string r(a.view());
    r += b;
    return r;
  }
  friend std::string operator+(std::string_view a, const CTextField& b) {
    std::string r(a);
    r += b.view();
    return r;
  }

 private:
  // Defined after SRecordTextFields, whose layout it relies on.
  const CRecordTexts& Texts() const noexcept;
  CRecordTexts& Texts() noexcept {
    return const_cast<CRecordTexts&>(static_cast<const CTextField*>(this)->Texts());
  }

  unsigned char m_slot;
};

std::ostream& operator<<(std::ostream& os, const CTextField& t);

}  // namespace zorvan
