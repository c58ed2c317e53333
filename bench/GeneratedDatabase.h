#pragma once

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "store/AtomicFile.h"
#include "store/Host.h"
#include "store/ZvdFile.h"

#include "store/TreeItem.h"
#include "store/ZorvanDoc.h"

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

// A generated database of n contacts in a file, written once per size and kept for the run.
inline const std::string& GeneratedDatabaseFile(int n) {
  static std::map<int, std::string> files;
  auto it = files.find(n);
  if (it != files.end()) return it->second;
  CTreeItem root;
  root.m_nKind = kindContacts;
  GenerateContacts(root, n);
  const std::string path = "/tmp/zorvan-bench-" + std::to_string(n) + ".zvd";
  std::string error;
  WriteFileAtomically(path, StoreDatabase(&root), error);
  return files.emplace(n, path).first->second;
}

// Opens the generated database of n contacts into doc. A figure measured on a database that did
// not open would mean nothing, so the run stops there.
inline void OpenGenerated(CZorvanDoc& doc, int n) {
  const CStatus opened = doc.OnOpenDocument(GeneratedDatabaseFile(n));
  if (opened) return;
  std::fprintf(stderr, "Cannot open file %s:\n%s.\n", opened.File().c_str(),
               opened.Reason().c_str());
  std::exit(2);
}

// A host that shows nothing and keeps no settings.
class CQuietHost : public IHost {
 public:
  void MessageBox(const std::string&, EMsgIcon) override {}
  bool AskYesNo(const std::string&) override { return false; }
  std::string GetProfileString(const std::string&, const std::string&,
                               const std::string& def) override {
    return def;
  }
  void WriteProfileString(const std::string&, const std::string&, const std::string&) override {}
};

}  // namespace zorvan::bench
