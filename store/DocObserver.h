#pragma once

namespace zorvan {

class CTreeItem;

// Update hints of the document's update-all-views notification.
enum EUpdateHint {
  HINT_NONE = 0,           // the whole tree was loaded or replaced
  HINT_SHOW_RECORD = 1,    // show this record
  HINT_CALENDAR_DAY = 4,   // a calendar node without a contact: show its day
  HINT_EVENT_CONTACT = 5,  // the contact of a calendar event node
};

// A view of the document. Besides the hints, a view hears of every node that is about to be
// destroyed, so that it never keeps a pointer into freed records.
class IDocObserver {
 public:
  virtual ~IDocObserver() = default;
  virtual void OnUpdate(IDocObserver* sender, int hint, CTreeItem* object) = 0;
  // node and its whole subtree are about to be destroyed; null means the whole tree.
  virtual void OnAboutToDestroy(CTreeItem* node) = 0;
};

}  // namespace zorvan
