#pragma once

#include "version.h"

namespace takton {

// The program information that every project file records.
inline constexpr const char *ProgName = "ZAL Editor";
inline constexpr const char *ProgEdition = "Standard";
inline constexpr const char *ProgType = "full";
inline constexpr const char *ProgVersion = kProgVersion;

} // namespace takton
