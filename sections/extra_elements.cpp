#include "sections/extra_elements.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "document/catalogue_lookup.h"
#include "document/token_stream.h"
#include "partix.h"
#include "platform/numtext.h"

namespace {

// Bound for a record count read from a project file.
constexpr int32_t kMaxRecords = 1000000;

std::string nameOf(const CElem& e) { return elementName(&e); }

// The price the reports take.
float reportPrice(const CElem& element) { return element.data ? priceOf(*element.data) : 0.0f; }

CElem* firstHadarBase(CPartix& catalogue) {
  for (CElem* e = catalogue.head; e; e = e->next)
    if (e->kind == kKindHadarBase && e->data) return e;
  return nullptr;
}

// Fills element, name and price of `r` from the catalogue; false when the
// catalogue has no element for it.
bool resolveRecord(ExtraReportElement& r, CPartix& catalogue) {
  CElem* e = r.kind == kKindHadarBase ? firstHadarBase(catalogue) : findElementByNumber(catalogue, r.catalogueNo);
  r.element = e;
  if (!e) return false;
  r.name = nameOf(*e);
  r.price = r.kind == kKindHadarBase ? 0.0f : reportPrice(*e);
  return true;
}

bool readIntToken(TokenReader& in, int32_t& v) {
  const std::string_view t = in.next();
  if (t.empty()) return false;
  const char* b = t.data();
  const char* e = t.data() + t.size();
  if (*b == '+') ++b;
  int64_t n = 0;
  const auto r = std::from_chars(b, e, n);
  if (r.ec != std::errc() || r.ptr != e || n < INT32_MIN || n > static_cast<int64_t>(UINT32_MAX)) return false;
  v = static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(n)));
  return true;
}

bool readFloatToken(TokenReader& in, float& v) {
  const std::string_view t = in.next();
  if (t.empty()) return false;
  const double d = platform::parseDecimal(t);
  v = std::isfinite(d) && std::fabs(d) < 3.0e38 ? static_cast<float>(d) : 0.0f;
  return true;
}

}  // namespace

int CExtraReportElements::add(CElem* element, int section, float quantity) {
  if (!element || !element->data) return -1;
  ExtraReportElement r;
  r.kind = static_cast<int>(element->kind);
  r.section = section;
  r.catalogueNo = catalogueReference(element);
  r.name = nameOf(*element);
  r.quantity = quantity;
  r.price = r.kind == kKindHadarBase ? 0.0f : reportPrice(*element);
  r.element = element;
  records_.push_back(std::move(r));
  return count() - 1;
}

bool CExtraReportElements::remove(int index) {
  if (index < 0 || index >= count()) return false;
  records_.erase(records_.begin() + index);
  return true;
}

int CExtraReportElements::resolve(CPartix& catalogue) {
  int missing = 0;
  for (ExtraReportElement& r : records_)
    if (!resolveRecord(r, catalogue)) ++missing;
  return missing;
}

void CExtraReportElements::onSectionRemoved(int removed) {
  std::erase_if(records_, [&](const ExtraReportElement& r) { return r.section == removed; });
  for (ExtraReportElement& r : records_)
    if (r.section != ExtraReportElement::kNoSection && r.section > removed) --r.section;
}

void CExtraReportElements::writeProjectBlock(TokenWriter& out) const {
  out.writeInt(count());
  for (const ExtraReportElement& r : records_) {
    out.writeInt(r.kind);
    out.writeInt(r.section);
    out.writeToken(r.kind == kKindHadarBase ? std::string(kHadarBaseNumber)
                                            : (r.catalogueNo.empty() ? std::string("000000") : r.catalogueNo));
    out.writeFloat(r.quantity);
  }
}

CExtraReportElements::ProjectStatus CExtraReportElements::readProjectBlock(TokenReader& in, CPartix& catalogue) {
  int32_t n = 0;
  if (!readIntToken(in, n) || n < 0 || n > kMaxRecords) return ProjectStatus::damaged;
  std::vector<ExtraReportElement> read;
  for (int32_t i = 0; i < n; ++i) {
    ExtraReportElement r;
    int32_t kind = 0, section = 0;
    if (!readIntToken(in, kind) || kind < 0 || kind >= static_cast<int32_t>(kKindCount)) return ProjectStatus::damaged;
    if (!readIntToken(in, section) || section < 0 || section > ExtraReportElement::kNoSection)
      return ProjectStatus::damaged;
    const std::string_view number = in.next();
    if (number.empty() || !readFloatToken(in, r.quantity)) return ProjectStatus::damaged;
    r.kind = kind;
    r.section = section;
    r.catalogueNo = std::string(number);
    resolveRecord(r, catalogue);
    read.push_back(std::move(r));
  }
  records_.insert(records_.end(), read.begin(), read.end());
  return ProjectStatus::ok;
}

CExtraReportElements::ProjectStatus CExtraReportElements::readOldProjectBlock(TokenReader& in, CPartix& catalogue) {
  int32_t n = 0;
  if (!readIntToken(in, n) || n < 0 || n > kMaxRecords) return ProjectStatus::damaged;
  std::vector<ExtraReportElement> read;
  for (int32_t i = 0; i < n; ++i) {
    const std::string_view number = in.next();
    int32_t quantity = 0;
    if (number.empty() || !readIntToken(in, quantity)) return ProjectStatus::damaged;
    CElem* e = findElementByNumber(catalogue, number);
    if (!e || !e->data) return ProjectStatus::missingElement;
    ExtraReportElement r;
    r.kind = static_cast<int>(e->kind);
    r.catalogueNo = std::string(number);
    r.name = nameOf(*e);
    r.quantity = static_cast<float>(quantity);
    r.price = r.kind == kKindHadarBase ? 0.0f : reportPrice(*e);
    r.element = e;
    read.push_back(std::move(r));
  }
  records_.insert(records_.end(), read.begin(), read.end());
  return ProjectStatus::ok;
}

CExtraReportElements& extraReportElements() {
  static CExtraReportElements list;
  return list;
}
