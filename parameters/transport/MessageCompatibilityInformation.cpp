#include "parameters/transport/CompatibilityInstructions.h"
#include "parameters/transport/TransportDecoders.h"

namespace truno {
namespace {

// Bit E.
constexpr Phrase kPassOnNotPossible[] = {
    {"0", "0, release call."},
    {"1", "1, discard information."},
};

// Bits G F.
constexpr Phrase kBroadbandNarrowbandInterworking[] = {
    {"00", "0, pass on."},
    {"01", "1, discard message."},
    {"10", "2, release call."},
    {"11", "3, reserved."},
};

constexpr InstructionField kMessageInstructions[] = {
    {"Transit at intermediate S/N exch", 8, 1, kTransitAtIntermediateExchange},
    {"Release call indicator", 7, 1, kReleaseCall},
    {"Send notification indicator", 6, 1, kSendNotification},
    {"Discard message indicator", 5, 1, kDiscardMessage},
    {"Pass on not possible indicator", 4, 1, kPassOnNotPossible},
    {"Broadband/Narrowband interwork indic", 2, 2, kBroadbandNarrowbandInterworking},
};

}  // namespace

// Only the first instruction indicators octet is shown.
void MessageCompatibilityInformation(std::string_view contents, Text& out) {
    const std::uint8_t instructions = contentOctet(contents, 1);
    lineOf(out, "MESSAGE COMPATIBILITY INFORMATION:");
    appendInstructionIndicators(out, instructions, kMessageInstructions);
}

}  // namespace truno
