#include "core/util/text_order.h"

#include "core/util/cp1252.h"

#include <algorithm>
#include <memory>
#include <unicode/coll.h>
#include <unicode/locid.h>

namespace takton {
namespace {

struct CollatorState {
    std::string localeName;
    std::unique_ptr<icu::Collator> collator;
};

CollatorState &RawState() {
    static CollatorState state;
    return state;
}

std::string EnvironmentLocaleName() {
    const icu::Locale locale = icu::Locale::getDefault();
    const std::string language = locale.getLanguage();
    // "C" and "POSIX" environments give en_US_POSIX: the user named no locale.
    if (language.empty() || std::string(locale.getVariant()) == "POSIX")
        return "de_DE";
    return locale.getName();
}

CollatorState &State() {
    CollatorState &state = RawState();
    if (!state.collator)
        SetUserLocale(EnvironmentLocaleName());
    return state;
}

icu::UnicodeString ToIcu(std::string_view text) {
    const std::u16string utf16 = Cp1252ToUtf16(text);
    return icu::UnicodeString(utf16.data(), static_cast<int32_t>(utf16.size()));
}

} // namespace

std::string UserLocaleName() {
    return State().localeName;
}

void SetUserLocale(const std::string &name) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> collator(
        icu::Collator::createInstance(icu::Locale(name.c_str()), status));
    if (U_FAILURE(status) || !collator) {
        status = U_ZERO_ERROR;
        collator.reset(icu::Collator::createInstance(icu::Locale::getRoot(), status));
    }
    // Secondary strength: letters and accents count, letter case does not.
    collator->setStrength(icu::Collator::SECONDARY);
    CollatorState &state = RawState();
    state.localeName = name;
    state.collator = std::move(collator);
}

int CompareTextLocale(std::string_view a, std::string_view b) {
    UErrorCode status = U_ZERO_ERROR;
    const auto result = State().collator->compare(ToIcu(a), ToIcu(b), status);
    return result == UCOL_EQUAL ? 0 : (result == UCOL_LESS ? -1 : 1);
}

namespace {

// The user's collation with numeric ordering switched on; a copy, so that
// the plain order stays as it is.
std::unique_ptr<icu::Collator> NaturalCollator() {
    std::unique_ptr<icu::Collator> collator(State().collator->clone());
    UErrorCode status = U_ZERO_ERROR;
    collator->setAttribute(UCOL_NUMERIC_COLLATION, UCOL_ON, status);
    return collator;
}

void SortBy(icu::Collator &collator, std::vector<std::string> &list);

} // namespace

int CompareTextNatural(std::string_view a, std::string_view b) {
    UErrorCode status = U_ZERO_ERROR;
    const auto result = NaturalCollator()->compare(ToIcu(a), ToIcu(b), status);
    return result == UCOL_EQUAL ? 0 : (result == UCOL_LESS ? -1 : 1);
}

void SortTextListNatural(std::vector<std::string> &list) {
    SortBy(*NaturalCollator(), list);
}

void SortTextList(std::vector<std::string> &list) {
    SortBy(*State().collator, list);
}

namespace {

void SortBy(icu::Collator &collator, std::vector<std::string> &list) {
    std::vector<icu::UnicodeString> keys;
    keys.reserve(list.size());
    for (const auto &item : list)
        keys.push_back(ToIcu(item));
    std::vector<std::size_t> order(list.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
        UErrorCode status = U_ZERO_ERROR;
        return collator.compare(keys[x], keys[y], status) == UCOL_LESS;
    });
    std::vector<std::string> sorted;
    sorted.reserve(list.size());
    for (std::size_t i : order)
        sorted.push_back(std::move(list[i]));
    list = std::move(sorted);
}

} // namespace

} // namespace takton
