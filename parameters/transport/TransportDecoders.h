#pragma once
// Compatibility, application transport and identifier parameters: one decoder per parameter, each a
// ParameterDecoder.
#include "base/ParameterDecoder.h"

namespace truno {

void MessageCompatibilityInformation(std::string_view contents, Text& out);
void ParameterCompatibilityInformation(std::string_view contents, Text& out);
void ApplicationTransportParameter(std::string_view contents, Text& out);
void CorrelationId(std::string_view contents, Text& out);

// How the elements of the encapsulated application information give their length: APM98 (the
// application transport parameter with a one-octet context identifier) uses the element's
// octet 2, APM2000 (two-octet identifier) an 11-bit length in octets 2 and 3.
enum class ApmForm { APM98, APM2000 };

// The encapsulated application information (hex digits, two per octet) as a list of bearer
// association elements of Q.765.5. Throws DecodeError when it is empty or an element does not
// fit in it.
void EncapsulatedApplicationInformation(std::string_view information, ApmForm form, Text& out);

// Decoders of single elements; each takes the element's contents (hex digits).
void ActionIndicator(std::string_view contents, Text& out);
void BackboneNetworkConnectionIdentifier(std::string_view contents, Text& out);
void BearerNetworkConnectionCharacteristics(std::string_view contents, Text& out);
void BearerControlTunnelling(std::string_view contents, Text& out);

// The field rows of each decoder (FieldList, base/FieldBlock.h).
void MessageCompatibilityInformationFields(FieldList& list);
void ParameterCompatibilityInformationFields(FieldList& list);
void ApplicationTransportParameterFields(FieldList& list);
void CorrelationIdFields(FieldList& list);
void ActionIndicatorFields(FieldList& list);
void EncapsulatedApplicationInformationFields(FieldList& list);

}  // namespace truno
