#pragma once
// Call-control indicator and cause parameters: one decoder per parameter, each a ParameterDecoder.
#include "base/ParameterDecoder.h"

namespace truno {

void NatureOfConnectionIndicators(std::string_view contents, Text& out);
void ForwardCallIndicators(std::string_view contents, Text& out);
void CallingPartysCategory(std::string_view contents, Text& out);
void TransmissionMediumRequirement(std::string_view contents, Text& out);
void BackwardCallIndicators(std::string_view contents, Text& out);
void CauseIndicators(std::string_view contents, Text& out);
void OptionalForwardCallIndicators(std::string_view contents, Text& out);
void OptionalBackwardCallIndicators(std::string_view contents, Text& out);
void EventInformation(std::string_view contents, Text& out);
void InformationIndicatorsNationalUse(std::string_view contents, Text& out);
void InformationRequestIndicatorsNationalUse(std::string_view contents, Text& out);
void UserServiceInformation(std::string_view contents, Text& out);
void CircuitGroupSupervisionMessageType(std::string_view contents, Text& out);
void ContinuityIndicators(std::string_view contents, Text& out);
void SuspendResumeIndicators(std::string_view contents, Text& out);
void CircuitStateIndicatorNationalUse(std::string_view contents, Text& out);
void RangeAndStatus(std::string_view contents, Text& out);
void AccessDeliveryInformation(std::string_view contents, Text& out);
void AutomaticCongestionLevel(std::string_view contents, Text& out);
void EchoControlInformation(std::string_view contents, Text& out);
void UserToUserIndicators(std::string_view contents, Text& out);
// The circuit group query messages' own handling of codes 16 and 26 (the range alone, and one
// circuit state octet per circuit), fully decoded.
void CircuitQueryRange(std::string_view contents, Text& out);
void CircuitStateIndicators(std::string_view contents, Text& out);

// The field rows of each decoder (FieldList, base/FieldBlock.h).
void NatureOfConnectionIndicatorsFields(FieldList& list);
void ForwardCallIndicatorsFields(FieldList& list);
void CallingPartysCategoryFields(FieldList& list);
void TransmissionMediumRequirementFields(FieldList& list);
void BackwardCallIndicatorsFields(FieldList& list);
void CauseIndicatorsFields(FieldList& list);
void OptionalForwardCallIndicatorsFields(FieldList& list);
void OptionalBackwardCallIndicatorsFields(FieldList& list);
void EventInformationFields(FieldList& list);
void InformationIndicatorsNationalUseFields(FieldList& list);
void InformationRequestIndicatorsNationalUseFields(FieldList& list);
void UserServiceInformationFields(FieldList& list);
void CircuitGroupSupervisionMessageTypeFields(FieldList& list);
void ContinuityIndicatorsFields(FieldList& list);
void SuspendResumeIndicatorsFields(FieldList& list);
void CircuitStateIndicatorNationalUseFields(FieldList& list);
void RangeAndStatusFields(FieldList& list);
void AccessDeliveryInformationFields(FieldList& list);
void AutomaticCongestionLevelFields(FieldList& list);
void EchoControlInformationFields(FieldList& list);
void UserToUserIndicatorsFields(FieldList& list);
void CircuitQueryRangeFields(FieldList& list);
void CircuitStateIndicatorsFields(FieldList& list);

}  // namespace truno
