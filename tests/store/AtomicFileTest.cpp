#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
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
  EXPECT_EQ(error, "it is a folder");
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
  // The unnamed temporary file has no name until it takes the file's place; the named one of
  // file systems without unnamed files is the file's temporary twin.
  for (const SFileOps& ops : {SystemFileOps(), NamedTemporaryOps()}) {
    const size_t whileWriting = ops.openUnnamed ? 2u : 1u;
    CTempDir dir;
    const std::string path = dir / "export.csv";
    WriteFile(path, "old");
    std::string expected;
    {
      CAtomicFile file(ops);
      ASSERT_TRUE(file.Open(path)) << file.Error();
      for (const std::string& piece : Pieces()) {
        ASSERT_TRUE(file.Write(piece));
        expected += piece;
      }
      EXPECT_EQ(ReadFile(path), "old");
      EXPECT_EQ(FilesIn(dir.Path()), whileWriting);
      ASSERT_TRUE(file.Commit()) << file.Error();
    }
    EXPECT_TRUE(ReadFile(path) == expected);
    EXPECT_EQ(FilesIn(dir.Path()), 1u);

    // A file dropped before its commit changes nothing.
    {
      CAtomicFile file(ops);
      ASSERT_TRUE(file.Open(path));
      for (const std::string& piece : Pieces()) file.Write(piece);
    }
    EXPECT_TRUE(ReadFile(path) == expected);
    EXPECT_EQ(FilesIn(dir.Path()), 1u);
  }
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

TEST(AtomicFile, shouldKeepOwnerAndGroupWhereTheSystemAllows) {
  if (::geteuid() != 0) GTEST_SKIP() << "only the superuser can give a file to another user";
  CTempDir dir;
  const std::string path = dir / "uživatel.zvd";
  WriteFile(path, "Jiří");
  ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
  ::chmod(path.c_str(), 0600);
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(path, "Jiří a Łucja", error)) << error;
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, 65534u);
  EXPECT_EQ(st.st_gid, 65534u);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
}

TEST(AtomicFile, shouldRefuseAFileTheUserMayNotWrite) {
  CTempDir dir;
  const std::string path = dir / "jen-ke-čtení.zvd";
  WriteFile(path, "Zdeňka");
  ::chmod(path.c_str(), 0444);
  const std::string writable = dir / "zapisovatelný.zvd";
  WriteFile(writable, "Zdeňka");
  ::chmod(writable.c_str(), 0666);
  ::chmod(dir.Path().c_str(), 0555);
  // The superuser may write anything; the refusal is checked as an ordinary user.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
    std::string error;
    const bool written = WriteFileAtomically(path, "přepsáno", error);
    if (written || error != "you may not write it") ::_exit(written ? 1 : 2);
    // A folder the user may not make files in is named as such, not as the file's fault.
    const bool inFolder = WriteFileAtomically(writable, "přepsáno", error);
    ::_exit(inFolder                                                              ? 1
            : error == "you may not make files in its folder " + dir.Path() + "/" ? 0
                                                                                  : 4);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0)
      << "1: written over, 2 and 4: another reason, 3: no ordinary user";
  ::chmod(dir.Path().c_str(), 0755);
  EXPECT_EQ(ReadFile(path), "Zdeňka");
  EXPECT_EQ(ReadFile(writable), "Zdeňka");
  EXPECT_EQ(FilesIn(dir.Path()), 2u);
}

TEST(AtomicFile, shouldRefuseSymbolicLinksThatLeadNowhereOrInACircle) {
  CTempDir dir;
  ASSERT_EQ(::symlink((dir / "chybí.zvd").c_str(), (dir / "visí.zvd").c_str()), 0);
  ASSERT_EQ(::symlink((dir / "b.zvd").c_str(), (dir / "a.zvd").c_str()), 0);
  ASSERT_EQ(::symlink((dir / "a.zvd").c_str(), (dir / "b.zvd").c_str()), 0);
  std::string error;
  EXPECT_FALSE(WriteFileAtomically(dir / "visí.zvd", "x", error));
  EXPECT_EQ(error, "it is a symbolic link to a file that does not exist");
  EXPECT_FALSE(WriteFileAtomically(dir / "a.zvd", "x", error));
  EXPECT_EQ(error, "it is a symbolic link that leads in a circle");
  for (const char* link : {"visí.zvd", "a.zvd", "b.zvd"})
    EXPECT_TRUE(std::filesystem::is_symlink(dir / link)) << link;
  EXPECT_EQ(FilesIn(dir.Path()), 3u);
}

TEST(AtomicFile, shouldSayThatOtherNamesOfTheFileKeepTheOldContents) {
  CTempDir dir;
  const std::string path = dir / "kontakty.zvd";
  WriteFile(path, "Małgorzata");
  ASSERT_EQ(::link(path.c_str(), (dir / "záloha.zvd").c_str()), 0);
  std::string error, note;
  ASSERT_TRUE(WriteFileAtomically(path, "Małgorzata Nowak", error, SystemFileOps(), &note));
  EXPECT_EQ(note, "it had 1 other name(s) (hard links), which keep the old contents");
  EXPECT_EQ(ReadFile(dir / "záloha.zvd"), "Małgorzata");
  ASSERT_TRUE(WriteFileAtomically(path, "Małgorzata Nowakowa", error, SystemFileOps(), &note));
  EXPECT_EQ(note, "");
}

namespace {

// The extended attributes of a file, each "name=value", sorted.
std::vector<std::string> Attributes(const std::string& path) {
  char names[4096];
  const ssize_t n = ::listxattr(path.c_str(), names, sizeof names);
  std::vector<std::string> all;
  for (ssize_t at = 0; at < n; at += static_cast<ssize_t>(std::strlen(names + at)) + 1) {
    char value[1024];
    const ssize_t size = ::getxattr(path.c_str(), names + at, value, sizeof value);
    all.push_back(std::string(names + at) + "=" +
                  std::string(value, static_cast<size_t>(std::max<ssize_t>(size, 0))));
  }
  std::sort(all.begin(), all.end());
  return all;
}

// An access control list that lets user 2003 read and write too, in the kernel's form.
std::string AclForUser2003() {
  const unsigned entries[][3] = {{0x01, 6, 0xffffffff},
                                 {0x02, 6, 2003},
                                 {0x04, 4, 0xffffffff},
                                 {0x10, 6, 0xffffffff},
                                 {0x20, 0, 0xffffffff}};
  std::string acl("\x02\0\0\0", 4);
  for (const auto& e : entries) {
    const unsigned char bytes[8] = {
        static_cast<unsigned char>(e[0]),       0,
        static_cast<unsigned char>(e[1]),       0,
        static_cast<unsigned char>(e[2]),       static_cast<unsigned char>(e[2] >> 8),
        static_cast<unsigned char>(e[2] >> 16), static_cast<unsigned char>(e[2] >> 24)};
    acl.append(reinterpret_cast<const char*>(bytes), 8);
  }
  return acl;
}

int RefusingSetXattr(int, const char*, const void*, size_t, int) {
  errno = EOPNOTSUPP;
  return -1;
}

}  // namespace

TEST(AtomicFile, shouldCarryTheAccessControlListAndExtendedAttributesOverOrRefuse) {
  CTempDir dir;
  const std::string path = dir / "sdílený.zvd";
  WriteFile(path, "Dvořák");
  ::chmod(path.c_str(), 0640);
  const std::string note = "patří Zuzaně";
  if (::setxattr(path.c_str(), "user.poznámka", note.data(), note.size(), 0) != 0)
    GTEST_SKIP() << "the file system keeps no extended attributes: " << std::strerror(errno);
  const std::string acl = AclForUser2003();
  ASSERT_EQ(::setxattr(path.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0), 0)
      << std::strerror(errno);
  const std::vector<std::string> before = Attributes(path);
  ASSERT_EQ(before.size(), 2u);
  for (const SFileOps& ops : {SystemFileOps(), NamedTemporaryOps()}) {
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(path, "Dvořák a Łukasiewicz", error, ops)) << error;
    EXPECT_EQ(Attributes(path), before);
    struct stat st {};
    ::stat(path.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0660u);  // the group bits show the list's mask
  }

  SFileOps refusing = SystemFileOps();
  refusing.fsetxattr = RefusingSetXattr;
  std::string error;
  EXPECT_FALSE(WriteFileAtomically(path, "přepsáno", error, refusing));
  const std::string why =
      " cannot be given to the new file: " + std::string(std::strerror(EOPNOTSUPP));
  EXPECT_TRUE(error == "its access control list (ACL)" + why ||
              error == "its extended attribute user.poznámka" + why)
      << error;
  EXPECT_EQ(ReadFile(path), "Dvořák a Łukasiewicz");
  EXPECT_EQ(Attributes(path), before);
  EXPECT_EQ(FilesIn(dir.Path()), 1u);
}
