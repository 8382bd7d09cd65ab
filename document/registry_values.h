#pragma once
// The VAT rate and the price multiplier kept in the user's configuration.

#include "document/app_settings.h"

// Sets vatPercent and priceMultiplier: 1.0 for a value that is absent, 0.0
// for one that is no number.
void loadRegistryValues(AppSettings& s);
// Store the value (as decimal text, at most 10 significant digits); 0 on
// success, -1 when it could not be written.
int saveMultiplier(float multiplier);
int saveVat(float vatPercent);
