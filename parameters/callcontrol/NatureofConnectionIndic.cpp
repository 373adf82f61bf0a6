#include "core/FieldTable.h"
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

}  // namespace

// The contents are read as one number, so the fields come from the last octet (characters
// 25-32 of its 32-character bit string); bits H G F have no line.
void NatureofConnectionIndic(std::string_view contents, Text& out) {
    const std::uint32_t word = wholeContentsWord(contents);
    lineOf(out, "NATURE OF CONNECTION INDICATORS:");
    fieldLineL2(out, "Satellite Indicator", kSatellite, cut(word, 31, 2), kFallbackBits);
    fieldLineL2(out, "Continuity Check Indicator", kContinuityCheck, cut(word, 29, 2),
                kFallbackBits);
    fieldLineL2(out, "Echo Control Device Indicator", kEchoControlDevice, cut(word, 28, 1),
                kFallbackBits);
}

}  // namespace truno
