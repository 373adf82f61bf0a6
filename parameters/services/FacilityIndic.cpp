#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

#include "core/Conversions.h"

namespace truno {

namespace {

// The whole contents as one number; any value without a row is spare.
constexpr ValuePhrase kFacility[] = {
    {2, "2, User-to-user service."},
};

constexpr std::string_view kLabel = "FACILITY INDICATOR";

}  // namespace

// Also the mandatory octet of the facility request, accepted and reject messages.
void FacilityIndic(std::string_view contents, Text& out) {
    const auto value = servicecommon::contentsNumber(contents);
    DressData(out, kLabel);
    if (value) {
        appendPhrase(out, kFacility, Field{*value, 64}, kFallbackDecimalSpare);
    } else {
        out += hexToDecimalText(contents);  // too long to be listed, so spare
        out += kFallbackDecimalSpare.suffix;
    }
}

}  // namespace truno
