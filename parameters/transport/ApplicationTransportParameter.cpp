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
    const std::size_t start = out.size();
    appendDecimal(out, segments);
    if (segments == 0) {
        constexpr std::string_view kFinal = ", final segment.";
        out.noteMeaning(start, meaningAfterNumber(out.size() - start, kFinal));
        out += kFinal;
        return;
    }
    out += segments <= 9 ? std::string_view(" segments following.") : std::string_view(" ,spare.");
}

constexpr BitField kFields[] = {
    {.key = "extension", .label = "Extension Indicator", .octet = 1, .bits = {8, 8}, .table = kExtension},
    {.key = "application_context_identifier", .label = "Application context identifier (ACI)", .octet = 1,
     .bits = {7, 1}, .values = kOneOctetContexts, .fallback = kFallbackEmpty},
    {.key = "application_context_identifier", .label = "Application context identifier"},
    {.key = "release_call", .label = "Release call indicator (RCI)", .level = LineLevel::L3, .octet = 3, .bits = {1, 1},
     .table = kReleaseCall},
    {.key = "send_notification", .label = "Send notification indicator (SNI)", .level = LineLevel::L3, .octet = 3,
     .bits = {2, 2}, .table = kSendNotification},
    {.key = "sequence", .label = "Sequence indicator (SI)", .octet = 4, .bits = {7, 7}, .table = kSequence},
    {.key = "segmentation", .label = "APM segmentation indicator", .octet = 4, .bits = {6, 1}},
    {.key = "segmentation_local_reference", .label = "Segmentation local reference (SLR)", .octet = 5},
};

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
    appendFieldLine(out, kFields[0], octet1);
    out += CRLF;
    if (oneOctetContext) {
        appendFieldLine(out, kFields[1], octet1);
        out += CRLF;
    } else {
        const Field context{(static_cast<std::uint64_t>(octet2 & 0x7Fu) << 7) | (octet1 & 0x7Fu),
                            14};
        dressField(out, kFields[2]);
        out.setFieldNumber(context.value);
        appendBits(out, context);
        out += " binary (";
        appendDecimal(out, context.value);
        out += " decimal.)";
        out += CRLF;
    }

    lineOf(out, "Application Transport Instruction Indicators:", kLabelIndent);
    appendFieldLine(out, kFields[3], instructions);
    out += CRLF;
    appendFieldLine(out, kFields[4], instructions);
    out += CRLF;
    appendFieldLine(out, kFields[5], segmentation);
    out += CRLF;
    dressField(out, kFields[6]);
    out.setFieldNumber(bitsOf(segmentation, kFields[6].bits).value);
    appendSegmentation(out, bitsOf(segmentation, kFields[6].bits).value);
    out += CRLF;
    dressField(out, kFields[7]);
    out.setFieldNumber(localReference);
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

void ApplicationTransportParameterFields(FieldList& list) {
    list.add(kFields);
    EncapsulatedApplicationInformationFields(list);
}

}  // namespace truno
