#pragma once

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "store/TreeViewPort.h"

namespace zorvan::test {

// A tree control in memory: items with text, image, node and children, so tests can check
// what a view would show.
class CFakeTreePort : public ITreeViewPort {
 public:
  struct SItem {
    SItem* parent = nullptr;
    CTreeItem* node = nullptr;
    std::string text;
    int image = -1;
    std::vector<SItem*> children;
  };

  TreeHandle InsertItem(TreeHandle parent, CTreeItem* node, const std::string& text,
                        int image) override {
    auto item = std::make_unique<SItem>();
    item->parent = static_cast<SItem*>(parent);
    item->node = node;
    item->text = text;
    item->image = image;
    SItem* raw = item.get();
    (raw->parent ? raw->parent->children : roots).push_back(raw);
    items.emplace(raw, std::move(item));
    return raw;
  }
  void SetItemText(TreeHandle h, const std::string& text) override { Get(h)->text = text; }
  void SetItemImage(TreeHandle h, int image) override { Get(h)->image = image; }
  void DeleteItem(TreeHandle h) override {
    SItem* item = Get(h);
    auto& siblings = item->parent ? item->parent->children : roots;
    siblings.erase(std::find(siblings.begin(), siblings.end(), item));
    Erase(item);
    ++deletes;
  }
  void SortChildren(TreeHandle h) override {
    auto& c = Get(h)->children;
    std::stable_sort(c.begin(), c.end(), [](SItem* a, SItem* b) { return a->text < b->text; });
    ++sorts;
  }

  // Gives every node of the tree an item, as the view's fill does.
  void Fill(CTreeItem* node, SItem* parent = nullptr) {
    node->m_hItem = InsertItem(parent, node, node->m_strLabel.str(), NodeImage(*node));
    for (size_t i = 0; i < node->ChildCount(); ++i)
      Fill(node->Child(i), static_cast<SItem*>(node->m_hItem));
  }

  static SItem* Get(TreeHandle h) { return static_cast<SItem*>(h); }
  static std::vector<std::string> Texts(TreeHandle h) {
    std::vector<std::string> t;
    for (SItem* c : Get(h)->children) t.push_back(c->text);
    return t;
  }

  std::vector<SItem*> roots;
  std::map<SItem*, std::unique_ptr<SItem>> items;
  int deletes = 0;
  int sorts = 0;

 private:
  void Erase(SItem* item) {
    for (SItem* c : item->children) Erase(c);
    items.erase(item);
  }
};

}  // namespace zorvan::test
