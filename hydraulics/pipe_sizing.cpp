#include "hydraulics/pipe_sizing.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

#include "document/graphic_plane.h"
#include "hydraulics/pipe_calculator.h"
#include "objects/polylines.h"
#include "partix.h"
#include "platform/numtext.h"
#include "platform/textcodec.h"
#include "reports/report_items.h"

namespace network {

namespace {

std::string pl(const char* utf8) { return platform::utf8ToCp1250(utf8); }


double innerOf(const CElem* e) { return e ? static_cast<const CRura*>(e->data)->innerDiameter : 0.0; }
double priceOf(const CElem* e) { return e && e->data ? reports::reportPrice(*e->data) : 0.0; }

const CWPipe* pipeAt(const CGraphicPlane& doc, int object) {
  if (object < 0 || object >= static_cast<int>(doc.objects().size())) return nullptr;
  const CWBase& o = *doc.objects()[object];
  return !o.deleted && o.GetType() == kTypePipe ? &static_cast<const CWPipe&>(o) : nullptr;
}

// The metres of a pipe's segment on the ground.
double segmentMetres(const CGraphicPlane& doc, const CWPipe& pipe, int k) {
  const PointD a = pipe.verticesU[k], b = pipe.verticesU[k + 1];
  return std::hypot(a.x - b.x, a.y - b.y) * doc.scaleDenominator / (100.0 * doc.pixelsPerCm);
}

CElem* currentType(const CWPipe& pipe) {
  return pipe.typeAssigned && pipe.elem && pipe.elem->data && pipe.elem->kind == kKindPipe ? pipe.elem : nullptr;
}

}  // namespace

std::vector<CElem*> sizingCandidates(CElem* head) {
  std::vector<CElem*> out;
  for (CElem* e = head; e; e = e->next) {
    if (e->kind != kKindPipe || !e->data || e->archived || e->deleted) continue;
    const double d = innerOf(e);
    if (d >= 2.0 && d <= 1000.0 && std::isfinite(priceOf(e))) out.push_back(e);
  }
  std::stable_sort(out.begin(), out.end(), [](const CElem* a, const CElem* b) {
    if (priceOf(a) != priceOf(b)) return priceOf(a) < priceOf(b);
    return innerOf(a) < innerOf(b);
  });
  return out;
}

std::vector<CElem*> sizingCandidates(CElem* head, const std::vector<CElem*>& allowed) {
  std::vector<CElem*> out = sizingCandidates(head);
  if (!allowed.empty())
    out.erase(std::remove_if(out.begin(), out.end(),
                             [&](CElem* e) { return std::find(allowed.begin(), allowed.end(), e) == allowed.end(); }),
              out.end());
  return out;
}

SizingResult sizePipes(const CGraphicPlane& doc, const CDBSets* sets, CElem* catalogueHead,
                       const SizingOptions& options) {
  SizingResult out;
  const std::vector<CElem*> candidates = sizingCandidates(catalogueHead, options.allowed);
  if (candidates.empty()) {
    out.error = pl("W bazie danych nie ma rur do wyboru.");
    return out;
  }
  Options base;
  base.defaultDiameterMm = options.defaultDiameterMm;
  base.sectionCount = options.sectionCount;
  base.section = options.section;
  const Result first = analyse(doc, sets, base);
  if (!first.ok) {
    out.error = first.error;
    return out;
  }
  // The cheapest type that carries `q` slowly enough; the widest when none does.
  auto slowEnough = [&](double q) {
    for (CElem* e : candidates)
      if (Velocity(q, innerOf(e)) <= options.maxVelocityMS) return e;
    return *std::max_element(candidates.begin(), candidates.end(),
                             [](const CElem* a, const CElem* b) { return innerOf(a) < innerOf(b); });
  };
  // The cheapest type wider than `e`, if any.
  auto wider = [&](const CElem* e) -> CElem* {
    for (CElem* c : candidates)
      if (innerOf(c) > innerOf(e) + 1e-9) return c;
    return nullptr;
  };

  std::unordered_map<int64_t, CElem*> chosen;
  for (const SectionResult& start : first.sections) {
    if (!start.solved || start.heads.empty()) continue;
    Options o = base;
    o.section = start.section;
    std::unordered_map<int64_t, CElem*> pick;
    auto set = [&](int64_t key, CElem* type) {
      pick[key] = type;
      o.segmentDiameterMm[key] = innerOf(type);
    };
    // Sizes by velocity, until the flows they give keep them.
    for (int round = 0; round < 8; ++round) {
      const Result r = analyse(doc, sets, o);
      if (!r.ok || r.sections.empty() || !r.sections[0].solved) break;
      std::unordered_map<int64_t, double> flow;
      for (const PipeResult& p : r.sections[0].pipes)
        if (pipeAt(doc, p.object)) {
          double& q = flow[segmentKey(p.object, p.segment)];
          q = std::max(q, std::abs(p.flowM3H));
        }
      bool changed = false;
      for (const auto& [key, q] : flow) {
        CElem* type = slowEnough(q);
        if (pick.count(key) && pick[key] == type) continue;
        set(key, type);
        changed = true;
      }
      if (!changed) break;
    }
    // Then wider pipes where the most pressure is lost, until the heads lie
    // close enough to each other.
    for (int step = 0; step < 400; ++step) {
      const Result r = analyse(doc, sets, o);
      if (!r.ok || r.sections.empty() || !r.sections[0].solved) break;
      if (r.sections[0].pressureSpreadPct <= options.maxSpreadPct) break;
      std::unordered_map<int64_t, double> loss;
      for (const PipeResult& p : r.sections[0].pipes)
        if (pick.count(segmentKey(p.object, p.segment))) loss[segmentKey(p.object, p.segment)] += p.lossAtm;
      int64_t best = -1;
      double most = 0;
      for (const auto& [key, l] : loss)
        if (l > most && wider(pick[key])) best = key, most = l;
      if (best < 0) break;
      set(best, wider(pick[best]));
    }
    for (const auto& [key, type] : pick) {
      CElem*& kept = chosen[key];
      if (!kept || innerOf(type) > innerOf(kept)) kept = type;
    }
  }

  // The sections with the sizes chosen, and what they still miss.
  Options last = base;
  for (const auto& [key, type] : chosen) last.segmentDiameterMm[key] = innerOf(type);
  out.after = analyse(doc, sets, last);
  for (const SectionResult& s : out.after.sections) {
    const std::string name = std::to_string(s.section + 1);
    if (!s.solved) continue;
    for (const PipeResult& p : s.pipes)
      if (p.velocityMS > options.maxVelocityMS && chosen.count(segmentKey(p.object, p.segment)))
        out.unmet.push_back({"fast", p.object,
                             pl("Żadna rura z bazy danych nie utrzyma w sekcji ") + name + pl(" prędkości wody do ") +
                                 platform::formatFixedComma(options.maxVelocityMS, 1) + pl(" m/s: zostaje ") + platform::formatFixedComma(p.velocityMS, 2) +
                                 " m/s."});
    if (s.pressureSpreadPct > options.maxSpreadPct)
      out.unmet.push_back({"spread", -1,
                           pl("Różnica ciśnień głowic w sekcji ") + name + pl(" zostaje ") +
                               platform::formatFixedComma(s.pressureSpreadPct, 1) + pl(" % najwyższego: sekcja jest za długa.")});
    for (const HeadResult& h : s.heads)
      if (h.belowTable) {
        out.unmet.push_back({"lowPressure", h.object,
                             pl("Źródło wody jest za słabe dla sekcji ") + name + pl(": potrzeba ") +
                                 platform::formatFixedComma(s.requiredSourcePressureAtm, 2) + " atm."});
        break;
      }
  }

  // Every segment of the pipes sized, and the prices.
  const auto& objects = doc.objects();
  for (size_t i = 0; i < objects.size(); ++i) {
    const CWPipe* pipe = pipeAt(doc, static_cast<int>(i));
    if (!pipe) continue;
    bool sized = false;
    for (size_t k = 0; k + 1 < pipe->verticesU.size(); ++k)
      sized = sized || chosen.count(segmentKey(static_cast<int>(i), static_cast<int>(k)));
    for (size_t k = 0; k + 1 < pipe->verticesU.size(); ++k) {
      const int64_t key = segmentKey(static_cast<int>(i), static_cast<int>(k));
      const double metres = segmentMetres(doc, *pipe, static_cast<int>(k));
      CElem* now = currentType(*pipe);
      auto it = chosen.find(key);
      CElem* then = it != chosen.end() ? it->second : now;
      if (std::isfinite(metres)) {
        out.costBefore += metres * priceOf(now);
        out.costAfter += metres * priceOf(then);
      }
      if (sized) out.choices.push_back({static_cast<int>(i), static_cast<int>(k), then});
    }
  }
  out.ok = true;
  return out;
}

int applySizing(CGraphicPlane& doc, const SizingResult& sizing, const SizingEdits& edits) {
  std::map<int, std::vector<CElem*>> byPipe;
  for (const SegmentChoice& c : sizing.choices) {
    const CWPipe* pipe = pipeAt(doc, c.object);
    if (!pipe || c.segment < 0 || c.segment + 1 >= static_cast<int>(pipe->verticesU.size())) continue;
    auto& types = byPipe[c.object];
    types.resize(pipe->verticesU.size() - 1, nullptr);
    types[c.segment] = c.type;
  }
  int changed = 0;
  for (auto& [object, types] : byPipe) {
    auto& pipe = static_cast<CWPipe&>(*doc.objects()[object]);
    for (size_t k = 0; k < types.size(); ++k)
      if (!types[k]) types[k] = currentType(pipe);
    CElem* const first = types.front();
    const bool one = std::all_of(types.begin(), types.end(), [first](CElem* t) { return t == first; });
    if (one) {
      if (types.front() && types.front() != currentType(pipe)) {
        if (edits.beforeChange) edits.beforeChange(pipe);
        pipe.AssignType(types.front());
        ++changed;
      }
      continue;
    }
    // One pipe for each run of segments of one type, in the old one's place.
    const float zoom = static_cast<float>(doc.zoom);
    size_t a = 0;
    while (a < types.size()) {
      size_t b = a;
      while (b + 1 < types.size() && types[b + 1] == types[a]) ++b;
      std::unique_ptr<CWBase> copy = pipe.clone();
      auto& part = static_cast<CWPipe&>(*copy);
      part.vertices.clear();
      part.verticesU.clear();
      part.vertexColours.clear();
      for (size_t v = a; v <= b + 1; ++v) part.AddVertexU(pipe.verticesU[v]);
      part.Rescale(zoom);
      if (types[a]) part.AssignType(types[a]);
      part.deleted = 0;
      CWBase* added = doc.addObject(kTypePipe, std::move(copy));
      if (edits.added) edits.added(*added);
      a = b + 1;
    }
    if (doc.selected == &pipe) doc.selected = nullptr;
    if (edits.beforeChange) edits.beforeChange(pipe);
    pipe.deleted = 1;
    ++changed;
  }
  return changed;
}

}  // namespace network
