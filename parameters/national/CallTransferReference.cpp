// Call transfer reference (code 43), Q.763 3.65.
#include "base/Conversions.h"
#include "parameters/national/NationalDecoders.h"

namespace truno {

// The whole contents as one number, exact for any length.
void CallTransferReference(std::string_view contents, Text& out) {
    const HexDecimal decimal(contents);
    lineL1(out, "CALL TRANSFER REFERENCE", decimal.text());
}

}  // namespace truno
