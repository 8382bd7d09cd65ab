#include "hydraulics/zoning.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

#include "document/graphic_plane.h"
#include "document/terrain.h"
#include "hydraulics/coverage.h"
#include "hydraulics/network.h"
#include "objects/polylines.h"
#include "objects/static_sprinkler.h"
#include "platform/numtext.h"
#include "platform/textcodec.h"
#include "sections/section_list.h"

namespace zoning {

namespace {

std::string pl(const char* utf8) { return platform::utf8ToCp1250(utf8); }

bool familyOf(const CWBase& o, Family& f) {
  switch (o.GetType()) {
    case kTypeSprinkler: f = Family::Rotor; return true;
    case kTypeStaticSprinkler: f = Family::Spray; return true;
    case kTypeMicroSprinkler:
    case kTypeMicroHadar: f = Family::Micro; return true;
    case kTypeDripline:
    case kTypeRws: f = Family::Drip; return true;
    default: return false;
  }
}

double flowOf(const CWBase& o) {
  double q = o.GetType() == kTypeStaticSprinkler ? static_cast<const CWStaticSprinkler&>(o).flow : o.GetFlow();
  if (o.GetType() == kTypeStaticSprinkler && isStaticFlowError(static_cast<float>(q))) q = 0;
  return std::isfinite(q) && q > 0 ? q : 0.0;
}

// Where a head stands; a drip line in the middle of its vertices.
PointD placeOf(const CWBase& o) {
  if (o.GetType() == kTypeDripline) {
    const auto& d = static_cast<const CWDripline&>(o);
    if (d.verticesU.empty()) return {};
    double x = 0, y = 0;
    for (const PointD& v : d.verticesU) x += v.x, y += v.y;
    return {x / d.verticesU.size(), y / d.verticesU.size()};
  }
  return network::placeOf(o);
}


const char* lowerName(Family f) {
  switch (f) {
    case Family::Rotor: return "rotory";
    case Family::Spray: return "zraszacze statyczne";
    case Family::Micro: return "mikrozraszacze";
    case Family::Drip: return "nawadnianie kroplowe";
  }
  return "";
}

// Colours far apart from each other, for the sections in turn.
platform::Colour colourOf(int i) {
  static const platform::Colour table[] = {
      platform::rgb(0, 160, 0),   platform::rgb(0, 90, 200),   platform::rgb(200, 100, 0), platform::rgb(160, 0, 160),
      platform::rgb(0, 150, 150), platform::rgb(200, 0, 40),   platform::rgb(110, 80, 0),  platform::rgb(90, 90, 255),
      platform::rgb(0, 100, 60),  platform::rgb(230, 150, 0),  platform::rgb(120, 0, 60),  platform::rgb(60, 60, 60)};
  return table[static_cast<size_t>(i) % std::size(table)];
}

}  // namespace

std::string familyName(Family f) {
  switch (f) {
    case Family::Rotor: return pl("Rotory");
    case Family::Spray: return pl("Zraszacze statyczne");
    case Family::Micro: return pl("Mikrozraszacze");
    case Family::Drip: return pl("Nawadnianie kroplowe");
  }
  return {};
}

Result divide(const CGraphicPlane& doc, const Options& options) {
  Result out;
  if (!doc.hasWaterSource) {
    out.error = pl("W projekcie nie ma źródła wody.");
    return out;
  }
  if (!(options.capacityShare >= 0.05 && options.capacityShare <= 1.0)) {
    out.error = pl("Udział wydajności źródła musi wynosić od 5 do 100 %.");
    return out;
  }
  const double capacity = options.capacityShare * doc.sourceCapacity;
  if (!(capacity > 0) || !std::isfinite(capacity)) {
    out.error = pl("Podaj wydajność źródła wody: bez niej nie da się podzielić instalacji na sekcje.");
    return out;
  }
  out.capacityM3H = capacity;
  const double metresPerUnit = doc.scaleDenominator / (100.0 * doc.pixelsPerCm);

  struct Head {
    int object;
    PointD at;
    double flow;
  };
  std::map<Family, std::vector<Head>> families;
  const auto& objects = doc.objects();
  for (size_t i = 0; i < objects.size(); ++i) {
    const CWBase& o = *objects[i];
    Family f;
    if (o.deleted || !familyOf(o, f)) continue;
    const PointD at = placeOf(o);
    if (!std::isfinite(at.x) || !std::isfinite(at.y)) continue;
    const double q = flowOf(o);
    if (q > capacity + 1e-12) {
      out.error = o.GetKindName() + " (" + platform::formatFixedComma(at.x * metresPerUnit, 2) + "; " +
                  platform::formatFixedComma(at.y * metresPerUnit, 2) + pl(" m) sam potrzebuje ") +
                  platform::formatFixedComma(q, 3) + pl(" m3/h, więcej niż ") + platform::formatFixedComma(capacity, 3) +
                  pl(" m3/h, które może dać sekcji źródło wody.");
      return out;
    }
    families[f].push_back({static_cast<int>(i), at, q});
  }
  if (families.empty()) {
    out.error = pl("Na planie nie ma zraszaczy ani linii kroplujących do podzielenia na sekcje.");
    return out;
  }

  // The watered areas, in drawing order, for the sections' names.
  std::vector<std::pair<int, std::vector<PointD>>> areas;
  for (const auto& p : doc.terrain())
    if (p && !p->deleted && isWateredSurface(*p))
      if (auto polygon = terrainPolygon(*p, 32); polygon.size() >= 3) areas.push_back({p->fillKind, std::move(polygon)});

  for (auto& entry : families) {
    const Family family = entry.first;
    std::vector<Head>& heads = entry.second;
    double total = 0;
    for (const Head& h : heads) total += h.flow;
    const int least = std::max(1, static_cast<int>(std::ceil(total / capacity - 1e-9)));
    const double target = total / least;
    std::vector<char> taken(heads.size(), 0);
    size_t left = heads.size();
    int number = 0;
    while (left > 0) {
      // The free head farthest from the middle of the free ones.
      double cx = 0, cy = 0;
      for (size_t i = 0; i < heads.size(); ++i)
        if (!taken[i]) cx += heads[i].at.x, cy += heads[i].at.y;
      cx /= static_cast<double>(left), cy /= static_cast<double>(left);
      size_t seed = 0;
      double far = -1;
      for (size_t i = 0; i < heads.size(); ++i) {
        if (taken[i]) continue;
        const double d = std::hypot(heads[i].at.x - cx, heads[i].at.y - cy);
        if (d > far + 1e-9) far = d, seed = i;
      }
      Section s;
      s.family = family;
      std::vector<double> distance(heads.size(), std::numeric_limits<double>::infinity());
      auto add = [&](size_t i) {
        taken[i] = 1;
        --left;
        s.objects.push_back(heads[i].object);
        s.flowM3H += heads[i].flow;
        for (size_t k = 0; k < heads.size(); ++k)
          if (!taken[k]) distance[k] = std::min(distance[k], std::hypot(heads[k].at.x - heads[i].at.x, heads[k].at.y - heads[i].at.y));
      };
      add(seed);
      while (left > 0 && s.flowM3H < target - 1e-9) {
        size_t next = heads.size();
        for (size_t k = 0; k < heads.size(); ++k)
          if (!taken[k] && (next == heads.size() || distance[k] < distance[next])) next = k;
        if (s.flowM3H + heads[next].flow > capacity + 1e-12) break;
        add(next);
      }
      // The name of the area most of the section stands in.
      std::map<int, int> votes;
      for (int object : s.objects) {
        const PointD at = placeOf(*objects[object]);
        int kind = 0;
        for (const auto& [fill, polygon] : areas)
          if (insidePolygon(polygon, at)) kind = fill;
        if (kind) ++votes[kind];
      }
      ++number;
      const std::string counted = std::string(lowerName(family)) + " " + std::to_string(number);
      int best = 0, most = 0;
      for (const auto& [kind, n] : votes)
        if (n > most) best = kind, most = n;
      s.description = best ? fillKindName(best) + pl(" – ") + pl(counted.c_str()) : familyName(family) + " " + std::to_string(number);
      std::sort(s.objects.begin(), s.objects.end());
      out.sections.push_back(std::move(s));
    }
  }
  if (static_cast<int>(out.sections.size()) > CSectionList::kMaxSections) {
    out.error = pl("Podział wymaga więcej sekcji, niż może mieć projekt.");
    out.sections.clear();
    return out;
  }
  for (size_t i = 0; i < out.sections.size(); ++i) out.sections[i].colour = colourOf(static_cast<int>(i));
  out.ok = true;
  return out;
}

void apply(CGraphicPlane& doc, CSectionList& sections, const Result& result,
           const std::function<void(CWBase&)>& beforeChange) {
  if (!result.ok || result.sections.empty()) return;
  sections.reset();
  sections.setCount(static_cast<int>(result.sections.size()));
  const auto& objects = doc.objects();
  for (size_t i = 0; i < result.sections.size(); ++i)
    for (int object : result.sections[i].objects) {
      if (object < 0 || object >= static_cast<int>(objects.size())) continue;
      CWBase& o = *objects[object];
      if (beforeChange) beforeChange(o);
      o.SetSectionNo(static_cast<int>(i));
      o.SetSectionColour(result.sections[i].colour);
    }
  for (size_t i = 0; i < result.sections.size(); ++i)
    sections.describeSection(doc, static_cast<int>(i), result.sections[i].description, result.sections[i].colour);
  sections.select(0);
}

}  // namespace zoning
