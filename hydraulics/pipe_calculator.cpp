#include "hydraulics/pipe_calculator.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "document/graphic_plane.h"
#include "objects/micro_sprinklers.h"
#include "objects/polylines.h"
#include "objects/sprinkler.h"
#include "objects/static_sprinkler.h"
#include "partix.h"
#include "platform/message_sink.h"
#include "platform/numtext.h"
#include "platform/textcodec.h"

namespace {

// F(n) for n = 0..30, as single-precision values.
constexpr float kOutletFactors[31] = {
    0.0f,   1.0f,   0.639f, 0.535f, 0.486f, 0.457f, 0.435f, 0.425f, 0.415f, 0.409f, 0.408f,
    0.397f, 0.394f, 0.391f, 0.387f, 0.384f, 0.382f, 0.38f,  0.379f, 0.377f, 0.376f, 0.375f,
    0.374f, 0.373f, 0.372f, 0.371f, 0.37f,  0.369f, 0.369f, 0.368f, 0.368f};

const std::string& capacityExceededText() {
  static const std::string text = platform::utf8ToCp1250("Przekroczono wydajność żródła wody");
  return text;
}

// The order of a sorted list box: letters compare without regard to case.
bool listOrder(const std::string& a, const std::string& b) {
  auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; };
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [&](char x, char y) { return lower(x) < lower(y); });
}

std::string twoDecimals(double v) { return platform::formatFixed(v, 2); }

void tellInfo(const char* text) { platform::tell(text, "Info"); }

}  // namespace

// --- formulas ------------------------------------------------------------------

float OutletFactor(int outlets) {
  if (outlets <= 0) return kOutletFactors[0];
  return kOutletFactors[std::min(outlets, 30)];
}

double FrictionLoss(double q, double d, double l, double f) {
  return 1.131e9 * std::pow(d, -4.87) * std::pow(q / 135.0, 1.852) * l * f;
}

double Velocity(double q, double d) {
  const double metres = d / 1000.0;
  return q / (metres * metres * 900.0 * 3.14159);
}

int roundHalfDown(float metres) {
  // A length beyond what an int holds (a damaged drawing scale) is the
  // largest one rather than an undefined conversion.
  if (std::isnan(metres)) return 0;
  if (metres > 2147483520.0f) return INT_MAX;  // the largest float below 2^31
  if (metres <= -2147483648.0f) return INT_MIN;
  const float whole = std::floor(metres);
  const float rest = metres - whole - 0.5f;
  if (rest > 0.0f) return static_cast<int>(std::ceil(metres));
  if (rest < 0.0f) return static_cast<int>(whole);
  return static_cast<int>(metres);
}

int PipeLengthM(const CWPipe& pipe, float scaleDenominator, float pixelsPerCm) {
  const float metres = pipe.LengthU() / pixelsPerCm * scaleDenominator / 100.0f;
  if (!std::isfinite(metres)) return 0;
  return roundHalfDown(metres);
}

// --- the connected consumers ---------------------------------------------------

const int* connectedFlag(const CWBase& o) {
  switch (o.GetType()) {
    case kTypeSprinkler: return &static_cast<const CWSprinkler&>(o).connected;
    case kTypeStaticSprinkler: return &static_cast<const CWStaticSprinkler&>(o).connected;
    case kTypeMicroHadar: return &static_cast<const CWMicroSprinklerHadar&>(o).connected;
    case kTypeDripline: return &static_cast<const CWDripline&>(o).connected;
    case kTypeRws: return &static_cast<const CWRwsSprinkler&>(o).connected;
    case kTypeMicroSprinkler: return &static_cast<const CWMicroSprinkler&>(o).connected;
    default: return nullptr;
  }
}

int* connectedFlag(CWBase& o) { return const_cast<int*>(connectedFlag(static_cast<const CWBase&>(o))); }

ConnectedFlowSum ConnectedFlow(CGraphicPlane& doc) {
  ConnectedFlowSum sum;
  for (const auto& o : doc.objects()) {
    if (o->deleted) continue;
    const int* mark = connectedFlag(*o);
    if (!mark || !*mark) continue;
    switch (o->GetType()) {
      case kTypeStaticSprinkler: {
        const float flow = static_cast<CWStaticSprinkler&>(*o).flow;
        if (!isStaticFlowError(flow)) sum.flow += flow;
        break;
      }
      case kTypeDripline: {
        auto& line = static_cast<CWDripline&>(*o);
        line.UpdateFlow(doc.scaleDenominator, doc.pixelsPerCm, doc.sourcePressure);
        sum.flow += line.flow;
        break;
      }
      default:
        sum.flow += o->GetFlow();
        break;
    }
    ++sum.count;
  }
  return sum;
}

bool toggleConnected(CGraphicPlane& doc, CWBase& object) {
  int* mark = connectedFlag(object);
  if (!mark) return false;
  *mark = *mark ? 0 : 1;
  if (doc.capacityExceeded(-1)) platform::tell(capacityExceededText(), "Informacja", platform::MessageIcon::Information);
  return true;
}

CWBase* markConnectedAt(CGraphicPlane& doc, platform::Point p) {
  static const std::vector<int> consumers = {kTypeSprinkler, kTypeStaticSprinkler, kTypeMicroHadar,
                                             kTypeDripline,  kTypeRws,             kTypeMicroSprinkler};
  CWBase* hit = doc.pickObject(p, 1, consumers);
  doc.selected = nullptr;
  if (hit) toggleConnected(doc, *hit);
  if (doc.requestRepaint) doc.requestRepaint();
  return hit;
}

CWPipe* pointPipeAt(CGraphicPlane& doc, platform::Point p) {
  CWBase* hit = doc.pickObject(p, 0, {kTypePipe});
  doc.selected = nullptr;
  auto* pipe = dynamic_cast<CWPipe*>(hit);
  if (pipe) doc.pointedPipe = pipe;
  if (doc.requestRepaint) doc.requestRepaint();
  return pipe;
}

CWPipe* pointedPipeOf(const CGraphicPlane& doc) {
  auto* pipe = dynamic_cast<CWPipe*>(doc.pointedPipe);
  return pipe && !pipe->deleted ? pipe : nullptr;
}

void clearConnectedMarks(CGraphicPlane& doc) {
  for (const auto& o : doc.objects())
    if (int* mark = connectedFlag(*o)) *mark = 0;
}

void selectTool(CGraphicPlane& doc, int code) {
  doc.cancelTool();
  doc.tool = code;
}

// --- pipe types ------------------------------------------------------------------

std::vector<PipeTypeChoice> pipeTypeChoices(CElem* head) {
  std::vector<PipeTypeChoice> out;
  for (CElem* e = head; e; e = e->next) {
    if (e->kind != kKindPipe || !e->data || e->archived || e->deleted) continue;
    const auto* pipe = static_cast<const CRura*>(e->data);
    out.push_back({std::string(pipe->name, strnlen(pipe->name, sizeof pipe->name)), e, pipe->innerDiameter});
  }
  std::stable_sort(out.begin(), out.end(),
                   [](const PipeTypeChoice& a, const PipeTypeChoice& b) { return listOrder(a.name, b.name); });
  return out;
}

// --- the free calculator -----------------------------------------------------------

PipeCalculator::PipeCalculator(CElem* head) : types_(pipeTypeChoices(head)) {
  if (!types_.empty()) selectType(0);
}

void PipeCalculator::selectType(int index) {
  if (index < 0 || index >= static_cast<int>(types_.size())) return;
  selected_ = index;
  diameter = types_[index].innerDiameter;
}

void PipeCalculator::setFlowText(std::string_view text) { flow = platform::parseUserDecimal(text); }
void PipeCalculator::setLengthText(std::string_view text) { length = platform::parseUserDecimal(text); }
void PipeCalculator::setOutletsText(std::string_view text) { outlets = platform::parseUserDecimal(text); }

bool PipeCalculator::compute() {
  if (selected_ < 0) return false;
  // The count is truncated; the table ends at 30 outlets.
  const int n = outlets >= 30.0 ? 30 : outlets > 0.0 ? static_cast<int>(outlets) : 0;
  pressureDropText = twoDecimals(FrictionLoss(flow, diameter, length, OutletFactor(n)) / 10.0);
  velocityText = twoDecimals(Velocity(flow, diameter));
  return true;
}

// --- the calculators of a pipe on the plan ---------------------------------------

PlanPipeCalculation::PlanPipeCalculation(Kind kind, CElem* head) : kind_(kind), types_(pipeTypeChoices(head)) {
  if (!types_.empty()) selected_ = 0;
}

void PlanPipeCalculation::selectType(int index) {
  if (index >= 0 && index < static_cast<int>(types_.size())) selected_ = index;
}

bool PlanPipeCalculation::setOutletCount(int n) {
  if (n < 0 || n > kMaxOutlets) return false;
  outlets_ = n;
  return true;
}

bool PlanPipeCalculation::compute(CGraphicPlane& doc) {
  const ConnectedFlowSum connected = ConnectedFlow(doc);
  int n = 0;
  if (kind_ == Kind::MainPipe) {
    n = outlets_;
    if (n == 0) return false;
  } else {
    n = connected.count;
    if (n == 0) {
      tellInfo("Musi byc zaznaczony przynajmniej jeden zraszacz");
      return false;
    }
    results.flow = twoDecimals(connected.flow);
    results.outlets = std::to_string(n);
  }
  const CWPipe* pipe = pointedPipeOf(doc);
  if (!pipe) {
    tellInfo("Rurociag nie zostal wybrany z rysunku");
    return false;
  }
  const int lengthM = PipeLengthM(*pipe, doc.scaleDenominator, doc.pixelsPerCm);
  results.flow = twoDecimals(connected.flow);
  results.length = twoDecimals(lengthM);
  // Without a pipe type there is no diameter to compute with.
  if (selected_ < 0) return false;
  const double d = types_[selected_].innerDiameter;
  results.pressureDrop = twoDecimals(FrictionLoss(connected.flow, d, lengthM, OutletFactor(std::min(n, 30))) / 10.0);
  results.velocity = twoDecimals(Velocity(connected.flow, d));
  return true;
}

void PlanPipeCalculation::apply(CGraphicPlane& doc) {
  if (CWPipe* pipe = pointedPipeOf(doc); pipe && selected_ >= 0) {
    pipe->AssignType(types_[selected_].elem);
    selectTool(doc, kToolSelect);
  }
  close(doc);
}

void PlanPipeCalculation::close(CGraphicPlane& doc) {
  clearConnectedMarks(doc);
  doc.pointedPipe = nullptr;
  selectTool(doc, kToolSelect);
  if (doc.requestRepaint) doc.requestRepaint();
}
