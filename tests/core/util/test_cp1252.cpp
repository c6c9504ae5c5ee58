#include "core/util/cp1252.h"

#include <gtest/gtest.h>

using namespace takton;

TEST(Cp1252, EveryByteSurvivesUtf8AndUtf16RoundTrips) {
    std::string all;
    for (int c = 1; c < 256; ++c)
        all += static_cast<char>(c);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
    EXPECT_EQ(Utf16ToCp1252(Cp1252ToUtf16(all)), all);
}

TEST(Cp1252, MapsTheSpecialRangeAndRefusesWhatItCannotHold) {
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "€");
    EXPECT_EQ(Cp1252ToUtf8("Stra\xDF"
                           "e"),
              "Straße");
    EXPECT_EQ(Utf8ToCp1252("Šoštanj „Süd“"), std::string("\x8Ao\x9Atanj \x84S\xFC"
                                                         "d\x93"));

    EXPECT_FALSE(Utf8ToCp1252("Łódź").has_value());
    EXPECT_FALSE(Utf8ToCp1252("\xC3").has_value()) << "cut UTF-8 sequence";
    EXPECT_FALSE(Utf8ToCp1252("\xC0\xAF").has_value()) << "overlong encoding";
    EXPECT_FALSE(Utf16ToCp1252(std::u16string(1, char16_t(0xD800))).has_value());

    EXPECT_EQ(Utf8ToCp1252Lossy("Łódź 😀"), "?\xF3"
                                           "d? ?");
    EXPECT_EQ(Utf16ToCp1252Lossy(u"K\u00F6ln \u4E2D"), "K\xF6ln ?");
}

TEST(Cp1252, FoldsCaseAcrossTheWholeCodePage) {
    EXPECT_TRUE(SameTextCi("\xC4RGER", "\xE4rger"));                 // Ä / ä
    EXPECT_TRUE(SameTextCi("\x8A\x8C\x8E\x9F", "\x9A\x9C\x9E\xFF")); // Š Œ Ž Ÿ
    EXPECT_TRUE(SameTextCi("\xC9TAGE", "\xE9tage"));
    EXPECT_FALSE(SameTextCi("\xD7", "\xF7")) << "multiplication and division sign are no pair";
    EXPECT_FALSE(SameTextCi("Berg", "Bergheim"));
    EXPECT_FALSE(SameTextCi("a", "\xE4"));
    EXPECT_EQ(UpperCase("stra\xDF"
                        "e \xFF"),
              "STRA\xDF"
              "E \x9F")
        << "sharp s has no capital";
}
