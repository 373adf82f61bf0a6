#pragma once
// Call-control indicator and cause parameters: a decoder for each parameter with logic of its
// own, each a ParameterDecoder, and the field block of each parameter that is only its field
// lines (CallControlFieldBlocks.cpp).
#include "base/ParameterDecoder.h"

namespace truno {

void TransmissionMediumRequirement(std::string_view contents, Text& out);
void CauseIndicators(std::string_view contents, Text& out);
void UserServiceInformation(std::string_view contents, Text& out);
void CircuitStateIndicatorNationalUse(std::string_view contents, Text& out);
void RangeAndStatus(std::string_view contents, Text& out);
void AutomaticCongestionLevel(std::string_view contents, Text& out);
void UserToUserIndicators(std::string_view contents, Text& out);
// The circuit group query messages' own handling of codes 16 and 26 (the range alone, and one
// circuit state octet per circuit), fully decoded.
void CircuitQueryRange(std::string_view contents, Text& out);
void CircuitStateIndicators(std::string_view contents, Text& out);

// The field rows of each decoder (FieldList, base/FieldBlock.h).
void TransmissionMediumRequirementFields(FieldList& list);
void CauseIndicatorsFields(FieldList& list);
void UserServiceInformationFields(FieldList& list);
void CircuitStateIndicatorNationalUseFields(FieldList& list);
void RangeAndStatusFields(FieldList& list);
void AutomaticCongestionLevelFields(FieldList& list);
void UserToUserIndicatorsFields(FieldList& list);
void CircuitQueryRangeFields(FieldList& list);
void CircuitStateIndicatorsFields(FieldList& list);

// The parameters whose contents are one block of field lines, in code order: the parameter
// table draws each with appendFieldBlock and lists its fields from the block's rows.
extern const FieldBlock kNatureOfConnectionIndicatorsBlock;
extern const FieldBlock kForwardCallIndicatorsBlock;
extern const FieldBlock kOptionalForwardCallIndicatorsBlock;
extern const FieldBlock kCallingPartysCategoryBlock;
extern const FieldBlock kInformationRequestIndicatorsNationalUseBlock;
extern const FieldBlock kInformationIndicatorsNationalUseBlock;
extern const FieldBlock kContinuityIndicatorsBlock;
extern const FieldBlock kBackwardCallIndicatorsBlock;
extern const FieldBlock kCircuitGroupSupervisionMessageTypeBlock;
extern const FieldBlock kSuspendResumeIndicatorsBlock;
extern const FieldBlock kEventInformationBlock;
extern const FieldBlock kOptionalBackwardCallIndicatorsBlock;
extern const FieldBlock kAccessDeliveryInformationBlock;
extern const FieldBlock kEchoControlInformationBlock;

}  // namespace truno
