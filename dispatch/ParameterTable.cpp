#include "dispatch/ParameterTable.h"

#include "base/Conversions.h"
#include "base/TextMemo.h"
#include "parameters/address/AddressDecoders.h"
#include "parameters/callcontrol/CallControlDecoders.h"
#include "parameters/national/NationalDecoders.h"
#include "parameters/services/ServiceDecoders.h"
#include "parameters/transport/TransportDecoders.h"

#include <array>

namespace truno {
namespace {

// Parameter codes in code order. A code missing here prints nothing in an optional part; a
// raw row prints its title, CR LF and the contents' hex digits as received.
constexpr ParameterRow kParameters[] = {
    {.code = 0x00, .key = "end_of_optional_parameters", .name = "End of optional parameters"},
    {.code = 0x01, .key = "call_reference", .name = "Call reference (national use)", .rawTitle = "CALL REFERENCE NATIONAL USE"},
    {.code = 0x02, .key = "transmission_medium_requirement", .name = "Transmission medium requirement", .decoder = TransmissionMediumRequirement, .fields = TransmissionMediumRequirementFields},
    {.code = 0x03, .key = "access_transport", .name = "Access transport", .rawTitle = "ACCESS TRANSPORT"},
    {.code = 0x04, .key = "called_party_number", .name = "Called party number", .decoder = CalledPartyNumber, .fields = CalledPartyNumberFields},
    {.code = 0x05, .key = "subsequent_number", .name = "Subsequent number", .rawTitle = "SubsequentNumber"},
    {.code = 0x06, .key = "nature_of_connection_indicators", .name = "Nature of connection indicators", .block = &kNatureOfConnectionIndicatorsBlock},
    {.code = 0x07, .key = "forward_call_indicators", .name = "Forward call indicators", .block = &kForwardCallIndicatorsBlock},
    {.code = 0x08, .key = "optional_forward_call_indicators", .name = "Optional forward call indicators", .block = &kOptionalForwardCallIndicatorsBlock},
    {.code = 0x09, .key = "calling_partys_category", .name = "Calling party's category", .block = &kCallingPartysCategoryBlock},
    {.code = 0x0A, .key = "calling_party_number", .name = "Calling party number", .decoder = CallingPartyNumber, .fields = CallingPartyNumberFields},
    {.code = 0x0B, .key = "redirecting_number", .name = "Redirecting number", .rawTitle = "RedirectingNumber"},
    {.code = 0x0C, .key = "redirection_number", .name = "Redirection number", .rawTitle = "RedirectionNumber"},
    {.code = 0x0D, .key = "connection_request", .name = "Connection request", .rawTitle = "CONNECTION REQUEST"},
    {.code = 0x0E, .key = "information_request_indicators", .name = "Information request indicators (national use)", .block = &kInformationRequestIndicatorsNationalUseBlock},
    {.code = 0x0F, .key = "information_indicators", .name = "Information indicators (national use)", .block = &kInformationIndicatorsNationalUseBlock},
    {.code = 0x10, .key = "continuity_indicators", .name = "Continuity indicators", .block = &kContinuityIndicatorsBlock},
    {.code = 0x11, .key = "backward_call_indicators", .name = "Backward call indicators", .block = &kBackwardCallIndicatorsBlock},
    {.code = 0x12, .key = "cause_indicators", .name = "Cause indicators", .decoder = CauseIndicators, .fields = CauseIndicatorsFields},
    {.code = 0x13, .key = "redirection_information", .name = "Redirection information", .block = &kRedirectionInformationBlock},
    {.code = 0x14, .key = "reserved", .name = "Reserved"},
    {.code = 0x15, .key = "circuit_group_supervision_message_type", .name = "Circuit group supervision message type", .block = &kCircuitGroupSupervisionMessageTypeBlock},
    {.code = 0x16, .key = "range_and_status", .name = "Range and status", .decoder = RangeAndStatus, .fields = RangeAndStatusFields},
    {.code = 0x17, .key = "reserved", .name = "Reserved"},
    {.code = 0x18, .key = "facility_indicator", .name = "Facility indicator", .decoder = FacilityIndicator, .fields = FacilityIndicatorFields},
    {.code = 0x19, .key = "reserved", .name = "Reserved"},
    {.code = 0x1A, .key = "closed_user_group_interlock_code", .name = "Closed user group interlock code", .rawTitle = "CLOSED USER GRP INTERLOCK CODE"},
    {.code = 0x1B, .key = "reserved", .name = "Reserved"},
    {.code = 0x1C, .key = "reserved", .name = "Reserved"},
    {.code = 0x1D, .key = "user_service_information", .name = "User service information", .decoder = UserServiceInformation, .fields = UserServiceInformationFields},
    {.code = 0x1E, .key = "signalling_point_code", .name = "Signalling point code (national use)", .rawTitle = "SignallingPointCodeNationalUse"},
    {.code = 0x1F, .key = "reserved", .name = "Reserved"},
    {.code = 0x20, .key = "user_to_user_information", .name = "User-to-user information", .rawTitle = "UserToUserInformation"},
    {.code = 0x21, .key = "connected_number", .name = "Connected number", .decoder = ConnectedNumber, .fields = ConnectedNumberFields},
    {.code = 0x22, .key = "suspend_resume_indicators", .name = "Suspend/resume indicators", .block = &kSuspendResumeIndicatorsBlock},
    {.code = 0x23, .key = "transit_network_selection", .name = "Transit network selection (national use)", .rawTitle = "TransitNetworkSelectionNationalUse"},
    {.code = 0x24, .key = "event_information", .name = "Event information", .block = &kEventInformationBlock},
    {.code = 0x25, .key = "circuit_assignment_map", .name = "Circuit assignment map", .rawTitle = "CIRCUIT ASSIGNMENT MAP"},
    {.code = 0x26, .key = "circuit_state_indicator", .name = "Circuit state indicator (national use)", .decoder = CircuitStateIndicatorNationalUse, .fields = CircuitStateIndicatorNationalUseFields},
    {.code = 0x27, .key = "automatic_congestion_level", .name = "Automatic congestion level", .decoder = AutomaticCongestionLevel, .fields = AutomaticCongestionLevelFields},
    {.code = 0x28, .key = "original_called_number", .name = "Original called number", .decoder = OriginalCalledNumber, .fields = OriginalCalledNumberFields},
    {.code = 0x29, .key = "optional_backward_call_indicators", .name = "Optional backward call indicators", .block = &kOptionalBackwardCallIndicatorsBlock},
    {.code = 0x2A, .key = "user_to_user_indicators", .name = "User-to-user indicators", .decoder = UserToUserIndicators, .fields = UserToUserIndicatorsFields},
    {.code = 0x2B, .key = "origination_isc_point_code", .name = "Origination ISC point code", .rawTitle = "ORIGINATION ISC POINT CODE"},
    {.code = 0x2C, .key = "generic_notification_indicator", .name = "Generic notification indicator", .block = &kGenericNotificationIndicatorBlock},
    {.code = 0x2D, .key = "call_history_information", .name = "Call history information", .decoder = CallHistoryInformation, .fields = CallHistoryInformationFields},
    {.code = 0x2E, .key = "access_delivery_information", .name = "Access delivery information", .block = &kAccessDeliveryInformationBlock},
    {.code = 0x2F, .key = "network_specific_facility", .name = "Network specific facility (national use)", .rawTitle = "NETWORK SPECIFIC FACILITY"},
    {.code = 0x30, .key = "user_service_information_prime", .name = "User service information prime", .rawTitle = "UserServiceInformationPrime"},
    {.code = 0x31, .key = "propagation_delay_counter", .name = "Propagation delay counter", .decoder = PropagationDelayCounter, .fields = PropagationDelayCounterFields},
    {.code = 0x32, .key = "remote_operations", .name = "Remote operations (national use)", .rawTitle = "RemoteOperationsNationalUse"},
    {.code = 0x33, .key = "service_activation", .name = "Service activation", .decoder = ServiceActivation, .fields = ServiceActivationFields},
    {.code = 0x34, .key = "user_teleservice_information", .name = "User teleservice information", .rawTitle = "UserTeleserviceInformation"},
    {.code = 0x35, .key = "transmission_medium_used", .name = "Transmission medium used", .rawTitle = "TransmissionMediumUsed"},
    {.code = 0x36, .key = "call_diversion_information", .name = "Call diversion information", .block = &kCallDiversionInformationBlock},
    {.code = 0x37, .key = "echo_control_information", .name = "Echo control information", .block = &kEchoControlInformationBlock},
    {.code = 0x38, .key = "message_compatibility_information", .name = "Message compatibility information", .decoder = MessageCompatibilityInformation, .fields = MessageCompatibilityInformationFields},
    {.code = 0x39, .key = "parameter_compatibility_information", .name = "Parameter compatibility information", .decoder = ParameterCompatibilityInformation, .fields = ParameterCompatibilityInformationFields},
    {.code = 0x3A, .key = "mlpp_precedence", .name = "MLPP precedence", .decoder = MlppPrecedence, .fields = MlppPrecedenceFields},
    {.code = 0x3B, .key = "mcid_request_indicators", .name = "MCID request indicators", .block = &kMcidRequestIndicatorsBlock},
    {.code = 0x3C, .key = "mcid_response_indicators", .name = "MCID response indicators", .block = &kMcidResponseIndicatorsBlock},
    {.code = 0x3D, .key = "hop_counter", .name = "Hop counter", .block = &kHopCounterBlock},
    {.code = 0x3E, .key = "transmission_medium_requirement_prime", .name = "Transmission medium requirement prime", .rawTitle = "TransmissionMediumRequirementPrime"},
    {.code = 0x3F, .key = "location_number", .name = "Location number", .decoder = LocationNumber, .fields = LocationNumberFields},
    {.code = 0x40, .key = "redirection_number_restriction", .name = "Redirection number restriction", .block = &kRedirectionNumberRestrictionBlock},
    {.code = 0x41, .key = "freephone_indicators", .name = "Freephone indicators", .block = &kFreephoneIndicatorsBlock},
    {.code = 0x42, .key = "reserved", .name = "Reserved"},
    {.code = 0x43, .key = "call_transfer_reference", .name = "Call transfer reference", .number = &kCallTransferReferenceField},
    {.code = 0x44, .key = "loop_prevention_indicators", .name = "Loop prevention indicators", .decoder = LoopPreventionIndicators, .fields = LoopPreventionIndicatorsFields},
    {.code = 0x45, .key = "call_transfer_number", .name = "Call transfer number", .decoder = CallTransferNumber, .fields = CallTransferNumberFields},
    {.code = 0x4B, .key = "ccss", .name = "CCSS", .block = &kCcssBlock},
    {.code = 0x4C, .key = "forward_gvns", .name = "Forward GVNS", .rawTitle = "FORWARD GVNS"},
    {.code = 0x4D, .key = "backward_gvns", .name = "Backward GVNS", .block = &kBackwardGvnsBlock},
    {.code = 0x4E, .key = "redirect_capability", .name = "Redirect capability (national use)", .block = &kRedirectCapabilityNationalUseBlock},
    {.code = 0x5B, .key = "network_management_controls", .name = "Network management controls", .block = &kNetworkManagementControlsBlock},
    {.code = 0x65, .key = "correlation_id", .name = "Correlation id", .decoder = CorrelationId, .fields = CorrelationIdFields},
    {.code = 0x66, .key = "scf_id", .name = "SCF id", .rawTitle = "SCFId"},
    {.code = 0x6E, .key = "call_diversion_treatment_indicators", .name = "Call diversion treatment indicators", .block = &kCallDiversionTreatmentIndicatorsBlock},
    {.code = 0x6F, .key = "called_in_number", .name = "Called IN number", .decoder = CalledInNumber, .fields = CalledInNumberFields},
    {.code = 0x70, .key = "call_offering_treatment_indicators", .name = "Call offering treatment indicators", .block = &kCallOfferingTreatmentIndicatorsBlock},
    {.code = 0x71, .key = "charged_party_identification", .name = "Charged party identification (national use)", .rawTitle = "CHARGED PTY I.D NATIONAL USE"},
    {.code = 0x72, .key = "conference_treatment_indicators", .name = "Conference treatment indicators", .block = &kConferenceTreatmentIndicatorsBlock},
    {.code = 0x73, .key = "display_information", .name = "Display information", .rawTitle = "DISPLAY INFORMATION"},
    {.code = 0x74, .key = "uid_action_indicators", .name = "UID action indicators", .block = &kUidActionIndicatorsBlock},
    {.code = 0x75, .key = "uid_capability_indicators", .name = "UID capability indicators", .block = &kUidCapabilityIndicatorsBlock},
    {.code = 0x77, .key = "redirect_counter", .name = "Redirect counter (national use)", .block = &kRedirectCounterNationalUseBlock},
    {.code = 0x78, .key = "application_transport_parameter", .name = "Application transport parameter", .decoder = ApplicationTransportParameter, .fields = ApplicationTransportParameterFields},
    {.code = 0x79, .key = "collect_call_request", .name = "Collect call request", .block = &kCollectCallRequestBlock},
    {.code = 0x7A, .key = "ccnr_possible_indicator", .name = "CCNR possible indicator", .block = &kCcnrPossibleIndicatorBlock},
    {.code = 0x7B, .key = "pivot_capability", .name = "Pivot capability", .block = &kPivotCapabilityBlock},
    {.code = 0x7C, .key = "pivot_routing_indicators", .name = "Pivot routing indicators", .block = &kPivotRoutingIndicatorsBlock},
    {.code = 0x7D, .key = "called_directory_number", .name = "Called directory number (national use)", .decoder = CalledDirectoryNumberNationalUse, .fields = CalledDirectoryNumberNationalUseFields},
    {.code = 0x7F, .key = "original_called_in_number", .name = "Original called IN number", .rawTitle = "ORIGINAL CALLED IN NUMBER"},
    {.code = 0x80, .key = "reserved", .name = "Reserved"},
    {.code = 0x81, .key = "calling_geodetic_location", .name = "Calling geodetic location", .decoder = CallingGeodeticLocation, .fields = CallingGeodeticLocationFields},
    {.code = 0x82, .key = "htr_information", .name = "HTR information", .rawTitle = "HTR INFORMATION"},
    {.code = 0x83, .key = "calling_party_geodetic_velocity_information", .name = "Calling party geodetic velocity information", .rawTitle = "CALLING PTY GEODETIC VELOCITY"},
    {.code = 0x84, .key = "network_routing_number", .name = "Network routing number (national use)", .rawTitle = "NETWORK ROUTING NUMBER"},
    {.code = 0x85, .key = "query_on_release_capability", .name = "Query on release capability (network option)", .block = &kQueryOnReleaseCapabilityNetworkOptionBlock},
    {.code = 0x86, .key = "pivot_status", .name = "Pivot status (national use)", .block = &kPivotStatusNationalUseBlock},
    {.code = 0x87, .key = "pivot_counter", .name = "Pivot counter", .block = &kPivotCounterBlock},
    {.code = 0x88, .key = "pivot_routing_forward_information", .name = "Pivot routing forward information", .rawTitle = "PivotRoutingForwardInformation"},
    {.code = 0x89, .key = "pivot_routing_backward_information", .name = "Pivot routing backward information", .rawTitle = "PivotRoutingBackwardInformation"},
    {.code = 0x8A, .key = "redirect_status", .name = "Redirect status (national use)", .block = &kRedirectStatusNationalUseBlock},
    {.code = 0x8B, .key = "redirect_forward_information", .name = "Redirect forward information (national use)", .rawTitle = "RedirectForwardInformationNationalUse"},
    {.code = 0x8C, .key = "redirect_backward_information", .name = "Redirect backward information (national use)", .rawTitle = "RedirectBackwardInformationNationalUse"},
    {.code = 0x8D, .key = "number_portability_forward_information", .name = "Number portability forward information (network option)", .block = &kNumberPortabilityForwardInformationNetworkOptionBlock},
    {.code = 0xA1, .key = "carrier_selection_information", .name = "Carrier selection information (national use)", .decoder = CarrierSelectionInformationNationalUse, .fields = CarrierSelectionInformationNationalUseFields},
    {.code = 0xA2, .key = "in_service_compatibility", .name = "IN service compatibility", .rawTitle = "IN SERVICE COMPATIBILITY"},
    {.code = 0xA3, .key = "inter_nodal_traffic_group_identifier", .name = "Inter-nodal traffic group identifier", .rawTitle = "Inter Nodal Traffic Group Identifier"},
    {.code = 0xA4, .key = "global_call_reference", .name = "Global call reference", .rawTitle = "GLOBAL CALL REFERENCE"},
    {.code = 0xA5, .key = "coding_decoding_processing", .name = "Coding decoding processing", .rawTitle = "CODING DECODING PROCESSING"},
    {.code = 0xC0, .key = "generic_number", .name = "Generic number", .rawTitle = "GENERIC NUMBER"},
    {.code = 0xC1, .key = "generic_digits", .name = "Generic digits (national use)", .rawTitle = "GENERIC DIGITS- NAT.USE"},
    {.code = 0xF2, .key = "calling_name_identity", .name = "Calling name identity (national)", .decoder = CallingNameIdentity, .fields = CallingNameIdentityFields},
    {.code = 0xF7, .key = "call_transfer_treatment_indicator", .name = "Call transfer treatment indicator (national)", .block = &kCallTransferTreatmentIndicatorBlock},
    {.code = 0xFA, .key = "additional_charging_information", .name = "Additional charging information (national)", .number = &kAdditionalChargingInformationField},
    {.code = 0xFB, .key = "additional_routing_information", .name = "Additional routing information (national)", .decoder = AdditionalRoutingInformation, .fields = AdditionalRoutingInformationFields},
    {.code = 0xFC, .key = "route_identity", .name = "Route identity (national)", .rawTitle = "ROUTE IDENTITY"},
    {.code = 0xFD, .key = "tariff_indicator", .name = "Tariff indicator (national)", .rawTitle = "TARIFF INDICATOR"},
    {.code = 0xFE, .key = "meter_pulse_indicator", .name = "Meter pulse indicator (national)", .rawTitle = "METER PULSE INDICATOR"},
};

// The rows indexed by code, for a lookup without a search.
const std::array<const ParameterRow*, 256>& rowsByCode() {
    static const std::array<const ParameterRow*, 256> index = [] {
        std::array<const ParameterRow*, 256> a{};
        for (const ParameterRow& row : kParameters) a[row.code] = &row;
        return a;
    }();
    return index;
}

}  // namespace

const ParameterRow* findParameter(std::uint8_t code) { return rowsByCode()[code]; }

const ParameterRow* findParameter(std::string_view code) {
    const int value = hexOctetValue(code);
    return value < 0 ? nullptr : findParameter(static_cast<std::uint8_t>(value));
}

namespace {

// The text of a code that Q.763 reserves.
constexpr BitField kReservedText{.key = "text", .label = "", .type = FieldType::Text};

}  // namespace

std::span<const ParameterRow> parameterRows() { return kParameters; }

void listParameterFields(const ParameterRow& row, FieldList& list) {
    if (row.block != nullptr)
        list.add(row.block->lines);
    else if (row.fields != nullptr)
        row.fields(list);
    else if (row.number != nullptr)
        list.add(*row.number);
    else if (!row.rawTitle.empty())
        list.add(kRawContents);
    else if (row.code != 0x00)
        list.add(kReservedText);
}

namespace {

void writeParameterBlock(const ParameterRow& row, std::string_view contents, Text& out) {
    out.mark(MarkKind::Parameter, row.code);
    if (row.block != nullptr) {
        appendFieldBlock(out, contents, *row.block);
    } else if (row.decoder != nullptr) {
        row.decoder(contents, out);
    } else if (row.number != nullptr) {
        appendNumberLine(out, *row.number, contents);
    } else if (!row.rawTitle.empty()) {
        appendTitledContents(out, row.rawTitle, kRawContents, contents);
    } else {
        out.markPlain(kReservedText);
        out += "Reserved";
    }
}

}  // namespace

// The block of a parameter is a constant of its row and its contents: blocks of contents of up to
// four octets (the indicators, categories and counters a message is mostly made of) are kept as
// they are first written, with their marks, and copied whole. Longer contents (numbers,
// application data) seldom come twice.
constexpr std::size_t kLongestKept = 8;  // hex digits

namespace {

TextMemo& keptBlocks() {
    static TextMemo blocks(TextMemo::Numbering::ParameterBlocks);
    return blocks;
}

}  // namespace

void appendParameterBlock(const ParameterRow& row, std::string_view contents, Text& out) {
    TextMemo::Key key{.owner = &row};
    if (contents.size() > kLongestKept || !packDigits(contents, key)) {
        writeParameterBlock(row, contents, out);
        return;
    }
    keptBlocks().append(key, out, [&] { writeParameterBlock(row, contents, out); });
}

std::optional<TextMemo::Kept> keptParameterBlock(std::uint64_t number) { return keptBlocks().kept(number); }

bool decodeParameter(DecodingState& s, std::string_view code, std::string_view contents, Text& out) {
    const ParameterRow* row = findParameter(code);
    if (row == nullptr) {
        // A code without a row is not dropped: its contents are shown raw under its code.
        out += CRLF;
        out.mark(MarkKind::Parameter, static_cast<std::int16_t>(hexOctetValue(code)));
        out.mark(MarkKind::Heading);
        out += "UNKNOWN PARAMETER (CODE ";
        appendLogText(out, code);
        out += ")";
        out += CRLF;
        out.markPlain(kRawContents);
        out += contents;
        return false;
    }
    out += CRLF;
    if (row->code == 0x00)
        s.EndOfOptionalParameters = 1;
    else
        appendParameterBlock(*row, contents, out);
    return true;
}

std::string_view parameterName(std::string_view code) {
    const ParameterRow* row = findParameter(code);
    return row == nullptr ? std::string_view{} : row->name;
}

}  // namespace truno
