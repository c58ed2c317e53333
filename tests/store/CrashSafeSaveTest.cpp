// Saving a database never damages the file it replaces: not when a write fails part-way, and
// not when the process dies in the middle of the save.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <thread>

#include "FailingWrite.h"
#include "FakeHost.h"
#include "TestUtil.h"
#include "store/AtomicFile.h"
#include "store/ZorvanDoc.h"
#include "store/ZvdFile.h"

using namespace zorvan;
using namespace zorvan::test;

namespace {

// A database of many records, so that its file takes many writes.
void FillDatabase(CZorvanDoc& doc, int records, const std::string& tag) {
  for (int i = 0; i < records; ++i) {
    auto* r = new CTreeItem;
    r->m_strLabel = tag + " " + std::to_string(i);
    r->m_strRemark = std::string(100, 'r');
    r->m_strHomeCity = "Č. Budějovice";
    CTreeItem::AddChild(doc.ContactsRoot(), r);
  }
}

int FailingFsync(int) {
  errno = EIO;
  return -1;
}

// Writes a little at a time, slowly, so that a save lasts long enough to be interrupted.
ssize_t SlowWrite(int fd, const void* data, size_t size) {
  std::this_thread::sleep_for(std::chrono::milliseconds(2));
  return ::write(fd, data, std::min<size_t>(size, 512));
}

std::vector<std::string> FilesIn(const std::string& folder) { return FileNamesIn(folder); }

// Gives a file the time of a change two minutes ago.
void MakeOld(const std::string& path) {
  const timespec times[2] = {{std::time(nullptr) - 120, 0}, {std::time(nullptr) - 120, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

off_t SizeOf(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_size : -1;
}

class CrashSafeSave : public testing::Test {
 protected:
  CrashSafeSave() : doc(host) {
    host.settings["Settings/Resource"] = dir / "none.cal";
    doc.OnNewDocument();
    FillDatabase(doc, 300, "old");
    const CStatus saved = doc.OnSaveDocument(path);
    EXPECT_TRUE(saved) << saved.Reason();
    previous = ReadFile(path);
    // The tree in memory moves on; the file must keep the old one until a save completes.
    doc.ContactsRoot()->Child(0)->m_strLabel = "changed";
    FillDatabase(doc, 20000, "new");
  }

  CTempDir dir;
  const std::string path = dir / "contacts.zvd";
  CFakeHost host;
  CZorvanDoc doc;
  std::string previous;
};

}  // namespace

TEST_F(CrashSafeSave, shouldKeepThePreviousFileWhenAWriteFailsAfterAnyNumberOfBytes) {
  const std::string bytes = StoreDatabase(doc.ContactsRoot());
  ASSERT_GT(bytes.size(), 1000000u);
  for (size_t after : {size_t{0}, size_t{1}, size_t{4095}, bytes.size() / 2, bytes.size() - 1}) {
    g_bytesLeft = after;
    const SFileOps ops = {WriteThenFail, SystemFileOps().fsync, SystemFileOps().rename};
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(path, bytes, error, ops)) << after;
    EXPECT_EQ(error, std::strerror(ENOSPC)) << after;
    EXPECT_TRUE(ReadFile(path) == previous) << "the previous file changed, failing after " << after;
    EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"contacts.zvd"}) << after;
  }
  // A flush that fails is a failed save too.
  const SFileOps noFlush = {SystemFileOps().write, FailingFsync, SystemFileOps().rename};
  std::string error;
  EXPECT_FALSE(WriteFileAtomically(path, bytes, error, noFlush));
  EXPECT_TRUE(ReadFile(path) == previous);
  EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"contacts.zvd"});
}

TEST_F(CrashSafeSave, shouldKeepThePreviousFileAndTheDocumentWhenTheSystemRefusesTheWrite) {
  doc.SetModifiedFlag(true);
  const size_t shown = host.messages.size();
  CStatus saved = CStatus::Success();
  {
    // The system itself stops the write after 256 KB: files may grow no larger for a while.
    CFileSizeLimit limit(256 * 1024);
    ASSERT_TRUE(limit.IsSet());
    saved = doc.OnSaveDocument(path);
  }

  EXPECT_FALSE(saved);
  EXPECT_EQ(saved.Reason(), std::strerror(EFBIG));
  EXPECT_EQ(saved.File(), path);
  EXPECT_TRUE(ReadFile(path) == previous) << "the previous file changed";
  EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"contacts.zvd"});
  EXPECT_TRUE(doc.IsModified());
  // The caller names the file and the reason to the user; the document stays silent.
  EXPECT_EQ(host.messages.size(), shown);
}

namespace {

// The size of the temporary file a save in the process pid writes in folder: a named one
// there, or an unnamed one among the process's open files; -1 while there is none.
off_t TemporarySize(pid_t pid, const std::string& folder, const std::string& keep) {
  for (const std::string& name : FilesIn(folder))
    if (name != keep) return SizeOf(folder + "/" + name);
  const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
  for (const std::string& fd : FilesIn(fds)) {
    char target[4096] = {};
    if (::readlink((fds + "/" + fd).c_str(), target, sizeof target - 1) > 0 &&
        std::string_view(target).starts_with(folder + "/") &&
        std::string_view(target).ends_with("(deleted)"))
      return SizeOf(fds + "/" + fd);
  }
  return -1;
}

}  // namespace

TEST_F(CrashSafeSave, shouldKeepThePreviousFileWhenTheProcessIsKilledMidSave) {
  const std::string bytes = StoreDatabase(doc.ContactsRoot());
  for (bool named : {false, true}) {
    SCOPED_TRACE(named ? "named temporary file" : "unnamed temporary file");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      // The child saves the big database slowly; it never gets to finish.
      ::close(ready[0]);
      SFileOps slow = named ? NamedTemporaryOps() : SystemFileOps();
      slow.write = SlowWrite;
      (void)!::write(ready[1], "s", 1);
      std::string error;
      WriteFileAtomically(path, bytes, error, slow);
      ::_exit(0);
    }
    ::close(ready[1]);
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    ::close(ready[0]);

    // Wait until the save has written part of the new file, then kill the process.
    off_t written = 0;
    for (int i = 0; i < 5000 && written < 64 * 1024; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      written = TemporarySize(child, dir.Path(), "contacts.zvd");
    }
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the save ended by itself";
    EXPECT_GE(written, 64 * 1024);
    EXPECT_LT(static_cast<size_t>(written), bytes.size()) << "the save had finished";
    // An unnamed temporary file dies with its process; a named one stays behind.
    EXPECT_EQ(FilesIn(dir.Path()).size(), named ? 2u : 1u);
    EXPECT_TRUE(ReadFile(path) == previous) << "the previous file changed";
  }
  CZorvanDoc reopened(host);
  ASSERT_TRUE(reopened.OnOpenDocument(path));
  EXPECT_EQ(reopened.ContactsRoot()->ChildCount(), 300u);
  EXPECT_EQ(reopened.ContactsRoot()->Child(0)->m_strLabel, "old 0");

  // A later save goes through and removes what a killed one left, once it is a minute old,
  // and nothing else.
  for (const std::string& name : FilesIn(dir.Path()))
    if (name != "contacts.zvd") MakeOld(dir / name);
  WriteFile(dir / ".contacts.zvd.old", "a user's own file");
  const CStatus saved = doc.OnSaveDocument(path);
  ASSERT_TRUE(saved) << saved.Reason();
  EXPECT_TRUE(ReadFile(path) == bytes);
  EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{".contacts.zvd.old", "contacts.zvd"}));
}

TEST_F(CrashSafeSave, shouldLeaveTheTemporaryFileOfARunningSaveAlone) {
  const SFileOps named = NamedTemporaryOps();
  CAtomicFile running(named);
  ASSERT_TRUE(running.Open(path)) << running.Error();
  ASSERT_EQ(FilesIn(dir.Path()).size(), 2u);
  const CStatus saved = doc.OnSaveDocument(path);
  ASSERT_TRUE(saved) << saved.Reason();
  EXPECT_EQ(FilesIn(dir.Path()).size(), 2u);
  ASSERT_TRUE(running.Write("Zdeněk") && running.Commit()) << running.Error();
  EXPECT_EQ(ReadFile(path), "Zdeněk");
  EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"contacts.zvd"});
}

// What lies beside a database under names like a temporary file's: only the leftovers of this
// program's own killed saves go, and only when nothing can still be writing them.
TEST_F(CrashSafeSave, shouldRemoveOnlyItsOwnStaleTemporariesWhenSavingOrOpening) {
  struct SCase {
    const char* name;
    bool old, otherOwner, locked, removed;
  };
  const std::vector<SCase> cases = {
      {".contacts.zvd.zorvan-save-Ab3xYz", true, false, false, true},
      {".contacts.zvd.zorvan-save-Ab3_Yz", true, false, false, false},  // not its alphabet
      {".contacts.zvd.zorvan-save-Ab3xYz7", true, false, false, false},
      {".contacts.zvd.zorvan-save-Fresh1", false, false, false, false},  // a save just begun
      {".contacts.zvd.zorvan-save-Locked", true, false, true, false},    // a save running
      {".contacts.zvd.zorvan-save-Others", true, true, false, false},    // another user's
      {".contacts.zvd.backup", true, false, false, false},               // the user's
      {".contacts.zvd.Ab3xYz", true, false, false, false},               // a copy in progress
      {".jiný.zvd.zorvan-save-Ab3xYz", true, false, false, false},       // another file's
  };
  const bool root = ::geteuid() == 0;
  for (bool opening : {false, true}) {
    SCOPED_TRACE(opening ? "opening" : "saving");
    std::vector<int> locks;
    for (const SCase& c : cases) {
      const std::string file = dir / c.name;
      WriteFile(file, "Řehoř Łoś");
      if (c.otherOwner) {
        ASSERT_TRUE(!root || ::chown(file.c_str(), 65534, 65534) == 0);
      }
      if (c.old) MakeOld(file);
      if (c.locked) {
        locks.push_back(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
        ASSERT_EQ(::flock(locks.back(), LOCK_EX | LOCK_NB), 0);
      }
    }
    CZorvanDoc other(host);
    const CStatus done = opening ? other.OnOpenDocument(path) : doc.OnSaveDocument(path);
    ASSERT_TRUE(done) << done.Reason();
    for (const SCase& c : cases) {
      // Without the superuser every file is this user's own; that case says nothing then.
      const bool removed = c.removed || (c.otherOwner && !root && c.old);
      EXPECT_EQ(::access((dir / c.name).c_str(), F_OK) != 0, removed) << c.name;
      ::unlink((dir / c.name).c_str());
    }
    for (int fd : locks) ::close(fd);
  }
}

TEST_F(CrashSafeSave, shouldNameItsTemporaryFileWithItsOwnMarker) {
  const SFileOps named = NamedTemporaryOps();
  CAtomicFile file(named);
  ASSERT_TRUE(file.Open(path)) << file.Error();
  const std::vector<std::string> names = FilesIn(dir.Path());
  ASSERT_EQ(names.size(), 2u);
  const std::string prefix = ".contacts.zvd.zorvan-save-";
  EXPECT_EQ(names[0].substr(0, prefix.size()), prefix) << names[0];
  EXPECT_EQ(names[0].size(), prefix.size() + 6) << names[0];
  file.Discard();
  EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"contacts.zvd"});
}
