#include "store/RecordIdentity.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <memory>
#include <random>
#include <utility>

#include "store/TreeItem.h"

namespace zorvan {
namespace {

std::function<std::time_t()>& IdentityClock() {
  static std::function<std::time_t()> clock;
  return clock;
}

// One generator a thread, seeded once with 256 bits from the system's random source, so that
// two programs started at the same moment give different UIDs.
std::mt19937_64& UidGenerator() {
  thread_local std::mt19937_64 generator = [] {
    std::random_device source;
    std::array<std::uint32_t, 8> seed{};
    for (std::uint32_t& word : seed) word = source();
    std::seed_seq sequence(seed.begin(), seed.end());
    return std::mt19937_64(sequence);
  }();
  return generator;
}

bool IsContact(const CTreeItem& record) { return record.m_pParent && record.m_bGroup == 0; }

bool HasIdentity(const CTreeItem& record) {
  return record.m_pExtras && !record.m_pExtras->uid.empty();
}

}  // namespace

std::time_t IdentityClockNow() {
  if (const auto& clock = IdentityClock()) return clock();
  return std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
}

void SetIdentityClock(std::function<std::time_t()> clock) { IdentityClock() = std::move(clock); }

std::string RevisionText(std::time_t utc) {
  std::tm tm{};
  gmtime_r(&utc, &tm);
  char text[32];
  const size_t n = std::strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", &tm);
  return std::string(text, n);
}

std::string UuidUrn(std::uint64_t high, std::uint64_t low, int version) {
  unsigned char bytes[16];
  for (int i = 0; i < 8; ++i) {
    bytes[i] = static_cast<unsigned char>(high >> (56 - 8 * i));
    bytes[8 + i] = static_cast<unsigned char>(low >> (56 - 8 * i));
  }
  bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0F) | (version << 4));
  bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3F) | 0x80);  // the RFC's variant
  static const char digits[] = "0123456789abcdef";
  std::string text = "urn:uuid:";
  for (int i = 0; i < 16; ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
    text += digits[bytes[i] >> 4];
    text += digits[bytes[i] & 0x0F];
  }
  return text;
}

std::string NewRecordUid() {
  std::mt19937_64& generator = UidGenerator();
  const std::uint64_t high = generator();
  return UuidUrn(high, generator(), 4);
}

std::vector<SGivenIdentity> GiveIdentities(CTreeItem& top) {
  std::vector<SGivenIdentity> given;
  std::string rev;
  WalkSubtreeWhile(top, [&](CTreeItem& record) {
    if (!IsContact(record) || HasIdentity(record)) return true;
    if (rev.empty()) rev = RevisionText(IdentityClockNow());
    if (!record.m_pExtras) record.m_pExtras = std::make_unique<SRecordExtras>();
    given.push_back({&record, record.m_pExtras->rev.str()});
    record.m_pExtras->uid = NewRecordUid();
    record.m_pExtras->rev = rev;
    return true;
  });
  return given;
}

void TakeBackIdentities(const std::vector<SGivenIdentity>& given) {
  for (const SGivenIdentity& g : given) {
    SRecordExtras& extras = *g.pRecord->m_pExtras;
    extras.uid.clear();
    extras.rev = g.strOldRev;
    if (extras.Empty()) g.pRecord->m_pExtras.reset();
  }
}

bool TouchRecord(CTreeItem& record) {
  if (!HasIdentity(record)) return false;
  record.m_pExtras->rev = RevisionText(IdentityClockNow());
  return true;
}

}  // namespace zorvan
