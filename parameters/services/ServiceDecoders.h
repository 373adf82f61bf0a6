#pragma once
// Supplementary-service and network parameters: one decoder per parameter, each a ParameterDecoder.
#include "base/ParameterDecoder.h"

namespace truno {

void RedirectionInformation(std::string_view contents, Text& out);
void RedirectionNumberRestriction(std::string_view contents, Text& out);
void RedirectCapabilityNationalUse(std::string_view contents, Text& out);
void RedirectStatusNationalUse(std::string_view contents, Text& out);
void RedirectCounterNationalUse(std::string_view contents, Text& out);
void MlppPrecedence(std::string_view contents, Text& out);
void GenericNotificationIndicator(std::string_view contents, Text& out);
void CallDiversionInformation(std::string_view contents, Text& out);
void CallDiversionTreatmentIndicators(std::string_view contents, Text& out);
void CallOfferingTreatmentIndicators(std::string_view contents, Text& out);
void ConferenceTreatmentIndicators(std::string_view contents, Text& out);
void CallTransferTreatmentIndicator(std::string_view contents, Text& out);
void PivotCapability(std::string_view contents, Text& out);
void PivotRoutingIndicators(std::string_view contents, Text& out);
void PivotStatusNationalUse(std::string_view contents, Text& out);
void PivotCounter(std::string_view contents, Text& out);
void McidRequestIndicators(std::string_view contents, Text& out);
void McidResponseIndicators(std::string_view contents, Text& out);
void QueryOnReleaseCapabilityNetworkOption(std::string_view contents, Text& out);
void NetworkManagementControls(std::string_view contents, Text& out);
void UidActionIndicators(std::string_view contents, Text& out);
void UidCapabilityIndicators(std::string_view contents, Text& out);
void CcnrPossibleIndicator(std::string_view contents, Text& out);
void Ccss(std::string_view contents, Text& out);
void CollectCallRequest(std::string_view contents, Text& out);
void FacilityIndicator(std::string_view contents, Text& out);
void ServiceActivation(std::string_view contents, Text& out);
void LoopPreventionIndicators(std::string_view contents, Text& out);
void HopCounter(std::string_view contents, Text& out);
void PropagationDelayCounter(std::string_view contents, Text& out);
void CallHistoryInformation(std::string_view contents, Text& out);
void NumberPortabilityForwardInformationNetworkOption(std::string_view contents, Text& out);
void BackwardGvns(std::string_view contents, Text& out);
void CallingGeodeticLocation(std::string_view contents, Text& out);

// The field rows of each decoder (FieldList, base/FieldBlock.h).
void RedirectionInformationFields(FieldList& list);
void RedirectionNumberRestrictionFields(FieldList& list);
void RedirectCapabilityNationalUseFields(FieldList& list);
void RedirectStatusNationalUseFields(FieldList& list);
void RedirectCounterNationalUseFields(FieldList& list);
void MlppPrecedenceFields(FieldList& list);
void GenericNotificationIndicatorFields(FieldList& list);
void CallDiversionInformationFields(FieldList& list);
void CallDiversionTreatmentIndicatorsFields(FieldList& list);
void CallOfferingTreatmentIndicatorsFields(FieldList& list);
void ConferenceTreatmentIndicatorsFields(FieldList& list);
void CallTransferTreatmentIndicatorFields(FieldList& list);
void PivotCapabilityFields(FieldList& list);
void PivotRoutingIndicatorsFields(FieldList& list);
void PivotStatusNationalUseFields(FieldList& list);
void PivotCounterFields(FieldList& list);
void McidRequestIndicatorsFields(FieldList& list);
void McidResponseIndicatorsFields(FieldList& list);
void QueryOnReleaseCapabilityNetworkOptionFields(FieldList& list);
void NetworkManagementControlsFields(FieldList& list);
void UidActionIndicatorsFields(FieldList& list);
void UidCapabilityIndicatorsFields(FieldList& list);
void CcnrPossibleIndicatorFields(FieldList& list);
void CcssFields(FieldList& list);
void CollectCallRequestFields(FieldList& list);
void FacilityIndicatorFields(FieldList& list);
void ServiceActivationFields(FieldList& list);
void LoopPreventionIndicatorsFields(FieldList& list);
void HopCounterFields(FieldList& list);
void PropagationDelayCounterFields(FieldList& list);
void CallHistoryInformationFields(FieldList& list);
void NumberPortabilityForwardInformationNetworkOptionFields(FieldList& list);
void BackwardGvnsFields(FieldList& list);
void CallingGeodeticLocationFields(FieldList& list);

}  // namespace truno
