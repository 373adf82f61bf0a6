// Call diversion information (code 36), Q.763 3.5.
#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

// Bits C B A; unlisted values show as the bare bits.
constexpr Phrase kNotificationOptions[] = {
    {"000", "0, unknown."},
    {"001", "1, presentation not allowed."},
    {"010", "2, presentation allowed with redirection number."},
    {"011", "3, presentation allowed without redirection number."},
};

// Bits G F E D; unlisted values show as a decimal number followed by ", spare.".
constexpr Phrase kRedirectingReason[] = {
    {"0000", "0, unknown."},
    {"0001", "1, user busy."},
    {"0010", "2, no reply."},
    {"0011", "3, unconditional."},
    {"0100", "4, deflection during alerting."},
    {"0101", "5, deflection immediate response."},
    {"0110", "6, mobile subscriber not reachable."},
};

constexpr BitField kLines[] = {
    {.key = "notification_subscription_options", .label = "Notification subscription options", .octet = kLastOctet, .bits = {3, 1},
     .table = kNotificationOptions},
    {.key = "redirecting_reason", .label = "Redirecting reason", .octet = kLastOctet, .bits = {7, 4},
     .table = kRedirectingReason, .fallback = kFallbackDecimalSpare},
};

// The title has no colon, and the block is followed by an empty line.
constexpr FieldBlock kBlock{"CALL DIVERSION INFORMATION", kLines, BlockEnding::EmptyLine};

}  // namespace

void CallDiversionInformation(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void CallDiversionInformationFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
