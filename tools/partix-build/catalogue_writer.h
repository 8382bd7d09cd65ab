#pragma once
// Writes a catalogue file from its readable JSON source.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace partix_build {

// A fault in the source, with the place it was found.
struct SourceError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The scrambled bytes of the catalogue file described by `source`.
std::vector<uint8_t> buildCatalogue(const nlohmann::json& source);

}  // namespace partix_build
