#include "base/DecodeError.h"
#include "parameters/national/NationalDecoders.h"

#include <gtest/gtest.h>

#include <string>

namespace truno {
namespace {

std::string l2(std::string_view label, std::string_view value) {
    return dressLabelL2(label) + std::string(value) + "\r\n";
}

std::string indicatorLines(std::string_view type, std::string_view availability,
                           std::string_view screening, std::string_view presentation,
                           std::string_view encoding) {
    return "CALLING NAME IDENTITY:\r\n" + l2("Type of name", type) +
           l2("Availability Indicator", availability) + l2("Screening Indicator", screening) +
           l2("Name Presentation", presentation) + l2("Encoding identification", encoding);
}

TEST(CallingNameIdentity, IndicatorsOfOctetsOneAndTwo) {
    const struct {
        const char* contents;
        std::string expected;
    } cases[] = {
        {"2001", indicatorLines("Calling party's name.", "0, name available.", "0, user provided.",
                                "0, presentation of name allowed.", "1, IA5 string encoding.")},
        {"4501", indicatorLines("2, spare.", "0, name available.", "1, network provided.",
                                "1, presentation of name restricted.", "1, IA5 string encoding.")},
        {"2F01", indicatorLines("Calling party's name.", "0, name available.", "11, spare.",
                                "11, spare.", "1, IA5 string encoding.")},
        {"3A00", indicatorLines("Calling party's name.", "1, name not available.", "10, spare.",
                                "10, spare.", "0, spare.")},
        {"E0FF", indicatorLines("7, spare.", "0, name available.", "0, user provided.",
                                "0, presentation of name allowed.", "255, spare.")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(render(CallingNameIdentity, c.contents), c.expected) << c.contents;
}

TEST(CallingNameIdentity, ShowsTheNameOnlyWhenAvailable) {
    const std::string available =
        indicatorLines("Calling party's name.", "0, name available.", "0, user provided.",
                       "0, presentation of name allowed.", "1, IA5 string encoding.");
    const std::string longName(60, 'N');
    std::string longHex;
    for (int i = 0; i < 60; ++i) longHex += "4E";
    const struct {
        std::string contents;
        std::string expected;
    } cases[] = {
        {"2001"
         "4A6F686E20536D697468",
         available + l2("Character", "John Smith")},
        // Blanks trimmed at both ends, inner blanks kept.
        {"2001"
         "2020414220432020",
         available + l2("Character", "AB C")},
        {"2001"
         "202020",
         available + l2("Character", "")},
        // At most 50 characters.
        {"2001" + longHex, available + l2("Character", longName.substr(0, 50))},
        // Control characters are escaped, Latin-1 letters written as UTF-8.
        {"2001"
         "411B420D0A43",
         available + l2("Character", "A\\x1BB\\x0D\\x0AC")},
        {"2001"
         "7F809FA0E9",
         available + l2("Character", "\\x7F\\x80\\x9F\xC2\xA0\xC3\xA9")},
        {"2001"
         "00",
         available + l2("Character", "\\x00")},
        // Name not available: no characters line even when octets follow.
        {"3001"
         "4A6F686E",
         indicatorLines("Calling party's name.", "1, name not available.", "0, user provided.",
                        "0, presentation of name allowed.", "1, IA5 string encoding.")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(render(CallingNameIdentity, c.contents), c.expected) << c.contents;
}

TEST(CallingNameIdentity, FailsOnMissingOrBadOctets) {
    for (const char* contents : {"", "20",
                                 "2001"
                                 "4G",
                                 "2g01"})
        EXPECT_THROW(render(CallingNameIdentity, contents), DecodeError) << contents;
    // Octets past the fiftieth character are not read at all.
    std::string contents = "2001";
    for (int i = 0; i < 50; ++i) contents += "41";
    EXPECT_NO_THROW(render(CallingNameIdentity, contents + "ZZ"));
}

}  // namespace
}  // namespace truno
