#pragma once
// The user's configuration values that live outside "wnd.ini" (the VAT rate
// and the price multiplier): an INI file in the user's config folder,
// organisation "Korvex", application "Verdimo"; $VERDIMO_CONFIG names
// another file.

#include <string>

namespace platform {

// The INI file in use.
std::string registryFile();
// Whether the value `name` exists, and its text.
bool readRegistryValue(const std::string& name, std::string& text);
// Stores `text` as the value `name`, creating it when missing. Returns false
// when the file could not be written.
bool writeRegistryValue(const std::string& name, const std::string& text);

}  // namespace platform
