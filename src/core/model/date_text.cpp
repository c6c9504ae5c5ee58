#include "core/model/date_text.h"

#include "core/util/cp1252.h"
#include "core/util/text_order.h"

#include <memory>
#include <unicode/datefmt.h>
#include <unicode/dtptngen.h>
#include <unicode/smpdtfmt.h>

namespace takton {

std::string DateTimeText(std::time_t moment) {
    const icu::Locale locale(UserLocaleName().c_str());
    UErrorCode status = U_ZERO_ERROR;
    // The short date with a four-digit year (day.month.year in German), then the
    // medium time, which carries the seconds.
    std::unique_ptr<icu::DateTimePatternGenerator> generator(
        icu::DateTimePatternGenerator::createInstance(locale, status));
    icu::UnicodeString datePattern;
    if (U_SUCCESS(status))
        datePattern = generator->getBestPattern("yyyyMMdd", status);
    std::unique_ptr<icu::DateFormat> timeFormat(
        icu::DateFormat::createTimeInstance(icu::DateFormat::kMedium, locale));
    if (U_FAILURE(status) || !timeFormat)
        return {};
    icu::SimpleDateFormat dateFormat(datePattern, locale, status);
    if (U_FAILURE(status))
        return {};
    const UDate when = static_cast<UDate>(moment) * 1000.0;
    icu::UnicodeString text;
    dateFormat.format(when, text);
    text += u' ';
    timeFormat->format(when, text);
    // Some locales put narrow no-break spaces into times; cp1252 has none.
    text.findAndReplace(icu::UnicodeString(static_cast<UChar>(0x202F)), icu::UnicodeString(u' '));
    const std::u16string utf16(text.getBuffer(), static_cast<std::size_t>(text.length()));
    return Utf16ToCp1252Lossy(utf16);
}

std::string CurrentDateTimeText() {
    return DateTimeText(std::time(nullptr));
}

} // namespace takton
