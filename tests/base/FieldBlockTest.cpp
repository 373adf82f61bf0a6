#include "base/DecodeError.h"
#include "base/FieldBlock.h"
#include "base/FieldTable.h"
#include "base/OctetText.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace truno {
namespace {

constexpr Phrase kBitA[] = {
    {"0", "0, off"},
    {"1", "1, on"},
};

// Keyed by number, with a gap so that the fallback shows.
constexpr ValuePhrase kCount[] = {
    {1, "1, one"},
    {3, "3, three"},
};

std::string dressedL1(std::string_view label, std::string_view value) {
    return dressLabel(label) + std::string(value);
}

std::string dressedL2(std::string_view label, std::string_view value) {
    return dressLabelL2(label) + std::string(value);
}

TEST(FieldBlock, JoinsTitleAndLinesAndEndsAsTold) {
    constexpr BitField kOne[] = {{.key = "a", .label = "A", .level = LineLevel::L1, .octet = 1, .bits = {1, 1}, .table = kBitA}};
    constexpr BitField kTwo[] = {
        {.key = "a", .label = "A", .octet = 1, .bits = {1, 1}, .table = kBitA},
        {.key = "h", .label = "H", .octet = 1, .bits = {8, 8}, .table = kBitA},
    };
    const std::string a1 = dressedL1("A", "1, on");
    const std::string a2 = dressedL2("A", "1, on");
    const std::string h2 = dressedL2("H", "0, off");
    const struct {
        FieldBlock block;
        std::string expected;
    } cases[] = {
        {{"", kOne, BlockEnding::None}, a1},
        {{"", kOne, BlockEnding::LineEnd}, a1 + "\r\n"},
        {{"", kOne, BlockEnding::EmptyLine}, a1 + "\r\n\r\n"},
        {{"TITLE:", kTwo, BlockEnding::None}, "TITLE:\r\n" + a2 + "\r\n" + h2},
        {{"TITLE", kTwo, BlockEnding::EmptyLine}, "TITLE\r\n" + a2 + "\r\n" + h2 + "\r\n\r\n"},
        {{"", kTwo, BlockEnding::LineEnd}, a2 + "\r\n" + h2 + "\r\n"},
    };
    for (const auto& c : cases) {
        Text out("before|");
        appendFieldBlock(out, "01", c.block);
        EXPECT_EQ(out, "before|" + c.expected) << c.block.title;
    }
}

TEST(FieldBlock, LooksUpBitPatternsValuesOrTheFallbackAlone) {
    // Bits D C B A of the octet: 0x01 is listed, 0x02 is not, and bit H selects the pattern row.
    constexpr BitField kLines[] = {
        {.key = "n", .label = "N", .octet = 1, .bits = {4, 1},
         .values = kCount, .fallback = kFallbackDecimalSpare},
        {.key = "b", .label = "B", .octet = 1, .bits = {4, 1}},
        {.key = "h", .label = "H", .octet = 1, .bits = {8, 8}, .table = kBitA},
    };
    const FieldBlock kBlock{"", kLines, BlockEnding::None};
    const struct {
        const char* contents;
        std::string expected;
    } cases[] = {
        {"01", dressedL2("N", "1, one") + "\r\n" + dressedL2("B", "0001") + "\r\n" +
                   dressedL2("H", "0, off")},
        {"82", dressedL2("N", "2, spare.") + "\r\n" + dressedL2("B", "0010") + "\r\n" +
                   dressedL2("H", "1, on")},
    };
    for (const auto& c : cases) {
        Text out;
        appendFieldBlock(out, c.contents, kBlock);
        EXPECT_EQ(out, c.expected) << c.contents;
    }
}

// The lines of a block are laid out on its first use, which threads may reach at once: each must
// write what a text with marks (written piece by piece) gets.
TEST(FieldBlock, ThreadsLayOutAndCopyTheSameLinesAtOnce) {
    static constexpr BitField kLines[] = {
        {.key = "n", .label = "N", .octet = 1, .bits = {4, 1}, .values = kCount, .fallback = kFallbackDecimalSpare},
        {.key = "w", .label = "Whole octet", .octet = 2, .bits = {8, 1}, .fallback = kFallbackDecimal},
        {.key = "h", .label = "H", .octet = 1, .bits = {8, 8}, .table = kBitA},
    };
    static constexpr FieldBlock kBlock{"TITLE", kLines, BlockEnding::LineEnd};
    const auto write = [](unsigned value, bool marked) {
        std::vector<Mark> marks;
        Text out;
        if (marked) out.attachMarks(&marks);
        const std::string contents{kUpperHexDigits[value >> 4], kUpperHexDigits[value & 0xF],
                                   kUpperHexDigits[(value * 7 >> 4) & 0xF], kUpperHexDigits[value * 7 & 0xF]};
        appendFieldBlock(out, contents, kBlock);
        return out.str();
    };
    std::vector<std::string> expected;
    for (unsigned value = 0; value < 256; ++value) expected.push_back(write(value, true));
    std::vector<std::thread> threads;
    std::atomic<int> differences{0};
    for (unsigned t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (unsigned i = 0; i < 256; ++i) {
                const unsigned value = (i + 64 * t) % 256;
                if (write(value, false) != expected[value]) ++differences;
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(differences.load(), 0);
}

// A value a decoder cuts itself may be wider than the field's bits, or of another width: it has no
// laid-out line and is written as a text with marks gets it.
TEST(FieldBlock, AValueOfAnotherWidthIsWrittenAsWithMarks) {
    constexpr BitField kField{.key = "n", .label = "N", .octet = 1, .bits = {4, 1}, .values = kCount,
                              .fallback = kFallbackDecimalSpare};
    for (const Field value : {Field{3, 4}, Field{0x13, 4}, Field{3, 8}, Field{300, 64}}) {
        std::vector<Mark> marks;
        Text marked;
        marked.attachMarks(&marks);
        appendFieldLine(marked, kField, value);
        Text plain;
        appendFieldLine(plain, kField, value);
        EXPECT_EQ(plain, marked.view()) << value.value << "/" << value.width;
    }
}

TEST(FieldBlock, ReadsOctetsOnTheirOwnOrTheLastOfTheWholeContents) {
    constexpr BitField kLines[] = {
        {.key = "first", .label = "First", .level = LineLevel::L1, .octet = 1, .bits = {8, 1},
         .fallback = kFallbackDecimal},
        {.key = "last", .label = "Last", .level = LineLevel::L1, .octet = kLastOctet, .bits = {8, 1},
         .fallback = kFallbackDecimal},
        {.key = "twentieth", .label = "Twentieth", .level = LineLevel::L1, .octet = 20, .bits = {8, 1},
         .fallback = kFallbackDecimal},
    };
    std::string contents(40, '0');
    contents.replace(0, 2, "05");
    contents.replace(38, 2, "7E");
    Text out;
    appendFieldBlock(out, std::string("0102"), FieldBlock{"", std::span(kLines).first(2),
                                                            BlockEnding::None});
    EXPECT_EQ(out, dressedL1("First", "1") + "\r\n" + dressedL1("Last", "2"));

    // Octet by octet a block is not held to the four-octet limit of the whole-number reading.
    constexpr BitField kByIndex[] = {kLines[0], kLines[2]};
    out.clear();
    appendFieldBlock(out, contents, FieldBlock{"", kByIndex, BlockEnding::None});
    EXPECT_EQ(out, dressedL1("First", "5") + "\r\n" + dressedL1("Twentieth", "126"));
    out.clear();
    EXPECT_THROW(appendFieldBlock(out, contents, FieldBlock{"", kLines, BlockEnding::None}),
                 DecodeError);
}

TEST(FieldBlock, ConvertsEveryOctetBeforeWritingAndNamesTheFirstLineThatFails) {
    constexpr BitField kLines[] = {
        {.key = "a", .label = "A", .octet = 1, .bits = {1, 1}, .table = kBitA},
        {.key = "c", .label = "C", .octet = 3, .bits = {1, 1}, .table = kBitA},
        {.key = "b", .label = "B", .octet = 2, .bits = {1, 1}, .table = kBitA},
        {.key = "l", .label = "L", .octet = kLastOctet, .bits = {1, 1}, .table = kBitA},
    };
    const FieldBlock kBlock{"TITLE:", kLines, BlockEnding::LineEnd};
    const struct {
        const char* contents;
        const char* reasonPart;
    } cases[] = {
        {"", "octet 1 is missing"},
        {"01", "octet 3 is missing"},  // line C comes before line B
        {"0101", "octet 3 is missing"},
        {"01G101", "\"G1\""},
        {"FF010101", "too large"},  // only the last line reads the whole contents
    };
    for (const auto& c : cases) {
        Text out("kept");
        try {
            appendFieldBlock(out, c.contents, kBlock);
            ADD_FAILURE() << "no exception for " << c.contents;
        } catch (const DecodeError& e) {
            EXPECT_NE(std::string(e.what()).find(c.reasonPart), std::string::npos)
                << c.contents << ": " << e.what();
        }
        EXPECT_EQ(out, "kept") << c.contents;
    }
}

TEST(HexNumber, ReadsDigitsOfAnyLength) {
    const struct {
        const char* digits;
        bool fits;
        std::uint64_t value;
        const char* decimal;
    } cases[] = {
        {"00", true, 0, "0"},
        {"0", true, 0, "0"},
        {"FF", true, 255, "255"},
        {"FFFFFFFFFFFFFFFF", true, 0xFFFFFFFFFFFFFFFFull, "18446744073709551615"},
        {"00000000000000000000", true, 0, "0"},
        {"000000000000000000FFFFFFFFFFFFFFFF", true, 0xFFFFFFFFFFFFFFFFull,
         "18446744073709551615"},
        {"10000000000000000", false, 0, "18446744073709551616"},
        {"0010000000000000000000", false, 0, "75557863725914323419136"},
    };
    for (const auto& c : cases) {
        const HexNumber n = readHexNumber(c.digits);
        ASSERT_EQ(n.value.has_value(), c.fits) << c.digits;
        if (c.fits) {
            EXPECT_EQ(*n.value, c.value) << c.digits;
        }
        Text out;
        appendDecimal(out, n);
        EXPECT_EQ(out, c.decimal) << c.digits;
    }
}

TEST(HexNumber, NamesTheDigitsItWasConverting) {
    // Up to 16 digits are converted as they stand; longer ones lose their leading zeros first,
    // and beyond 64 bits every digit takes part.
    const struct {
        const char* digits;
        const char* reasonPart;
    } cases[] = {
        {"", "none present"},
        {"0G", "\"0G\""},
        {"00000000000000000G", "\"G\""},
        {"0100000000000000000G", "\"0100000000000000000G\""},
        {"0a", "lower-case"},
    };
    for (const auto& c : cases) {
        try {
            readHexNumber(c.digits);
            ADD_FAILURE() << "no exception for " << c.digits;
        } catch (const DecodeError& e) {
            EXPECT_NE(std::string(e.what()).find(c.reasonPart), std::string::npos)
                << c.digits << ": " << e.what();
        }
    }
}

TEST(HexNumber, SignificantDigitsKeepOneZero) {
    const struct {
        const char* digits;
        const char* significant;
    } cases[] = {{"", ""}, {"0", "0"}, {"0000", "0"}, {"00A0", "A0"}, {"5", "5"}, {"0G", "G"}};
    for (const auto& c : cases) EXPECT_EQ(significantHexDigits(c.digits), c.significant) << c.digits;
}

TEST(HexNumber, PhraseOrFallbackWithItsSuffixAtAnyLength) {
    constexpr Fallback kSpare{Fallback::Kind::Decimal, ", spare"};
    const struct {
        const char* digits;
        const char* expected;
    } cases[] = {
        {"03", "3, three"},
        {"02", "2, spare"},
        {"000000000000000000000001", "1, one"},
        {"10000000000000000", "18446744073709551616, spare"},
    };
    for (const auto& c : cases) {
        Text out;
        appendPhrase(out, kCount, readHexNumber(c.digits), kSpare);
        EXPECT_EQ(out, c.expected) << c.digits;
    }
}

TEST(LastContentsOctet, IsTheLowOctetOfTheWholeContents) {
    EXPECT_EQ(lastContentsOctet("0180"), 0x80);
    EXPECT_EQ(lastContentsOctet("7FFFFF01"), 0x01);
    EXPECT_THROW(lastContentsOctet("80000000"), DecodeError);
    EXPECT_THROW(lastContentsOctet(""), DecodeError);
}

}  // namespace
}  // namespace truno
