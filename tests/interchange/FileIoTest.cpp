#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <type_traits>
#include <utility>

#include "FileOutput.h"
#include "InterchangeTestSupport.h"
#include "interchange/FileLineInput.h"
#include "interchange/ImportHooks.h"
#include "interchange/StringLineInput.h"
#include "interchange/TextExport.h"

using namespace zorvan;
using namespace zorvan::testing;

namespace {

std::vector<std::string> AllLines(CLineInput& in) {
  std::vector<std::string> lines;
  std::string line;
  while (in.ReadLine(line)) lines.push_back(line);
  EXPECT_FALSE(in.Failed());
  return lines;
}

class FileIoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_path = (std::filesystem::temp_directory_path() /
              ("zorvan-lines-" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name())))
                 .string();
  }
  void TearDown() override { std::filesystem::remove(m_path); }

  std::vector<std::string> FileLines(const std::string& bytes) {
    std::ofstream(m_path, std::ios::binary) << bytes;
    CFileLineInput in;
    EXPECT_TRUE(in.Open(m_path));
    return AllLines(in);
  }

  std::string m_path;
};

}  // namespace

TEST_F(FileIoTest, shouldSplitFileAndMemoryAlike) {
  const std::string bytes = "a\r\nb\n\r\n\nc\r\r\nd";
  const std::vector<std::string> expected = {"a", "b", "", "", "c", "d"};
  CStringLineInput mem(bytes);
  EXPECT_EQ(AllLines(mem), expected);
  EXPECT_EQ(FileLines(bytes), expected);
  CStringLineInput lfAtEnd("x\n");
  EXPECT_EQ(AllLines(lfAtEnd), (std::vector<std::string>{"x"}));
  EXPECT_EQ(FileLines(""), (std::vector<std::string>{}));
  // A lone CR inside a line is kept; the readers' values never hold one.
  EXPECT_EQ(FileLines("p\rq\n"), (std::vector<std::string>{"p\rq"}));
}

TEST_F(FileIoTest, shouldReadLinesAcrossAndLongerThanItsBuffer) {
  std::string bytes;
  std::vector<std::string> expected;
  for (int i = 0; i < 5000; ++i) {
    expected.push_back(std::string(static_cast<size_t>(i % 97), static_cast<char>('a' + i % 26)));
    bytes += expected.back() + (i % 3 == 0 ? "\r\n" : "\n");
  }
  expected.push_back(std::string(200000, 'L'));
  bytes += expected.back() + "\r\n";
  expected.push_back("tail");
  bytes += "tail";
  EXPECT_EQ(FileLines(bytes), expected);
  CStringLineInput mem(bytes);
  EXPECT_EQ(CountLines(mem), static_cast<std::int64_t>(expected.size()));
}

TEST_F(FileIoTest, shouldCountAFilesLinesAsItsReaderSplitsThem) {
  // Line ends just before, on and after the buffer's edge, a last line without its end, a file
  // that ends in its line end, a lone CR after the last one, and nothing at all.
  const std::string edge(64 * 1024 - 1, 'x');
  for (const std::string& bytes :
       {std::string(), std::string("\n"), std::string("\r"), std::string("Dvořák"),
        std::string("a\r\nb\n\r\n\nc\r\r\nd"), std::string("x\n"), edge + "\n" + "y", edge + "x\n",
        edge + "xy\n\n", edge + "x" + edge + "\n" + edge + "x"}) {
    SCOPED_TRACE(bytes.size());
    const auto lines = static_cast<std::int64_t>(FileLines(bytes).size());
    CFileLineInput in;
    ASSERT_TRUE(in.Open(m_path));
    EXPECT_EQ(CountLines(in), lines);
    // What was read before counting is not counted again.
    ASSERT_TRUE(in.Open(m_path));
    std::string first;
    if (in.ReadLine(first)) {
      EXPECT_EQ(CountLines(in), lines - 1);
    }
  }
}

TEST_F(FileIoTest, shouldReportAFullDiskWhenTheFileIsClosed) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  CFileOutput out;
  ASSERT_TRUE(out.Open("/dev/full"));
  // The bytes fit the stream's buffer, so the failure shows when it is flushed.
  EXPECT_TRUE(WriteTextHeader(out));
  EXPECT_FALSE(out.Close());
  EXPECT_TRUE(out.Failed());
}

TEST_F(FileIoTest, shouldFailALineLongerThanTheLimitAndRefuseWhatIsNoRegularFile) {
  std::ofstream(m_path, std::ios::binary) << "Łódź\n" << std::string(3000, ',') << "\nZa\n";
  CFileLineInput in;
  in.SetMaxLineBytes(1000);
  ASSERT_TRUE(in.Open(m_path));
  std::string line;
  ASSERT_TRUE(in.ReadLine(line));
  EXPECT_EQ(line, "Łódź");
  EXPECT_FALSE(in.ReadLine(line));
  EXPECT_TRUE(in.Failed());
  EXPECT_EQ(in.Reason(), "a line is longer than 1000 bytes");
  EXPECT_LE(line.capacity(), 64u * 1024 + 1000) << "the reader holds no more than the limit";
  // A line of exactly the limit is read.
  in.SetMaxLineBytes(3000);
  ASSERT_TRUE(in.Open(m_path));
  EXPECT_TRUE(in.ReadLine(line) && in.ReadLine(line));
  EXPECT_EQ(line.size(), 3000u);

  std::filesystem::remove(m_path);
  ASSERT_EQ(::mkfifo(m_path.c_str(), 0600), 0);
  EXPECT_FALSE(in.Open(m_path));
  EXPECT_EQ(in.Reason(), "it is not a regular file");
  EXPECT_FALSE(in.Open("/dev/zero"));
  EXPECT_EQ(in.Reason(), "it is not a regular file");
}

TEST(LineCounts, shouldCountInSixtyFourBits) {
  // A file may hold more lines than an int counts (two gigabytes of line ends).
  static_assert(std::is_same_v<decltype(CountLines(std::declval<CLineInput&>())), std::int64_t>);
  static_assert(std::is_invocable_v<decltype(SImportHooks::onLine), std::int64_t>);
  std::int64_t heard = 0;
  SImportHooks hooks;
  hooks.onLine = [&heard](std::int64_t line) { heard = line; };
  hooks.onLine(std::int64_t{2147483660});
  EXPECT_EQ(heard, 2147483660);
}
