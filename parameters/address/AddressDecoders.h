#pragma once
// Address and number parameters, point codes: one decoder per parameter, each a ParameterDecoder.
#include "base/FieldBlock.h"
#include "base/ParameterDecoder.h"

namespace truno {

void CalledPartyNumber(std::string_view contents, Text& out);
void CallingPartyNumber(std::string_view contents, Text& out);
void ConnectedNumber(std::string_view contents, Text& out);
void OriginalCalledNumber(std::string_view contents, Text& out);
void LocationNumber(std::string_view contents, Text& out);
void CallTransferNumber(std::string_view contents, Text& out);
void CalledInNumber(std::string_view contents, Text& out);
void CalledDirectoryNumberNationalUse(std::string_view contents, Text& out);
void InterworkingFunctionAddress(std::string_view contents, Text& out);

// The field rows of each number parameter.
void CalledPartyNumberFields(FieldList& list);
void CallingPartyNumberFields(FieldList& list);
void ConnectedNumberFields(FieldList& list);
void OriginalCalledNumberFields(FieldList& list);
void LocationNumberFields(FieldList& list);
void CallTransferNumberFields(FieldList& list);
void CalledInNumberFields(FieldList& list);
void CalledDirectoryNumberNationalUseFields(FieldList& list);

}  // namespace truno
