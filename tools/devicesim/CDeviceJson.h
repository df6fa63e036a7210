#pragma once

#include "SDeviceState.h"

#include <nlohmann/json.hpp>

#include <string>

namespace devsim {

// Reads device descriptions and changes from JSON (the fleet file and the control interface use
// the same keys as the device listing: "model", "firmwareVersion", "password", "firstUse",
// "modules", "sdCards", "fault", "params", ...).
class CDeviceJson
{
public:
    // Applies every known key of `changes` to `state`; false with a reason on the first invalid
    // value (the state may then be partly changed, so callers apply to a copy).
    static bool apply(const nlohmann::json& changes, SDeviceState* state, std::string* error);
    static bool parseFault(const nlohmann::json& j, SFault* fault, std::string* error);
    static bool isFaultKind(const std::string& kind);
};

} // namespace devsim
