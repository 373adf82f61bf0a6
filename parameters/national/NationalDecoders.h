#pragma once
// National-use parameters: a decoder for each parameter with logic of its own, each a
// ParameterDecoder, and the field block of each parameter that is only its field lines
// (NationalFieldBlocks.cpp).
#include "base/ParameterDecoder.h"

namespace truno {

void AdditionalRoutingInformation(std::string_view contents, Text& out);
void CarrierSelectionInformationNationalUse(std::string_view contents, Text& out);
void CallingNameIdentity(std::string_view contents, Text& out);

// The field rows of each decoder (FieldList, base/FieldBlock.h).
void AdditionalRoutingInformationFields(FieldList& list);
void CarrierSelectionInformationNationalUseFields(FieldList& list);
void CallingNameIdentityFields(FieldList& list);

// The parameters whose contents are one block of field lines, in code order: the parameter
// table draws each with appendFieldBlock and lists its fields from the block's rows.
extern const FieldBlock kFreephoneIndicatorsBlock;

// The parameters whose contents are one number (exact for any length) on one line: the parameter
// table draws each with appendNumberLine.
extern const BitField kCallTransferReferenceField;
extern const BitField kAdditionalChargingInformationField;

}  // namespace truno
