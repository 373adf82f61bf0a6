#pragma once
// Address and number parameters, point codes: one decoder per parameter, each a ParameterDecoder.
#include "base/ParameterDecoder.h"

namespace truno {

void CalledPartyNo(std::string_view contents, Text& out);
void CallingPartyNumb(std::string_view contents, Text& out);
void ConnectedNum(std::string_view contents, Text& out);
void OriginalCalledNumb(std::string_view contents, Text& out);
void LocationNumbe(std::string_view contents, Text& out);
void CallTransferNumbe(std::string_view contents, Text& out);
void CalledINNumbe(std::string_view contents, Text& out);
void CalledDirectoryNumberNationalUs(std::string_view contents, Text& out);
void GenericDigitsNationalUs(std::string_view contents, Text& out);
void GenericNumbe(std::string_view contents, Text& out);
void NetworkRoutingNumberNationalUs(std::string_view contents, Text& out);
void OriginalCalledINNumbe(std::string_view contents, Text& out);
void OriginationISCPointCod(std::string_view contents, Text& out);
void RedirectingNum(std::string_view contents, Text& out);
void RedirectionNum(std::string_view contents, Text& out);
void SignallingPointCodeNatUse(std::string_view contents, Text& out);
void SubsequentNum(std::string_view contents, Text& out);
void InterworkFuncAddr(std::string_view contents, Text& out);

}  // namespace truno
