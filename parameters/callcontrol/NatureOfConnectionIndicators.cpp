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

// The contents are read as one number, so the fields come from the last octet (characters
// 25-32 of its 32-character bit string); bits H G F have no line.
constexpr FieldLine kLines[] = {
    {"Satellite Indicator", LineLevel::L2, kLastOctet, 7, 2, kSatellite, kFallbackBits},
    {"Continuity Check Indicator", LineLevel::L2, kLastOctet, 5, 2, kContinuityCheck,
     kFallbackBits},
    {"Echo Control Device Indicator", LineLevel::L2, kLastOctet, 4, 1, kEchoControlDevice,
     kFallbackBits},
};

constexpr FieldBlock kBlock{"NATURE OF CONNECTION INDICATORS:", kLines, BlockEnding::LineEnd};

}  // namespace

void NatureOfConnectionIndicators(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

}  // namespace truno
