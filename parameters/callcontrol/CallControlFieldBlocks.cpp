// The call-control parameters whose contents are one block of field lines and nothing more:
// for each, in code order, its value tables, its field rows and its block. The parameter
// table draws a block with appendFieldBlock and lists its fields from its rows. The tables are
// constants of this file; only the blocks are declared in CallControlDecoders.h.
#include "parameters/callcontrol/CallControlCommon.h"
#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

// ---------------------------------------------------------------------------------------------
// Nature of connection indicators (code 06), Q.763 3.35.

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
constexpr Phrase kOutgoingEchoControlDevice[] = {
    {"0", "0, outgoing echo control device not included."},
    {"1", "1, outgoing echo control device included."},
};

// The contents are read as one number, so the fields come from its last octet; bits H G F have
// no line.
constexpr BitField kNatureOfConnectionIndicatorsLines[] = {
    {.key = "satellite", .label = "Satellite Indicator", .octet = kLastOctet, .bits = {2, 1}, .table = kSatellite},
    {.key = "continuity_check", .label = "Continuity Check Indicator", .octet = kLastOctet, .bits = {4, 3},
     .table = kContinuityCheck},
    {.key = "echo_control_device", .label = "Echo Control Device Indicator", .octet = kLastOctet, .bits = {5, 5},
     .table = kOutgoingEchoControlDevice},
};

constexpr FieldBlock kNatureOfConnectionIndicatorsBlock{
    "NATURE OF CONNECTION INDICATORS:", kNatureOfConnectionIndicatorsLines, BlockEnding::LineEnd};

// ---------------------------------------------------------------------------------------------
// Forward call indicators (code 07), Q.763 3.23, in the BICC form of Q.1902.3.

// Octet 1, bit A.
constexpr Phrase kCall[] = {
    {"0", "0, call to be treated as national call."},
    {"1", "1, call to be treated as international call."},
};

// Octet 1, bit D.
constexpr Phrase kForwardInterworking[] = {
    {"0", "0, no interworking (C7/BICC all the way)."},
    {"1", "1, interworking encountered."},
};

// Octet 1, bit F.
constexpr Phrase kForwardIsupBicc[] = {
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
constexpr Phrase kForwardIsdnAccess[] = {
    {"0", "0, originating access non-ISDN."},
    {"1", "1, originating access ISDN."},
};

// Octet 2, bits K J.
constexpr Phrase kForwardSccpMethod[] = {
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
constexpr BitField kForwardCallIndicatorsLines[] = {
    {.key = "national_international_call", .label = "Call Indicator", .octet = 1, .bits = {1, 1}, .table = kCall},
    {.key = "end_to_end_method", .label = "End-to-end method indicator", .octet = 1, .bits = {3, 2},
     .table = callcontrol::kEndToEndMethod},
    {.key = "interworking", .label = "Interworking indicator", .octet = 1, .bits = {4, 4}, .table = kForwardInterworking},
    {.key = "end_to_end_information", .label = "End-to-end information indicator", .octet = 1, .bits = {5, 5},
     .table = callcontrol::kEndToEndInformation},
    {.key = "isup_bicc", .label = "ISUP/BICC indicator", .octet = 1, .bits = {6, 6}, .table = kForwardIsupBicc},
    {.key = "isup_bicc_preference", .label = "ISUP/BICC preference indicator", .octet = 1, .bits = {8, 7},
     .table = kIsupBiccPreference},
    {.key = "isdn_access", .label = "ISDN access indicator", .octet = 2, .bits = {1, 1}, .table = kForwardIsdnAccess},
    {.key = "sccp_method", .label = "SCCP method indicator", .octet = 2, .bits = {3, 2}, .table = kForwardSccpMethod},
    {.key = "vpn_call", .label = "VPN Call indicator", .octet = 2, .bits = {8, 7}, .table = kVpnCall},
};

// Only the first two octets are read; a missing one fails the message.
constexpr FieldBlock kForwardCallIndicatorsBlock{
    "FORWARD CALL INDICATORS:", kForwardCallIndicatorsLines, BlockEnding::LineEnd};

// ---------------------------------------------------------------------------------------------
// Optional forward call indicators (code 08), Q.763 3.38.

constexpr Phrase kClosedUserGroupCall[] = {
    {"00", "0, non-CUG call"},
    {"01", "1, spare"},
    {"10", "2, CUG call, outgoing access allowed"},
    {"11", "3, CUG call, outgoing access not allowed"},
};

constexpr Phrase kConnectedLineIdRequest[] = {
    {"0", "0, not requested"},
    {"1", "1, requested"},
};

// Bits B A, C and H; bits D to G carry nothing shown.
constexpr BitField kOptionalForwardCallIndicatorsLines[] = {
    {.key = "closed_user_group_call", .label = "Closed user grp. call indicator", .octet = kLastOctet, .bits = {2, 1},
     .table = kClosedUserGroupCall},
    {.key = "simple_segmentation", .label = "Simple segmentation indicator", .octet = kLastOctet, .bits = {3, 3},
     .table = callcontrol::kSimpleSegmentation},
    {.key = "connected_line_identity_request", .label = "Connected line ID request indic", .octet = kLastOctet, .bits = {8, 8},
     .table = kConnectedLineIdRequest},
};

constexpr FieldBlock kOptionalForwardCallIndicatorsBlock{
    "OPTIONAL FORWARD CALL INDICATORS:", kOptionalForwardCallIndicatorsLines, BlockEnding::LineEnd};

// ---------------------------------------------------------------------------------------------
// Calling party's category (code 09), Q.763 3.11.

// All eight bits of the octet; 6 to 8 and 16 upwards have no row and print as a bare number.
constexpr ValuePhrase kCategory[] = {
    {0, "0, unknown at this time."},
    {1, "1, operator, language French."},
    {2, "2, operator, language English."},
    {3, "3, operator, language German."},
    {4, "4, operator, language Russian."},
    {5, "5, operator, language Spanish."},
    {9, "9, reserved."},
    {10, "10, ordinary calling subscriber."},
    {11, "11, calling subscriber with priority."},
    {12, "12, data call (voiceband data)."},
    {13, "13, test call."},
    {14, "14, spare."},
    {15, "15, payphone."},
};

// One line, no heading. The contents are read as one number, so the category is the last
// octet (characters 25-32).
constexpr BitField kCallingPartysCategoryLines[] = {
    {.key = "category", .label = "CALLING PARTY CATEGORY (CPC)", .level = LineLevel::L1, .octet = kLastOctet, .bits = {8, 1},
     .values = kCategory, .fallback = kFallbackDecimal},
};

constexpr FieldBlock kCallingPartysCategoryBlock{"", kCallingPartysCategoryLines, BlockEnding::LineEnd};

// ---------------------------------------------------------------------------------------------
// Information request indicators, national use (code 0E), Q.763 3.29.

constexpr Phrase kCallingPartyAddressRequest[] = {
    {"0", "0, calling party address not requested"},
    {"1", "1, calling party address requested"},
};

constexpr Phrase kCategoryRequest[] = {
    {"0", "0, calling party's category not requested"},
    {"1", "1, calling party's category requested"},
};

constexpr Phrase kMaliciousCallIdRequest[] = {
    {"0", "0, malicious call ID not requested"},
    {"1", "1, malicious call ID requested"},
};

// Bits A, D and H of octet 1.
constexpr BitField kInformationRequestIndicatorsNationalUseLines[] = {
    {.key = "calling_party_address_request", .label = "Calling Party Addr Request Indic", .octet = 1, .bits = {1, 1},
     .table = kCallingPartyAddressRequest},
    {.key = "calling_partys_category_request", .label = "Calling Party's Category Request Indic", .octet = 1, .bits = {4, 4},
     .table = kCategoryRequest},
    {.key = "mcid_request", .label = "MCID Request Indicator", .octet = 1, .bits = {8, 8},
     .table = kMaliciousCallIdRequest},
};

// The information request message carries this parameter as a single mandatory octet, so only
// octet 1 is read. The block is left open after its last phrase for the caller's break.
constexpr FieldBlock kInformationRequestIndicatorsNationalUseBlock{
    "INFORMATION REQUEST INDICATORS(NATIONAL USE):", kInformationRequestIndicatorsNationalUseLines, BlockEnding::None};

// ---------------------------------------------------------------------------------------------
// Information indicators, national use (code 0F), Q.763 3.28.

constexpr Phrase kCallingPartyAddressResponse[] = {
    {"00", "0, calling party address not included"},
    {"01", "1, calling party address not available"},
    {"10", "2, spare"},
    {"11", "3, calling party address included"},
};

constexpr Phrase kCategoryResponse[] = {
    {"0", "0, calling party's category not included"},
    {"1", "1, calling party's category included"},
};

constexpr Phrase kSolicitedInformation[] = {
    {"0", "0, solicited"},
    {"1", "1, unsolicited"},
};

// Bits B A, F and H of octet 1.
constexpr BitField kInformationIndicatorsNationalUseLines[] = {
    {.key = "calling_party_address_response", .label = "Calling Party Addr Response Indicator", .octet = 1, .bits = {2, 1},
     .table = kCallingPartyAddressResponse},
    {.key = "calling_partys_category_response", .label = "CPC Response Indicator", .octet = 1, .bits = {6, 6}, .table = kCategoryResponse},
    {.key = "solicited_information", .label = "Solicited Information Indicator", .octet = 1, .bits = {8, 8},
     .table = kSolicitedInformation},
};

// The information message carries this parameter as a single mandatory octet, so only octet 1
// is read; every field shown lies in it.
constexpr FieldBlock kInformationIndicatorsNationalUseBlock{
    "INFORMATION INDICATORS(NATIONAL USE):", kInformationIndicatorsNationalUseLines, BlockEnding::LineEnd};

// ---------------------------------------------------------------------------------------------
// Continuity indicators (code 10), Q.763 3.18.

constexpr Phrase kContinuity[] = {
    {"0", "0, reserved"},
    {"1", "1, continuity"},
};

// Continuity indicator, bit A; the rest of the octet is spare.
constexpr BitField kContinuityIndicatorsLines[] = {
    {.key = "continuity", .label = "CONTINUITY INDICATOR", .level = LineLevel::L1, .octet = kLastOctet, .bits = {1, 1},
     .table = kContinuity},
};

constexpr FieldBlock kContinuityIndicatorsBlock{"", kContinuityIndicatorsLines, BlockEnding::None};

// ---------------------------------------------------------------------------------------------
// Backward call indicators (code 11), Q.763 3.4.

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
constexpr Phrase kBackwardInterworking[] = {
    {"0", "0, no interworking encountered (C7/BICC all the way)."},
    {"1", "1, interworking encountered."},
};

// From bit K on the phrases carry no closing full stop.

// Octet 2, bit K.
constexpr Phrase kBackwardIsupBicc[] = {
    {"0", "0, ISUP/BICC not used all the way"},
    {"1", "1, ISUP/BICC used all the way"},
};

// Octet 2, bit L.
constexpr Phrase kHolding[] = {
    {"0", "0, holding not requested"},
    {"1", "1, holding requested"},
};

// Octet 2, bit M.
constexpr Phrase kBackwardIsdnAccess[] = {
    {"0", "0, terminating access non-ISDN"},
    {"1", "1, terminating access ISDN"},
};

// Octet 2, bit N.
constexpr Phrase kIncomingEchoControlDevice[] = {
    {"0", "0, incoming echo control device not included"},
    {"1", "1, incoming echo control device included"},
};

// Octet 2, bits P O.
constexpr Phrase kBackwardSccpMethod[] = {
    {"00", "0, no indication"},
    {"01", "1, reserved"},
    {"10", "2, reserved"},
    {"11", "3, reserved"},
};

// Every bit of both octets has a line.
constexpr BitField kBackwardCallIndicatorsLines[] = {
    {.key = "charge", .label = "Charge Indicator", .octet = 1, .bits = {2, 1}, .table = kCharge},
    {.key = "called_partys_status", .label = "Called party's status indicator", .octet = 1, .bits = {4, 3},
     .table = kCalledPartyStatus},
    {.key = "called_partys_category", .label = "Called party's category indicator", .octet = 1, .bits = {6, 5},
     .table = kCalledPartyCategory},
    {.key = "end_to_end_method", .label = "End-to-end method indicator", .octet = 1, .bits = {8, 7},
     .table = callcontrol::kEndToEndMethod},
    {.key = "interworking", .label = "Interworking indicator", .octet = 2, .bits = {1, 1}, .table = kBackwardInterworking},
    {.key = "end_to_end_information", .label = "End-to-end information indicator", .octet = 2, .bits = {2, 2},
     .table = callcontrol::kEndToEndInformation},
    {.key = "isup_bicc", .label = "ISUP/BICC indicator", .octet = 2, .bits = {3, 3}, .table = kBackwardIsupBicc},
    {.key = "holding", .label = "Holding indicator", .octet = 2, .bits = {4, 4}, .table = kHolding},
    {.key = "isdn_access", .label = "ISDN access indicator", .octet = 2, .bits = {5, 5}, .table = kBackwardIsdnAccess},
    {.key = "echo_control_device", .label = "Echo control device indicator", .octet = 2, .bits = {6, 6},
     .table = kIncomingEchoControlDevice},
    {.key = "sccp_method", .label = "SCCP method indicator", .octet = 2, .bits = {8, 7}, .table = kBackwardSccpMethod},
};

// Only the first two octets are read; a missing one fails the message.
constexpr FieldBlock kBackwardCallIndicatorsBlock{
    "BACKWARD CALL INDICATORS:", kBackwardCallIndicatorsLines, BlockEnding::LineEnd};

// ---------------------------------------------------------------------------------------------
// Circuit group supervision message type (code 15), Q.763 3.13.

constexpr Phrase kGroupSupervisionType[] = {
    {"00", "0, maintenance oriented"},
    {"01", "1, reserved"},
    {"10", "2, reserved"},
    {"11", "3, spare"},
};

// Type indicator, bits B A; the rest of the octet is spare.
constexpr BitField kCircuitGroupSupervisionMessageTypeLines[] = {
    {.key = "type", .label = "CCT/CIC GROUP SUP. MSG TYPE IND", .level = LineLevel::L1, .octet = kLastOctet, .bits = {2, 1},
     .table = kGroupSupervisionType},
};

constexpr FieldBlock kCircuitGroupSupervisionMessageTypeBlock{
    "", kCircuitGroupSupervisionMessageTypeLines, BlockEnding::None};

// ---------------------------------------------------------------------------------------------
// Suspend/resume indicators (code 22), Q.763 3.52.

constexpr Phrase kSuspendResume[] = {
    {"0", "0, ISDN subscriber initiated"},
    {"1", "1, network initiated"},
};

// Suspend/resume indicator, bit A; the rest of the octet is spare.
constexpr BitField kSuspendResumeIndicatorsLines[] = {
    {.key = "suspend_resume", .label = "SUSPEND/RESUME INDICATOR", .level = LineLevel::L1, .octet = kLastOctet, .bits = {1, 1},
     .table = kSuspendResume},
};

constexpr FieldBlock kSuspendResumeIndicatorsBlock{"", kSuspendResumeIndicatorsLines, BlockEnding::None};

// ---------------------------------------------------------------------------------------------
// Event information (code 24), Q.763 3.21.

// Event indicator, bits G to A, compared as a number; other values print as the bare number.
constexpr ValuePhrase kEvent[] = {
    {1, "1, ALERTING."},
    {2, "2, PROGRESS."},
    {3, "3, inband info or appropr. pattern now avail."},
    {4, "4, call forwarded on busy."},
    {5, "5, call forwarded on no reply."},
    {6, "6, call forwarded unconditional."},
};

constexpr Phrase kPresentationRestricted[] = {
    {"0", "0, no indication."},
    {"1", "1, presentation restricted."},
};

// Bits G to A, then bit H; the caller supplies the break after the last line.
constexpr BitField kEventInformationLines[] = {
    {.key = "event", .label = "Event Indicator", .octet = kLastOctet, .bits = {7, 1},
     .values = kEvent, .fallback = kFallbackDecimal},
    {.key = "event_presentation_restricted", .label = "Event Present. Restrict Indic.", .octet = kLastOctet, .bits = {8, 8},
     .table = kPresentationRestricted},
};

constexpr FieldBlock kEventInformationBlock{"EVENT INFORMATION:", kEventInformationLines, BlockEnding::None};

// ---------------------------------------------------------------------------------------------
// Optional backward call indicators (code 29), Q.763 3.37.

constexpr Phrase kInBandInformation[] = {
    {"0", "0, no indication"},
    {"1", "1, in-band information or an appropriate" TRUNO_VALUE_COLUMN_BREAK
          "pattern is now available"},
};

constexpr Phrase kCallDiversionMayOccur[] = {
    {"0", "0, no indication"},
    {"1", "1, call diversion may occur"},
};

constexpr Phrase kMlppUser[] = {
    {"0", "0, no indication"},
    {"1", "1, MLPP user"},
};

constexpr Phrase kTimeSupervisionBeforeAnswer[] = {
    {"0", "0, time supervision before B-answer."},
    {"1", "1, no time supervision before B-answer."},
};

constexpr Phrase kLastPartyRelease[] = {
    {"0", "0, ordinary release"},
    {"1", "1, last party release"},
};

// Bits A to D, G and H, one line each; bits E and F are not shown.
constexpr BitField kOptionalBackwardCallIndicatorsLines[] = {
    {.key = "in_band_information", .label = "In-band information indicator", .octet = kLastOctet, .bits = {1, 1},
     .table = kInBandInformation},
    {.key = "call_diversion_may_occur", .label = "Call diversion may occur indicator", .octet = kLastOctet, .bits = {2, 2},
     .table = kCallDiversionMayOccur},
    {.key = "simple_segmentation", .label = "Simple segmentation indicator", .octet = kLastOctet, .bits = {3, 3},
     .table = callcontrol::kSimpleSegmentation},
    {.key = "mlpp_user", .label = "MLPP user indicator", .octet = kLastOctet, .bits = {4, 4}, .table = kMlppUser},
    {.key = "time_supervision_before_answer", .label = "Time superv. before B-answer indic", .octet = kLastOctet, .bits = {7, 7},
     .table = kTimeSupervisionBeforeAnswer},
    {.key = "last_party_release", .label = "Last party release indicator", .octet = kLastOctet, .bits = {8, 8},
     .table = kLastPartyRelease},
};

constexpr FieldBlock kOptionalBackwardCallIndicatorsBlock{
    "OPTIONAL BACKWARD CALL INDICATORS:", kOptionalBackwardCallIndicatorsLines, BlockEnding::LineEnd};

// ---------------------------------------------------------------------------------------------
// Access delivery information (code 2E), Q.763 3.1.

constexpr Phrase kAccessDelivery[] = {
    {"0", "0, setup message generated."},
    {"1", "1, no setup message generated."},
};

// Access delivery indicator, bit A; the rest of the octet is spare.
constexpr BitField kAccessDeliveryInformationLines[] = {
    {.key = "access_delivery", .label = "ACCESS DELIVERY INDICATOR", .level = LineLevel::L1, .octet = kLastOctet, .bits = {1, 1},
     .table = kAccessDelivery},
};

constexpr FieldBlock kAccessDeliveryInformationBlock{
    "", kAccessDeliveryInformationLines, BlockEnding::LineEnd};

// ---------------------------------------------------------------------------------------------
// Echo control information (code 37), Q.763 3.19.

constexpr Phrase kOutgoingDeviceInfo[] = {
    {"00", "0, no information"},
    {"01", "1, outgoing echo control device not included and not available"},
    {"10", "2, outgoing echo control device included"},
    {"11", "3, outgoing echo control device not included but available"},
};

constexpr Phrase kIncomingDeviceInfo[] = {
    {"00", "0, no information"},
    {"01", "1, incoming echo control device not included and not available"},
    {"10", "2, incoming echo control device included"},
    {"11", "3, incoming echo control device not included but available"},
};

// The deactivation phrases end with a blank, as the report has always shown them.
constexpr Phrase kOutgoingDeviceRequest[] = {
    {"00", "0, no information"},
    {"01", "1, outgoing echo control device activation request"},
    {"10", "2, outgoing echo control device deactivation request "},
    {"11", "3, spare"},
};

constexpr Phrase kIncomingDeviceRequest[] = {
    {"00", "0, no information"},
    {"01", "1, incoming echo control device activation request"},
    {"10", "2, incoming echo control device deactivation request "},
    {"11", "3, spare"},
};

// Bits B A, D C, F E and H G, from the low end of the octet up.
constexpr BitField kEchoControlInformationLines[] = {
    {.key = "outgoing_echo_control_device_information", .label = "O/G Echo Control Dev. Info Indic", .octet = kLastOctet, .bits = {2, 1},
     .table = kOutgoingDeviceInfo},
    {.key = "incoming_echo_control_device_information", .label = "I/C Echo Control Dev. Info Indic", .octet = kLastOctet, .bits = {4, 3},
     .table = kIncomingDeviceInfo},
    {.key = "outgoing_echo_control_device_request", .label = "O/G Echo Control Dev. Request Indic", .octet = kLastOctet, .bits = {6, 5},
     .table = kOutgoingDeviceRequest},
    {.key = "incoming_echo_control_device_request", .label = "I/C Echo Control Dev. Request Indic", .octet = kLastOctet, .bits = {8, 7},
     .table = kIncomingDeviceRequest},
};

constexpr FieldBlock kEchoControlInformationBlock{
    "ECHO CONTROL INFORMATION:", kEchoControlInformationLines, BlockEnding::None};

}  // namespace truno
