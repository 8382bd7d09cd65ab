#include "document/registry_values.h"

#include <charconv>
#include <string>

#include "platform/numtext.h"
#include "platform/registry_store.h"

namespace {

float loadValue(const char* name) {
  std::string text;
  if (!platform::readRegistryValue(name, text)) return 1.0f;
  return static_cast<float>(platform::parseDecimal(text));
}

int saveValue(const char* name, float value) {
  char buf[32];
  auto r = std::to_chars(buf, buf + sizeof buf, static_cast<double>(value), std::chars_format::general, 10);
  return platform::writeRegistryValue(name, std::string(buf, r.ptr)) ? 0 : -1;
}

}  // namespace

void loadRegistryValues(AppSettings& s) {
  s.vatPercent = loadValue("Vat");
  std::string text;
  if (platform::readRegistryValue("Multiplier", text)) {
    s.priceMultiplier = static_cast<float>(platform::parseDecimal(text));
  } else {
    // A missing multiplier is stored as 1, so that the entry is there to edit.
    s.priceMultiplier = 1.0f;
    saveMultiplier(s.priceMultiplier);
  }
}

int saveMultiplier(float multiplier) { return saveValue("Multiplier", multiplier); }
int saveVat(float vatPercent) { return saveValue("Vat", vatPercent); }
