// Backward call indicators (code 11), Q.763 3.4.
#include "parameters/callcontrol/CallControlCommon.h"
#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {
namespace {

// Octet 1, bits B A.
constexpr Phrase kCharge[] = {
    {"00", "0, no indication."},
    {"01", "1, no charge."},
    {"10", "2, charge."},
    {"11", "3, spare."},
};

// Octet 1, bits D C.
constexpr Phrase kCalledPartyStatus[] = {
    {"00", "0, no indication."},
    {"01", "1, subscriber free."},
    {"10", "2, reserved."},
    {"11", "3, spare."},
};

// Octet 1, bits F E.
constexpr Phrase kCalledPartyCategory[] = {
    {"00", "0, no indication."},
    {"01", "1, ordinary subscriber."},
    {"10", "2, payphone."},
    {"11", "3, spare."},
};

// Octet 2, bit I.
constexpr Phrase kInterworking[] = {
    {"0", "0, no interworking encountered (C7/BICC all the way)."},
    {"1", "1, interworking encountered."},
};

// From bit K on the phrases carry no closing full stop.

// Octet 2, bit K.
constexpr Phrase kIsupBicc[] = {
    {"0", "0, ISUP/BICC not used all the way"},
    {"1", "1, ISUP/BICC used all the way"},
};

// Octet 2, bit L.
constexpr Phrase kHolding[] = {
    {"0", "0, holding not requested"},
    {"1", "1, holding requested"},
};

// Octet 2, bit M.
constexpr Phrase kIsdnAccess[] = {
    {"0", "0, terminating access non-ISDN"},
    {"1", "1, terminating access ISDN"},
};

// Octet 2, bit N.
constexpr Phrase kEchoControlDevice[] = {
    {"0", "0, incoming echo control device not included"},
    {"1", "1, incoming echo control device included"},
};

// Octet 2, bits P O.
constexpr Phrase kSccpMethod[] = {
    {"00", "0, no indication"},
    {"01", "1, reserved"},
    {"10", "2, reserved"},
    {"11", "3, reserved"},
};

// Every bit of both octets has a line.
constexpr BitField kLines[] = {
    {.key = "charge", .label = "Charge Indicator", .octet = 1, .bits = {2, 1}, .table = kCharge},
    {.key = "called_partys_status", .label = "Called party's status indicator", .octet = 1, .bits = {4, 3},
     .table = kCalledPartyStatus},
    {.key = "called_partys_category", .label = "Called party's category indicator", .octet = 1, .bits = {6, 5},
     .table = kCalledPartyCategory},
    {.key = "end_to_end_method", .label = "End-to-end method indicator", .octet = 1, .bits = {8, 7},
     .table = callcontrol::kEndToEndMethod},
    {.key = "interworking", .label = "Interworking indicator", .octet = 2, .bits = {1, 1}, .table = kInterworking},
    {.key = "end_to_end_information", .label = "End-to-end information indicator", .octet = 2, .bits = {2, 2},
     .table = callcontrol::kEndToEndInformation},
    {.key = "isup_bicc", .label = "ISUP/BICC indicator", .octet = 2, .bits = {3, 3}, .table = kIsupBicc},
    {.key = "holding", .label = "Holding indicator", .octet = 2, .bits = {4, 4}, .table = kHolding},
    {.key = "isdn_access", .label = "ISDN access indicator", .octet = 2, .bits = {5, 5}, .table = kIsdnAccess},
    {.key = "echo_control_device", .label = "Echo control device indicator", .octet = 2, .bits = {6, 6},
     .table = kEchoControlDevice},
    {.key = "sccp_method", .label = "SCCP method indicator", .octet = 2, .bits = {8, 7}, .table = kSccpMethod},
};

constexpr FieldBlock kBlock{"BACKWARD CALL INDICATORS:", kLines, BlockEnding::LineEnd};

}  // namespace

// Only the first two octets are read; a missing one fails the message.
void BackwardCallIndicators(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void BackwardCallIndicatorsFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
