#include "editing/clipboard.h"

#include "objects/cable_set.h"
#include "partix.h"
#include "platform/message_sink.h"
#include "platform/textcodec.h"

void CCopyPaste::copyPrimitive(const CPrimitive& primitive) {
  clear();
  primitive_ = primitive.clone();
}

void CCopyPaste::copyObject(const CWBase& object) {
  if (object.GetType() == kTypeDimension) return;
  clear();
  object_ = object.clone();
}

bool CCopyPaste::copySelection(const CPrimitive* shape, const CWBase* object) {
  if (shape && !shape->deleted) {
    copyPrimitive(*shape);
    return true;
  }
  if (!object || object->deleted) return false;
  bool unavailable = object->elem && object->elem->archived;
  if (object->listCode == kTypeSet) {
    const ConnectionSetLookup* sets = connectionSetLookup();
    const auto info = sets ? sets->findSet(object->kindWord) : std::nullopt;
    unavailable = unavailable || (info && info->unavailable);
  }
  if (unavailable) {
    platform::tell(platform::utf8ToCp1250("Ten element jest niedostępny. Proszę użyć zamiennika z aktualnej bazy danych."),
                   "Informacja.", platform::MessageIcon::Error);
    return false;
  }
  copyObject(*object);
  return true;
}

bool CCopyPaste::paste(CGraphicPlane& doc, CMUndo& undo, platform::Point at) {
  const auto zoom = static_cast<float>(doc.zoom);
  if (primitive_) {
    primitive_->Rescale(zoom);
    auto clone = primitive_->CloneAt(at);
    if (!clone) return false;
    const int type = clone->GetType();
    CPrimitive* added = doc.addPrimitive(type, std::move(clone));
    undo.pushToggle(*added, type);
    return true;
  }
  if (!object_) return false;
  object_->Rescale(zoom);
  auto clone = object_->CloneAt(at);
  if (!clone) return false;
  const int code = clone->GetType();
  CWBase* added = doc.addObject(code, std::move(clone));
  undo.pushToggle(*added, code);
  const bool takesWater = code == kTypeSprinkler || code == kTypeStaticSprinkler || code == kTypeMicroHadar ||
                          code == kTypeDripline || code == kTypeRws;
  if (takesWater && added->GetSectionNo() != kNoSection && doc.capacityExceeded(added->GetSectionNo()))
    platform::tell(platform::utf8ToCp1250("Przekroczono wydajność żródła wody"), "Informacja");
  return true;
}

void CCopyPaste::clear() {
  primitive_.reset();
  object_.reset();
}
