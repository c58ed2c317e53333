// A large database file is read on two threads, the second taking the top records from a point
// in the middle on: the tree, its order and every error must be those of the one-thread read.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "TestUtil.h"
#include "store/FileRead.h"
#include "store/ZvdFile.h"
#include "store/ZvdLayout.h"
#include "store/ZvdRecordReader.h"

using namespace zorvan;

namespace {

constexpr size_t kOneThread = ~size_t{0};
constexpr size_t kTwoThreads = 0;

// Groups of contacts, some with a subgroup, names from several languages; every seventh has a
// Greek nickname the code page cannot hold (a text of the extension trailer), every fifth an
// identity, every eleventh a photo and every thirteenth properties kept from a vCard.
void FillTree(CTreeItem& root, int groups, const std::string& firstRemark = "") {
  static const char* names[] = {"Dvořák", "Łukasiewicz", "Müller",     "Παπαδόπουλος",
                                "王小明", "Černá",       "Żółkiewski", "Straße"};
  root.m_nKind = kindContacts;
  int n = 0;
  for (int g = 0; g < groups; ++g) {
    auto* group = new CTreeItem;
    group->m_strLabel = "Skupina " + std::to_string(g);
    group->m_bGroup = 1;
    CTreeItem::AddChild(&root, group);
    CTreeItem* below = group;
    for (int c = 0; c < 12; ++c, ++n) {
      if (c == 6 && g % 3 == 0) {
        auto* sub = new CTreeItem;
        sub->m_strLabel = "Podskupina " + std::to_string(g);
        sub->m_bGroup = 1;
        CTreeItem::AddChild(group, sub);
        below = sub;
      }
      auto* r = new CTreeItem;
      r->m_strLastName = names[n % 8];
      r->m_strLabel = r->m_strLastName.str() + " " + std::to_string(n);
      r->m_strPersonalEmail = "kontakt" + std::to_string(n) + "@example.cz";
      r->m_bBirthday = n % 2;
      r->m_dtBirthday = CDateTime(1960 + n % 40, 1 + n % 12, 1 + n % 28);
      if (n % 7 == 0) r->m_strNickname = "Νίκος";
      if (n == 0) r->m_strRemark = firstRemark;
      if (n % 5 == 0 || n % 11 == 0 || n % 13 == 0)
        r->m_pExtras = std::make_unique<SRecordExtras>();
      if (n % 5 == 0) r->m_pExtras->uid = "urn:uuid:" + std::to_string(n);
      if (n % 11 == 0) {
        r->m_pExtras->photoType = "image/png";
        r->m_pExtras->photo = "\x89PNG " + std::to_string(n);
      }
      if (n % 13 == 0) r->m_pExtras->properties = {"X-JMÉNO:Jiří " + std::to_string(n), "GEO:1;2"};
      CTreeItem::AddChild(below, r);
    }
  }
}

std::string GeneratedFile(int groups, const std::string& firstRemark = "") {
  CTreeItem root;
  FillTree(root, groups, firstRemark);
  return StoreDatabase(&root);
}

// What a read gives: its outcome and, when it read, the tree written again (every field, the
// order, the nesting and the trailer's texts) and whether every record knows its parent.
struct SRead {
  bool ok = false;
  std::string error;
  std::string tree;
  size_t extended = 0;
  std::string ignored;
  bool parentsRight = true;
  bool operator==(const SRead&) const = default;
};

void PrintTo(const SRead& r, std::ostream* os) {
  *os << (r.ok ? "read" : "failed: " + r.error) << ", " << r.tree.size() << " bytes again, "
      << r.extended << " extended" << (r.parentsRight ? "" : ", parents wrong");
}

// load reads into the root and extras given, with the error given.
template <typename Load>
SRead ReadWith(const Load& load) {
  SRead read;
  CTreeItem root;
  root.m_nKind = kindContacts;
  SZvdExtras extras;
  read.ok = load(root, read.error, extras);
  if (!read.ok) return read;
  read.tree = StoreDatabase(&root);
  read.extended = extras.extendedRecords;
  read.ignored = extras.ignored;
  ForEachInSubtree(&root, [&read](CTreeItem* r) {
    for (size_t i = 0; i < r->ChildCount(); ++i)
      read.parentsRight =
          read.parentsRight && r->Child(i)->m_pParent == r && r->Child(i)->m_nKind == kindContacts;
  });
  return read;
}

SRead Read(const std::string& bytes, size_t splitFrom) {
  return ReadWith([&](CTreeItem& root, std::string& error, SZvdExtras& extras) {
    return LoadDatabase(bytes, root, error, &extras, splitFrom);
  });
}

SRead ReadMapped(const CFileBytes& file, size_t splitFrom, size_t releaseEvery) {
  return ReadWith([&](CTreeItem& root, std::string& error, SZvdExtras& extras) {
    return LoadDatabase(file, root, error, &extras, splitFrom, releaseEvery);
  });
}

// The bytes of the mapping at p that are in this process's memory, as the system counts them.
size_t ResidentBytesAt(const void* p) {
  std::ifstream maps("/proc/self/smaps");
  const auto at = reinterpret_cast<std::uintptr_t>(p);
  bool inside = false;
  // A mapping's line "begin-end perms ...", then lines "Name: value" about it.
  for (std::string line; std::getline(maps, line);) {
    std::istringstream fields(line);
    std::string first;
    fields >> first;
    if (!first.empty() && first.back() != ':') {
      const size_t dash = first.find('-');
      inside = std::stoull(first.substr(0, dash), nullptr, 16) <= at &&
               at < std::stoull(first.substr(dash + 1), nullptr, 16);
    } else if (inside && first == "Rss:") {
      size_t kb = 0;
      fields >> kb;
      return kb * 1024;
    }
  }
  return ~size_t{0};
}

// The labels, depths and UTF-8 nicknames the walking reader hands over, or its error.
std::string Walked(const std::string& bytes, size_t aheadFrom) {
  CZvdRecordReader::CFieldSet fields;
  fields.set(fieldLabel);
  fields.set(fieldNickname);
  std::string seen, error;
  const bool ok = CZvdRecordReader(fields, aheadFrom)
                      .Read(
                          bytes,
                          [&seen](const CZvdRecord& r) {
                            const std::string_view* nickname = r.Utf8(fieldNickname);
                            seen.append(r.Ansi(fieldLabel)).append(std::to_string(r.Depth()));
                            seen.append(nickname ? *nickname : r.Ansi(fieldNickname)) += '\n';
                          },
                          error);
  return ok ? seen : "failed: " + error;
}

}  // namespace

TEST(ZvdSplitLoad, shouldReadTheTrailerAheadAsAfterTheRecords) {
  // The code page's "˙ţ˙" are the trailer's magic bytes FF FE FF: a record's text that holds
  // the whole magic is found first, and the trailer does not begin there.
  const std::string magicInText = GeneratedFile(60, "˙ţ˙ZVX\r\n");
  const std::string plain = GeneratedFile(60);
  std::string badChecksum = plain, otherRecords = plain, cutShort = plain;
  badChecksum.back() = static_cast<char>(badChecksum.back() ^ 1);
  otherRecords[plain.size() / 3] = static_cast<char>(otherRecords[plain.size() / 3] ^ 0x20);
  cutShort.resize(plain.size() - 10);
  const std::string files[] = {plain, magicInText, badChecksum, otherRecords, cutShort};
  for (size_t i = 0; i < std::size(files); ++i) {
    SCOPED_TRACE(i);
    const std::string once = Walked(files[i], kOneThread);
    EXPECT_EQ(Walked(files[i], kTwoThreads), once);
    EXPECT_EQ(Read(files[i], kTwoThreads), Read(files[i], kOneThread));
    EXPECT_EQ(once.find("Νίκος") != std::string::npos, i <= 1);
  }
  EXPECT_EQ(Read(magicInText, kTwoThreads).ignored, "");
  EXPECT_EQ(Read(badChecksum, kTwoThreads).ignored, "it has a wrong checksum");
}

TEST(ZvdSplitLoad, shouldReadWholeFilesAsOneThreadDoes) {
  // One top record only (nothing after the split), a few, and many; then a file with bytes
  // after the records that are no trailer.
  for (int groups : {1, 2, 40, 400}) {
    SCOPED_TRACE(groups);
    const std::string bytes = GeneratedFile(groups);
    const SRead one = Read(bytes, kOneThread);
    ASSERT_TRUE(one.ok) << one.error;
    EXPECT_EQ(one.tree, bytes);
    EXPECT_GT(one.extended, 0u);
    EXPECT_EQ(Read(bytes, kTwoThreads), one);
    EXPECT_EQ(Read(bytes + "garbage after the records", kTwoThreads),
              Read(bytes + "garbage after the records", kOneThread));
  }
}

TEST(ZvdSplitLoad, shouldFailWithTheFirstDamageAsOneThreadDoes) {
  const std::string bytes = GeneratedFile(100);
  std::mt19937 random(24);
  std::uniform_int_distribution<size_t> at(0, bytes.size() - 1);
  // Truncations everywhere, most around the middle where the second thread begins.
  for (size_t i = 1; i < 200; ++i) {
    const size_t size = i < 100 ? bytes.size() * i / 100 : bytes.size() / 2 - 2000 + (i - 100) * 40;
    SCOPED_TRACE(size);
    const std::string cut = bytes.substr(0, size);
    ASSERT_EQ(Read(cut, kTwoThreads), Read(cut, kOneThread));
  }
  // Bytes changed: length prefixes that run past the end or claim an unknown encoding, counts
  // gone negative or too large, damage before the split and after it, both at once.
  for (int i = 0; i < 150; ++i) {
    std::string damaged = bytes;
    const int changes = 1 + i % 3;
    for (int c = 0; c < changes; ++c) damaged[at(random)] = static_cast<char>(random() & 0xFF);
    if (i % 10 == 0) damaged.replace(bytes.size() * 3 / 4, 4, "\xFF\xFF\xFF\x7F", 4);
    SCOPED_TRACE(i);
    ASSERT_EQ(Read(damaged, kTwoThreads), Read(damaged, kOneThread));
  }
}

TEST(ZvdSplitLoad, shouldRefuseTooDeepNestingAfterTheSplitAsOneThreadDoes) {
  // Many shallow top records, then one nested deeper than a file may hold.
  CTreeItem root;
  root.m_nKind = kindContacts;
  for (int i = 0; i < 6000; ++i) {
    auto* r = new CTreeItem;
    r->m_strLabel = "Żaneta " + std::to_string(i);
    CTreeItem::AddChild(&root, r);
  }
  CTreeItem* parent = &root;
  for (int depth = 0; depth <= zvd_layout::kMaxRecordDepth; ++depth) {
    auto* r = new CTreeItem;
    r->m_strLabel = "Ζωή";
    CTreeItem::AddChild(parent, r);
    parent = r;
  }
  const std::string bytes = StoreDatabase(&root);
  const SRead one = Read(bytes, kOneThread);
  EXPECT_FALSE(one.ok);
  EXPECT_EQ(one.error, "the records are nested too deeply");
  EXPECT_EQ(Read(bytes, kTwoThreads), one);
}

TEST(ZvdMappedLoad, shouldReadAMappedFileGivenBackBehindItsReadersAsItsBytes) {
  const auto page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
  CTreeItem root;
  FillTree(root, 300);
  const std::string plain = StoreDatabase(&root);
  std::string damaged = plain, otherRecords = plain;
  damaged.replace(plain.size() * 3 / 5, 4, "\xFF\xFF\xFF\x7F", 4);
  otherRecords[plain.size() / 3] = static_cast<char>(otherRecords[plain.size() / 3] ^ 0x20);
  // Read as one thread reads them: with a trailer read ahead, after the records, or ignored, and
  // without one; cut short, and damaged after the split.
  const std::string files[] = {plain,
                               GeneratedFile(300, "˙ţ˙ZVX\r\n"),
                               otherRecords,
                               StoreDatabase(&root, {}, EZvdTrailer::none),
                               plain.substr(0, plain.size() / 2 + 1001),
                               damaged};
  test::CTempDir dir;
  for (size_t i = 0; i < std::size(files); ++i) {
    test::WriteFile(dir / "kontakty.zvd", files[i]);
    CFileBytes file;
    std::string error;
    ASSERT_TRUE(file.Open(dir / "kontakty.zvd", error, kMaxWholeFileBytes, 0)) << error;
    ASSERT_TRUE(file.Mapped());
    const SRead once = Read(files[i], kOneThread);
    // The others read or fail, as they do on one thread.
    if (i < 2 || i == 4) {
      EXPECT_EQ(once.ok, i < 2) << i;
    }
    for (size_t every : {size_t{1}, page - 1, page, 5 * page + 3}) {
      SCOPED_TRACE(std::to_string(i) + " every " + std::to_string(every));
      EXPECT_EQ(ReadMapped(file, kOneThread, every), once);
      EXPECT_EQ(ReadMapped(file, kTwoThreads, every), once);
    }
  }
  // Behind the reader, the hash of the records and the giving of the trailer's entries, the
  // pages are given back: what stays is at the ends of what each went through, in the pieces
  // the system maps a file's pages by (64 KB), a fraction of the whole.
  // The file is read back from the disk as a file written long ago is: the pages of one just
  // written may be held in larger pieces, of which the system gives back none.
  test::WriteFile(dir / "kontakty.zvd", plain);
  const int fd = ::open((dir / "kontakty.zvd").c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  ::fdatasync(fd);
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
  ::close(fd);
  CFileBytes file;
  std::string error;
  ASSERT_TRUE(file.Open(dir / "kontakty.zvd", error, kMaxWholeFileBytes, 0)) << error;
  ASSERT_GT(plain.size(), 128 * page);
  ASSERT_TRUE(ReadMapped(file, kOneThread, page).ok);
  EXPECT_LE(ResidentBytesAt(file.Bytes().data()), plain.size() / 3);
}

TEST(ZvdSplitLoad, shouldGiveEachRecordItsOwnIdentityWhereRevisionsRepeatOrNot) {
  // Revisions in runs, changing, missing and coming back, as imports and edits leave them.
  const char* revs[] = {"20261208T120000Z", "20261208T120000Z", "20261209T080000Z", "",
                        "20261209T080000Z", "20261208T120000Z", "20261208T120000Z", ""};
  CTreeItem root;
  root.m_nKind = kindContacts;
  for (int i = 0; i < 4000; ++i) {
    auto* r = new CTreeItem;
    r->m_strLabel = "Šárka " + std::to_string(i);
    r->m_pExtras = std::make_unique<SRecordExtras>();
    r->m_pExtras->uid = "urn:uuid:Ζωή-" + std::to_string(i);
    r->m_pExtras->rev = revs[i % std::size(revs)];
    CTreeItem::AddChild(&root, r);
  }
  const std::string bytes = StoreDatabase(&root);
  for (size_t splitFrom : {kOneThread, kTwoThreads}) {
    CTreeItem read;
    read.m_nKind = kindContacts;
    std::string error;
    ASSERT_TRUE(LoadDatabase(bytes, read, error, nullptr, splitFrom)) << error;
    ASSERT_EQ(read.ChildCount(), root.ChildCount());
    for (size_t i = 0; i < read.ChildCount(); ++i) {
      ASSERT_TRUE(read.Child(i)->m_pExtras) << i;
      EXPECT_EQ(read.Child(i)->m_pExtras->uid, root.Child(i)->m_pExtras->uid) << i;
      EXPECT_EQ(read.Child(i)->m_pExtras->rev, revs[i % std::size(revs)]) << i;
    }
  }
}

// A large database is written on two threads, the later top records into a buffer of their
// own: the file, its trailer's texts, identities, photos and properties in their records' order
// and the trailer's index of each record must be those one thread writes.
TEST(ZvdSplitSave, shouldWriteTheBytesOneThreadWrites) {
  for (int groups : {0, 1, 2, 3, 40}) {
    CTreeItem root;
    FillTree(root, groups);
    for (EZvdTrailer with : {EZvdTrailer::written, EZvdTrailer::none}) {
      SCOPED_TRACE(std::to_string(groups) + (with == EZvdTrailer::none ? " without" : " with"));
      const std::string once = StoreDatabase(&root, with, kOneThread);
      EXPECT_EQ(StoreDatabase(&root, with, kTwoThreads), once);
      EXPECT_EQ(once.find("Νίκος") != std::string::npos,
                groups > 0 && with == EZvdTrailer::written);
    }
  }
  EXPECT_EQ(StoreDatabase(nullptr, EZvdTrailer::written, kTwoThreads), StoreDatabase(nullptr));
}

// A save hands the second thread's records on after the first's, without joining them: the
// pieces, the trailer's hash of the records among them, make the file one thread writes.
TEST(ZvdSplitSave, shouldHandTheLaterRecordsOnAsTheirOwnPiece) {
  CTreeItem root;
  FillTree(root, 3000);
  SZvdFileParts parts;
  std::string error;
  ASSERT_TRUE(StoreDatabase(&root, zvd_layout::MaxDatabaseBytes(), parts, error)) << error;
  ASSERT_FALSE(parts.laterRecords.empty()) << "the tree is too small to be written on two threads";
  std::string written;
  size_t pieces = 0;
  ASSERT_TRUE(parts.WriteTo([&](std::string_view piece) {
    written += piece;
    ++pieces;
    return true;
  }));
  EXPECT_GE(pieces, 3u);
  EXPECT_EQ(written.size(), parts.Size());
  const std::string once = StoreDatabase(&root, EZvdTrailer::written, kOneThread);
  EXPECT_TRUE(written == once) << "the pieces differ from the file one thread writes";
  EXPECT_TRUE(parts.TakeFile() == once);
}

namespace {

// Contacts below parent, named in several languages; every seventh with a Greek nickname (a
// text of the trailer), every fifth with an identity.
void AddContacts(CTreeItem* parent, int count, int first = 0) {
  static const char* names[] = {"Dvořák", "Wójcik", "Γεωργίου", "李娜", "Šťastná"};
  for (int n = first; n < first + count; ++n) {
    auto* r = new CTreeItem;
    r->m_strLabel = std::string(names[n % 5]) + " " + std::to_string(n);
    if (n % 7 == 0) r->m_strNickname = "Ελένη";
    if (n % 5 == 0) {
      r->m_pExtras = std::make_unique<SRecordExtras>();
      r->m_pExtras->uid = "urn:uuid:" + std::to_string(n);
    }
    CTreeItem::AddChild(parent, r);
  }
}

CTreeItem* AddGroup(CTreeItem* parent, const std::string& label) {
  auto* group = new CTreeItem;
  group->m_strLabel = label;
  group->m_bGroup = 1;
  CTreeItem::AddChild(parent, group);
  return group;
}

}  // namespace

// The middle of the records may fall inside a group, as when a file's contacts were imported
// into a new database as one group: the two threads' bytes must still be one thread's.
TEST(ZvdSplitSave, shouldWriteOneThreadsBytesWhenTheMiddleIsInsideAGroup) {
  struct SShape {
    const char* name;
    void (*fill)(CTreeItem& root);
  };
  const SShape shapes[] = {
      {"one group of all", [](CTreeItem& root) { AddContacts(AddGroup(&root, "Přátelé"), 600); }},
      {"a group in a group",
       [](CTreeItem& root) {
         AddContacts(&root, 3);
         AddContacts(AddGroup(AddGroup(&root, "Rodina"), "Bratranci"), 600, 3);
       }},
      {"the middle at a subgroup",
       [](CTreeItem& root) {
         CTreeItem* group = AddGroup(&root, "Práce");
         AddContacts(group, 300);
         AddContacts(AddGroup(group, "Kolegové"), 300, 300);
         AddContacts(group, 2, 600);
       }},
      {"a chain", [](CTreeItem& root) {
         CTreeItem* parent = &root;
         for (int depth = 0; depth < 40; ++depth) {
           AddContacts(parent, 5, depth * 6);
           parent = AddGroup(parent, "Úroveň " + std::to_string(depth));
         }
       }}};
  for (const SShape& shape : shapes) {
    CTreeItem root;
    root.m_nKind = kindContacts;
    shape.fill(root);
    for (EZvdTrailer with : {EZvdTrailer::written, EZvdTrailer::none}) {
      SCOPED_TRACE(std::string(shape.name) + (with == EZvdTrailer::none ? " without" : " with"));
      const std::string once = StoreDatabase(&root, with, kOneThread);
      EXPECT_EQ(StoreDatabase(&root, with, kTwoThreads), once);
    }
  }
}
