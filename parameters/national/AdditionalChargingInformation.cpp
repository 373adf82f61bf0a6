// Additional charging information (code FA), a national parameter with no ITU-T clause.
#include "base/Conversions.h"
#include "parameters/national/NationalDecoders.h"

namespace truno {

// The whole contents as one number, exact for any length.
void AdditionalChargingInformation(std::string_view contents, Text& out) {
    const HexDecimal decimal(contents);
    lineL1(out, "ADDITIONAL CHARGING INFORMATION", decimal.text());
}

}  // namespace truno
