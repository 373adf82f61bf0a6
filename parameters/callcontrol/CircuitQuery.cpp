// The mandatory parameters of the circuit group query and its response, decoded field by field
// (Q.763 3.43 and 3.14): the range (code 16) of both, whose status subfield is absent in these
// two messages, and the response's circuit state indicators (code 26), one octet per circuit.
// The circuit group messages keep their own handling of code 16 and the optional code 26 its
// heading; these decoders serve the two query messages only.
#include "base/Conversions.h"
#include "base/DecodeError.h"
#include "base/FieldBlock.h"
#include "parameters/callcontrol/CallControlDecoders.h"

#include <string>

namespace truno {
namespace {

// Bits B A while the call processing state (bits D C) is 00.
constexpr Phrase kStateWithoutCallProcessing[] = {
    {"00", "0, transient."},
    {"01", "1, spare."},
    {"10", "2, spare."},
    {"11", "3, unequipped."},
};

// Bits B A (maintenance) and F E (hardware) otherwise.
constexpr Phrase kBlockingState[] = {
    {"00", "0, no blocking (active)."},
    {"01", "1, locally blocked."},
    {"10", "2, remotely blocked."},
    {"11", "3, locally and remotely blocked."},
};

// Bits D C.
constexpr Phrase kCallProcessingState[] = {
    {"00", "0, none (see the maintenance blocking state)."},
    {"01", "1, circuit incoming busy."},
    {"10", "2, circuit outgoing busy."},
    {"11", "3, idle."},
};

constexpr BitField kRange{.key = "range", .label = "Range"};
constexpr BitField kStatusOctets{.key = "status_octets", .label = "Status (not used here)", .type = FieldType::Hex};
constexpr BitField kCircuit{.key = "circuit", .label = "Circuit (code + n)"};
constexpr BitField kStateFields[] = {
    {.key = "maintenance_blocking_state", .label = "Maintenance blocking state", .level = LineLevel::L3,
     .bits = {2, 1}, .table = kStateWithoutCallProcessing},
    {.key = "maintenance_blocking_state", .label = "Maintenance blocking state", .level = LineLevel::L3,
     .bits = {2, 1}, .table = kBlockingState},
    {.key = "call_processing_state", .label = "Call processing state", .level = LineLevel::L3, .bits = {4, 3},
     .table = kCallProcessingState},
    {.key = "hardware_blocking_state", .label = "Hardware blocking state", .level = LineLevel::L3, .bits = {6, 5},
     .table = kBlockingState},
};

int octetAt(std::string_view contents, std::size_t i, std::string_view what) {
    if (2 * i + 2 > contents.size())
        throw DecodeError(DecodeFailure::OctetsMissing, std::string(what) + ": octet " + std::to_string(i + 1) + " is missing");
    return static_cast<int>(hexToDec(contents.substr(2 * i, 2)));
}

}  // namespace

void CircuitQueryRange(std::string_view contents, Text& out) {
    const int range = octetAt(contents, 0, "range and status");
    lineOf(out, "RANGE AND STATUS:");
    dressField(out, kRange);
    out.setFieldNumber(static_cast<std::uint64_t>(range));
    appendDecimal(out, static_cast<std::uint64_t>(range));
    out += ", the message's code and the ";
    appendDecimal(out, static_cast<std::uint64_t>(range));
    out += range == 1 ? " code after it." : " codes after it.";
    out += CRLF;
    if (contents.size() > 2) fieldLine(out, kStatusOctets, contents.substr(2));
}

void CircuitStateIndicators(std::string_view contents, Text& out) {
    const std::size_t circuits = contents.size() / 2;
    if (circuits == 0) throw DecodeError(DecodeFailure::OctetsMissing, "circuit state indicator: no octet");
    // Every octet is converted before anything is written, so a failure leaves `out` as it was.
    std::string octets;
    for (std::size_t n = 0; n < circuits; ++n)
        octets += static_cast<char>(octetAt(contents, n, "circuit state indicator"));
    lineOf(out, "CIRCUIT STATE INDICATOR:");
    for (std::size_t n = 0; n < circuits; ++n) {
        const auto octet = static_cast<std::uint8_t>(octets[n]);
        dressField(out, kCircuit);
        out.setFieldNumber(n);
        appendDecimal(out, n);
        out += CRLF;
        const bool callProcessing = (octet & 0x0C) != 0;
        appendFieldLine(out, callProcessing ? kStateFields[1] : kStateFields[0], octet);
        out += CRLF;
        appendFieldLine(out, kStateFields[2], octet);
        out += CRLF;
        appendFieldLine(out, kStateFields[3], octet);
        out += CRLF;
    }
}

void CircuitQueryRangeFields(FieldList& list) {
    list.add(kRange);
    list.add(kStatusOctets);
}

void CircuitStateIndicatorsFields(FieldList& list) {
    list.add(kCircuit);
    list.add(kStateFields);
}

}  // namespace truno
