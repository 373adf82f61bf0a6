// Facility indicator (code 18), Q.763 3.22.
#include "parameters/services/ServiceDecoders.h"

#include "base/FieldTable.h"

namespace truno {

namespace {

// The whole contents as one number; any value without a row, however long, is spare.
constexpr ValuePhrase kFacility[] = {
    {2, "2, User-to-user service."},
};

constexpr BitField kFacilityField{.key = "facility", .label = "FACILITY INDICATOR", .level = LineLevel::L1};

}  // namespace

// Also the mandatory octet of the facility request, accepted and reject messages.
void FacilityIndicator(std::string_view contents, Text& out) {
    const HexNumber facility = readHexNumber(contents);
    dressField(out, kFacilityField);
    appendPhrase(out, kFacility, facility, kFallbackDecimalSpare);
}

void FacilityIndicatorFields(FieldList& list) { list.add(kFacilityField); }

}  // namespace truno
