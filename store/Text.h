#pragma once

#include <cstdint>
#include <cstring>
#include <iosfwd>
#include <string>
#include <string_view>

namespace zorvan {

// A record's text field: UTF-8, one pointer wide. An empty text holds no memory, so a record
// with most of its 38 texts empty (and every calendar event node) stays small; a database of
// 100,000 contacts keeps well under 2 KB a record.
class CText {
 public:
  CText() noexcept = default;
  CText(std::string_view s) { Assign(s); }    // NOLINT(google-explicit-constructor)
  CText(const char* s) { Assign(s); }         // NOLINT(google-explicit-constructor)
  CText(const std::string& s) { Assign(s); }  // NOLINT(google-explicit-constructor)
  CText(const CText& other) { Assign(other.view()); }
  CText(CText&& other) noexcept : m_p(other.m_p) { other.m_p = nullptr; }
  ~CText() { Release(); }

  CText& operator=(const CText& other) {
    if (this != &other) Assign(other.view());
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
    return m_p ? std::string_view(m_p + sizeof(std::uint32_t), Length()) : std::string_view();
  }
  operator std::string_view() const noexcept { return view(); }  // NOLINT
  std::string str() const { return std::string(view()); }
  const char* c_str() const noexcept { return m_p ? m_p + sizeof(std::uint32_t) : ""; }
  size_t size() const noexcept { return m_p ? Length() : 0; }
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
  // The length prefix, read where the text is looked at: a text's length is asked for on every
  // view(), and an out-of-line call costs more than the load.
  std::uint32_t Length() const noexcept {
    std::uint32_t n;
    std::memcpy(&n, m_p, sizeof n);
    return n;
  }
  void Assign(std::string_view s);
  void Release() noexcept;

  // Null for the empty text; otherwise a block of a 32-bit length, the bytes and a 0 terminator.
  char* m_p = nullptr;
};

std::ostream& operator<<(std::ostream& os, const CText& t);

}  // namespace zorvan
