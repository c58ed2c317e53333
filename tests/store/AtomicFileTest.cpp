#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "FailingWrite.h"
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

TEST(AtomicFile, shouldRefuseFifosDevicesAndFilesBeyondTheLimitWithoutBlockingOrAborting) {
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

namespace {

// Pieces of every size from 1 byte to beyond the writer's buffer, in Czech.
std::vector<std::string> Pieces() {
  std::vector<std::string> pieces;
  for (size_t size : {1, 7, 300, 4096, 65535, 65536, 65537, 200000, 3})
    pieces.push_back(std::string(size, 'x') + "Příliš žluťoučký kůň\r\n");
  return pieces;
}

}  // namespace

TEST(AtomicFile, shouldStreamPiecesOfAnySizeIntoPlaceOnlyWhenCommitted) {
  CTempDir dir;
  const std::string path = dir / "export.csv";
  WriteFile(path, "old");
  std::string expected;
  {
    CAtomicFile file;
    ASSERT_TRUE(file.Open(path)) << file.Error();
    for (const std::string& piece : Pieces()) {
      ASSERT_TRUE(file.Write(piece));
      expected += piece;
    }
    EXPECT_EQ(ReadFile(path), "old");
    EXPECT_EQ(FilesIn(dir.Path()), 2u);  // the file and its temporary twin
    ASSERT_TRUE(file.Commit()) << file.Error();
  }
  EXPECT_TRUE(ReadFile(path) == expected);
  EXPECT_EQ(FilesIn(dir.Path()), 1u);

  // A file dropped before its commit changes nothing.
  {
    CAtomicFile file;
    ASSERT_TRUE(file.Open(path));
    for (const std::string& piece : Pieces()) file.Write(piece);
  }
  EXPECT_TRUE(ReadFile(path) == expected);
  EXPECT_EQ(FilesIn(dir.Path()), 1u);
}

TEST(AtomicFile, shouldKeepTheOldFileWhenAStreamedWriteFailsAfterAnyNumberOfBytes) {
  CTempDir dir;
  const std::string path = dir / "adresář.vcf";
  WriteFile(path, "předchozí obsah");
  size_t total = 0;
  for (const std::string& piece : Pieces()) total += piece.size();
  for (size_t after : {size_t{0}, size_t{1}, size_t{65536}, total / 2, total - 1}) {
    g_bytesLeft = after;
    const SFileOps ops = {WriteThenFail, SystemFileOps().fsync, SystemFileOps().rename};
    CAtomicFile file(ops);
    ASSERT_TRUE(file.Open(path));
    bool written = true;
    for (const std::string& piece : Pieces()) written = file.Write(piece) && written;
    EXPECT_FALSE(written && file.Commit()) << after;
    EXPECT_TRUE(file.Failed()) << after;
    EXPECT_EQ(file.Error(), std::strerror(ENOSPC)) << after;
    // Once failed, it stays failed.
    EXPECT_FALSE(file.Write("x"));
    EXPECT_FALSE(file.Commit());
    EXPECT_EQ(ReadFile(path), "předchozí obsah") << after;
    EXPECT_EQ(FilesIn(dir.Path()), 1u) << after;
  }
}
