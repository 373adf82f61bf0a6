#pragma once
// Supplementary-service and network parameters: a decoder for each parameter with logic of its
// own, each a ParameterDecoder, and the field block of each parameter that is only its field
// lines (ServiceFieldBlocks.cpp).
#include "base/ParameterDecoder.h"

namespace truno {

void MlppPrecedence(std::string_view contents, Text& out);
void FacilityIndicator(std::string_view contents, Text& out);
void ServiceActivation(std::string_view contents, Text& out);
void LoopPreventionIndicators(std::string_view contents, Text& out);
void PropagationDelayCounter(std::string_view contents, Text& out);
void CallHistoryInformation(std::string_view contents, Text& out);
void CallingGeodeticLocation(std::string_view contents, Text& out);

// The field rows of each decoder (FieldList, base/FieldBlock.h).
void MlppPrecedenceFields(FieldList& list);
void FacilityIndicatorFields(FieldList& list);
void ServiceActivationFields(FieldList& list);
void LoopPreventionIndicatorsFields(FieldList& list);
void PropagationDelayCounterFields(FieldList& list);
void CallHistoryInformationFields(FieldList& list);
void CallingGeodeticLocationFields(FieldList& list);

// The parameters whose contents are one block of field lines, in code order: the parameter
// table draws each with appendFieldBlock and lists its fields from the block's rows.
extern const FieldBlock kRedirectionInformationBlock;
extern const FieldBlock kGenericNotificationIndicatorBlock;
extern const FieldBlock kCallDiversionInformationBlock;
extern const FieldBlock kMcidRequestIndicatorsBlock;
extern const FieldBlock kMcidResponseIndicatorsBlock;
extern const FieldBlock kHopCounterBlock;
extern const FieldBlock kRedirectionNumberRestrictionBlock;
extern const FieldBlock kCcssBlock;
extern const FieldBlock kBackwardGvnsBlock;
extern const FieldBlock kRedirectCapabilityNationalUseBlock;
extern const FieldBlock kNetworkManagementControlsBlock;
extern const FieldBlock kCallDiversionTreatmentIndicatorsBlock;
extern const FieldBlock kCallOfferingTreatmentIndicatorsBlock;
extern const FieldBlock kConferenceTreatmentIndicatorsBlock;
extern const FieldBlock kUidActionIndicatorsBlock;
extern const FieldBlock kUidCapabilityIndicatorsBlock;
extern const FieldBlock kRedirectCounterNationalUseBlock;
extern const FieldBlock kCollectCallRequestBlock;
extern const FieldBlock kCcnrPossibleIndicatorBlock;
extern const FieldBlock kPivotCapabilityBlock;
extern const FieldBlock kPivotRoutingIndicatorsBlock;
extern const FieldBlock kQueryOnReleaseCapabilityNetworkOptionBlock;
extern const FieldBlock kPivotStatusNationalUseBlock;
extern const FieldBlock kPivotCounterBlock;
extern const FieldBlock kRedirectStatusNationalUseBlock;
extern const FieldBlock kNumberPortabilityForwardInformationNetworkOptionBlock;
extern const FieldBlock kCallTransferTreatmentIndicatorBlock;

}  // namespace truno
