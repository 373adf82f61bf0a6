#include "base/Conversions.h"

#include <functional>
#include "base/DecodeError.h"
#include "base/FieldTable.h"
#include "base/ReportLayout.h"

#include <gtest/gtest.h>

namespace truno {
namespace {

TEST(hexToDec, ConvertsUpperCaseHex) {
    const struct { const char* hex; std::uint64_t value; } cases[] = {
        {"00", 0}, {"0A", 10}, {"0C", 12}, {"FF", 255}, {"1102", 4354}, {"007", 7},
        {"7FFFFFFF", 2147483647u}, {"FFFFFFFFFFFFFFFF", 0xFFFFFFFFFFFFFFFFull},
        {"00000000000000000001", 1},
    };
    for (const auto& c : cases) EXPECT_EQ(hexToDec(c.hex), c.value) << c.hex;
}

TEST(hexToDec, RejectsWhatItCannotConvert) {
    for (const char* bad : {"", "0a", "a", " 1", "1 ", "G0", "0x10", "10000000000000000"})
        EXPECT_THROW(hexToDec(bad), DecodeError) << '"' << bad << '"';
}

TEST(hexToDec, SaysWhichCharacterIsWrong) {
    try {
        hexToDec("0a");
        FAIL() << "no exception";
    } catch (const DecodeError& e) {
        const std::string why = e.what();
        EXPECT_NE(why.find("lower-case"), std::string::npos) << why;
        EXPECT_NE(why.find("\"0a\""), std::string::npos) << why;
    }
}

TEST(checkedBitWord, FailsAboveTheSignedThirtyTwoBitLimit) {
    EXPECT_EQ(checkedBitWord(0x7FFFFFFF), 0x7FFFFFFFu);
    EXPECT_THROW(checkedBitWord(0x80000000u), DecodeError);
    EXPECT_THROW(checkedBitWord(0xFFFFFFFFFFull), DecodeError);
}

// Each conversion failure says what kind of failure it is, for the views that count them.
TEST(DecodeError, ConversionsNameTheirKindOfFailure) {
    struct Case {
        std::function<void()> convert;
        DecodeFailure kind;
    };
    const Case cases[] = {
        {[] { hexToDec(""); }, DecodeFailure::OctetsMissing},
        {[] { hexToDec("0G"); }, DecodeFailure::NotHexDigits},
        {[] { hexToDec("0a"); }, DecodeFailure::LowerCase},
        {[] { hexToDec("1FFFFFFFFFFFFFFFF"); }, DecodeFailure::ValueTooLarge},
        {[] { checkedBitWord(0x80000000u); }, DecodeFailure::ValueTooLarge},
        {[] { hexToDecimalText("12x4"); }, DecodeFailure::NotHexDigits},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        try {
            cases[i].convert();
            ADD_FAILURE() << "case " << i << " did not fail";
        } catch (const DecodeError& e) {
            EXPECT_EQ(e.failure(), cases[i].kind) << "case " << i << ": " << e.what();
        }
    }
}

TEST(HexToDecimalText, IsExactForAnyLength) {
    EXPECT_EQ(hexToDecimalText("00"), "0");
    EXPECT_EQ(hexToDecimalText("FF"), "255");
    EXPECT_EQ(hexToDecimalText("FFFFFFFFFFFFFFFF"), "18446744073709551615");
    EXPECT_EQ(hexToDecimalText("10000000000000000"), "18446744073709551616");
    EXPECT_EQ(hexToDecimalText("0DE0B6B3A7640000"), "1000000000000000000");
    EXPECT_EQ(hexToDecimalText("C097CE7BC90715B34B9F1000000000"), "1000000000000000000000000000000000000");
    EXPECT_THROW(hexToDecimalText("0g"), DecodeError);
}

TEST(Dressing, PutsTheEqualsSignInColumn45) {
    const struct { std::string got; std::string want; } cases[] = {
        {dressLabel("CORRELATION ID"), "CORRELATION ID" + std::string(30, '.') + "="},
        {dressLabel("BICC CALL INSTANCE CODE (BCIC)"), "BICC CALL INSTANCE CODE (BCIC)" + std::string(14, '.') + "="},
        {dressLabelL2("Charge Indicator"), "     Charge Indicator" + std::string(23, '.') + "="},
        {dressLabelL3("0123456789"), "         0123456789" + std::string(25, '.') + "="},
        {dressLabel(std::string(50, 'L')), std::string(50, 'L') + "="},
        {dressLabel(std::string(44, 'L')), std::string(44, 'L') + "="},
        {dressLabel(std::string(43, 'L')), std::string(43, 'L') + ".="},
        {dressLabel(""), std::string(44, '.') + "="},
        {dressLabelL2(std::string(40, 'L')), "     " + std::string(40, 'L') + "="},
    };
    for (const auto& c : cases) EXPECT_EQ(c.got, c.want);
}

TEST(LogText, EscapesControlCharactersAndWritesLatin1AsUtf8) {
    Text out;
    appendLogText(out, std::string("A\x1B[2J\x7F\x85\t\xE9Z", 10));
    EXPECT_EQ(out, "A\\x1B[2J\\x7F\\x85\\x09\xC3\xA9Z");
}

constexpr Phrase kSatellite[] = {
    {"00", "0, none."}, {"01", "1, one."}, {"10", "2, two."},
};

TEST(FieldTable, CutsFieldsAndFallsBackAsTold) {
    const auto last = static_cast<std::uint8_t>(wholeContentsWord("12"));  // 00010010
    EXPECT_EQ(bitsOf(last, {2, 1}).value, 2u);
    EXPECT_EQ(bitsOf(last, {5, 5}).value, 1u);
    EXPECT_EQ(bitsOf(0x12, {5, 5}).value, 1u);
    EXPECT_EQ(bitsOf(0xC0, {8, 7}).value, 3u);
    EXPECT_EQ(bitsOf(0xA5, {8, 1}).value, 0xA5u);
    EXPECT_EQ(bitsOf(0xA5, {7, 1}).width, 7);

    const struct { Field f; Fallback fb; std::string want; } cases[] = {
        {Field{1, 2}, kFallbackBits, "1, one."},
        {Field{3, 2}, kFallbackBits, "11"},
        {Field{3, 2}, kFallbackBitsSpare, "11, spare"},
        {Field{3, 2}, kFallbackDecimalSpare, "3, spare."},
        {Field{3, 2}, kFallbackDecimal, "3"},
        {Field{3, 2}, kFallbackEmpty, ""},
        {Field{1, 3}, kFallbackBits, "001"},  // a wider field never matches a narrower pattern
    };
    for (const auto& c : cases) {
        Text out;
        appendPhrase(out, kSatellite, c.f, c.fb);
        EXPECT_EQ(out, c.want);
    }
}

TEST(FieldTable, ReadsContentsOctetsAndFailsOnMissingOnes) {
    EXPECT_EQ(contentOctet("A1B2", 2), 0xB2);
    EXPECT_THROW(contentOctet("A1", 2), DecodeError);
    EXPECT_THROW(contentOctet("a1", 1), DecodeError);
    EXPECT_EQ(wholeContentsWord("0102"), 0x0102u);
    EXPECT_THROW(wholeContentsWord(""), DecodeError);
    EXPECT_THROW(wholeContentsWord("80000000"), DecodeError);
}

}  // namespace
}  // namespace truno
