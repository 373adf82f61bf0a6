#pragma once
// National-use parameters: one decoder per parameter, each a ParameterDecoder.
#include "base/ParameterDecoder.h"

namespace truno {

void AdditionalChargingInformation(std::string_view contents, Text& out);
void CallTransferReference(std::string_view contents, Text& out);
void AdditionalRoutingInformation(std::string_view contents, Text& out);
void CarrierSelectionInformationNationalUse(std::string_view contents, Text& out);
void FreephoneIndicators(std::string_view contents, Text& out);
void CallingNameIdentity(std::string_view contents, Text& out);

// The field rows of each decoder (FieldList, base/FieldBlock.h).
void AdditionalChargingInformationFields(FieldList& list);
void CallTransferReferenceFields(FieldList& list);
void AdditionalRoutingInformationFields(FieldList& list);
void CarrierSelectionInformationNationalUseFields(FieldList& list);
void FreephoneIndicatorsFields(FieldList& list);
void CallingNameIdentityFields(FieldList& list);

}  // namespace truno
