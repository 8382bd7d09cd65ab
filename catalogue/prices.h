#pragma once
// The user's price list "prizes.db" and the price computation over the
// current catalogue.

#include <map>
#include <string>
#include <string_view>

class CData;
struct HadarComponent;

namespace partix {

// Final prices per catalogue number, one object per process.
class CPriceList {
 public:
  std::string pricePath;  // the file "prizes.db"
  float multiplier = 1.0f;
  std::map<std::string, float> finalPrices;  // keys are Windows-1250 bytes
  std::map<std::string, int> transient;      // 0 = stored in the file

  // Reads the file into the maps; a missing file is an empty list.
  void load();
  // Sets or, for a price of (almost) zero, removes a final price.
  void setFinalPrice(const std::string& key, float price, int transientFlag);
  // Writes every non-transient price in ascending key order. Returns false
  // when the file could not be written.
  bool save() const;
};

// The process's price list, created on first use with its path in the user's
// application-data folder.
CPriceList& priceList();

// The list prices are nudged up by 1e-7 once per process, by the first price
// computation. Tests rearm it.
void rearmPriceNudge();

// Recomputes priceMul and finalPrice of every element of the current
// catalogue with the price list's multiplier.
void updatePrices();

// Multiplier arithmetic in single precision: floor(p * m * 100 + 0.5) / 100.
float multipliedPrice(float price, float multiplier);

// The price that counts for an element: finalPrice when non-zero, else priceMul.
float effectivePrice(const CData& record);

// The results of the price edit dialog "Edycja ceny końcowej".
enum PriceEditResult { kPriceEditCancel = 0, kPriceEditOk = 1, kPriceEditKeep = 2 };

// The text the dialog's "Cena końcowa" field starts with.
std::string finalPriceFieldText(float finalPrice);

// The text of an element page's price button.
std::string priceButtonText(const CData& record);

// Applies the dialog's result for an element: "OK" sets a final price for
// this run, "Zachowaj" stores it in the price list; either way the list is
// saved afterwards. Returns false when the price list could not be written.
bool applyPriceEdit(CData& record, int result, std::string_view enteredText);

// The same for a component of a HADAR base: "Zachowaj" stores and saves,
// "OK" changes only the component, cancel changes nothing.
bool applyComponentPriceEdit(HadarComponent& component, int result, std::string_view enteredText);

}  // namespace partix
