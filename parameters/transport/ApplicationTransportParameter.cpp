// Application transport parameter (code 78), Q.763 3.81, with the BICC use of Q.765.
#include "base/FieldTable.h"
#include "parameters/transport/CompatibilityInstructions.h"
#include "parameters/transport/TransportDecoders.h"

namespace truno {
namespace {

// Octet 1 bit 8.
constexpr Phrase kExtension[] = {
    {"0", "0, info continues in next octet"},
    {"1", "1, last octet"},
};

// Application context identifiers of one octet (bits 7-1 of octet 1); others have no name.
constexpr ValuePhrase kOneOctetContexts[] = {
    {0, "0, unidentified context & error handling (UCEH) ASE."},
    {1, "1, PSS1 ASE (VPN)."},
    {2, "2, spare."},
    {3, "3, charging ASE (ETSI)."},
    {4, "4, reserved."},
    {5, "5, BAT ASE"},
    {6, "6, reserved."},
};

// Octet 4 bit 7.
constexpr Phrase kSequence[] = {
    {"0", "0, subsequent segment to first segment."},
    {"1", "1, new sequence."},
};

void appendSegmentation(Text& out, std::uint64_t segments) {
    appendDecimal(out, segments);
    if (segments == 0)
        out += ", final segment.";
    else if (segments <= 9)
        out += " segments following.";
    else
        out += " ,spare.";
}

}  // namespace

// Both forms of the context identifier are followed by the instruction indicators in octet 3,
// the sequence and segmentation indicators in octet 4, the segmentation local reference in
// octet 5 and the encapsulated application information from octet 6 on; with the one-octet
// identifier, octet 2 is not read. BICC traffic with the one-octet identifier carries the
// originating and destination address length octets of Q.765 in octets 4 and 5; when both are
// 0, as they usually are, the encapsulated information does start at octet 6.
void ApplicationTransportParameter(std::string_view contents, Text& out) {
    const std::uint8_t octet1 = contentOctet(contents, 1);
    const bool oneOctetContext = bitsOf(octet1, {8, 8}).value == 1;
    const std::uint8_t octet2 = oneOctetContext ? 0 : contentOctet(contents, 2);
    const std::uint8_t instructions = contentOctet(contents, 3);
    const std::uint8_t segmentation = contentOctet(contents, 4);
    const std::uint8_t localReference = contentOctet(contents, 5);

    lineOf(out, "APPLICATION TRANSPORT PARAMETER (APP):");
    fieldLineL2(out, "Extension Indicator", kExtension, bitsOf(octet1, {8, 8}), kFallbackBits);
    if (oneOctetContext) {
        dressLabelL2(out, "Application context identifier (ACI)");
        appendPhrase(out, kOneOctetContexts, bitsOf(octet1, {7, 1}), kFallbackEmpty);
        out += CRLF;
    } else {
        const Field context{(static_cast<std::uint64_t>(octet2 & 0x7Fu) << 7) | (octet1 & 0x7Fu),
                            14};
        dressLabelL2(out, "Application context identifier");
        appendBits(out, context);
        out += " binary (";
        appendDecimal(out, context.value);
        out += " decimal.)";
        out += CRLF;
    }

    lineOf(out, "Application Transport Instruction Indicators:", kLabelIndent);
    fieldLineL3(out, "Release call indicator (RCI)", kReleaseCall, bitsOf(instructions, {1, 1}),
                kFallbackBits);
    fieldLineL3(out, "Send notification indicator (SNI)", kSendNotification,
                bitsOf(instructions, {2, 2}), kFallbackBits);
    fieldLineL2(out, "Sequence indicator (SI)", kSequence, bitsOf(segmentation, {7, 7}),
                kFallbackBits);
    dressLabelL2(out, "APM segmentation indicator");
    appendSegmentation(out, bitsOf(segmentation, {6, 1}).value);
    out += CRLF;
    dressLabelL2(out, "Segmentation local reference (SLR)");
    appendDecimal(out, localReference);
    out += CRLF;
    out += CRLF;

    const std::string_view information =
        contents.size() > 10 ? contents.substr(10) : std::string_view{};
    if (oneOctetContext) {
        lineOf(out, "APM-USER INFORMATION:", kLabelIndent);
        EncapsulatedApplicationInformation(information, ApmForm::APM98, out);
    } else {
        lineOf(out, "ENCAPSULATED APPLICATION PARAMETERS");
        EncapsulatedApplicationInformation(information, ApmForm::APM2000, out);
    }
}

}  // namespace truno
