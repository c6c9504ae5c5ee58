#pragma once

// A number with its noun in German: singular after exactly 1, plural
// otherwise ("1 Linie", "0 Linien", "2 Linien").

#include <string>
#include <string_view>

namespace takton {

template <typename N> std::string Counted(N count, std::string_view one, std::string_view many) {
    std::string text = std::to_string(count);
    text += ' ';
    text += count == 1 ? one : many;
    return text;
}

} // namespace takton
