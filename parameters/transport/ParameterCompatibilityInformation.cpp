// Parameter compatibility information (code 39), Q.763 3.41.
#include "parameters/transport/CompatibilityInstructions.h"
#include "parameters/transport/TransportDecoders.h"

#include <iterator>

namespace truno {
namespace {

// Bit E.
constexpr Phrase kDiscardParameter[] = {
    {"0", "0, do not discard parameter (pass on)."},
    {"1", "1, discard parameter."},
};

// Bits G F.
constexpr Phrase kPassOnNotPossible[] = {
    {"00", "0, release call."},
    {"01", "1, discard message."},
    {"10", "2, discard parameter."},
    {"11", "3, reserved."},
};

constexpr BitField kParameterInstructions[] = {
    {.key = "transit_at_intermediate_exchange", .label = "Transit at intermediate S/N exch", .bits = {1, 1}, .table = kTransitAtIntermediateExchange},
    {.key = "release_call", .label = "Release call indicator", .bits = {2, 2}, .table = kReleaseCall},
    {.key = "send_notification", .label = "Send notification indicator", .bits = {3, 3}, .table = kSendNotification},
    {.key = "discard_message", .label = "Discard message indicator", .bits = {4, 4}, .table = kDiscardMessage},
    {.key = "discard_parameter", .label = "Discard parameter indicator", .bits = {5, 5}, .table = kDiscardParameter},
    {.key = "pass_on_not_possible", .label = "Pass on not possible indicator", .bits = {7, 6}, .table = kPassOnNotPossible},
};

// Names of the parameters an upgraded parameter code can stand for; a code without a row
// gives an empty name.
constexpr ValuePhrase kUpgradedParameterNames[] = {
    {0x00, "End of optional parameters"},
    {0x01, "Call reference (national use)"},
    {0x02, "Transmission medium requirement"},
    {0x03, "Access transport"},
    {0x04, "Called party number"},
    {0x05, "Subsequent number"},
    {0x06, "Nature of connection indicators"},
    {0x07, "Forward call indicators"},
    {0x08, "Optional forward call indicators"},
    {0x09, "Calling party's category"},
    {0x0A, "Calling party number"},
    {0x0B, "Redirecting number"},
    {0x0C, "Redirection number"},
    {0x0D, "Connection request"},
    {0x0E, "Information request indicators (national use)"},
    {0x0F, "Information indicators"},
    {0x10, "Continuity indicators"},
    {0x11, "Backward call indicators"},
    {0x12, "Cause indicators"},
    {0x13, "Redirection information"},
    {0x15, "Circuit/CIC group supervision message type"},
    {0x16, "Range and status"},
    {0x18, "Facility indicator"},
    {0x1A, "Closed user group interlock code"},
    {0x1D, "User service information"},
    {0x1E, "Signalling point code"},
    {0x20, "User-to-user information"},
    {0x21, "Connected number"},
    {0x22, "Suspend/Resume indicators"},
    {0x23, "Transit network selection"},
    {0x24, "Event information"},
    {0x25, "Circuit assignment map"},
    {0x26, "Circuit/CIC state indicator"},
    {0x27, "Automatic congestion level"},
    {0x28, "Original called number"},
    {0x29, "Optional backward call indicators"},
    {0x2A, "User-to-user indicators"},
    {0x2B, "Origination ISC point code"},
    {0x2C, "Generic notification indicator"},
    {0x2D, "Call history information"},
    {0x2E, "Access delivery information"},
    {0x2F, "Network specific facility"},
    {0x30, "User service information prime"},
    {0x31, "Propagation delay counter"},
    {0x32, "Remote operations"},
    {0x33, "Service activation"},
    {0x34, "User teleservice information"},
    {0x35, "Transmission medium used"},
    {0x36, "Call diversion information"},
    {0x37, "Echo control information"},
    {0x38, "Message compatibility information"},
    {0x39, "Parameter compatibility information"},
    {0x3A, "MLPP precedence"},
    {0x3D, "Hop counter"},
    {0x3E, "Transmission medium requirement prime"},
    {0x3F, "Location number"},
    {0x40, "Redirection number restriction"},
    {0x43, "Call transfer reference"},
    {0x44, "Loop prevention indicators"},
    {0x45, "Call transfer number"},
    {0x4C, "Forward GVNS"},
    {0x4D, "Backward GVNS"},
    {0x4E, "Redirect capability"},
    {0x5B, "Network management controls"},
    {0x65, "Correlation id"},
    {0x6E, "Call diversion treatment indicators"},
    {0x6F, "Called IN number"},
    {0x70, "Call offering treatment indicators"},
    {0x71, "Charged party identification"},
    {0x72, "Conference treatment indicators"},
    {0x73, "Display information"},
    {0x77, "Redirect counter"},
    {0x78, "Application transport"},
    {0x79, "Collect call request"},
    {0x7B, "Pivot capability"},
    {0x7C, "Pivot routing indicators"},
    {0x7D, "Called directory number"},
    {0x7F, "Original called IN number"},
    {0x81, "Calling geodetic location"},
    {0x82, "HTR information"},
    {0x83, "Calling party geodetic velocity information"},
    {0x84, "Network routing number"},
    {0x85, "Query on release capability"},
    {0x86, "Pivot status"},
    {0x87, "Pivot counter"},
    {0x88, "Pivot routing forward information"},
    {0x89, "Pivot routing backward information"},
    {0x8A, "Redirect status"},
    {0x8B, "Redirect forward information"},
    {0x8C, "Redirect backward information"},
    {0x8D, "Number portability forward information"},
    {0xA1, "Carrier selection information"},
    {0xA2, "IN Service Compatibility"},
    {0xA3, "Inter-Nodal Traffic Group Identifier"},
    {0xA4, "Global call reference"},
    {0xA5, "Coding decoding processing"},
    {0xC0, "Generic number"},
    {0xC1, "Generic digits"},
};
static_assert(std::size(kUpgradedParameterNames) == 98);

constexpr BitField kUpgradedField{.key = "upgraded_parameter", .label = "1st upgraded parameter",
                                  .values = kUpgradedParameterNames, .fallback = kFallbackEmpty};

}  // namespace

// Octet 1 names the first upgraded parameter, octet 2 holds its instruction indicators;
// further instruction octets and upgraded parameters are not shown.
void ParameterCompatibilityInformation(std::string_view contents, Text& out) {
    const std::uint8_t upgraded = contentOctet(contents, 1);
    const std::uint8_t instructions = contentOctet(contents, 2);
    lineOf(out, "PARAMETER COMPATIBILITY INFORMATION:");
    appendFieldLine(out, kUpgradedField, upgraded);
    out += CRLF;
    appendInstructionIndicators(out, instructions, kParameterInstructions);
}

void ParameterCompatibilityInformationFields(FieldList& list) {
    list.add(kUpgradedField);
    list.add(kParameterInstructions);
}

}  // namespace truno
