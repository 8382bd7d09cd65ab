#pragma once
// The undo and redo history of the open project.
//
// Before an editing operation changes an object or a terrain primitive it
// records a snapshot (a value copy of the whole thing); an operation that
// has just created one records a toggle (undoing a creation hides it by its
// deleted mark, redoing shows it again). Undo and redo move entries between
// the two histories, so memory grows with what changed, never with the size
// of the plan. The history keeps references to objects that the document
// owns: it is reset whenever a project is made or opened, and the document
// never frees an object while the project is open (deleting only marks).

#include <cstddef>
#include <functional>
#include <memory>
#include <set>
#include <vector>

#include "document/graphic_plane.h"

// One entry of a history: a snapshot or a toggle of an object or a primitive.
class CObjContainer {
 public:
  CObjContainer(CWBase* object, CPrimitive* primitive) : object_(object), primitive_(primitive) {}
  virtual ~CObjContainer() = default;

  virtual int IsToggle() const { return 0; }
  // A snapshot: keeps a copy of the target's current state.
  virtual void Init();
  // A snapshot writes its copy back over the target; a toggle flips the
  // target's deleted mark.
  virtual void Apply();
  // A snapshot taken earlier (before a control point was grabbed).
  void adopt(std::unique_ptr<CWBase> objectCopy, std::unique_ptr<CPrimitive> primitiveCopy) {
    objectCopy_ = std::move(objectCopy);
    primitiveCopy_ = std::move(primitiveCopy);
  }

  CWBase* object() const { return object_; }
  CPrimitive* primitive() const { return primitive_; }

  // The operation of several objects the entry belongs to (0: its own);
  // undo and redo take an operation's entries together.
  int step = 0;

 protected:
  CWBase* object_;
  CPrimitive* primitive_;

 private:
  std::unique_ptr<CWBase> objectCopy_;
  std::unique_ptr<CPrimitive> primitiveCopy_;
};

class CDelLast : public CObjContainer {
 public:
  CDelLast(CWBase* object, CPrimitive* primitive, int type) : CObjContainer(object, primitive), type(type) {}
  int IsToggle() const override { return 1; }
  void Init() override {}
  void Apply() override;
  // 1-5 for terrain primitives, the list code for irrigation objects.
  int type;
};

// A table outside the plan's objects (the section table, say): the entry
// keeps its state as `capture` gave it and gives it back through `restore`.
class CStateSnapshot : public CObjContainer {
 public:
  using Capture = std::function<std::shared_ptr<void>()>;
  using Restore = std::function<void(const std::shared_ptr<void>&)>;
  CStateSnapshot(Capture capture, Restore restore)
      : CObjContainer(nullptr, nullptr), capture_(std::move(capture)), restore_(std::move(restore)) {}
  void Init() override { state_ = capture_(); }
  void Apply() override { restore_(state_); }
  std::unique_ptr<CStateSnapshot> again() const { return std::make_unique<CStateSnapshot>(capture_, restore_); }

 private:
  Capture capture_;
  Restore restore_;
  std::shared_ptr<void> state_;
};

class CMUndo : public UndoLink {
 public:
  // --- recording -----------------------------------------------------------------
  void pushSnapshot(CWBase& object);
  void pushSnapshot(CPrimitive& primitive);
  // A snapshot of `target` taken earlier as `copy`.
  void pushCopy(CWBase& target, std::unique_ptr<CWBase> copy);
  void pushCopy(CPrimitive& target, std::unique_ptr<CPrimitive> copy);
  void pushToggle(CWBase& object, int type);
  void pushToggle(CPrimitive& primitive, int type);
  // The state of a table as it is now, to go back to.
  void pushState(CStateSnapshot::Capture capture, CStateSnapshot::Restore restore);
  // Opens a checkpoint: the snapshots pushed with pushSnapshot until it
  // closes are the vertex copies of the object being drawn.
  void beginCheckpoint();
  // Closes an open checkpoint, dropping every copy of the objects it took
  // snapshots of (also those undo and redo moved since), and empties the
  // redo history. Copies pushed with pushCopy and toggles stay.
  void endCheckpoint();
  void endPendingOperation() override { endCheckpoint(); }
  // What is pushed between these is one operation: undone and redone in one go.
  void beginStep() { openStep_ = ++lastStep_; }
  void endStep() { openStep_ = 0; }

  // --- moving through the history --------------------------------------------------
  // Each returns false when its history was empty. Both put the restored
  // object back at the document's zoom.
  bool undo(CGraphicPlane& doc);
  bool redo(CGraphicPlane& doc);

  // Destroys every entry of both histories.
  void clearAll();
  void reset() { clearAll(); }

  size_t undoCount() const { return undo_.size(); }
  size_t redoCount() const { return redo_.size(); }
  bool checkpointOpen() const { return checkpoint_; }
  // The newest undo entry, or null.
  const CObjContainer* newestUndo() const { return undo_.empty() ? nullptr : undo_.back().get(); }

  // Called by every push, undo and redo: the project has changed.
  std::function<void()> onModified;

 private:
  using Entry = std::unique_ptr<CObjContainer>;
  void modified();
  void pushEntry(std::unique_ptr<CObjContainer> e);
  // Records in `into` the counterpart of `e` (the target's state now).
  static Entry counterpart(const CObjContainer& e);
  static void rezoom(const CObjContainer& e, const CGraphicPlane& doc);
  static const void* targetOf(const CObjContainer& e);

  std::vector<Entry> undo_;  // newest last
  std::vector<Entry> redo_;
  size_t pushedTotal_ = 0;
  std::set<const void*> checkpointTargets_;
  bool checkpoint_ = false;
  int openStep_ = 0, lastStep_ = 0;
};
