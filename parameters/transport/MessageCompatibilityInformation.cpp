// Message compatibility information (code 38), Q.763 3.33.
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

constexpr BitField kMessageInstructions[] = {
    {.key = "transit_at_intermediate_exchange", .label = "Transit at intermediate S/N exch", .bits = {1, 1}, .table = kTransitAtIntermediateExchange},
    {.key = "release_call", .label = "Release call indicator", .bits = {2, 2}, .table = kReleaseCall},
    {.key = "send_notification", .label = "Send notification indicator", .bits = {3, 3}, .table = kSendNotification},
    {.key = "discard_message", .label = "Discard message indicator", .bits = {4, 4}, .table = kDiscardMessage},
    {.key = "pass_on_not_possible", .label = "Pass on not possible indicator", .bits = {5, 5}, .table = kPassOnNotPossible},
    {.key = "broadband_narrowband_interworking", .label = "Broadband/Narrowband interwork indic", .bits = {7, 6}, .table = kBroadbandNarrowbandInterworking},
};

}  // namespace

// Only the first instruction indicators octet is shown.
void MessageCompatibilityInformation(std::string_view contents, Text& out) {
    const std::uint8_t instructions = contentOctet(contents, 1);
    lineOf(out, "MESSAGE COMPATIBILITY INFORMATION:");
    appendInstructionIndicators(out, instructions, kMessageInstructions);
}

void MessageCompatibilityInformationFields(FieldList& list) { list.add(kMessageInstructions); }

}  // namespace truno
