#pragma once
// Compatibility, application transport and identifier parameters: one decoder per parameter, each a ParameterDecoder.
#include "core/ParameterDecoder.h"

namespace truno {

void MessageCompatibilityInformatio(std::string_view contents, Text& out);
void ParCompatiblityInfo(std::string_view contents, Text& out);
void ApplicTransportPar(std::string_view contents, Text& out);
void ConnectionReq(std::string_view contents, Text& out);
void INServiceCompatibilit(std::string_view contents, Text& out);
void CodingDecodingProcessin(std::string_view contents, Text& out);
void CorrelatioId(std::string_view contents, Text& out);

}  // namespace truno
