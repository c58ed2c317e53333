#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
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
