#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

// The bytes of the states the synchronisation keeps in the database's trailer (SyncState,
// PublishState): little-endian numbers and texts of a 4-byte length and their UTF-8, read back
// with every length checked against the bytes left.
namespace zorvan::sync {

inline void PutU32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
inline void PutU64(std::string& out, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
inline void PutText(std::string& out, std::string_view text) {
  PutU32(out, static_cast<std::uint32_t>(text.size()));
  out.append(text);
}

// Reads the payload front to back; the first shortage stops it, with what was being read.
class CStateReader {
 public:
  explicit CStateReader(std::string_view bytes) : m_rest(bytes) {}
  bool U32(std::uint32_t& v, const char* what) {
    if (!Need(4, what)) return false;
    v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(m_rest[i]);
    m_rest.remove_prefix(4);
    return true;
  }
  bool U64(std::uint64_t& v, const char* what) {
    if (!Need(8, what)) return false;
    v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(m_rest[i]);
    m_rest.remove_prefix(8);
    return true;
  }
  bool Byte(std::uint8_t& v, const char* what) {
    if (!Need(1, what)) return false;
    v = static_cast<unsigned char>(m_rest[0]);
    m_rest.remove_prefix(1);
    return true;
  }
  bool Text(std::string& text, const char* what) {
    std::uint32_t length = 0;
    if (!U32(length, what) || !Need(length, what)) return false;
    text.assign(m_rest.substr(0, length));
    m_rest.remove_prefix(length);
    return true;
  }
  // A count of entries of at least minBytes each.
  bool Count(std::uint32_t& count, size_t minBytes, const char* what) {
    if (!U32(count, what)) return false;
    if (count > m_rest.size() / minBytes)
      return Fail(std::string("the count of ") + what + " is more than the section can hold");
    return true;
  }
  bool Fail(std::string reason) {
    if (m_strReason.empty()) m_strReason = std::move(reason);
    return false;
  }
  size_t Left() const { return m_rest.size(); }
  const std::string& Reason() const { return m_strReason; }

 private:
  bool Need(size_t bytes, const char* what) {
    if (bytes <= m_rest.size()) return true;
    return Fail(std::string("it ends inside ") + what);
  }
  std::string_view m_rest;
  std::string m_strReason;
};

}  // namespace zorvan::sync
