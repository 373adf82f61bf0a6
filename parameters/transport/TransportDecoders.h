#pragma once
// Compatibility, application transport and identifier parameters: one decoder per parameter, each a
// ParameterDecoder.
#include "base/ParameterDecoder.h"

namespace truno {

void MessageCompatibilityInformatio(std::string_view contents, Text& out);
void ParCompatiblityInfo(std::string_view contents, Text& out);
void ApplicTransportPar(std::string_view contents, Text& out);
void ConnectionReq(std::string_view contents, Text& out);
void INServiceCompatibilit(std::string_view contents, Text& out);
void CodingDecodingProcessin(std::string_view contents, Text& out);
void CorrelatioId(std::string_view contents, Text& out);

// How the elements of the encapsulated application information give their length: APM98 (the
// application transport parameter with a one-octet context identifier) uses the element's
// octet 2, APM2000 (two-octet identifier) an 11-bit length in octets 2 and 3.
enum class ApmForm { APM98, APM2000 };

// The encapsulated application information (hex digits, two per octet) as a list of bearer
// association elements of Q.765.5. Throws DecodeError when it is empty or an element does not
// fit in it.
void EncapsulatedApplInfo(std::string_view information, ApmForm form, Text& out);

// Decoders of single elements; each takes the element's contents (hex digits).
void ActionIndic(std::string_view contents, Text& out);
void BackboneNetConID(std::string_view contents, Text& out);
void BearerNetConnChars(std::string_view contents, Text& out);
void BearerContrlTunnelingIndic(std::string_view contents, Text& out);
void CodecLst(std::string_view contents, Text& out);
void SinglCodec(std::string_view contents, Text& out);
void BATCompatReport(std::string_view contents, Text& out);

}  // namespace truno
