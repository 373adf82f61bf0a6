#pragma once
// Address and number parameters, point codes: one decoder per parameter, each a ParameterDecoder.
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

}  // namespace truno
