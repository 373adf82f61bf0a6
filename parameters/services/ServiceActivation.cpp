// Service activation (code 33), Q.763 3.49.
#include "parameters/services/ServiceDecoders.h"

#include "base/FieldTable.h"

namespace truno {

namespace {

// The whole contents as one number: 0 and 1 have rows, 2 to 127 are reserved, and higher
// values are shown as the bare number.
constexpr ValuePhrase kServiceActivation[] = {
    {0, "0, spare"},
    {1, "1, call transfer."},
};

constexpr std::uint64_t kLastReserved = 127;

constexpr BitField kActivationField{.key = "activation", .label = "SERVICE ACTIVATION", .level = LineLevel::L1};

}  // namespace

void ServiceActivation(std::string_view contents, Text& out) {
    const HexNumber activation = readHexNumber(contents);
    dressField(out, kActivationField);
    if (activation.value) out.setFieldNumber(*activation.value);
    if (activation.value && *activation.value <= kLastReserved)
        appendPhrase(out, kServiceActivation, Field{*activation.value, 64},
                     kFallbackDecimalReserved);
    else
        appendDecimal(out, activation);  // a value beyond 64 bits is far above the reserved range
    out += CRLF;
}

void ServiceActivationFields(FieldList& list) { list.add(kActivationField); }

}  // namespace truno
