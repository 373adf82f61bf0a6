#include "base/DecodeError.h"
#include "parameters/transport/TransportDecoders.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace truno {
namespace {

std::string l2(std::string_view label, std::string_view value) {
    return dressLabelL2(label) + std::string(value) + "\r\n";
}

// The six instruction lines of an octet, labels in the order A, B, C, D, E, G F.
std::string instructionLines(const std::array<std::string_view, 6>& labels,
                             const std::array<std::string_view, 6>& phrases) {
    std::string lines;
    for (std::size_t i = 0; i < labels.size(); ++i) lines += l2(labels[i], phrases[i]);
    return lines;
}

// How many lines of a block show a value that starts with a digit from 1 to 9.
std::size_t nonZeroValues(const std::string& block) {
    std::size_t count = 0;
    for (std::size_t at = block.find('='); at != std::string::npos; at = block.find('=', at + 1))
        if (at + 1 < block.size() && block[at + 1] >= '1' && block[at + 1] <= '9') ++count;
    return count;
}

constexpr std::array<std::string_view, 6> kMessageLabels = {
    "Transit at intermediate S/N exch", "Release call indicator",
    "Send notification indicator",      "Discard message indicator",
    "Pass on not possible indicator",   "Broadband/Narrowband interwork indic"};

constexpr std::array<std::string_view, 6> kParameterLabels = {
    "Transit at intermediate S/N exch", "Release call indicator",
    "Send notification indicator",      "Discard message indicator",
    "Discard parameter indicator",      "Pass on not possible indicator"};

TEST(MessageCompatibilityInformation, ShowsAllSixFields) {
    EXPECT_EQ(render(MessageCompatibilityInformation, "81"),
              "MESSAGE COMPATIBILITY INFORMATION:\r\n" +
                  instructionLines(
                      kMessageLabels,
                      {"1, end node interpretation.", "0, do not release call.",
                       "0, do not send notification.", "0, do not discard message (pass on).",
                       "0, release call.", "0, pass on."}));
    EXPECT_EQ(
        render(MessageCompatibilityInformation, "FF"),
        "MESSAGE COMPATIBILITY INFORMATION:\r\n" +
            instructionLines(kMessageLabels, {"1, end node interpretation.", "1, release call.",
                                              "1, send notification.", "1, discard message.",
                                              "1, discard information.", "3, reserved."}));
}

// One bit set at a time (besides bit 8), so that a field read from the wrong bit shows.
TEST(CompatibilityInformation, ReadsEachFieldFromItsOwnBits) {
    const struct {
        ParameterDecoder decoder;
        const char* contents;
        std::string_view label;
        std::string_view phrase;
    } cases[] = {
        {MessageCompatibilityInformation, "82", "Release call indicator", "1, release call."},
        {MessageCompatibilityInformation, "84", "Send notification indicator",
         "1, send notification."},
        {MessageCompatibilityInformation, "88", "Discard message indicator", "1, discard message."},
        {MessageCompatibilityInformation, "90", "Pass on not possible indicator",
         "1, discard information."},
        {MessageCompatibilityInformation, "A0", "Broadband/Narrowband interwork indic",
         "1, discard message."},
        {MessageCompatibilityInformation, "C0", "Broadband/Narrowband interwork indic",
         "2, release call."},
        {ParameterCompatibilityInformation, "0082", "Release call indicator", "1, release call."},
        {ParameterCompatibilityInformation, "0084", "Send notification indicator", "1, send notification."},
        {ParameterCompatibilityInformation, "0088", "Discard message indicator", "1, discard message."},
        {ParameterCompatibilityInformation, "00A0", "Pass on not possible indicator", "1, discard message."},
        {ParameterCompatibilityInformation, "00C0", "Pass on not possible indicator", "2, discard parameter."},
        {ParameterCompatibilityInformation, "00E0", "Pass on not possible indicator", "3, reserved."},
    };
    for (const auto& c : cases) {
        const std::string block = render(c.decoder, c.contents);
        EXPECT_NE(block.find(l2(c.label, c.phrase)), std::string::npos) << c.contents << "\n"
                                                                        << block;
        // Every other bit is 0: no other field shows a value above 0.
        EXPECT_EQ(nonZeroValues(block), 1u) << c.contents << "\n" << block;
    }
}

TEST(MessageCompatibilityInformation, ShowsNoFieldsWhenBitEightIsZero) {
    for (const char* contents : {"01", "00", "7F"})
        EXPECT_EQ(render(MessageCompatibilityInformation, contents),
                  "MESSAGE COMPATIBILITY INFORMATION:\r\n")
            << contents;
}

TEST(ParameterCompatibilityInformation, NamesTheUpgradedParameterAndReadsOctetTwo) {
    const struct {
        const char* contents;
        std::string_view name;
        std::array<std::string_view, 6> phrases;
    } cases[] = {
        {"3981",
         "Parameter compatibility information",
         {"1, end node interpretation.", "0, do not release call.", "0, do not send notification.",
          "0, do not discard message (pass on).", "0, do not discard parameter (pass on).",
          "0, release call."}},
        {"1490",
         "",
         {"0, transit interpretation.", "0, do not release call.", "0, do not send notification.",
          "0, do not discard message (pass on).", "1, discard parameter.", "0, release call."}},
        {"00A0",
         "End of optional parameters",
         {"0, transit interpretation.", "0, do not release call.", "0, do not send notification.",
          "0, do not discard message (pass on).", "0, do not discard parameter (pass on).",
          "1, discard message."}},
        {"C1C0",
         "Generic digits",
         {"0, transit interpretation.", "0, do not release call.", "0, do not send notification.",
          "0, do not discard message (pass on).", "0, do not discard parameter (pass on).",
          "2, discard parameter."}},
        {"A5FE",
         "Coding decoding processing",
         {"0, transit interpretation.", "1, release call.", "1, send notification.",
          "1, discard message.", "1, discard parameter.", "3, reserved."}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(render(ParameterCompatibilityInformation, c.contents),
                  "PARAMETER COMPATIBILITY INFORMATION:\r\n" +
                      l2("1st upgraded parameter", c.name) +
                      instructionLines(kParameterLabels, c.phrases))
            << c.contents;
}

TEST(ParameterCompatibilityInformation, NameTableCoversTheListedCodesOnly) {
    const struct {
        const char* code;
        std::string_view name;
    } cases[] = {
        {"0E", "Information request indicators (national use)"},
        {"83", "Calling party geodetic velocity information"},
        {"A3", "Inter-Nodal Traffic Group Identifier"},
        {"14", ""},
        {"3B", ""},
        {"7E", ""},
        {"80", ""},
        {"A0", ""},
        {"C2", ""},
        {"FF", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(render(ParameterCompatibilityInformation, std::string(c.code) + "00"),
                  "PARAMETER COMPATIBILITY INFORMATION:\r\n" + l2("1st upgraded parameter", c.name))
            << c.code;
}

TEST(CompatibilityInformation, FailsWithoutItsOctets) {
    EXPECT_THROW(render(MessageCompatibilityInformation, ""), DecodeError);
    EXPECT_THROW(render(ParameterCompatibilityInformation, ""), DecodeError);
    EXPECT_THROW(render(ParameterCompatibilityInformation, "39"), DecodeError);
    EXPECT_THROW(render(ParameterCompatibilityInformation, "3g81"), DecodeError);
}

TEST(CorrelationId, PrintsTheExactValueThenTheDigits) {
    const struct {
        const char* contents;
        const char* value;
    } cases[] = {
        {"04D2", "1234"},
        {"00", "0"},
        {"FFFFFFFFFFFFFFFF", "18446744073709551615"},
        {"0102030405060708090A", "4759477275222530853130"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(render(CorrelationId, c.contents),
                  dressLabel("CORRELATION ID") + c.value + "(H'" + c.contents + ")\r\n");
    EXPECT_THROW(render(CorrelationId, ""), DecodeError);
}

}  // namespace
}  // namespace truno
