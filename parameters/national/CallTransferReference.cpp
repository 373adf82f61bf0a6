// Call transfer reference (code 43), Q.763 3.65.
#include "base/Conversions.h"
#include "parameters/national/NationalDecoders.h"

namespace truno {
namespace {

constexpr BitField kValueField{.key = "reference", .label = "CALL TRANSFER REFERENCE", .level = LineLevel::L1};

}  // namespace

// The whole contents as one number, exact for any length.
void CallTransferReference(std::string_view contents, Text& out) {
    const HexDecimal decimal(contents);
    fieldLine(out, kValueField, decimal.text());
    if (const HexNumber number = readHexNumber(contents); number.value) out.setFieldNumber(*number.value);
}

void CallTransferReferenceFields(FieldList& list) { list.add(kValueField); }

}  // namespace truno
