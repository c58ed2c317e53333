#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <tuple>
#include <utility>

#include "TestUtil.h"
#include "store/FileRead.h"

using namespace zorvan;
using namespace zorvan::test;

TEST(FileRead, shouldReadWholeFilesAndNameTheReasonOfAFailure) {
  CTempDir dir;
  std::string data, error;
  WriteFile(dir / "a", std::string(200000, 'z'));
  ASSERT_TRUE(ReadWholeFile(dir / "a", data, error));
  EXPECT_EQ(data.size(), 200000u);
  EXPECT_FALSE(ReadWholeFile(dir / "missing", data, error));
  EXPECT_EQ(error, std::strerror(ENOENT));
  EXPECT_FALSE(ReadWholeFile(dir.Path(), data, error));
  EXPECT_EQ(error, "it is a folder");
}

TEST(FileRead, shouldRefuseFifosDevicesAndFilesBeyondTheLimitWithoutBlockingOrAborting) {
  CTempDir dir;
  std::string data, error;
  // Opening a FIFO for reading would wait for a writer; it is refused at once.
  ASSERT_EQ(::mkfifo((dir / "roura.zvd").c_str(), 0600), 0);
  EXPECT_FALSE(ReadWholeFile(dir / "roura.zvd", data, error));
  EXPECT_EQ(error, "it is not a regular file");
  EXPECT_FALSE(ReadWholeFile("/dev/zero", data, error));
  EXPECT_EQ(error, "it is not a regular file");
  // A sparse file of 64 GB would make the reader ask for 64 GB at once.
  WriteFile(dir / "obří.zvd", "");
  ASSERT_EQ(::truncate((dir / "obří.zvd").c_str(), off_t{64} << 30), 0);
  EXPECT_FALSE(ReadWholeFile(dir / "obří.zvd", data, error));
  EXPECT_EQ(error, "it is too large to be read (64 GB; at most 1 GB)");
  WriteFile(dir / "malý.zvd", std::string(5000, 'x'));
  EXPECT_FALSE(ReadWholeFile(dir / "malý.zvd", data, error, 4096));
  EXPECT_EQ(error, "it is too large to be read (4.9 KB; at most 4 KB)");
  ASSERT_TRUE(ReadWholeFile(dir / "malý.zvd", data, error, 5000)) << error;
  EXPECT_EQ(data.size(), 5000u);
}

TEST(FileRead, shouldNameSizesJustOverALimitSoThatTheyDoNotReadAlike) {
  constexpr std::uint64_t kGB = std::uint64_t{1} << 30;
  const std::pair<std::uint64_t, const char*> cases[] = {
      {kGB + 1, "1,073,741,825 bytes; at most 1,073,741,824 bytes"},
      {kGB + 40 * 1024 * 1024, "1,115,684,864 bytes; at most 1,073,741,824 bytes"},
      {kGB + kGB / 10, "1.1 GB; at most 1 GB"},
      {64 * kGB, "64 GB; at most 1 GB"},
  };
  for (const auto& [size, text] : cases) EXPECT_EQ(SizeBeyondLimitText(size, kGB), text) << size;
  EXPECT_EQ(SizeBeyondLimitText(5000, 4096), "4.9 KB; at most 4 KB");
}

TEST(FileBytes, shouldHoldTheFileMappedOrReadAndRefuseWhatReadWholeFileRefuses) {
  CTempDir dir;
  const std::string text = "Příliš žluťoučký kůň úpěl ďábelské ódy; Ζωή; 王小明\n";
  std::string large;
  while (large.size() < 3 * 4096 + 5) large += text;
  WriteFile(dir / "velký.zvd", large);
  WriteFile(dir / "malý.zvd", text);
  WriteFile(dir / "prázdný.zvd", "");
  // path, mapped from, bytes, mapped: an empty file has nothing to map.
  const std::tuple<std::string, size_t, std::string, bool> files[] = {
      {dir / "velký.zvd", 0, large, true},
      {dir / "velký.zvd", large.size(), large, true},
      {dir / "velký.zvd", large.size() + 1, large, false},
      {dir / "malý.zvd", 0, text, true},
      {dir / "prázdný.zvd", 0, "", false},
  };
  for (const auto& [path, mapFrom, bytes, mapped] : files) {
    SCOPED_TRACE(path + " " + std::to_string(mapFrom));
    CFileBytes file;
    std::string error;
    ASSERT_TRUE(file.Open(path, error, kMaxWholeFileBytes, mapFrom)) << error;
    EXPECT_EQ(file.Bytes(), bytes);
    EXPECT_EQ(file.Mapped(), mapped);
  }
  ASSERT_EQ(::mkfifo((dir / "roura.zvd").c_str(), 0600), 0);
  const std::pair<std::string, std::uint64_t> refused[] = {
      {dir / "chybí.zvd", kMaxWholeFileBytes},
      {dir.Path(), kMaxWholeFileBytes},
      {dir / "roura.zvd", kMaxWholeFileBytes},
      {dir / "velký.zvd", large.size() - 1},
  };
  for (const auto& [path, most] : refused) {
    CFileBytes file;
    std::string error, readError, data;
    EXPECT_FALSE(file.Open(path, error, most, 0));
    EXPECT_FALSE(ReadWholeFile(path, data, readError, most));
    EXPECT_EQ(error, readError);
    EXPECT_EQ(file.Bytes(), "");
  }
}

TEST(FileBytes, shouldGiveBackOnlyTheWholePagesInsideARangeAndReadThemAgainAlike) {
  const auto page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
  CTempDir dir;
  std::string bytes;
  for (size_t i = 0; bytes.size() < 3 * page + 5; ++i) bytes += "Łódź " + std::to_string(i) + "\n";
  bytes.resize(3 * page + 5);
  WriteFile(dir / "stránky.zvd", bytes);
  CFileBytes file;
  std::string error;
  ASSERT_TRUE(file.Open(dir / "stránky.zvd", error, kMaxWholeFileBytes, 0)) << error;
  // from, to, where the pages given back end: the file's last page, short, counts whole.
  const std::tuple<size_t, size_t, size_t> ranges[] = {
      {0, page - 1, 0},
      {0, page, page},
      {1, 2 * page, 2 * page},
      {page + 1, 2 * page + 1, page + 1},
      {page, bytes.size(), bytes.size()},
      {2 * page + 1, bytes.size() + 100, bytes.size()},
      {3 * page + 1, bytes.size(), 3 * page + 1},
  };
  for (const auto& [from, to, end] : ranges) {
    EXPECT_EQ(file.Release(from, to), end) << from << " " << to;
    EXPECT_EQ(file.Bytes(), bytes);
  }
  // Read, not mapped: nothing to give back.
  CFileBytes read;
  ASSERT_TRUE(read.Open(dir / "stránky.zvd", error));
  EXPECT_EQ(read.Release(0, bytes.size()), 0u);
  EXPECT_EQ(read.Bytes(), bytes);
}
