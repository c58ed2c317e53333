#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "FakeHost.h"
#include "TestUtil.h"
#include "store/DatabaseLock.h"
#include "store/ZorvanDoc.h"

using namespace zorvan;
using namespace zorvan::test;

TEST(DatabaseLock, shouldLetOneProgramAtATimeHoldADatabaseAndNameTheHolder) {
  CTempDir dir;
  const std::string db = dir / "kontakty.zvd";
  WriteFile(db, "");
  CDatabaseLock first, second;
  ASSERT_TRUE(first.Acquire(db, "zorvan"));
  EXPECT_TRUE(first.IsHeld());
  EXPECT_EQ(FileNamesIn(dir.Path()),
            (std::vector<std::string>{".kontakty.zvd.lock", "kontakty.zvd"}));

  const CStatus refused = second.Acquire(db, "zorvan-cli import");
  ASSERT_FALSE(refused);
  EXPECT_TRUE(second.HeldByOther());
  EXPECT_EQ(refused.File(), db);
  const std::string holder = " (zorvan, process " + std::to_string(::getpid()) + ") since ";
  EXPECT_EQ(refused.Reason().rfind("it is in use by ", 0), 0u) << refused.Reason();
  EXPECT_NE(refused.Reason().find(holder), std::string::npos) << refused.Reason();

  // A waiting program gets the lock as soon as the holder lets go, and the lock file goes
  // with the last holder.
  std::thread release([&first] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    first.Release();
  });
  const CStatus waited = second.Acquire(db, "zorvan-cli import", std::chrono::seconds(20));
  release.join();
  ASSERT_TRUE(waited) << waited.Reason();
  second.Release();
  EXPECT_EQ(FileNamesIn(dir.Path()), std::vector<std::string>{"kontakty.zvd"});
}

TEST(DatabaseLock, shouldLockTheFileALinkNamesAndSayWhyALockCannotBeMade) {
  CTempDir dir;
  WriteFile(dir / "skutečný.zvd", "");
  ASSERT_EQ(::symlink((dir / "skutečný.zvd").c_str(), (dir / "odkaz.zvd").c_str()), 0);
  CDatabaseLock viaLink, direct;
  ASSERT_TRUE(viaLink.Acquire(dir / "odkaz.zvd", "zorvan"));
  EXPECT_FALSE(direct.Acquire(dir / "skutečný.zvd", "zorvan"));
  EXPECT_TRUE(direct.HeldByOther());

  const CStatus nowhere = direct.Acquire(dir / "chybí/db.zvd", "zorvan");
  ASSERT_FALSE(nowhere);
  EXPECT_FALSE(direct.HeldByOther());
  EXPECT_EQ(nowhere.Reason(), "its lock file " + dir.Path() +
                                  "/chybí/.db.zvd.lock cannot be made: No such file or directory");
}

TEST(DatabaseLock, shouldTellADocumentThatAnotherProgramChangedItsFile) {
  CTempDir dir;
  CFakeHost host;
  host.settings["Settings/Resource"] = dir / "none.cal";
  CZorvanDoc doc(host);
  doc.OnNewDocument();
  EXPECT_FALSE(doc.ChangedOnDisk());
  const std::string db = dir / "adresář.zvd";
  ASSERT_TRUE(doc.OnSaveDocument(db));
  EXPECT_FALSE(doc.ChangedOnDisk());

  // Another program saves over it: a new file of the same size.
  CZorvanDoc other(host);
  ASSERT_TRUE(other.OnOpenDocument(db));
  ASSERT_TRUE(other.OnSaveDocument(db));
  EXPECT_TRUE(doc.ChangedOnDisk());
  EXPECT_FALSE(other.ChangedOnDisk());
  ASSERT_TRUE(doc.OnOpenDocument(db));
  EXPECT_FALSE(doc.ChangedOnDisk());

  // Written in place, or removed.
  std::string bytes = ReadFile(db);
  WriteFile(db, bytes + "Ž");
  EXPECT_TRUE(doc.ChangedOnDisk());
  ::unlink(db.c_str());
  EXPECT_TRUE(doc.ChangedOnDisk());
  const SFileStamp none = SFileStamp::Of(db);
  EXPECT_FALSE(none.Exists());
}

TEST(DatabaseLock, shouldKnowWhenItsLockFileWasRemovedAndLeaveTheNextHoldersFileAlone) {
  CTempDir dir;
  const std::string db = dir / "sdílená.zvd";
  WriteFile(db, "");
  CDatabaseLock first, second;
  ASSERT_TRUE(first.Acquire(db, "zorvan-cli import"));
  EXPECT_TRUE(first.StillHeld());
  // Someone removes the lock file; the next program makes a new one and locks it at once.
  ASSERT_EQ(::unlink(CDatabaseLock::LockPathFor(db).c_str()), 0);
  EXPECT_FALSE(first.StillHeld());
  ASSERT_TRUE(second.Acquire(db, "zorvan-cli import"));
  EXPECT_FALSE(first.StillHeld());
  EXPECT_TRUE(second.StillHeld());
  // The first letting go removes nothing that is not its own.
  first.Release();
  EXPECT_TRUE(second.StillHeld());
  EXPECT_EQ(FileNamesIn(dir.Path()),
            (std::vector<std::string>{".sdílená.zvd.lock", "sdílená.zvd"}));
}

TEST(DatabaseLock, shouldRefuseASaveWhoseLockOrFileChangedSinceTheDocumentReadIt) {
  CTempDir dir;
  CFakeHost host;
  host.settings["Settings/Resource"] = dir / "none.cal";
  const std::string db = dir / "adresář.zvd";
  {
    CZorvanDoc maker(host);
    maker.OnNewDocument();
    ASSERT_TRUE(maker.OnSaveDocument(db));
  }
  const std::string lockFile = CDatabaseLock::LockPathFor(db);
  struct SCase {
    const char* what;
    bool exists;  // the database is there when the import begins
    std::function<void()> meanwhile;
    std::string reason;  // empty: the save goes ahead
  };
  const std::string lockGone = "its lock file " + lockFile +
                               " was removed or replaced while this program held it, so another "
                               "program may be changing it; nothing was saved";
  const std::string changed =
      "another program changed it after it was read here; nothing was saved";
  const std::string saved = ReadFile(db);
  const std::vector<SCase> cases = {
      {"nothing happens", true, [] {}, ""},
      {"the lock file is removed", true, [&] { ::unlink(lockFile.c_str()); }, lockGone},
      {"another program saves", true, [&] { WriteFile(db, saved + "Ř"); }, changed},
      {"a new database is made meanwhile", false, [&] { WriteFile(db, saved); }, changed},
  };
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.exists)
      WriteFile(db, saved);
    else
      ::unlink(db.c_str());
    CDatabaseLock lock;
    ASSERT_TRUE(lock.Acquire(db, "zorvan-cli import"));
    CZorvanDoc doc(host);
    if (c.exists)
      ASSERT_TRUE(doc.OnOpenDocument(db));
    else
      doc.OnNewDocument();
    auto* record = new CTreeItem;
    record->m_strLabel = "Jiří Novák";
    CTreeItem::AddChild(doc.ContactsRoot(), record);
    c.meanwhile();
    const std::string before = ReadFile(db);
    const CStatus status = doc.SaveUnderLock(db, lock);
    EXPECT_EQ(status.Reason(), c.reason);
    EXPECT_EQ(status.Ok(), c.reason.empty());
    if (!status) {
      EXPECT_TRUE(ReadFile(db) == before);
    }
  }
}

TEST(DatabaseLock, shouldSayThatALockFileIsASymbolicLink) {
  CTempDir dir;
  WriteFile(dir / "db.zvd", "");
  WriteFile(dir / "jinde", "");
  ASSERT_EQ(::symlink((dir / "jinde").c_str(), (dir / ".db.zvd.lock").c_str()), 0);
  CDatabaseLock lock;
  const CStatus refused = lock.Acquire(dir / "db.zvd", "zorvan");
  ASSERT_FALSE(refused);
  EXPECT_FALSE(lock.HeldByOther());
  EXPECT_EQ(refused.Reason(), "its lock file " + dir.Path() +
                                  "/.db.zvd.lock is a symbolic link, not a lock file of this "
                                  "program; remove it");
}
