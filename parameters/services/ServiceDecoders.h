#pragma once
// Supplementary-service and network parameters: one decoder per parameter, each a ParameterDecoder.
#include "base/ParameterDecoder.h"

namespace truno {

void RedirectionInfo(std::string_view contents, Text& out);
void RedirectionNumberRestrictio(std::string_view contents, Text& out);
void RedirectCapabilityNationalUs(std::string_view contents, Text& out);
void RedirectStatusNationalUs(std::string_view contents, Text& out);
void RedirectCounterNationalUs(std::string_view contents, Text& out);
void RedirectBackwardInformationNationalUs(std::string_view contents, Text& out);
void RedirectForwardInformationNationalUs(std::string_view contents, Text& out);
void MLPPPrecedenc(std::string_view contents, Text& out);
void GenericNotificationIndicato(std::string_view contents, Text& out);
void CallDiversionInfo(std::string_view contents, Text& out);
void CallDivertTreatmentIndic(std::string_view contents, Text& out);
void CallOfferingTreatmentIndic(std::string_view contents, Text& out);
void ConferenceTreatmentIndicator(std::string_view contents, Text& out);
void CallTransferTreatmentIndic(std::string_view contents, Text& out);
void PivotCapabilit(std::string_view contents, Text& out);
void PivotRoutingIndicator(std::string_view contents, Text& out);
void PivotStatusNationalUs(std::string_view contents, Text& out);
void PivotCounte(std::string_view contents, Text& out);
void PivotRoutingBackwardInformatio(std::string_view contents, Text& out);
void PivotRoutingForwardInformatio(std::string_view contents, Text& out);
void MCIDRequestIndicator(std::string_view contents, Text& out);
void MCIDResponseIndicator(std::string_view contents, Text& out);
void QueryOnReleaseCapabilityNetworkOptio(std::string_view contents, Text& out);
void NetworkManagementControl(std::string_view contents, Text& out);
void UIDActionIndicator(std::string_view contents, Text& out);
void UIDCapabilityIndicator(std::string_view contents, Text& out);
void CCNRPossibleIndicato(std::string_view contents, Text& out);
void CCS(std::string_view contents, Text& out);
void CollectCallReques(std::string_view contents, Text& out);
void FacilityIndic(std::string_view contents, Text& out);
void ServiceActivatio(std::string_view contents, Text& out);
void LoopPreventionIndicator(std::string_view contents, Text& out);
void HopCounte(std::string_view contents, Text& out);
void PropagationDelayCounte(std::string_view contents, Text& out);
void CallHistoryInformatio(std::string_view contents, Text& out);
void NumberPortabilityForwardInfoNetworkOpt(std::string_view contents, Text& out);
void BackwrdGVNS(std::string_view contents, Text& out);
void ForwadGVNS(std::string_view contents, Text& out);
void HTRInformatio(std::string_view contents, Text& out);
void DisplayInformatio(std::string_view contents, Text& out);
void CallingGeodeticLocatio(std::string_view contents, Text& out);
void CallingPartyGeodeticVelocityInformatio(std::string_view contents, Text& out);

}  // namespace truno
