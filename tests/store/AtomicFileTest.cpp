#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "TestUtil.h"
#include "store/AtomicFile.h"

using namespace zorvan;
using namespace zorvan::test;

namespace {

int FailingRename(const char*, const char*) {
  errno = EXDEV;
  return -1;
}

size_t FilesIn(const std::string& folder) {
  size_t n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) ++n;
  return n;
}

}  // namespace

TEST(AtomicFile, shouldReplaceTheFileAndKeepItsPermissions) {
  CTempDir dir;
  const std::string path = dir / "db.zvd";
  WriteFile(path, "old");
  ::chmod(path.c_str(), 0640);
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(path, "new contents", error)) << error;
  EXPECT_EQ(ReadFile(path), "new contents");
  struct stat st {};
  ::stat(path.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(FilesIn(dir.Path()), 1u);  // no temporary file left behind
}

TEST(AtomicFile, shouldReportAFailedRenameAndRemoveTheTemporaryFile) {
  CTempDir dir;
  const std::string path = dir / "db.zvd";
  WriteFile(path, "old");
  const SFileOps ops = {SystemFileOps().write, SystemFileOps().fsync, FailingRename};
  std::string error;
  EXPECT_FALSE(WriteFileAtomically(path, "new", error, ops));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(ReadFile(path), "old");
  EXPECT_EQ(FilesIn(dir.Path()), 1u);
}

TEST(AtomicFile, shouldFailInAMissingFolderAndOnAFolder) {
  CTempDir dir;
  std::string error;
  EXPECT_FALSE(WriteFileAtomically(dir / "no/such/folder/db.zvd", "x", error));
  EXPECT_EQ(error, std::strerror(ENOENT));
  EXPECT_FALSE(WriteFileAtomically(dir.Path(), "x", error));
  EXPECT_EQ(error, "it is not a regular file");
}

TEST(AtomicFile, shouldWriteThroughASymbolicLink) {
  CTempDir dir;
  WriteFile(dir / "real.zvd", "old");
  std::filesystem::create_symlink(dir / "real.zvd", dir / "link.zvd");
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(dir / "link.zvd", "new", error)) << error;
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.zvd"));
  EXPECT_EQ(ReadFile(dir / "real.zvd"), "new");
}

TEST(AtomicFile, shouldReadWholeFilesAndNameTheReasonOfAFailure) {
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
