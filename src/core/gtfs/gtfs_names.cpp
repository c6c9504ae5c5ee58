#include "core/gtfs/gtfs_names.h"

#include "core/model/names.h"
#include "core/util/cp1252.h"

#include <unicode/translit.h>
#include <unicode/unistr.h>

namespace takton::gtfs {

struct TNameMaker::TIcu {
    std::unique_ptr<icu::Transliterator> ToLatin;
};

TNameMaker::TNameMaker() : icu_(std::make_unique<TIcu>()) {
    UErrorCode status = U_ZERO_ERROR;
    icu_->ToLatin.reset(
        icu::Transliterator::createInstance("Any-Latin; Latin-ASCII", UTRANS_FORWARD, status));
    if (U_FAILURE(status))
        icu_->ToLatin.reset();
}

TNameMaker::~TNameMaker() = default;

std::string TNameMaker::Text(std::string_view utf8) {
    if (auto direct = Utf8ToCp1252(utf8))
        return *direct;
    // Character by character: those of the code page stay, the others are
    // transliterated (what is still left over becomes "?").
    const icu::UnicodeString text = icu::UnicodeString::fromUTF8(
        icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    std::string out;
    for (int32_t i = 0; i < text.length();) {
        const UChar32 c = text.char32At(i);
        const int32_t next = text.moveIndex32(i, 1);
        icu::UnicodeString one = text.tempSubStringBetween(i, next);
        std::string bytes;
        one.toUTF8String(bytes);
        if (auto kept = Utf8ToCp1252(bytes)) {
            out += *kept;
        } else {
            if (icu_->ToLatin)
                icu_->ToLatin->transliterate(one);
            std::string latin;
            one.toUTF8String(latin);
            out += Utf8ToCp1252Lossy(latin);
        }
        (void)c;
        i = next;
    }
    return out;
}

namespace {

bool IsRefusedCode(unsigned char c) {
    return c < 0x20 || c == 0x7F || c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

// Blanks for control characters, runs of blanks as one, none at the ends;
// "," and "=" become ";" and "-", a leading quote a guillemet.
std::string CommonName(std::string text) {
    std::string out;
    for (char c : text) {
        if (IsRefusedCode(static_cast<unsigned char>(c)))
            c = ' ';
        else if (c == ',')
            c = ';';
        else if (c == '=')
            c = '-';
        if (c == ' ' && (out.empty() || out.back() == ' '))
            continue;
        out += c;
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    if (!out.empty() && (out.front() == '"' || out.front() == '\''))
        out.front() = out.front() == '"' ? '\xAB' : '\x8B';
    return out;
}

} // namespace

std::string TNameMaker::StationName(std::string_view utf8) {
    std::string name = CommonName(Text(utf8));
    return CheckStationName(name) ? std::string() : name;
}

std::string TNameMaker::LineName(std::string_view utf8) {
    std::string name = CommonName(Text(utf8));
    for (char &c : name)
        if (std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos)
            c = '-';
    while (!name.empty() && CheckLineName(name) && Cp1252ToUtf8(name).size() + 9 > 255)
        name.pop_back();
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    return CheckLineName(name) ? std::string() : name;
}

} // namespace takton::gtfs
