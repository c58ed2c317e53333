// The file of an import read on two threads, a half each: the bytes and every refusal must be
// those of the one-thread read.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "TestUtil.h"
#include "interchange/ForeignImportFile.h"
#include "store/FileRead.h"

using namespace zorvan;

namespace {

// Cards of Czech, Polish, Greek and Chinese names up to size bytes, a name cut where it falls.
std::string Cards(size_t size) {
  static const char* names[] = {"Jiří Dvořák", "Łucja Wąsik", "Γιώργος Παπαδόπουλος", "王秀英"};
  std::string text;
  for (size_t n = 0; text.size() < size; ++n)
    text += "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:" + std::string(names[n % 4]) + " " +
            std::to_string(n) + "\r\nEND:VCARD\r\n";
  text.resize(size);
  return text;
}

struct SRead {
  bool ok;
  std::string bytes, error;
  bool operator==(const SRead&) const = default;
};

void PrintTo(const SRead& r, std::ostream* os) {
  *os << (r.ok ? "read " + std::to_string(r.bytes.size()) + " bytes" : "failed: " + r.error);
}

SRead TwoThreads(const std::string& path, std::uint64_t maxBytes = kMaxWholeFileBytes) {
  CImportFileBytes file;
  SRead r;
  r.ok = file.Read(path, r.error, maxBytes, 1);
  r.bytes = std::string(file.View());
  return r;
}

SRead OneThread(const std::string& path, std::uint64_t maxBytes = kMaxWholeFileBytes) {
  SRead r;
  r.ok = ReadWholeFile(path, r.bytes, r.error, maxBytes);
  return r;
}

}  // namespace

TEST(ImportFileBytes, shouldReadTheBytesAndRefusalsOfTheOneThreadRead) {
  test::CTempDir dir;
  constexpr size_t kLarge = size_t{2} << 20;
  // Files of no byte or one, smaller than a large page, about one, and of several.
  for (const size_t size : {size_t{0}, size_t{1}, size_t{4097}, kLarge - 1, kLarge + 1, 2 * kLarge,
                            5 * kLarge + 12345}) {
    SCOPED_TRACE(size);
    const std::string path = dir / ("kontakty-" + std::to_string(size) + ".vcf");
    test::WriteFile(path, Cards(size));
    const SRead one = OneThread(path);
    ASSERT_TRUE(one.ok) << one.error;
    EXPECT_EQ(TwoThreads(path), one);
  }
  // What is refused is refused alike, with the same words.
  const std::string large = dir / "velký.vcf", fifo = dir / "roura";
  test::WriteFile(large, Cards(3 * kLarge));
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::pair<std::string, std::uint64_t> refused[] = {
      {dir / "chybí.vcf", kMaxWholeFileBytes},
      {dir.Path(), kMaxWholeFileBytes},
      {fifo, kMaxWholeFileBytes},
      {large, 3 * kLarge - 1},
  };
  for (const auto& [path, maxBytes] : refused) {
    SCOPED_TRACE(path);
    const SRead one = OneThread(path, maxBytes);
    EXPECT_FALSE(one.ok);
    EXPECT_EQ(TwoThreads(path, maxBytes), one);
  }
}
