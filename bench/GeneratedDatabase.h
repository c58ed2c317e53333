#pragma once

#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "store/AtomicFile.h"
#include "store/TreeItem.h"
#include "store/ZorvanDoc.h"
#include "store/ZvdFile.h"
#include "tests/QuietHost.h"

namespace zorvan::bench {

// Fills root with n typical contacts in groups of 50: names, an address, phones, e-mail,
// company, a birthday for every second contact, a nameday for every third and an anniversary
// for every tenth; about 250 bytes a record in the file.
inline void GenerateContacts(CTreeItem& root, int n) {
  static const char* first[] = {"Jan", "Petr", "Eva", "Jana", "Tomáš", "Lucie", "Martin", "Věra"};
  static const char* last[] = {"Novák", "Svoboda", "Dvořák", "Černá", "Procházka", "Kučera"};
  CTreeItem* group = nullptr;
  for (int i = 0; i < n; ++i) {
    if (i % 50 == 0) {
      group = new CTreeItem;
      group->m_strLabel = "Group " + std::to_string(i / 50);
      group->m_bGroup = 1;
      CTreeItem::AddChild(&root, group);
    }
    auto* r = new CTreeItem;
    r->m_strFirstName = first[i % 8];
    r->m_strLastName = last[i % 6];
    r->m_strLabel = r->m_strFirstName + " " + r->m_strLastName.str() + " " + std::to_string(i);
    r->m_strHomeStreet = "Dlouhá " + std::to_string(i % 200);
    r->m_strHomeCity = "Praha";
    r->m_strHomePostalCode = "110 00";
    r->m_strHomePhone = "+420 2" + std::to_string(10000000 + i);
    r->m_strPersonalMobile = "+420 6" + std::to_string(10000000 + i);
    r->m_strPersonalEmail = "contact" + std::to_string(i) + "@example.com";
    r->m_strCompany = "Firma " + std::to_string(i % 300) + " s.r.o.";
    r->m_strJobTitle = "Engineer";
    r->m_nPrefEmail = 0;
    r->m_bBirthday = i % 2 == 0;
    r->m_dtBirthday = CDateTime(1950 + i % 50, 1 + (i / 7) % 12, 1 + (i * 13) % 28);
    r->m_bNameDay = i % 3 == 0;
    r->m_dtNameDay = CDateTime(2000, 1 + (i / 5) % 12, 1 + (i * 11) % 28);
    r->m_bAnniversary = i % 10 == 0;
    r->m_dtAnniversary = CDateTime(1990, 1 + (i / 3) % 12, 1 + (i * 17) % 28);
    r->m_strAnniversaryText = "wedding";
    CTreeItem::AddChild(group, r);
  }
}

// A file of this name in a folder of the run's own under the system's temporary folder, so
// that runs side by side do not share files; the folder goes when the run ends.
inline std::string BenchFile(const std::string& name) {
  struct SFolder {
    std::string path;
    SFolder() {
      std::string tmpl = (std::filesystem::temp_directory_path() / "zorvan-bench-XXXXXX").string();
      if (::mkdtemp(tmpl.data())) path = tmpl;
    }
    ~SFolder() {
      std::error_code ignored;
      if (!path.empty()) std::filesystem::remove_all(path, ignored);
    }
  };
  static const SFolder folder;
  return folder.path + "/" + name;
}

// A generated database of n contacts in a file, written once per size and kept for the run.
inline const std::string& GeneratedDatabaseFile(int n) {
  static std::map<int, std::string> files;
  auto it = files.find(n);
  if (it != files.end()) return it->second;
  CTreeItem root;
  root.m_nKind = kindContacts;
  GenerateContacts(root, n);
  const std::string path = BenchFile("contacts-" + std::to_string(n) + ".zvd");
  std::string error;
  WriteFileAtomically(path, StoreDatabase(&root), error);
  return files.emplace(n, path).first->second;
}

// The same n contacts all in one group, "Rodina", below the root: a file written once per size.
inline const std::string& OneGroupDatabaseFile(int n) {
  static std::map<int, std::string> files;
  auto it = files.find(n);
  if (it != files.end()) return it->second;
  CTreeItem root;
  root.m_nKind = kindContacts;
  auto* group = new CTreeItem(CText("Rodina"));
  group->m_bGroup = 1;
  CTreeItem::AddChild(&root, group);
  GenerateContacts(*group, n);
  const std::string path = BenchFile("one-group-" + std::to_string(n) + ".zvd");
  std::string error;
  WriteFileAtomically(path, StoreDatabase(&root), error);
  return files.emplace(n, path).first->second;
}

using test::CQuietHost;

// Opens the database file at path into doc. A figure measured on a database that did not open
// would mean nothing, so the run stops there.
inline void OpenFile(CZorvanDoc& doc, const std::string& path) {
  const CStatus opened = doc.OnOpenDocument(path);
  if (opened) return;
  std::fprintf(stderr, "Cannot open file %s:\n%s.\n", opened.File().c_str(),
               opened.Reason().c_str());
  std::exit(2);
}

// Opens the generated database of n contacts into doc.
inline void OpenGenerated(CZorvanDoc& doc, int n) { OpenFile(doc, GeneratedDatabaseFile(n)); }

}  // namespace zorvan::bench
