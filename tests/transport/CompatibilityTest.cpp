#include "core/DecodeError.h"
#include "parameters/transport/TransportDecoders.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace truno {
namespace {

std::string l2(std::string_view label, std::string_view value) {
    return DressItL2(label) + std::string(value) + "\r\n";
}

// The six instruction lines of an octet, labels in the order A, B, C, D, E, G F.
std::string instructionLines(const std::array<std::string_view, 6>& labels,
                             const std::array<std::string_view, 6>& phrases) {
    std::string lines;
    for (std::size_t i = 0; i < labels.size(); ++i) lines += l2(labels[i], phrases[i]);
    return lines;
}

constexpr std::array<std::string_view, 6> kMessageLabels = {
    "Transit at intermediate S/N exch", "Release call indicator",
    "Send notification indicator",      "Discard message indicator",
    "Pass on not possible indicator",   "Broadband/Narrowband interwork indic"};

constexpr std::array<std::string_view, 6> kParameterLabels = {
    "Transit at intermediate S/N exch", "Release call indicator",
    "Send notification indicator",      "Discard message indicator",
    "Discard parameter indicator",      "Pass on not possible indicator"};

// One bit set at a time, so that a field read from the wrong bit shows.
TEST(MessageCompatibilityInformatio, ReadsEachFieldFromItsOwnBits) {
    const struct {
        const char* contents;
        std::array<std::string_view, 6> phrases;
    } cases[] = {
        {"81",
         {"1, end node interpretation.", "0, do not release call.", "0, do not send notification.",
          "0, do not discard message (pass on).", "0, release call.", "0, pass on."}},
        {"82",
         {"0, transit interpretation.", "1, release call.", "0, do not send notification.",
          "0, do not discard message (pass on).", "0, release call.", "0, pass on."}},
        {"84",
         {"0, transit interpretation.", "0, do not release call.", "1, send notification.",
          "0, do not discard message (pass on).", "0, release call.", "0, pass on."}},
        {"88",
         {"0, transit interpretation.", "0, do not release call.", "0, do not send notification.",
          "1, discard message.", "0, release call.", "0, pass on."}},
        {"90",
         {"0, transit interpretation.", "0, do not release call.", "0, do not send notification.",
          "0, do not discard message (pass on).", "1, discard information.", "0, pass on."}},
        {"A0",
         {"0, transit interpretation.", "0, do not release call.", "0, do not send notification.",
          "0, do not discard message (pass on).", "0, release call.", "1, discard message."}},
        {"C0",
         {"0, transit interpretation.", "0, do not release call.", "0, do not send notification.",
          "0, do not discard message (pass on).", "0, release call.", "2, release call."}},
        {"FF",
         {"1, end node interpretation.", "1, release call.", "1, send notification.",
          "1, discard message.", "1, discard information.", "3, reserved."}},
        // Only the first instruction octet is read.
        {"8100",
         {"1, end node interpretation.", "0, do not release call.", "0, do not send notification.",
          "0, do not discard message (pass on).", "0, release call.", "0, pass on."}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(
            render(MessageCompatibilityInformatio, c.contents),
            "MESSAGE COMPATIBILITY INFORMATION:\r\n" + instructionLines(kMessageLabels, c.phrases))
            << c.contents;
}

TEST(MessageCompatibilityInformatio, ShowsNoFieldsWhenBitEightIsZero) {
    for (const char* contents : {"01", "00", "7F"})
        EXPECT_EQ(render(MessageCompatibilityInformatio, contents),
                  "MESSAGE COMPATIBILITY INFORMATION:\r\n")
            << contents;
}

TEST(ParCompatiblityInfo, NamesTheUpgradedParameterAndReadsOctetTwo) {
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
        EXPECT_EQ(render(ParCompatiblityInfo, c.contents),
                  "PARAMETER COMPATIBILITY INFORMATION:\r\n" +
                      l2("1st upgraded parameter", c.name) +
                      instructionLines(kParameterLabels, c.phrases))
            << c.contents;
}

TEST(ParCompatiblityInfo, NameTableCoversTheListedCodesOnly) {
    const struct {
        const char* code;
        std::string_view name;
    } cases[] = {
        {"01", "Call reference (national use)"},
        {"0E", "Information request indicators (national use)"},
        {"15", "Circuit/CIC group supervision message type"},
        {"5B", "Network management controls"},
        {"65", "Correlation id"},
        {"78", "Application transport"},
        {"83", "Calling party geodetic velocity information"},
        {"8D", "Number portability forward information"},
        {"A3", "Inter-Nodal Traffic Group Identifier"},
        {"C0", "Generic number"},
        {"14", ""},
        {"3B", ""},
        {"7E", ""},
        {"80", ""},
        {"A0", ""},
        {"C2", ""},
        {"FF", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(render(ParCompatiblityInfo, std::string(c.code) + "00"),
                  "PARAMETER COMPATIBILITY INFORMATION:\r\n" + l2("1st upgraded parameter", c.name))
            << c.code;
}

TEST(CompatibilityInformation, FailsWithoutItsOctets) {
    EXPECT_THROW(render(MessageCompatibilityInformatio, ""), DecodeError);
    EXPECT_THROW(render(ParCompatiblityInfo, ""), DecodeError);
    EXPECT_THROW(render(ParCompatiblityInfo, "39"), DecodeError);
    EXPECT_THROW(render(ParCompatiblityInfo, "3g81"), DecodeError);
}

TEST(IdentifierParameters, RawDumpsKeepTheirDigits) {
    const struct {
        ParameterDecoder decoder;
        const char* contents;
        std::string expected;
    } cases[] = {
        {ConnectionReq, "0102", "CONNECTION REQUEST\r\n0102"},
        {INServiceCompatibilit, "A1B2C3", "IN SERVICE COMPATIBILITY\r\nA1B2C3"},
        {CodingDecodingProcessin, "", "CODING DECODING PROCESSING\r\n"},
        {CodecLst, "0585", "CODEC LIST\r\n0585"},
        {SinglCodec, "0101", "SingleCodec\r\n0101"},
        {BATCompatReport, "FF", "BAT COMPATIBILITY REPORT\r\nFF"},
    };
    for (const auto& c : cases) EXPECT_EQ(render(c.decoder, c.contents), c.expected) << c.contents;
}

TEST(CorrelatioId, PrintsTheExactValueThenTheDigits) {
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
        EXPECT_EQ(render(CorrelatioId, c.contents),
                  DressData("CORRELATION ID") + c.value + "(H'" + c.contents + ")\r\n");
    EXPECT_THROW(render(CorrelatioId, ""), DecodeError);
}

}  // namespace
}  // namespace truno
