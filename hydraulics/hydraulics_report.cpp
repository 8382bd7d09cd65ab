#include "hydraulics/hydraulics_report.h"

#include "document/graphic_plane.h"

HydraulicsReport buildHydraulicsReport(CGraphicPlane& doc) {
  HydraulicsReport r;
  r.hasWaterSource = doc.hasWaterSource != 0;
  r.sourcePressure = doc.sourcePressure;
  r.sourceCapacity = doc.sourceCapacity;
  r.connectedFlow = ConnectedFlow(doc);
  for (const auto& o : doc.objects()) {
    if (o->deleted) continue;
    HydraulicsObject entry;
    entry.listCode = o->listCode;
    entry.sectionNo = o->GetSectionNo();
    if (const int* mark = connectedFlag(*o)) entry.connected = *mark;
    entry.flow = o->GetFlow();
    r.objects.push_back(entry);
  }
  r.sections = GatherSections(doc);
  return r;
}
