// Catalogue records: construction, copies and the element list.

#include <new>

#include "catalogue/partix_internal.h"
#include "partix.h"

PARTIX_API const char* ImgDir = nullptr;

#define PARTIX_DEFAULT_MEMBERS(Class)                 \
  Class::Class() = default;                           \
  Class::Class(const Class&) = default;               \
  Class& Class::operator=(const Class&) = default;    \
  Class::~Class() = default;

PARTIX_DEFAULT_MEMBERS(CPrDane)
PARTIX_DEFAULT_MEMBERS(CData)
PARTIX_DEFAULT_MEMBERS(CDBSprinkler)
PARTIX_DEFAULT_MEMBERS(CKontr)
PARTIX_DEFAULT_MEMBERS(CZawor)
PARTIX_DEFAULT_MEMBERS(CRura)
PARTIX_DEFAULT_MEMBERS(CZlacz)
PARTIX_DEFAULT_MEMBERS(CAkces)
PARTIX_DEFAULT_MEMBERS(CZrStat)
PARTIX_DEFAULT_MEMBERS(CDyszaVan)
PARTIX_DEFAULT_MEMBERS(CDyszaPr)
PARTIX_DEFAULT_MEMBERS(CLinKrop)
PARTIX_DEFAULT_MEMBERS(CReg)
PARTIX_DEFAULT_MEMBERS(CFiltr)
PARTIX_DEFAULT_MEMBERS(CStud)
PARTIX_DEFAULT_MEMBERS(CWkladka)
PARTIX_DEFAULT_MEMBERS(CRainSensor)
PARTIX_DEFAULT_MEMBERS(CMkDysza)
PARTIX_DEFAULT_MEMBERS(CMicroSprinklerHADAR)
PARTIX_DEFAULT_MEMBERS(CDyszaMP)
PARTIX_DEFAULT_MEMBERS(CKabel)
PARTIX_DEFAULT_MEMBERS(CNozzleVanNonReg)
PARTIX_DEFAULT_MEMBERS(CNozzleMPNonReg)
PARTIX_DEFAULT_MEMBERS(CNozzleRectNonReg)
PARTIX_DEFAULT_MEMBERS(CRWSSprinkler)
PARTIX_DEFAULT_MEMBERS(CSoilSensor)
PARTIX_DEFAULT_MEMBERS(CMicroSprinkler)

#undef PARTIX_DEFAULT_MEMBERS

// --- CElem -------------------------------------------------------------------

CElem::CElem() = default;
CElem::CElem(const CElem&) = default;
CElem& CElem::operator=(const CElem&) = default;
CElem::~CElem() = default;

namespace {

CData* newRecord(unsigned long kind) {
  switch (kind) {
    case kKindSprinkler: return new (std::nothrow) CDBSprinkler;
    case kKindController: return new (std::nothrow) CKontr;
    case kKindValve: return new (std::nothrow) CZawor;
    case kKindPipe: return new (std::nothrow) CRura;
    case kKindFitting: return new (std::nothrow) CZlacz;
    case kKindOther: return new (std::nothrow) CAkces;
    case kKindStaticBody: return new (std::nothrow) CZrStat;
    case kKindVanNozzle: return new (std::nothrow) CDyszaVan;
    case kKindStripNozzle: return new (std::nothrow) CDyszaPr;
    case kKindDripLine: return new (std::nothrow) CLinKrop;
    case kKindRegulator: return new (std::nothrow) CReg;
    case kKindFilter: return new (std::nothrow) CFiltr;
    case kKindValveBox: return new (std::nothrow) CStud;
    case kKindHadarInsert: return new (std::nothrow) CWkladka;
    case kKindRainSensor: return new (std::nothrow) CRainSensor;
    case kKindHadarNozzle: return new (std::nothrow) CMkDysza;
    case kKindHadarBase: return new (std::nothrow) CMicroSprinklerHADAR;
    case kKindMpNozzle: return new (std::nothrow) CDyszaMP;
    case kKindCable: return new (std::nothrow) CKabel;
    case kKindVanNozzleFixed: return new (std::nothrow) CNozzleVanNonReg;
    case kKindMpNozzleFixed: return new (std::nothrow) CNozzleMPNonReg;
    case kKindRectRotaryNozzle: return new (std::nothrow) CNozzleRectNonReg;
    case kKindRws: return new (std::nothrow) CRWSSprinkler;
    case kKindSoilSensor: return new (std::nothrow) CSoilSensor;
    case kKindMicroSprinkler: return new (std::nothrow) CMicroSprinkler;
    default: return nullptr;
  }
}

}  // namespace

void CElem::InitData(unsigned long code) {
  kind = static_cast<uint32_t>(code);
  if (code >= kKindCount) return;
  data = newRecord(code);
}

void CElem::FreeData() {
  delete data;
  data = nullptr;
}

void CElem::FreeAll() {
  // Iterative, so that a long list cannot exhaust the stack.
  CElem* e = this;
  while (e) {
    CElem* following = e->next;
    delete e->data;
    delete e;
    e = following;
  }
}

void CElem::Init_Next() { next = new (std::nothrow) CElem; }

// --- CPartix -----------------------------------------------------------------

CPartix::CPartix() = default;
CPartix::CPartix(const CPartix&) = default;
CPartix& CPartix::operator=(const CPartix&) = default;

CPartix::~CPartix() {
  // The list is the caller's to release; the library only forgets the root.
  if (partix::currentCatalogue() == this) partix::setCurrentCatalogue(nullptr);
}

void CPartix::AddElement(CElem* element) {
  CElem* copy = new CElem(*element);
  copy->next = nullptr;
  if (!head)
    head = copy;
  else
    tail->next = copy;
  tail = copy;
  ++count;
}

void CPartix::ReleaseDB() {
  if (!head) return;
  head->FreeAll();
  head = nullptr;
}

void CPartix::SaveDB() {}
