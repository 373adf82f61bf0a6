// Generic notification indicator (code 2C), Q.763 3.25.
#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

// Bit H. The extension is not followed: one notification is shown, from the last octet.
constexpr Phrase kExtension[] = {
    {"0", "0, information continues in next octet."},
    {"1", "1, last octet."},
};

// Bits G-A; unlisted values show as the bare seven bits.
constexpr Phrase kNotification[] = {
    {"0000000", "0, user suspended"},
    {"0000001", "1, user resumed"},
    {"0000010", "2, reserved"},
    {"0000011", "3, reserved"},
    {"0000100", "4, reserved"},
    {"1000010", "66, conference established"},
    {"1000011", "67, conference disconnected"},
    {"1000100", "68, other party added"},
    {"1000101", "69, isolated"},
    {"1000110", "70, reattached"},
    {"1000111", "71, other party isolated"},
    {"1001000", "72, other party reattached"},
    {"1001001", "73, other party split"},
    {"1001010", "74, other party disconnected"},
    {"1001011", "75, conference floating"},
    {"1100000", "96, call is a waiting call"},
    {"1101000", "105, diversion activated (used in DSS1)"},
    {"1101001", "106, call transfer, alerting"},
    {"1101010", "107, call transfer, active"},
    {"1111001", "121, remote hold"},
    {"1111010", "122, remote retrieval"},
    {"1111011", "123, call is diverting"},
};

constexpr BitField kLines[] = {
    {.key = "extension", .label = "Extension Indicator", .octet = kLastOctet, .bits = {8, 8}, .table = kExtension},
    {.key = "notification", .label = "Notification Indicator", .octet = kLastOctet, .bits = {7, 1}, .table = kNotification},
};

constexpr FieldBlock kBlock{"GENERIC NOTIFICATION INDICATOR:", kLines, BlockEnding::None};

}  // namespace

void GenericNotificationIndicator(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void GenericNotificationIndicatorFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
