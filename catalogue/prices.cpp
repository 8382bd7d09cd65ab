#include "catalogue/prices.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

#include "catalogue/partix_internal.h"
#include "partix.h"
#include "platform/folders.h"
#include "platform/numtext.h"
#include "platform/replace_file.h"

namespace partix {
namespace {

bool gNudgePending = true;

std::string withoutLineEnd(std::string line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

// The entered text as a price: a decimal number, nothing above 0 counts as 0.
float enteredPrice(std::string_view text) {
  float value = static_cast<float>(platform::parseUserDecimal(text));
  return value > 0.0f ? value : 0.0f;
}

}  // namespace

void CPriceList::load() {
  std::ifstream in(pricePath, std::ios::binary);
  if (!in) return;
  std::string key, value;
  while (std::getline(in, key) && std::getline(in, value)) {
    key = withoutLineEnd(std::move(key));
    value = withoutLineEnd(std::move(value));
    if (key.empty() || value.empty()) continue;
    finalPrices[key] = static_cast<float>(platform::parseDecimal(value));
    transient[key] = 0;
  }
}

void CPriceList::setFinalPrice(const std::string& key, float price, int transientFlag) {
  if (std::fabs(price) < 0.00001f) {
    finalPrices.erase(key);
    transient.erase(key);
    return;
  }
  finalPrices[key] = price;
  transient[key] = transientFlag;
}

bool CPriceList::save() const {
  // Replaced as a whole, so that a failed or killed write never leaves a
  // truncated list behind.
  std::string text;
  for (const auto& [key, price] : finalPrices) {
    auto t = transient.find(key);
    if (t != transient.end() && t->second != 0) continue;
    text += key;
    text += "\r\n";
    text += platform::formatG6(price);
    text += "\r\n";
  }
  return platform::replaceFile(pricePath, text);
}

CPriceList& priceList() {
  static std::unique_ptr<CPriceList> list;
  if (!list) {
    list = std::make_unique<CPriceList>();
    list->pricePath = platform::joinPath(platform::userDataDir(), "prizes.db");
  }
  return *list;
}

void rearmPriceNudge() { gNudgePending = true; }

float multipliedPrice(float price, float multiplier) {
  float scaled = price * multiplier;
  scaled = scaled * 100.0f;
  scaled = scaled + 0.5f;
  return std::floor(scaled) / 100.0f;
}

float effectivePrice(const CData& record) { return record.finalPrice != 0.0f ? record.finalPrice : record.priceMul; }

void updatePrices() {
  CPartix* root = currentCatalogue();
  if (!root) return;
  CPriceList& list = priceList();
  const float m = list.multiplier;

  if (gNudgePending) {
    gNudgePending = false;
    for (CElem* e = root->head; e; e = e->next) {
      if (!e->data) continue;
      if (e->data->price > 0.0f) e->data->price = static_cast<float>(e->data->price + 1e-7);
      if (e->kind == kKindHadarBase) {
        auto* base = static_cast<CMicroSprinklerHADAR*>(e->data);
        for (int i = 0; i < base->componentCount && i < 10; ++i)
          if (base->components[i].componentPrice > 0.0f)
            base->components[i].componentPrice = static_cast<float>(base->components[i].componentPrice + 1e-7);
      }
    }
  }

  auto lookUp = [&](const char* key, float& target) {
    auto it = list.finalPrices.find(key);
    if (it != list.finalPrices.end()) target = it->second;
  };

  for (CElem* e = root->head; e; e = e->next) {
    CData* d = e->data;
    if (!d) continue;
    d->priceMul = multipliedPrice(d->price, m);
    d->finalPrice = 0.0f;
    if (d->catalogueNo[0] != '\0') {
      lookUp(d->catalogueNo, d->finalPrice);
    } else if (e->kind == kKindHadarBase) {
      auto* base = static_cast<CMicroSprinklerHADAR*>(d);
      for (int i = 0; i < base->componentCount && i < 10; ++i) {
        HadarComponent& c = base->components[i];
        c.componentPriceMul = multipliedPrice(c.componentPrice, m);
        c.componentFinalPrice = 0.0f;
        lookUp(c.componentCatNo, c.componentFinalPrice);
      }
    }
  }
}

std::string finalPriceFieldText(float finalPrice) {
  return std::fabs(finalPrice) > 0.001f ? platform::formatFixed(finalPrice, 2) : std::string();
}

std::string priceButtonText(const CData& record) { return platform::formatFixed(effectivePrice(record), 2); }

bool applyPriceEdit(CData& record, int result, std::string_view enteredText) {
  CPriceList& list = priceList();
  if (result == kPriceEditOk || result == kPriceEditKeep) {
    float value = enteredPrice(enteredText);
    record.finalPrice = value;
    list.setFinalPrice(record.catalogueNo, value, result == kPriceEditOk ? 1 : 0);
  }
  return list.save();
}

bool applyComponentPriceEdit(HadarComponent& component, int result, std::string_view enteredText) {
  if (result == kPriceEditCancel) return true;
  float value = enteredPrice(enteredText);
  component.componentFinalPrice = value;
  if (result != kPriceEditKeep) return true;
  CPriceList& list = priceList();
  list.setFinalPrice(component.componentCatNo, value, 0);
  return list.save();
}

}  // namespace partix

void UpdatePrizeMulFactor(float multiplier) {
  partix::priceList().multiplier = multiplier;
  partix::updatePrices();
}
