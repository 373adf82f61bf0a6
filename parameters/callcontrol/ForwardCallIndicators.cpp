// Forward call indicators (code 07), Q.763 3.23, in the BICC form of Q.1902.3.
#include "parameters/callcontrol/CallControlCommon.h"
#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {
namespace {

// Octet 1, bit A.
constexpr Phrase kCall[] = {
    {"0", "0, call to be treated as national call."},
    {"1", "1, call to be treated as international call."},
};

// Octet 1, bit D.
constexpr Phrase kInterworking[] = {
    {"0", "0, no interworking (C7/BICC all the way)."},
    {"1", "1, interworking encountered."},
};

// Octet 1, bit F.
constexpr Phrase kIsupBicc[] = {
    {"0", "0, ISUP/BICC not used all the way."},
    {"1", "1, ISUP/BICC used all the way."},
};

// Octet 1, bits H G.
constexpr Phrase kIsupBiccPreference[] = {
    {"00", "0, ISUP/BICC preferred all the way."},
    {"01", "1, ISUP/BICC not required all the way."},
    {"10", "2, ISUP/BICC required all the way."},
    {"11", "3, spare."},
};

// Octet 2, bit I.
constexpr Phrase kIsdnAccess[] = {
    {"0", "0, originating access non-ISDN."},
    {"1", "1, originating access ISDN."},
};

// Octet 2, bits K J.
constexpr Phrase kSccpMethod[] = {
    {"00", "0, no indication."},
    {"01", "1, reserved."},
    {"10", "2, reserved."},
    {"11", "3, reserved."},
};

// Octet 2, bits P O.
constexpr Phrase kVpnCall[] = {
    {"00", "0, non VPN call."},
    {"01", "1, VPN call terminating to off-net."},
    {"10", "2, VPN call terminating to on-net."},
    {"11", "3, VPN call terminating to on-net/off-net (undetermined)."},
};

// Bits L, M and N of octet 2 (bits 6-4) have no line.
constexpr BitField kLines[] = {
    {.key = "national_international_call", .label = "Call Indicator", .octet = 1, .bits = {1, 1}, .table = kCall},
    {.key = "end_to_end_method", .label = "End-to-end method indicator", .octet = 1, .bits = {3, 2},
     .table = callcontrol::kEndToEndMethod},
    {.key = "interworking", .label = "Interworking indicator", .octet = 1, .bits = {4, 4}, .table = kInterworking},
    {.key = "end_to_end_information", .label = "End-to-end information indicator", .octet = 1, .bits = {5, 5},
     .table = callcontrol::kEndToEndInformation},
    {.key = "isup_bicc", .label = "ISUP/BICC indicator", .octet = 1, .bits = {6, 6}, .table = kIsupBicc},
    {.key = "isup_bicc_preference", .label = "ISUP/BICC preference indicator", .octet = 1, .bits = {8, 7},
     .table = kIsupBiccPreference},
    {.key = "isdn_access", .label = "ISDN access indicator", .octet = 2, .bits = {1, 1}, .table = kIsdnAccess},
    {.key = "sccp_method", .label = "SCCP method indicator", .octet = 2, .bits = {3, 2}, .table = kSccpMethod},
    {.key = "vpn_call", .label = "VPN Call indicator", .octet = 2, .bits = {8, 7}, .table = kVpnCall},
};

constexpr FieldBlock kBlock{"FORWARD CALL INDICATORS:", kLines, BlockEnding::LineEnd};

}  // namespace

// Only the first two octets are read; a missing one fails the message.
void ForwardCallIndicators(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void ForwardCallIndicatorsFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
