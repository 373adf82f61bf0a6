// User service information (code 1D), Q.763 3.57, with the bearer capability of Q.931.
#include "parameters/callcontrol/CallControlCommon.h"
#include "parameters/callcontrol/CallControlDecoders.h"

#include <optional>

namespace truno {
namespace {

// Octet 1 and 2 follow the bearer capability of ITU-T Q.931: coding standard and information
// transfer capability, then extension bit, transfer mode and information transfer rate.
constexpr Phrase kCodingStandard[] = {
    {"00", "0, ITU-T standardised coding."},
};

constexpr Phrase kTransferCapability[] = {
    {"00000", "0, speech."},
    {"01000", "8, unrestricted digital information."},
    {"01001", "9, restricted digital information."},
    {"10000", "16, 3.1kHz audio."},
    {"10001", "17, unrestricted digital info with tones/announcements."},
    {"11000", "24, video."},
};

constexpr Phrase kTransferMode[] = {
    {"00", "00, circuit mode"},
    {"01", "01, packet mode"},
};
constexpr Fallback kTransferModeReserved{Fallback::Kind::Bits, ", reserved"};

constexpr Phrase kTransferRate[] = {
    {"00000", "0"},
    {"10000", "64 kbit/s"},
};
constexpr Fallback kTransferRateReserved{Fallback::Kind::Empty, "reserved"};

constexpr BitField kFields[] = {
    {.key = "coding_standard", .label = "Coding Standard", .octet = 1, .bits = {7, 6}, .table = kCodingStandard,
     .fallback = kFallbackDecimalReserved},
    {.key = "information_transfer_capability", .label = "Information Transfer Capability", .octet = 1,
     .bits = {5, 1}, .table = kTransferCapability, .fallback = kFallbackDecimalReserved},
    {.key = "transfer_mode", .label = "Transfer Mode", .octet = 2, .bits = {7, 6}, .table = kTransferMode,
     .fallback = kTransferModeReserved},
    {.key = "information_transfer_rate", .label = "Information Transfer Rate", .octet = 2, .bits = {5, 1},
     .table = kTransferRate, .fallback = kTransferRateReserved},
    {.key = "rate_multiplier", .label = "Rate Multiplier", .octet = 3, .bits = {7, 1}},
};
const BitField& kRateMultiplierField = kFields[4];

}  // namespace

void UserServiceInformation(std::string_view contents, Text& out) {
    const std::uint8_t octet1 = contentOctet(contents, 1);
    const std::uint8_t octet2 = contentOctet(contents, 2);
    // With the extension bit of octet 2 set, octet 3 holds the rate multiplier in bits 7 to 1.
    // Exchanges also send two octets with the bit set (8890): that is a whole parameter, so
    // without octet 3 the line is left out rather than the message failed.
    std::optional<std::uint8_t> rateMultiplier;
    if (bitsOf(octet2, {8, 8}).value == 1 && octetCount(contents) >= 3)
        rateMultiplier = contentOctet(contents, 3);

    out += "USER SERVICE INFORMATION (";
    appendLogText(out, contents);
    out += ')';
    out += CRLF;
    for (std::size_t i = 0; i < 4; ++i) {
        appendFieldLine(out, kFields[i], kFields[i].octet == 1 ? octet1 : octet2);
        out += CRLF;
    }

    if (rateMultiplier) {
        dressField(out, kRateMultiplierField);
        const std::uint64_t multiplier = bitsOf(*rateMultiplier, kRateMultiplierField.bits).value;
        out.setFieldNumber(multiplier);
        appendDecimal(out, multiplier);
        out += "*64 kbit channels";
        out += CRLF;
    }
}

void UserServiceInformationFields(FieldList& list) { list.add(kFields); }

}  // namespace truno
