#include "dispatch/ParTable.h"

#include "dispatch/MessageDecoders.h"
#include "parameters/address/AddressDecoders.h"
#include "parameters/callcontrol/CallControlDecoders.h"
#include "parameters/national/NationalDecoders.h"
#include "parameters/services/ServiceDecoders.h"
#include "parameters/transport/TransportDecoders.h"

#include <array>

namespace truno {
namespace {

enum class Kind { None, End, Reserved, Decoder };

struct ParameterRow {
    std::string_view code;
    Kind kind;
    ParameterDecoder decoder;
    std::string_view name;
};

// Parameter codes (ITU-T Q.763), compared as text: upper-case hex digits only.
const ParameterRow kParameterRows[] = {
    {"00", Kind::End, nullptr, ""},
    {"01", Kind::Decoder, CallRefNationalUse, "CallRefNationalUse"},
    {"02", Kind::Decoder, TransMedRequirement, "TransMedRequirement"},
    {"03", Kind::Decoder, AccessTransp, "AccessTransp"},
    {"04", Kind::Decoder, CalledPartyNo, "CalledPartyNo"},
    {"05", Kind::Decoder, SubsequentNum, "SubsequentNum"},
    {"06", Kind::Decoder, NatureofConnectionIndic, "NatureofConnectionIndic"},
    {"07", Kind::Decoder, ForwardCallIndic, "ForwardCallIndic"},
    {"08", Kind::Decoder, OptionalForwardCallInd, "OptionalForwardCallInd"},
    {"09", Kind::Decoder, CallingPartyCat, "CallingPartyCat"},
    {"0A", Kind::Decoder, CallingPartyNumb, "CallingPartyNumb"},
    {"0B", Kind::Decoder, RedirectingNum, "RedirectingNum"},
    {"0C", Kind::Decoder, RedirectionNum, "RedirectionNum"},
    {"0D", Kind::Decoder, ConnectionReq, "ConnectionReq"},
    {"0E", Kind::Decoder, InformationRequestIndicatorsNatUse, "InformationRequestIndicatorsNatUse"},
    {"0F", Kind::Decoder, InformationIndicatorsNatUse, "InformationIndicatorsNatUse"},
    {"10", Kind::Decoder, ContinuityIndicator, "ContinuityIndicator"},
    {"11", Kind::Decoder, BackCallIndicator, "BackCallIndicator"},
    {"12", Kind::Decoder, CauseIndic, "CauseIndic"},
    {"13", Kind::Decoder, RedirectionInfo, "RedirectionInfo"},
    {"14", Kind::Reserved, nullptr, ""},
    {"15", Kind::Decoder, CircuitCICGroupSupervisionMsgType, "CircuitCICGroupSupervisionMsgType"},
    {"16", Kind::Decoder, RangeAndStatu, "RangeAndStatu"},
    {"17", Kind::Reserved, nullptr, ""},
    {"18", Kind::Decoder, FacilityIndic, "FacilityIndic"},
    {"19", Kind::Reserved, nullptr, ""},
    {"1A", Kind::Decoder, ClosedUserGrpInterlockCode, "ClosedUserGrpInterlockCode"},
    {"1B", Kind::Reserved, nullptr, ""},
    {"1C", Kind::Reserved, nullptr, ""},
    {"1D", Kind::Decoder, UserServiceInfo, "UserServiceInfo"},
    {"1E", Kind::Decoder, SignallingPointCodeNatUse, "SignallingPointCodeNatUse"},
    {"1F", Kind::Reserved, nullptr, ""},
    {"20", Kind::Decoder, UserToUserInfo, "UserToUserInfo"},
    {"21", Kind::Decoder, ConnectedNum, "ConnectedNum"},
    {"22", Kind::Decoder, SuspendResumeIndic, "SuspendResumeIndic"},
    {"23", Kind::Decoder, TransitNetworkSelectionNatUse, "TransitNetworkSelectionNatUse"},
    {"24", Kind::Decoder, EventInform, "EventInform"},
    {"25", Kind::Decoder, CircuitAssignmenMap, "CircuitAssignmenMap"},
    {"26", Kind::Decoder, CircuitCICStateIndicatorNatUse, "CircuitCICStateIndicatorNatUse"},
    {"27", Kind::Decoder, AutomaticCongLevel, "AutomaticCongLevel"},
    {"28", Kind::Decoder, OriginalCalledNumb, "OriginalCalledNumb"},
    {"29", Kind::Decoder, OptionalBackwardCallIndicator, "OptionalBackwardCallIndicator"},
    {"2A", Kind::Decoder, UserToUserIndicator, "UserToUserIndicator"},
    {"2B", Kind::Decoder, OriginationISCPointCod, "OriginationISCPointCod"},
    {"2C", Kind::Decoder, GenericNotificationIndicato, "GenericNotificationIndicato"},
    {"2D", Kind::Decoder, CallHistoryInformatio, "CallHistoryInformatio"},
    {"2E", Kind::Decoder, AccessDeliveryInfo, "AccessDeliveryInfo"},
    {"2F", Kind::Decoder, NetworkSpecificFacilityNationalUs, "NetworkSpecificFacilityNationalUs"},
    {"30", Kind::Decoder, UserServiceInformationPrim, "UserServiceInformationPrim"},
    {"31", Kind::Decoder, PropagationDelayCounte, "PropagationDelayCounte"},
    {"32", Kind::Decoder, RemoteOperationsNationalUs, "RemoteOperationsNationalUs"},
    {"33", Kind::Decoder, ServiceActivatio, "ServiceActivatio"},
    {"34", Kind::Decoder, UserTeleserviceInformatio, "UserTeleserviceInformatio"},
    {"35", Kind::Decoder, TransmissionMediumUse, "TransmissionMediumUse"},
    {"36", Kind::Decoder, CallDiversionInfo, "CallDiversionInfo"},
    {"37", Kind::Decoder, EchoControlInformatio, "EchoControlInformatio"},
    {"38", Kind::Decoder, MessageCompatibilityInformatio, "MessageCompatibilityInformatio"},
    {"39", Kind::Decoder, ParCompatiblityInfo, "ParCompatiblityInfo"},
    {"3A", Kind::Decoder, MLPPPrecedenc, "MLPPPrecedenc"},
    {"3B", Kind::Decoder, MCIDRequestIndicator, "MCIDRequestIndicator"},
    {"3C", Kind::Decoder, MCIDResponseIndicator, "MCIDResponseIndicator"},
    {"3D", Kind::Decoder, HopCounte, "HopCounte"},
    {"3E", Kind::Decoder, TransmissionMediumRequirementPrim, "TransmissionMediumRequirementPrim"},
    {"3F", Kind::Decoder, LocationNumbe, "LocationNumbe"},
    {"40", Kind::Decoder, RedirectionNumberRestrictio, "RedirectionNumberRestrictio"},
    {"41", Kind::Decoder, FreePhoneIndic, "FreePhoneIndic"},
    {"42", Kind::Reserved, nullptr, ""},
    {"43", Kind::Decoder, CallTransferReferenc, "CallTransferReferenc"},
    {"44", Kind::Decoder, LoopPreventionIndicator, "LoopPreventionIndicator"},
    {"45", Kind::Decoder, CallTransferNumbe, "CallTransferNumbe"},
    {"4B", Kind::Decoder, CCS, "CCS"},
    {"4C", Kind::Decoder, ForwadGVNS, "ForwadGVNS"},
    {"4D", Kind::Decoder, BackwrdGVNS, "BackwrdGVNS"},
    {"4E", Kind::Decoder, RedirectCapabilityNationalUs, "RedirectCapabilityNationalUs"},
    {"5B", Kind::Decoder, NetworkManagementControl, "NetworkManagementControl"},
    {"65", Kind::Decoder, CorrelatioId, "CorrelatioId"},
    {"66", Kind::Decoder, SCF_Id, "SCF_Id"},
    {"6E", Kind::Decoder, CallDivertTreatmentIndic, "CallDivertTreatmentIndic"},
    {"6F", Kind::Decoder, CalledINNumbe, "CalledINNumbe"},
    {"70", Kind::Decoder, CallOfferingTreatmentIndic, "CallOfferingTreatmentIndic"},
    {"71", Kind::Decoder, ChargedPartyIdentificationNationalUs, "ChargedPartyIdentificationNationalUs"},
    {"72", Kind::Decoder, ConferenceTreatmentIndicator, "ConferenceTreatmentIndicator"},
    {"73", Kind::Decoder, DisplayInformatio, "DisplayInformatio"},
    {"74", Kind::Decoder, UIDActionIndicator, "UIDActionIndicator"},
    {"75", Kind::Decoder, UIDCapabilityIndicator, "UIDCapabilityIndicator"},
    {"77", Kind::Decoder, RedirectCounterNationalUs, "RedirectCounterNationalUs"},
    {"78", Kind::Decoder, ApplicTransportPar, "ApplicTransportPar"},
    {"79", Kind::Decoder, CollectCallReques, "CollectCallReques"},
    {"7A", Kind::Decoder, CCNRPossibleIndicato, "CCNRPossibleIndicato"},
    {"7B", Kind::Decoder, PivotCapabilit, "PivotCapabilit"},
    {"7C", Kind::Decoder, PivotRoutingIndicator, "PivotRoutingIndicator"},
    {"7D", Kind::Decoder, CalledDirectoryNumberNationalUs, "CalledDirectoryNumberNationalUs"},
    {"7F", Kind::Decoder, OriginalCalledINNumbe, "OriginalCalledINNumbe"},
    {"80", Kind::Reserved, nullptr, ""},
    {"81", Kind::Decoder, CallingGeodeticLocatio, "CallingGeodeticLocatio"},
    {"82", Kind::Decoder, HTRInformatio, "HTRInformatio"},
    {"83", Kind::Decoder, CallingPartyGeodeticVelocityInformatio, "CallingPartyGeodeticVelocityInformatio"},
    {"84", Kind::Decoder, NetworkRoutingNumberNationalUs, "NetworkRoutingNumberNationalUs"},
    {"85", Kind::Decoder, QueryOnReleaseCapabilityNetworkOptio, "QueryOnReleaseCapabilityNetworkOptio"},
    {"86", Kind::Decoder, PivotStatusNationalUs, "PivotStatusNationalUs"},
    {"87", Kind::Decoder, PivotCounte, "PivotCounte"},
    {"88", Kind::Decoder, PivotRoutingForwardInformatio, "PivotRoutingForwardInformatio"},
    {"89", Kind::Decoder, PivotRoutingBackwardInformatio, "PivotRoutingBackwardInformatio"},
    {"8A", Kind::Decoder, RedirectStatusNationalUs, "RedirectStatusNationalUs"},
    {"8B", Kind::Decoder, RedirectForwardInformationNationalUs, "RedirectForwardInformationNationalUs"},
    {"8C", Kind::Decoder, RedirectBackwardInformationNationalUs, "RedirectBackwardInformationNationalUs"},
    {"8D", Kind::Decoder, NumberPortabilityForwardInfoNetworkOpt, "NumberPortabilityForwardInfoNetworkOpt"},
    {"A1", Kind::Decoder, CarrierSelectionInformationNationalUs, "CarrierSelectionInformationNationalUs"},
    {"A2", Kind::Decoder, INServiceCompatibilit, "INServiceCompatibilit"},
    {"A3", Kind::Decoder, InterNodalTrafficGroupIdentifie, "InterNodalTrafficGroupIdentifie"},
    {"A4", Kind::Decoder, GlobalCallReferenc, "GlobalCallReferenc"},
    {"A5", Kind::Decoder, CodingDecodingProcessin, "CodingDecodingProcessin"},
    {"C0", Kind::Decoder, GenericNumbe, "GenericNumbe"},
    {"C1", Kind::Decoder, GenericDigitsNationalUs, "GenericDigitsNationalUs"},
    {"F2", Kind::Decoder, CallingNameID, "CallingNameID"},
    {"F7", Kind::Decoder, CallTransferTreatmentIndic, "CallTransferTreatmentIndic"},
    {"FA", Kind::Decoder, AdditionalChargInf, "AdditionalChargInf"},
    {"FB", Kind::Decoder, AdditionalRoutingInf, "AdditionalRoutingInf"},
    {"FC", Kind::Decoder, RouteID, "RouteID"},
    {"FD", Kind::Decoder, TariffIndic, "TariffIndic"},
    {"FE", Kind::Decoder, MeterPulseIndic, "MeterPulseIndic"},};

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Index of a two-character upper-case hex code, or -1 for anything else.
int codeIndex(std::string_view code) {
    if (code.size() != 2) return -1;
    const int hi = hexDigit(code[0]);
    const int lo = hexDigit(code[1]);
    return (hi < 0 || lo < 0) ? -1 : hi * 16 + lo;
}

// The rows indexed by code value for a lookup without a search; the first row of a code wins.
const std::array<const ParameterRow*, 256>& rowsByCode() {
    static const std::array<const ParameterRow*, 256> index = [] {
        std::array<const ParameterRow*, 256> a{};
        for (const ParameterRow& row : kParameterRows) {
            const int i = codeIndex(row.code);
            if (i >= 0 && a[static_cast<std::size_t>(i)] == nullptr) a[static_cast<std::size_t>(i)] = &row;
        }
        return a;
    }();
    return index;
}

const ParameterRow* find(std::string_view code) {
    const int i = codeIndex(code);
    return i < 0 ? nullptr : rowsByCode()[static_cast<std::size_t>(i)];
}

}  // namespace

bool ParTable(DecodingState& s, std::string_view code, std::string_view contents, Text& out) {
    const ParameterRow* row = find(code);
    if (row == nullptr) return false;
    switch (row->kind) {
        case Kind::End:
            s.EndOfOptionalParameters = 1;
            out += CRLF;
            break;
        case Kind::Reserved:
            out += CRLF;
            out += "Reserved";
            break;
        case Kind::Decoder:
            out += CRLF;
            row->decoder(contents, out);
            break;
        case Kind::None: return false;
    }
    return true;
}

std::string_view parameterDecoderName(std::string_view code) {
    const ParameterRow* row = find(code);
    return row == nullptr ? std::string_view{} : row->name;
}

}  // namespace truno
