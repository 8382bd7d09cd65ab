#include "editing/undo_history.h"

#include "objects/symbols.h"
#include "platform/message_sink.h"
#include "platform/textcodec.h"

void CObjContainer::Init() {
  if (object_) objectCopy_ = object_->clone();
  if (primitive_) primitiveCopy_ = primitive_->clone();
}

void CObjContainer::Apply() {
  if (object_ && objectCopy_) object_->assign(*objectCopy_);
  if (primitive_ && primitiveCopy_) primitive_->assign(*primitiveCopy_);
  objectCopy_.reset();
  primitiveCopy_.reset();
}

void CDelLast::Apply() {
  if (primitive_) {
    if (type >= kTerrainCircle && type <= kTerrainPolyline) primitive_->deleted = !primitive_->deleted;
    return;
  }
  if (!object_) return;
  switch (type) {
    case kTypeValve: {
      // A water source stays: the plan must keep one.
      const auto* valve = dynamic_cast<const CWValve*>(object_);
      if (valve && valve->IsWaterSource()) return;
      object_->deleted = !object_->deleted;
      return;
    }
    case kTypeSprinkler: case kTypePipe: case kTypeSet: case kTypeController: case kTypeStaticSprinkler:
    case kTypeMicroHadar: case kTypeDripline: case kTypeCable: case kTypeValveBox: case kTypeRainSensor:
    case kTypeRws: case kTypeMicroSprinkler: case kTypeText: case kListCodeDimension:
      object_->deleted = !object_->deleted;
      return;
    default:
      // Filters and regulators: no control places them, nothing to toggle.
      return;
  }
}

void CMUndo::modified() {
  if (onModified) onModified();
}

void CMUndo::pushEntry(std::unique_ptr<CObjContainer> e) {
  modified();
  e->step = openStep_;
  undo_.push_back(std::move(e));
  ++pushedTotal_;
}

const void* CMUndo::targetOf(const CObjContainer& e) {
  return e.object() ? static_cast<const void*>(e.object()) : static_cast<const void*>(e.primitive());
}

void CMUndo::pushSnapshot(CWBase& object) {
  auto e = std::make_unique<CObjContainer>(&object, nullptr);
  e->Init();
  if (checkpoint_) checkpointTargets_.insert(&object);
  pushEntry(std::move(e));
}

void CMUndo::pushSnapshot(CPrimitive& primitive) {
  auto e = std::make_unique<CObjContainer>(nullptr, &primitive);
  e->Init();
  if (checkpoint_) checkpointTargets_.insert(&primitive);
  pushEntry(std::move(e));
}

void CMUndo::pushCopy(CWBase& target, std::unique_ptr<CWBase> copy) {
  auto e = std::make_unique<CObjContainer>(&target, nullptr);
  e->adopt(std::move(copy), nullptr);
  pushEntry(std::move(e));
}

void CMUndo::pushCopy(CPrimitive& target, std::unique_ptr<CPrimitive> copy) {
  auto e = std::make_unique<CObjContainer>(nullptr, &target);
  e->adopt(nullptr, std::move(copy));
  pushEntry(std::move(e));
}

void CMUndo::pushState(CStateSnapshot::Capture capture, CStateSnapshot::Restore restore) {
  auto e = std::make_unique<CStateSnapshot>(std::move(capture), std::move(restore));
  e->Init();
  pushEntry(std::move(e));
}

void CMUndo::pushToggle(CWBase& object, int type) {
  modified();
  undo_.push_back(std::make_unique<CDelLast>(&object, nullptr, type));
  undo_.back()->step = openStep_;
  ++pushedTotal_;
}

void CMUndo::pushToggle(CPrimitive& primitive, int type) {
  modified();
  undo_.push_back(std::make_unique<CDelLast>(nullptr, &primitive, type));
  undo_.back()->step = openStep_;
  ++pushedTotal_;
}

void CMUndo::beginCheckpoint() {
  checkpointTargets_.clear();
  checkpoint_ = true;
}

void CMUndo::endCheckpoint() {
  if (checkpoint_) {
    checkpoint_ = false;
    // The copies of the object being drawn go, wherever undo and redo left
    // them: the object they refer to is finished or gone.
    std::erase_if(undo_, [this](const Entry& e) { return !e->IsToggle() && checkpointTargets_.count(targetOf(*e)); });
    checkpointTargets_.clear();
  }
  redo_.clear();
}

CMUndo::Entry CMUndo::counterpart(const CObjContainer& e) {
  Entry other;
  if (const auto* state = dynamic_cast<const CStateSnapshot*>(&e)) {
    other = state->again();
    other->Init();
  } else if (e.IsToggle()) {
    other = std::make_unique<CDelLast>(e.object(), e.primitive(), static_cast<const CDelLast&>(e).type);
  } else {
    other = std::make_unique<CObjContainer>(e.object(), e.primitive());
    other->Init();
  }
  other->step = e.step;
  return other;
}

void CMUndo::rezoom(const CObjContainer& e, const CGraphicPlane& doc) {
  // A copy may carry the pixels of the zoom it was taken at.
  const auto z = static_cast<float>(doc.zoom);
  if (e.object()) e.object()->Rescale(z);
  if (e.primitive()) e.primitive()->Rescale(z);
}

bool CMUndo::undo(CGraphicPlane& doc) {
  modified();
  if (undo_.empty()) return false;
  const int step = undo_.back()->step;
  do {
    Entry e = std::move(undo_.back());
    undo_.pop_back();
    redo_.push_back(counterpart(*e));
    e->Apply();
    rezoom(*e, doc);
  } while (step != 0 && !undo_.empty() && undo_.back()->step == step);
  if (doc.selected && doc.selected->deleted) doc.selected = nullptr;
  app().undoRedrawPending = 1;
  return true;
}

bool CMUndo::redo(CGraphicPlane& doc) {
  modified();
  if (redo_.empty()) return false;
  auto redoOne = [&] {
    Entry e = std::move(redo_.back());
    redo_.pop_back();
    undo_.push_back(counterpart(*e));
    ++pushedTotal_;
    e->Apply();
    rezoom(*e, doc);
    return e;
  };
  // The entries of an operation before its last, in the order they were made.
  const int step = redo_.back()->step;
  while (step != 0 && redo_.size() > 1 && redo_[redo_.size() - 2]->step == step) redoOne();
  Entry e = redoOne();
  if (doc.selected && doc.selected->deleted) doc.selected = nullptr;
  app().undoRedrawPending = 1;
  if (CWBase* o = e->object(); o && !o->deleted) {
    switch (o->listCode) {
      case kTypeSprinkler: case kTypeStaticSprinkler: case kTypeMicroHadar: case kTypeDripline: case kTypeRws:
        if (o->GetSectionNo() != kNoSection && doc.capacityExceeded(o->GetSectionNo()))
          platform::tell(platform::utf8ToCp1250("Przekroczono wydajność żródła wody"), "Informacja",
                         platform::MessageIcon::Information);
        break;
      default: break;
    }
  }
  return true;
}

void CMUndo::clearAll() {
  undo_.clear();
  redo_.clear();
  checkpointTargets_.clear();
  checkpoint_ = false;
}
