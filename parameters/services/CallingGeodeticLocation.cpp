// Calling geodetic location (code 81), Q.763 3.88.
#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

// Octet 1 bits D C.
constexpr Phrase kPresentationRestriction[] = {
    {"00", "0, presentation allowed"},
    {"01", "1, presentation restricted"},
    {"10", "2, location not available"},
    {"11", "3, spare"},
};

// Octet 1 bits B A.
constexpr Phrase kScreening[] = {
    {"00", "0, user provided, not verified"},
    {"01", "1, user provided, verified and passed"},
    {"10", "2, user provided, verified and failed"},
    {"11", "3, network provided"},
};

// Octet 2 bits G F E D C B A; unlisted shapes show as their bits.
constexpr Phrase kTypeOfShape[] = {
    {"0000000", "0, ellipsoid point"},
    {"0000001", "1, ellipsoid point with uncertainty"},
    {"0000010", "2, ellipsoid point with altitude and uncertainty"},
    {"0000011", "3, ellipse on the ellipsoid"},
    {"0000100", "4, ellipsoid circle sector"},
    {"0000101", "5, polygon"},
    {"0000110", "6, ellipsoid point with altitude"},
};

// Octets 1 and 2 are read each on its own; the shape description after them is not decoded.
constexpr BitField kLines[] = {
    {.key = "location_presentation_restricted", .label = "Location Presentation Restrict. Indic", .octet = 1, .bits = {4, 3},
     .table = kPresentationRestriction},
    {.key = "screening", .label = "Screening Indicator", .octet = 1, .bits = {2, 1}, .table = kScreening},
    {.key = "type_of_shape", .label = "Type of Shape", .octet = 2, .bits = {7, 1}, .table = kTypeOfShape},
};

constexpr FieldBlock kFields{"", kLines, BlockEnding::LineEnd};
constexpr BitField kLocationContents{.key = "contents", .label = "", .type = FieldType::Hex};

}  // namespace

// The contents as received, for the whole location, then the fields of octets 1 and 2 that
// say how to read it.
void CallingGeodeticLocation(std::string_view contents, Text& out) {
    appendTitledContents(out, "CALLING GEODETIC LOCATION", kLocationContents, contents);
    out += CRLF;
    appendFieldBlock(out, contents, kFields);
}

void CallingGeodeticLocationFields(FieldList& list) {
    list.add(kLocationContents);
    list.add(kLines);
}

}  // namespace truno
