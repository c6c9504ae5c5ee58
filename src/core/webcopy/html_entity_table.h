#pragma once

// The table of named character references (generated, see the .cpp file).

#include <cstddef>
#include <string_view>

namespace takton {

struct THtmlEntity {
    std::string_view Name;  // without "&"; with ";" unless a legacy name
    std::string_view Value; // cp1252
};

extern const THtmlEntity kHtmlEntities[];
extern const std::size_t kHtmlEntityCount;

} // namespace takton
