// Nature of connection indicators (code 06), Q.763 3.35.
#include "base/FieldBlock.h"
#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {
namespace {

// Bits B A.
constexpr Phrase kSatellite[] = {
    {"00", "0, no satellite cct. in the connection."},
    {"01", "1, one satellite cct. in the connection."},
    {"10", "2, two satellite ccts. in the connection."},
    {"11", "3, spare."},
};

// Bits D C.
constexpr Phrase kContinuityCheck[] = {
    {"00", "0, not required."},
    {"01", "1, reserved (BICC)."},
    {"10", "2, required."},
    {"11", "3, spare."},
};

// Bit E.
constexpr Phrase kEchoControlDevice[] = {
    {"0", "0, outgoing echo control device not included."},
    {"1", "1, outgoing echo control device included."},
};

// The contents are read as one number, so the fields come from its last octet; bits H G F have
// no line.
constexpr BitField kLines[] = {
    {.key = "satellite", .label = "Satellite Indicator", .octet = kLastOctet, .bits = {2, 1}, .table = kSatellite},
    {.key = "continuity_check", .label = "Continuity Check Indicator", .octet = kLastOctet, .bits = {4, 3},
     .table = kContinuityCheck},
    {.key = "echo_control_device", .label = "Echo Control Device Indicator", .octet = kLastOctet, .bits = {5, 5},
     .table = kEchoControlDevice},
};

constexpr FieldBlock kBlock{"NATURE OF CONNECTION INDICATORS:", kLines, BlockEnding::LineEnd};

}  // namespace

void NatureOfConnectionIndicators(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void NatureOfConnectionIndicatorsFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
