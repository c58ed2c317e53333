#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
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
