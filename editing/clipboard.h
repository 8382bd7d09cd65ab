#pragma once
// The plan's one-item clipboard: a copy of one terrain shape or one object,
// pasted as often as wanted at the points the user right-clicks. It belongs
// to the open project and is not shared with other programs.

#include <memory>

#include "document/graphic_plane.h"
#include "editing/undo_history.h"

class CCopyPaste {
 public:
  // Copies the shape; any held item goes.
  void copyPrimitive(const CPrimitive& primitive);
  // Copies the object, except a dimension line (the held item then stays).
  void copyObject(const CWBase& object);
  // The copy command on the selection: a selected shape, else the selected
  // object; an unavailable set or an archived element is refused with its
  // message. Returns whether something was copied.
  bool copySelection(const CPrimitive* shape, const CWBase* object);
  // A new copy at `at` (plan-view pixels) on `doc`, recorded for undo; a
  // consumer in a section past the source capacity says so. Returns whether
  // something was pasted (filters and regulators paste nothing).
  bool paste(CGraphicPlane& doc, CMUndo& undo, platform::Point at);
  void clear();
  bool hasItem() const { return primitive_ || object_; }

 private:
  std::unique_ptr<CPrimitive> primitive_;
  std::unique_ptr<CWBase> object_;
};
