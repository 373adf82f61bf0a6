// The supplementary-service and network parameters whose contents are one block of field
// lines and nothing more: for each, in code order, its value tables, its field rows and its
// block. The parameter table draws a block with appendFieldBlock and lists its fields from its
// rows. The tables are constants of this file; only the blocks are declared in
// ServiceDecoders.h.
#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

// ---------------------------------------------------------------------------------------------
// Redirection information (code 13), Q.763 3.45.

// Value 4 runs onto a second line whose text starts in the value column.
constexpr std::string_view kDivertedAllRestricted =
    "4, call diverted, all redirection information\r\n"
    "                                             presentation restricted";
constexpr std::size_t kContinuation = kDivertedAllRestricted.find("\r\n") + 2;
static_assert(kDivertedAllRestricted.substr(kContinuation, kValueColumnIndent.size()) == kValueColumnIndent &&
                  kDivertedAllRestricted[kContinuation + kValueColumnIndent.size()] == 'p',
              "the continuation must start in the value column");

// Octet 1 bits C B A.
constexpr Phrase kRedirectingIndicator[] = {
    {"000", "0, no redirection"},
    {"001", "1, call rerouted"},
    {"010", "2, reserved "},
    {"011", "3, call diverted"},
    {"100", kDivertedAllRestricted},
    {"101", "5, reserved"},
    {"110", "6, reserved"},
    {"111", "7, spare"},
};

// Octet 1 bits H G F E; unlisted values show as bits.
constexpr Phrase kOriginalReason[] = {
    {"0000", "0, unknown/not available"},
    {"0001", "1, user busy"},
    {"0010", "2, no reply"},
    {"0011", "3, unconditional"},
};

// Octet 2 bits H G F E; unlisted values show as a decimal number.
constexpr Phrase kRedirectingReason[] = {
    {"0000", "0, unknown/not available"},
    {"0001", "1, user busy"},
    {"0010", "2, no reply"},
    {"0011", "3, unconditional"},
    {"0100", "4, deflection during alerting"},
    {"0101", "5, deflection immediate response"},
    {"0110", "6, mobile subscriber not reachable"},
};

// Octet 1 and octet 2 are read each on its own; bit D of both is not shown.
constexpr BitField kRedirectionInformationLines[] = {
    {.key = "redirecting", .label = "Redirecting indicator", .octet = 1, .bits = {3, 1}, .table = kRedirectingIndicator},
    {.key = "original_redirection_reason", .label = "Original redirection reason", .octet = 1, .bits = {8, 5},
     .table = kOriginalReason, .fallback = kFallbackBitsSpare},
    {.key = "redirection_counter", .label = "No. of redirections undergone", .octet = 2, .bits = {3, 1},
     .fallback = kFallbackDecimal},
    {.key = "redirecting_reason", .label = "Redirecting reason", .octet = 2, .bits = {8, 5},
     .table = kRedirectingReason, .fallback = servicecommon::kFallbackDecimalSpareNoStop},
};

constexpr FieldBlock kRedirectionInformationBlock{
    "REDIRECTION INFORMATION:", kRedirectionInformationLines, BlockEnding::None};

// ---------------------------------------------------------------------------------------------
// Generic notification indicator (code 2C), Q.763 3.25.

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

constexpr BitField kGenericNotificationIndicatorLines[] = {
    {.key = "extension", .label = "Extension Indicator", .octet = kLastOctet, .bits = {8, 8}, .table = kExtension},
    {.key = "notification", .label = "Notification Indicator", .octet = kLastOctet, .bits = {7, 1}, .table = kNotification},
};

constexpr FieldBlock kGenericNotificationIndicatorBlock{
    "GENERIC NOTIFICATION INDICATOR:", kGenericNotificationIndicatorLines, BlockEnding::None};

// ---------------------------------------------------------------------------------------------
// Call diversion information (code 36), Q.763 3.5.

// Bits C B A; unlisted values show as the bare bits.
constexpr Phrase kNotificationOptions[] = {
    {"000", "0, unknown."},
    {"001", "1, presentation not allowed."},
    {"010", "2, presentation allowed with redirection number."},
    {"011", "3, presentation allowed without redirection number."},
};

// Bits G F E D; unlisted values show as a decimal number followed by ", spare.".
constexpr Phrase kDiversionRedirectingReason[] = {
    {"0000", "0, unknown."},
    {"0001", "1, user busy."},
    {"0010", "2, no reply."},
    {"0011", "3, unconditional."},
    {"0100", "4, deflection during alerting."},
    {"0101", "5, deflection immediate response."},
    {"0110", "6, mobile subscriber not reachable."},
};

constexpr BitField kCallDiversionInformationLines[] = {
    {.key = "notification_subscription_options", .label = "Notification subscription options", .octet = kLastOctet, .bits = {3, 1},
     .table = kNotificationOptions},
    {.key = "redirecting_reason", .label = "Redirecting reason", .octet = kLastOctet, .bits = {7, 4},
     .table = kDiversionRedirectingReason, .fallback = kFallbackDecimalSpare},
};

// The title has no colon, and the block is followed by an empty line.
constexpr FieldBlock kCallDiversionInformationBlock{
    "CALL DIVERSION INFORMATION", kCallDiversionInformationLines, BlockEnding::EmptyLine};

// ---------------------------------------------------------------------------------------------
// MCID request indicators (code 3B), Q.763 3.31.

// Bit A.
constexpr Phrase kMcidRequest[] = {
    {"0", "0, MCID not requested"},
    {"1", "1, MCID requested"},
};

// Bit B.
constexpr Phrase kHoldingRequest[] = {
    {"0", "0, holding not requested"},
    {"1", "1, holding requested"},
};

constexpr BitField kMcidRequestIndicatorsLines[] = {
    {.key = "mcid_request", .label = "MCID Request Indicator", .octet = kLastOctet, .bits = {1, 1}, .table = kMcidRequest},
    {.key = "holding", .label = "Holding Indicator", .octet = kLastOctet, .bits = {2, 2}, .table = kHoldingRequest},
};

constexpr FieldBlock kMcidRequestIndicatorsBlock{
    "MCID REQUEST INDICATORS:", kMcidRequestIndicatorsLines, BlockEnding::None};

// ---------------------------------------------------------------------------------------------
// MCID response indicators (code 3C), Q.763 3.32.

// Bit A.
constexpr Phrase kMcidResponse[] = {
    {"0", "0, MCID not included"},
    {"1", "1, MCID included"},
};

// Bit B.
constexpr Phrase kHoldingProvided[] = {
    {"0", "0, holding not provided"},
    {"1", "1, holding provided"},
};

constexpr BitField kMcidResponseIndicatorsLines[] = {
    {.key = "mcid_response", .label = "MCID Response Indicator", .octet = kLastOctet, .bits = {1, 1},
     .table = kMcidResponse},
    {.key = "holding_provided", .label = "Holding Provided Indicator", .octet = kLastOctet, .bits = {2, 2},
     .table = kHoldingProvided},
};

constexpr FieldBlock kMcidResponseIndicatorsBlock{
    "MCID RESPONSE INDICATORS:", kMcidResponseIndicatorsLines, BlockEnding::None};

// ---------------------------------------------------------------------------------------------
// Hop counter (code 3D), Q.763 3.80.

// Bits E D C B A of the last octet: how many more exchanges the call may pass, 0 to 31.
// Bits H G F are not shown.
constexpr BitField kHopCounterLines[] = {
    {.key = "hop_counter", .label = "HOP COUNTER", .level = LineLevel::L1, .octet = kLastOctet, .bits = {5, 1},
     .fallback = kFallbackDecimal},
};

constexpr FieldBlock kHopCounterBlock{"", kHopCounterLines, BlockEnding::None};

// ---------------------------------------------------------------------------------------------
// Redirection number restriction (code 40), Q.763 3.47.

// Bits B A; bits H-C are not shown.
constexpr Phrase kPresentationRestricted[] = {
    {"00", "0, presentation allowed"},
    {"01", "1, presentation restricted"},
    {"10", "2, spare"},
    {"11", "3, spare"},
};

constexpr BitField kRedirectionNumberRestrictionLines[] = {
    {.key = "presentation_restricted", .label = "Presentation restricted indicator", .octet = kLastOctet, .bits = {2, 1},
     .table = kPresentationRestricted},
};

constexpr FieldBlock kRedirectionNumberRestrictionBlock{
    "REDIRECTION NUMBER RESTRICTION:", kRedirectionNumberRestrictionLines, BlockEnding::None};

// ---------------------------------------------------------------------------------------------
// CCSS (code 4B), Q.763 3.63.

// Bit A; the parameter's title is the label of its one dotted line.
constexpr Phrase kCcssCall[] = {
    {"0", "0, no indication."},
    {"1", "1, CCSS call."},
};

constexpr BitField kCcssLines[] = {
    {.key = "ccss_call", .label = "CCSS CALL INDICATOR", .level = LineLevel::L1, .octet = kLastOctet, .bits = {1, 1},
     .table = kCcssCall},
};

constexpr FieldBlock kCcssBlock{"", kCcssLines, BlockEnding::None};

// ---------------------------------------------------------------------------------------------
// Backward GVNS (code 4D), Q.763 3.62.

// Bits B A of the last octet; bits H to C are not shown.
constexpr Phrase kTerminatingAccess[] = {
    {"00", "0, no information."},
    {"01", "1, dedicated terminating access."},
    {"10", "2, switched terminating access."},
    {"11", "3, spare."},
};

constexpr BitField kBackwardGvnsLines[] = {
    {.key = "terminating_access", .label = "TERMINATING ACCESS INDICATOR", .level = LineLevel::L1, .octet = kLastOctet, .bits = {2, 1},
     .table = kTerminatingAccess},
};

constexpr FieldBlock kBackwardGvnsBlock{"", kBackwardGvnsLines, BlockEnding::LineEnd};

// ---------------------------------------------------------------------------------------------
// Redirect capability, national use (code 4E), Q.763 3.96.

// Bits C B A; unlisted values show as the bare bits.
constexpr Phrase kRedirectPossible[] = {
    {"000", "0, no indication"},
    {"001", "1, redirect possible before ACM"},
    {"010", "2, redirect possible before ANM"},
    {"011", "3, redirect possible anytime during the call"},
};

// Only the first octet is decoded, whatever its extension bit announces.
constexpr BitField kRedirectCapabilityNationalUseLines[] = {
    {.key = "redirect_possible", .label = "Redirect possible indicator", .octet = kLastOctet, .bits = {3, 1},
     .table = kRedirectPossible},
    servicecommon::kExtensionLine,
};

constexpr FieldBlock kRedirectCapabilityNationalUseBlock{
    "REDIRECT CAPABILITY:", kRedirectCapabilityNationalUseLines, BlockEnding::None};

// ---------------------------------------------------------------------------------------------
// Network management controls (code 5B), Q.763 3.68.

// Bit A: temporary alternative routing.
constexpr Phrase kTarIndicator[] = {
    {"0", "0, no indication"},
    {"1", "1, TAR controlled call"},
};

constexpr BitField kNetworkManagementControlsLines[] = {
    {.key = "temporary_alternative_routing", .label = "Temp. Altenative Routing indic", .octet = kLastOctet, .bits = {1, 1},
     .table = kTarIndicator},
    servicecommon::kExtensionLine,
};

constexpr FieldBlock kNetworkManagementControlsBlock{
    "NETWORK MANAGEMENT CONTROL:", kNetworkManagementControlsLines, BlockEnding::None};

// ---------------------------------------------------------------------------------------------
// Call diversion treatment indicators (code 6E), Q.763 3.71.

// Bits B A.
constexpr Phrase kCallDiversionTreatment[] = {
    {"00", "0, no indication"},
    {"01", "1, call diversion allowed"},
    {"10", "2, call diversion not allowed"},
    {"11", "3, spare"},
};

constexpr BitField kCallDiversionTreatmentIndicatorsLines[] = {
    servicecommon::treatmentIndicatorLine("call_diversion_treatment", "CALL DIVERSION TREATMENT INDICATOR", kCallDiversionTreatment),
};

constexpr FieldBlock kCallDiversionTreatmentIndicatorsBlock{
    "", kCallDiversionTreatmentIndicatorsLines, BlockEnding::LineEnd};

// ---------------------------------------------------------------------------------------------
// Call offering treatment indicators (code 70), Q.763 3.73.

// Bits B A. Here 01 forbids and 10 allows, the reverse of the diversion and transfer indicators.
constexpr Phrase kCallOfferingTreatment[] = {
    {"00", "0, no indication"},
    {"01", "1, call offering not allowed"},
    {"10", "2, call offering allowed"},
    {"11", "3, spare"},
};

constexpr BitField kCallOfferingTreatmentIndicatorsLines[] = {
    servicecommon::treatmentIndicatorLine("call_to_be_offered", "CALL TO BE OFFERED INDICATOR", kCallOfferingTreatment),
};

constexpr FieldBlock kCallOfferingTreatmentIndicatorsBlock{
    "", kCallOfferingTreatmentIndicatorsLines, BlockEnding::LineEnd};

// ---------------------------------------------------------------------------------------------
// Conference treatment indicators (code 72), Q.763 3.75.

// Bits B A.
constexpr Phrase kConferenceAcceptance[] = {
    {"00", "0, no indication"},
    {"01", "1, accept conference request"},
    {"10", "2, reject conference request"},
    {"11", "3, spare"},
};

constexpr BitField kConferenceTreatmentIndicatorsLines[] = {
    servicecommon::treatmentIndicatorLine("conference_acceptance", "CONFERENCE ACCEPTANCE INDICATOR", kConferenceAcceptance),
};

// Unlike the other treatment indicators, this line carries no line end of its own.
constexpr FieldBlock kConferenceTreatmentIndicatorsBlock{
    "", kConferenceTreatmentIndicatorsLines, BlockEnding::None};

// ---------------------------------------------------------------------------------------------
// UID action indicators (code 74), Q.763 3.77.

// Bit A.
constexpr Phrase kThroughConnectInstruction[] = {
    {"0", "0, no indication"},
    {"1", "1, through-connect in both directions"},
};

// Bit B.
constexpr Phrase kT9Instruction[] = {
    {"0", "0, no indication"},
    {"1", "1, stop or do not start T9 timer"},
};

constexpr BitField kUidActionIndicatorsLines[] = {
    {.key = "through_connection_instruction", .label = "Through-connect instruction indic", .octet = kLastOctet, .bits = {1, 1},
     .table = kThroughConnectInstruction},
    {.key = "t9_timer_instruction", .label = "T9 timer instruction indicator", .octet = kLastOctet, .bits = {2, 2},
     .table = kT9Instruction},
    servicecommon::kExtensionLine,
};

constexpr FieldBlock kUidActionIndicatorsBlock{
    "UID ACTION INDICATORS:", kUidActionIndicatorsLines, BlockEnding::None};

// ---------------------------------------------------------------------------------------------
// UID capability indicators (code 75), Q.763 3.78.

// Bit A.
constexpr Phrase kThroughConnection[] = {
    {"0", "0, no indication"},
    {"1", "1, through-connect modification possible"},
};

// Bit B.
constexpr Phrase kT9Capability[] = {
    {"0", "0, no indication"},
    {"1", "1, stopping of T9 timer possible"},
};

constexpr BitField kUidCapabilityIndicatorsLines[] = {
    {.key = "through_connection", .label = "Through-connection indicator", .octet = kLastOctet, .bits = {1, 1},
     .table = kThroughConnection},
    {.key = "t9_timer", .label = "T9 timer indicator", .octet = kLastOctet, .bits = {2, 2}, .table = kT9Capability},
    servicecommon::kExtensionLine,
};

constexpr FieldBlock kUidCapabilityIndicatorsBlock{
    "UID CAPABILITY INDICATORS:", kUidCapabilityIndicatorsLines, BlockEnding::None};

// ---------------------------------------------------------------------------------------------
// Redirect counter, national use (code 77), Q.763 3.79.

// Bits E D C B A as a number (0 to 31), on one level-1 line without a title; bits H G F are
// not shown.
constexpr BitField kRedirectCounterNationalUseLines[] = {
    {.key = "redirect_counter", .label = "REDIRECT COUNTER", .level = LineLevel::L1, .octet = kLastOctet, .bits = {5, 1},
     .fallback = kFallbackDecimal},
};

constexpr FieldBlock kRedirectCounterNationalUseBlock{
    "", kRedirectCounterNationalUseLines, BlockEnding::None};

// ---------------------------------------------------------------------------------------------
// Collect call request (code 79), Q.763 3.82.

// Bit A; the parameter's title is the label of its one dotted line.
constexpr Phrase kCollectCall[] = {
    {"0", "0, no indication"},
    {"1", "1, collect call requested"},
};

constexpr BitField kCollectCallRequestLines[] = {
    {.key = "collect_call_request", .label = "COLLECT CALL REQUEST INDIC", .level = LineLevel::L1, .octet = kLastOctet, .bits = {1, 1},
     .table = kCollectCall},
};

constexpr FieldBlock kCollectCallRequestBlock{"", kCollectCallRequestLines, BlockEnding::None};

// ---------------------------------------------------------------------------------------------
// CCNR possible indicator (code 7A), Q.763 3.83.

// Bit A; the parameter's title is the label of its one dotted line.
constexpr Phrase kCcnrPossible[] = {
    {"0", "0, CCNR not possible."},
    {"1", "1, CCNR possible."},
};

constexpr BitField kCcnrPossibleIndicatorLines[] = {
    {.key = "ccnr_possible", .label = "CCNR POSSIBLE INDICATOR", .level = LineLevel::L1, .octet = kLastOctet, .bits = {1, 1},
     .table = kCcnrPossible},
};

constexpr FieldBlock kCcnrPossibleIndicatorBlock{"", kCcnrPossibleIndicatorLines, BlockEnding::None};

// ---------------------------------------------------------------------------------------------
// Pivot capability (code 7B), Q.763 3.84.

// Bits C B A; unlisted values show as their bits and ", spare".
constexpr Phrase kPivotPossible[] = {
    {"000", "0, no indication"},
    {"001", "1, pivot routing possible before ACM"},
    {"010", "2, pivot routing possible before ANM"},
    {"011", "3, pivot routing possible anytime during the call"},
};

// Bit G.
constexpr Phrase kInterworkingToRedirection[] = {
    {"0", "0, allowed (forward)"},
    {"1", "1, not allowed (forward)"},
};

// Bits F E D are not shown.
constexpr BitField kPivotCapabilityLines[] = {
    {.key = "pivot_possible", .label = "Pivot possible indicator", .octet = kLastOctet, .bits = {3, 1},
     .table = kPivotPossible, .fallback = kFallbackBitsSpare},
    {.key = "interworking_to_redirection", .label = "Interworking to redirection indic", .octet = kLastOctet, .bits = {7, 7},
     .table = kInterworkingToRedirection},
    servicecommon::kExtensionLine,
};

constexpr FieldBlock kPivotCapabilityBlock{"PIVOT CAPABILITY:", kPivotCapabilityLines, BlockEnding::None};

// ---------------------------------------------------------------------------------------------
// Pivot routing indicators (code 7C), Q.763 3.85.

// Bits G F E D C B A; unlisted values show as their decimal value and ", spare".
constexpr Phrase kPivotRouting[] = {
    {"0000000", "0, no indication"},
    {"0000001", "1, pivot request"},
    {"0000010", "2, cancel pivot request"},
    {"0000011", "3, pivot request failure"},
    {"0000100", "4, interworking to redirection prohibited (backward)"},
};

constexpr BitField kPivotRoutingIndicatorsLines[] = {
    {.key = "pivot_routing", .label = "Pivot routing indicators", .octet = kLastOctet, .bits = {7, 1},
     .table = kPivotRouting, .fallback = servicecommon::kFallbackDecimalSpareNoStop},
    servicecommon::kExtensionLine,
};

constexpr FieldBlock kPivotRoutingIndicatorsBlock{
    "PIVOT ROUTING INDICATORS:", kPivotRoutingIndicatorsLines, BlockEnding::None};

// ---------------------------------------------------------------------------------------------
// Query on release capability, network option (code 85), Q.763 3.91.

// Bit A.
constexpr Phrase kQorCapability[] = {
    {"0", "0, no indication"},
    {"1", "1, QoR support"},
};

constexpr BitField kQueryOnReleaseCapabilityNetworkOptionLines[] = {
    {.key = "qor_capability", .label = "QoR capability indicator", .octet = kLastOctet, .bits = {1, 1},
     .table = kQorCapability},
    servicecommon::kExtensionLine,
};

constexpr FieldBlock kQueryOnReleaseCapabilityNetworkOptionBlock{
    "QUERY ON RELEASE CAPABILITY:", kQueryOnReleaseCapabilityNetworkOptionLines, BlockEnding::None};

// ---------------------------------------------------------------------------------------------
// Pivot status, national use (code 86), Q.763 3.92.

// Bits B A.
constexpr Phrase kPivotStatus[] = {
    {"00", "0, no indication"},
    {"01", "1, acknowledgement of pivot routing"},
    {"10", "2, pivot routing will not be invoked"},
    {"11", "3, spare"},
};

// Bits G to C are not shown.
constexpr BitField kPivotStatusNationalUseLines[] = {
    {.key = "pivot_status", .label = "Pivot status indicator", .octet = kLastOctet, .bits = {2, 1}, .table = kPivotStatus},
    servicecommon::kExtensionLine,
};

constexpr FieldBlock kPivotStatusNationalUseBlock{
    "PIVOT STATUS (NATIONAL USE):", kPivotStatusNationalUseLines, BlockEnding::None};

// ---------------------------------------------------------------------------------------------
// Pivot counter (code 87), Q.763 3.93.

// Bits E D C B A: the number of redirections, 0 to 31, as a bare number; H G F are not shown.
constexpr BitField kPivotCounterLines[] = {
    {.key = "number_of_redirections", .label = "Number of redirections", .octet = kLastOctet, .bits = {5, 1},
     .fallback = kFallbackDecimal},
};

constexpr FieldBlock kPivotCounterBlock{"PIVOT COUNTER:", kPivotCounterLines, BlockEnding::LineEnd};

// ---------------------------------------------------------------------------------------------
// Redirect status, national use (code 8A), Q.763 3.99.

// Bits B A; bits G-C are not shown.
constexpr Phrase kRedirectStatus[] = {
    {"00", "0, no indication"},
    {"01", "1, acknowledgement of redirection"},
    {"10", "2, redirection will not be invoked"},
    {"11", "3, spare"},
};

constexpr BitField kRedirectStatusNationalUseLines[] = {
    {.key = "redirect_status", .label = "Redirect status indicator", .octet = kLastOctet, .bits = {2, 1},
     .table = kRedirectStatus},
    servicecommon::kExtensionLine,
};

constexpr FieldBlock kRedirectStatusNationalUseBlock{
    "REDIRECT STATUS:", kRedirectStatusNationalUseLines, BlockEnding::None};

// ---------------------------------------------------------------------------------------------
// Number portability forward information, network option (code 8D), Q.763 3.100.

// Statuses 1 to 3 run onto a second line whose text starts in the value column.
constexpr std::string_view kQueryNotDone =
    "1, Number protability query not done\r\n"
    "                                             for called number";
constexpr std::string_view kNotPorted =
    "2, Number protability query done for called\r\n"
    "                                             number, non-ported called subscriber";
constexpr std::string_view kPorted =
    "3, Number protability query done for called\r\n"
    "                                             number, ported called subscriber";

namespace {

// True when the text's second line starts after exactly the value column's indent.
constexpr bool continuesInValueColumn(std::string_view text) {
    const std::size_t at = text.find(CRLF);
    if (at == std::string_view::npos) return false;
    const std::string_view next = text.substr(at + CRLF.size());
    return next.starts_with(kValueColumnIndent) && next.size() > kValueColumnIndent.size() &&
           next[kValueColumnIndent.size()] != ' ';
}

}  // namespace

static_assert(continuesInValueColumn(kQueryNotDone) && continuesInValueColumn(kNotPorted) &&
                  continuesInValueColumn(kPorted),
              "continuation must start in the value column");

// Bits D C B A; unlisted statuses show as their decimal value and ", spare". Bits G F E are
// not shown.
constexpr Phrase kPortabilityStatus[] = {
    {"0000", "0, no indication"},
    {"0001", kQueryNotDone},
    {"0010", kNotPorted},
    {"0011", kPorted},
};

constexpr BitField kNumberPortabilityForwardInformationNetworkOptionLines[] = {
    {.key = "number_portability_status", .label = "No. Portability Status Indic", .octet = kLastOctet, .bits = {4, 1},
     .table = kPortabilityStatus, .fallback = servicecommon::kFallbackDecimalSpareNoStop},
    servicecommon::kExtensionLine,
};

constexpr FieldBlock kNumberPortabilityForwardInformationNetworkOptionBlock{
    "NUMBER PORTABILITY FORWARD INFORMATION (NETWORK OPTION):", kNumberPortabilityForwardInformationNetworkOptionLines,
    BlockEnding::None};

// ---------------------------------------------------------------------------------------------
// Call transfer treatment indicator (code F7), a national parameter with no ITU-T clause.

// Bits B A.
constexpr Phrase kCallTransferTreatment[] = {
    {"00", "0, no indication"},
    {"01", "1, call transfer allowed"},
    {"10", "2, call transfer not allowed"},
    {"11", "3, spare"},
};

constexpr BitField kCallTransferTreatmentIndicatorLines[] = {
    servicecommon::treatmentIndicatorLine("call_transfer_treatment", "CALL TRANSFER TREATMENT INDICATOR", kCallTransferTreatment),
};

constexpr FieldBlock kCallTransferTreatmentIndicatorBlock{
    "", kCallTransferTreatmentIndicatorLines, BlockEnding::LineEnd};

}  // namespace truno
