#include "dispatch/ParameterTable.h"

#include "base/Conversions.h"
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
    {.code = 0x00, .name = "End of optional parameters"},
    {.code = 0x01, .name = "Call reference (national use)", .rawTitle = "CALL REFERENCE NATIONAL USE"},
    {.code = 0x02, .name = "Transmission medium requirement", .decoder = TransmissionMediumRequirement},
    {.code = 0x03, .name = "Access transport", .rawTitle = "ACCESS TRANSPORT"},
    {.code = 0x04, .name = "Called party number", .decoder = CalledPartyNumber},
    {.code = 0x05, .name = "Subsequent number", .rawTitle = "SubsequentNumber"},
    {.code = 0x06, .name = "Nature of connection indicators", .decoder = NatureOfConnectionIndicators},
    {.code = 0x07, .name = "Forward call indicators", .decoder = ForwardCallIndicators},
    {.code = 0x08, .name = "Optional forward call indicators", .decoder = OptionalForwardCallIndicators},
    {.code = 0x09, .name = "Calling party's category", .decoder = CallingPartysCategory},
    {.code = 0x0A, .name = "Calling party number", .decoder = CallingPartyNumber},
    {.code = 0x0B, .name = "Redirecting number", .rawTitle = "RedirectingNumber"},
    {.code = 0x0C, .name = "Redirection number", .rawTitle = "RedirectionNumber"},
    {.code = 0x0D, .name = "Connection request", .rawTitle = "CONNECTION REQUEST"},
    {.code = 0x0E, .name = "Information request indicators (national use)", .decoder = InformationRequestIndicatorsNationalUse},
    {.code = 0x0F, .name = "Information indicators (national use)", .decoder = InformationIndicatorsNationalUse},
    {.code = 0x10, .name = "Continuity indicators", .decoder = ContinuityIndicators},
    {.code = 0x11, .name = "Backward call indicators", .decoder = BackwardCallIndicators},
    {.code = 0x12, .name = "Cause indicators", .decoder = CauseIndicators},
    {.code = 0x13, .name = "Redirection information", .decoder = RedirectionInformation},
    {.code = 0x14, .name = "Reserved"},
    {.code = 0x15, .name = "Circuit group supervision message type", .decoder = CircuitGroupSupervisionMessageType},
    {.code = 0x16, .name = "Range and status", .decoder = RangeAndStatus},
    {.code = 0x17, .name = "Reserved"},
    {.code = 0x18, .name = "Facility indicator", .decoder = FacilityIndicator},
    {.code = 0x19, .name = "Reserved"},
    {.code = 0x1A, .name = "Closed user group interlock code", .rawTitle = "CLOSED USER GRP INTERLOCK CODE"},
    {.code = 0x1B, .name = "Reserved"},
    {.code = 0x1C, .name = "Reserved"},
    {.code = 0x1D, .name = "User service information", .decoder = UserServiceInformation},
    {.code = 0x1E, .name = "Signalling point code (national use)", .rawTitle = "SignallingPointCodeNationalUse"},
    {.code = 0x1F, .name = "Reserved"},
    {.code = 0x20, .name = "User-to-user information", .rawTitle = "UserToUserInformation"},
    {.code = 0x21, .name = "Connected number", .decoder = ConnectedNumber},
    {.code = 0x22, .name = "Suspend/resume indicators", .decoder = SuspendResumeIndicators},
    {.code = 0x23, .name = "Transit network selection (national use)", .rawTitle = "TransitNetworkSelectionNationalUse"},
    {.code = 0x24, .name = "Event information", .decoder = EventInformation},
    {.code = 0x25, .name = "Circuit assignment map", .rawTitle = "CIRCUIT ASSIGNMENT MAP"},
    {.code = 0x26, .name = "Circuit state indicator (national use)", .decoder = CircuitStateIndicatorNationalUse},
    {.code = 0x27, .name = "Automatic congestion level", .decoder = AutomaticCongestionLevel},
    {.code = 0x28, .name = "Original called number", .decoder = OriginalCalledNumber},
    {.code = 0x29, .name = "Optional backward call indicators", .decoder = OptionalBackwardCallIndicators},
    {.code = 0x2A, .name = "User-to-user indicators", .decoder = UserToUserIndicators},
    {.code = 0x2B, .name = "Origination ISC point code", .rawTitle = "ORIGINATION ISC POINT CODE"},
    {.code = 0x2C, .name = "Generic notification indicator", .decoder = GenericNotificationIndicator},
    {.code = 0x2D, .name = "Call history information", .decoder = CallHistoryInformation},
    {.code = 0x2E, .name = "Access delivery information", .decoder = AccessDeliveryInformation},
    {.code = 0x2F, .name = "Network specific facility (national use)", .rawTitle = "NETWORK SPECIFIC FACILITY"},
    {.code = 0x30, .name = "User service information prime", .rawTitle = "UserServiceInformationPrime"},
    {.code = 0x31, .name = "Propagation delay counter", .decoder = PropagationDelayCounter},
    {.code = 0x32, .name = "Remote operations (national use)", .rawTitle = "RemoteOperationsNationalUse"},
    {.code = 0x33, .name = "Service activation", .decoder = ServiceActivation},
    {.code = 0x34, .name = "User teleservice information", .rawTitle = "UserTeleserviceInformation"},
    {.code = 0x35, .name = "Transmission medium used", .rawTitle = "TransmissionMediumUsed"},
    {.code = 0x36, .name = "Call diversion information", .decoder = CallDiversionInformation},
    {.code = 0x37, .name = "Echo control information", .decoder = EchoControlInformation},
    {.code = 0x38, .name = "Message compatibility information", .decoder = MessageCompatibilityInformation},
    {.code = 0x39, .name = "Parameter compatibility information", .decoder = ParameterCompatibilityInformation},
    {.code = 0x3A, .name = "MLPP precedence", .decoder = MlppPrecedence},
    {.code = 0x3B, .name = "MCID request indicators", .decoder = McidRequestIndicators},
    {.code = 0x3C, .name = "MCID response indicators", .decoder = McidResponseIndicators},
    {.code = 0x3D, .name = "Hop counter", .decoder = HopCounter},
    {.code = 0x3E, .name = "Transmission medium requirement prime", .rawTitle = "TransmissionMediumRequirementPrime"},
    {.code = 0x3F, .name = "Location number", .decoder = LocationNumber},
    {.code = 0x40, .name = "Redirection number restriction", .decoder = RedirectionNumberRestriction},
    {.code = 0x41, .name = "Freephone indicators", .decoder = FreephoneIndicators},
    {.code = 0x42, .name = "Reserved"},
    {.code = 0x43, .name = "Call transfer reference", .decoder = CallTransferReference},
    {.code = 0x44, .name = "Loop prevention indicators", .decoder = LoopPreventionIndicators},
    {.code = 0x45, .name = "Call transfer number", .decoder = CallTransferNumber},
    {.code = 0x4B, .name = "CCSS", .decoder = Ccss},
    {.code = 0x4C, .name = "Forward GVNS", .rawTitle = "FORWARD GVNS"},
    {.code = 0x4D, .name = "Backward GVNS", .decoder = BackwardGvns},
    {.code = 0x4E, .name = "Redirect capability (national use)", .decoder = RedirectCapabilityNationalUse},
    {.code = 0x5B, .name = "Network management controls", .decoder = NetworkManagementControls},
    {.code = 0x65, .name = "Correlation id", .decoder = CorrelationId},
    {.code = 0x66, .name = "SCF id", .rawTitle = "SCFId"},
    {.code = 0x6E, .name = "Call diversion treatment indicators", .decoder = CallDiversionTreatmentIndicators},
    {.code = 0x6F, .name = "Called IN number", .decoder = CalledInNumber},
    {.code = 0x70, .name = "Call offering treatment indicators", .decoder = CallOfferingTreatmentIndicators},
    {.code = 0x71, .name = "Charged party identification (national use)", .rawTitle = "CHARGED PTY I.D NATIONAL USE"},
    {.code = 0x72, .name = "Conference treatment indicators", .decoder = ConferenceTreatmentIndicators},
    {.code = 0x73, .name = "Display information", .rawTitle = "DISPLAY INFORMATION"},
    {.code = 0x74, .name = "UID action indicators", .decoder = UidActionIndicators},
    {.code = 0x75, .name = "UID capability indicators", .decoder = UidCapabilityIndicators},
    {.code = 0x77, .name = "Redirect counter (national use)", .decoder = RedirectCounterNationalUse},
    {.code = 0x78, .name = "Application transport parameter", .decoder = ApplicationTransportParameter},
    {.code = 0x79, .name = "Collect call request", .decoder = CollectCallRequest},
    {.code = 0x7A, .name = "CCNR possible indicator", .decoder = CcnrPossibleIndicator},
    {.code = 0x7B, .name = "Pivot capability", .decoder = PivotCapability},
    {.code = 0x7C, .name = "Pivot routing indicators", .decoder = PivotRoutingIndicators},
    {.code = 0x7D, .name = "Called directory number (national use)", .decoder = CalledDirectoryNumberNationalUse},
    {.code = 0x7F, .name = "Original called IN number", .rawTitle = "ORIGINAL CALLED IN NUMBER"},
    {.code = 0x80, .name = "Reserved"},
    {.code = 0x81, .name = "Calling geodetic location", .decoder = CallingGeodeticLocation},
    {.code = 0x82, .name = "HTR information", .rawTitle = "HTR INFORMATION"},
    {.code = 0x83, .name = "Calling party geodetic velocity information", .rawTitle = "CALLING PTY GEODETIC VELOCITY"},
    {.code = 0x84, .name = "Network routing number (national use)", .rawTitle = "NETWORK ROUTING NUMBER"},
    {.code = 0x85, .name = "Query on release capability (network option)", .decoder = QueryOnReleaseCapabilityNetworkOption},
    {.code = 0x86, .name = "Pivot status (national use)", .decoder = PivotStatusNationalUse},
    {.code = 0x87, .name = "Pivot counter", .decoder = PivotCounter},
    {.code = 0x88, .name = "Pivot routing forward information", .rawTitle = "PivotRoutingForwardInformation"},
    {.code = 0x89, .name = "Pivot routing backward information", .rawTitle = "PivotRoutingBackwardInformation"},
    {.code = 0x8A, .name = "Redirect status (national use)", .decoder = RedirectStatusNationalUse},
    {.code = 0x8B, .name = "Redirect forward information (national use)", .rawTitle = "RedirectForwardInformationNationalUse"},
    {.code = 0x8C, .name = "Redirect backward information (national use)", .rawTitle = "RedirectBackwardInformationNationalUse"},
    {.code = 0x8D, .name = "Number portability forward information (network option)", .decoder = NumberPortabilityForwardInformationNetworkOption},
    {.code = 0xA1, .name = "Carrier selection information (national use)", .decoder = CarrierSelectionInformationNationalUse},
    {.code = 0xA2, .name = "IN service compatibility", .rawTitle = "IN SERVICE COMPATIBILITY"},
    {.code = 0xA3, .name = "Inter-nodal traffic group identifier", .rawTitle = "Inter Nodal Traffic Group Identifier"},
    {.code = 0xA4, .name = "Global call reference", .rawTitle = "GLOBAL CALL REFERENCE"},
    {.code = 0xA5, .name = "Coding decoding processing", .rawTitle = "CODING DECODING PROCESSING"},
    {.code = 0xC0, .name = "Generic number", .rawTitle = "GENERIC NUMBER"},
    {.code = 0xC1, .name = "Generic digits (national use)", .rawTitle = "GENERIC DIGITS- NAT.USE"},
    {.code = 0xF2, .name = "Calling name identity (national)", .decoder = CallingNameIdentity},
    {.code = 0xF7, .name = "Call transfer treatment indicator (national)", .decoder = CallTransferTreatmentIndicator},
    {.code = 0xFA, .name = "Additional charging information (national)", .decoder = AdditionalChargingInformation},
    {.code = 0xFB, .name = "Additional routing information (national)", .decoder = AdditionalRoutingInformation},
    {.code = 0xFC, .name = "Route identity (national)", .rawTitle = "ROUTE IDENTITY"},
    {.code = 0xFD, .name = "Tariff indicator (national)", .rawTitle = "TARIFF INDICATOR"},
    {.code = 0xFE, .name = "Meter pulse indicator (national)", .rawTitle = "METER PULSE INDICATOR"},
};

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

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
    if (code.size() != 2) return nullptr;
    const int hi = hexDigit(code[0]);
    const int lo = hexDigit(code[1]);
    if (hi < 0 || lo < 0) return nullptr;
    return findParameter(static_cast<std::uint8_t>(hi * 16 + lo));
}

void appendParameterBlock(const ParameterRow& row, std::string_view contents, Text& out) {
    out.mark(MarkKind::Parameter, row.name, row.code);
    if (row.decoder != nullptr) {
        row.decoder(contents, out);
    } else if (!row.rawTitle.empty()) {
        titledRaw(out, row.rawTitle, contents);
    } else {
        out.mark(MarkKind::Plain);
        out += "Reserved";
    }
}

bool decodeParameter(DecodingState& s, std::string_view code, std::string_view contents, Text& out) {
    const ParameterRow* row = findParameter(code);
    if (row == nullptr) {
        // A code without a row is not dropped: its contents are shown raw under its code.
        out += CRLF;
        out.mark(MarkKind::Parameter, kUnknownParameterName, static_cast<std::int16_t>(hexOctetValue(code)));
        out.mark(MarkKind::Heading);
        out += "UNKNOWN PARAMETER (CODE ";
        appendLogText(out, code);
        out += ")";
        out += CRLF;
        out.mark(MarkKind::Plain);
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
