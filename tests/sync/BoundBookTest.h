#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "FakeHost.h"
#include "store/TreeItem.h"
#include "store/ZorvanDoc.h"
#include "sync/BoundContacts.h"
#include "sync/DavServers.h"
#include "sync/SyncEngine.h"

// A group "Rodina" of a new database bound to the address book of a server started for the
// test (Radicale or Xandikos, the parameter), and the means to look at both sides: what the
// synchronisation tests share.
namespace zorvan::sync {

// A phone's vCard 3.0 of a contact named "First Last", with a note.
inline std::string CardWithNote(std::string_view uid, std::string_view name,
                                std::string_view note) {
  return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + std::string(uid) + "\r\nFN:" + std::string(name) +
         "\r\nN:" + std::string(name.substr(name.find(' ') + 1)) + ";" +
         std::string(name.substr(0, name.find(' '))) + ";;;\r\nNOTE:" + std::string(note) +
         "\r\nEND:VCARD\r\n";
}

class CBoundBookTest : public ::testing::TestWithParam<test::EDavServer> {
 protected:
  void SetUp() override {
    m_pServer = std::make_unique<test::CDavServer>(GetParam());
    ASSERT_TRUE(test::OpenSession(*m_pServer, GetParam(), m_session));
    ASSERT_TRUE(m_doc.OnNewDocument());
    m_pGroup = Add(*m_doc.ContactsRoot(), "Rodina", true);
    m_binding.groupUid = BindingUid(*m_pGroup);
    m_binding.bookHref = m_session.strBook;
  }

  CTreeItem* Add(CTreeItem& parent, const char* label, bool group = false) {
    CTreeItem* item = m_doc.CreateRecord(&parent);
    item->m_strLabel = label;
    item->m_bGroup = group ? 1 : 0;
    return item;
  }

  // What the phone does: a card of its own put (over the tag it last saw, else made new).
  std::string PhonePut(const std::string& name, const std::string& card,
                       const std::string& ifMatch = {}) {
    std::string etag;
    SPutCondition condition{ifMatch, ifMatch.empty()};
    const auto put = m_session.pClient->PutCard(m_session.strBook + name, card, condition, etag);
    EXPECT_TRUE(put.Ok()) << put.strMessage;
    return etag;
  }

  // The labels of the group's contacts, sorted.
  std::vector<std::string> LocalLabels() {
    std::vector<std::string> labels;
    for (const SBoundContact& c : BoundContacts(*m_pGroup))
      labels.emplace_back(c.pRecord->m_strLabel.view());
    std::sort(labels.begin(), labels.end());
    return labels;
  }
  // The server's cards with their text.
  std::vector<SRemoteCard> ServerCards() {
    std::vector<SRemoteEntry> entries;
    EXPECT_TRUE(m_session.pClient->ListMembers(m_session.strBook, entries).Ok());
    std::vector<std::string> hrefs;
    for (const SRemoteEntry& e : entries) hrefs.push_back(e.href);
    SDavCards cards;
    EXPECT_TRUE(m_session.pClient->Multiget(m_session.strBook, hrefs, cards).Ok());
    return cards.cards;
  }
  // The names of the server's cards, sorted.
  std::vector<std::string> ServerNames() {
    std::vector<std::string> names;
    for (const SRemoteCard& card : ServerCards())
      names.emplace_back(ContactOfCard(card.vcard).pRecord->m_strLabel.view());
    std::sort(names.begin(), names.end());
    return names;
  }
  CTreeItem* Local(std::string_view label) {
    for (const SBoundContact& c : BoundContacts(*m_pGroup))
      if (c.pRecord->m_strLabel.view() == label) return c.pRecord;
    return nullptr;
  }

  test::CFakeHost m_host;
  CZorvanDoc m_doc{m_host};
  std::unique_ptr<test::CDavServer> m_pServer;
  test::SDavSession m_session;
  CTreeItem* m_pGroup = nullptr;
  SBinding m_binding;
};

}  // namespace zorvan::sync
