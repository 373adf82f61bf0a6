// Additional charging information (code FA), a national parameter with no ITU-T clause.
#include "base/Conversions.h"
#include "parameters/national/NationalDecoders.h"

namespace truno {
namespace {

constexpr BitField kValueField{.key = "charging", .label = "ADDITIONAL CHARGING INFORMATION", .level = LineLevel::L1};

}  // namespace

// The whole contents as one number, exact for any length.
void AdditionalChargingInformation(std::string_view contents, Text& out) {
    const HexDecimal decimal(contents);
    fieldLine(out, kValueField, decimal.text());
    if (const HexNumber number = readHexNumber(contents); number.value) out.setFieldNumber(*number.value);
}

void AdditionalChargingInformationFields(FieldList& list) { list.add(kValueField); }

}  // namespace truno
