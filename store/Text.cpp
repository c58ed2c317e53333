#include "store/Text.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <ostream>

namespace zorvan {

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

void CText::Release() noexcept {
  std::free(m_p);
  m_p = nullptr;
}

std::ostream& operator<<(std::ostream& os, const CText& t) { return os << t.view(); }

}  // namespace zorvan
