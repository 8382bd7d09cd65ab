#include "document/catalogue_lookup.h"

#include <cmath>
#include <cstring>
#include <string>
#include <unordered_map>

#include "partix.h"
#include "platform/textcodec.h"

std::string elementName(const CElem* element) {
  if (!element || !element->data) return {};
  return std::string(element->data->name, strnlen(element->data->name, sizeof element->data->name));
}

std::string catalogueReference(const CElem* element) {
  if (!element || !element->data) return "000000";
  const CData& d = *element->data;
  std::string number;
  if (element->kind == kKindHadarBase) {
    const auto& base = static_cast<const CMicroSprinklerHADAR&>(d);
    if (base.componentCount > 0)
      number.assign(base.components[0].componentCatNo,
                    strnlen(base.components[0].componentCatNo, sizeof base.components[0].componentCatNo));
  } else {
    number.assign(d.catalogueNo, strnlen(d.catalogueNo, sizeof d.catalogueNo));
  }
  return number.empty() ? std::string("000000") : number;
}

namespace {

struct Index {
  const CPartix* root = nullptr;
  const CElem* head = nullptr;
  int count = -1;
  std::unordered_map<std::string, CElem*> byNumber;
};

Index& elementIndex() {
  static Index index;
  return index;
}

}  // namespace

void forgetElementIndex() { elementIndex() = Index{}; }

CElem* findElementByNumber(CPartix& catalogue, std::string_view number) {
  Index& index = elementIndex();
  if (index.root != &catalogue || index.head != catalogue.head || index.count != catalogue.count) {
    index = Index{};
    index.root = &catalogue;
    index.head = catalogue.head;
    index.count = catalogue.count;
    for (CElem* e = catalogue.head; e; e = e->next) index.byNumber.emplace(catalogueReference(e), e);  // first wins
  }
  auto it = index.byNumber.find(std::string(number));
  return it == index.byNumber.end() ? nullptr : it->second;
}

namespace {

// The float is compared in double: 1e-6f itself lies just below 1e-6.
bool isListedPrice(float finalPrice) { return std::fabs(static_cast<double>(finalPrice)) >= 1e-6; }

}  // namespace

float priceOf(const CData& data) { return isListedPrice(data.finalPrice) ? data.finalPrice : data.priceMul; }

float priceOf(const HadarComponent& c) {
  return isListedPrice(c.componentFinalPrice) ? c.componentFinalPrice : c.componentPriceMul;
}

const std::string& missingElementMessage() {
  static const std::string text = platform::utf8ToCp1250(
      "Nie znaleziono w bazie danych użytego w projekcie elementu.Prosze sprawdzić wersję bazy danych.");
  return text;
}
