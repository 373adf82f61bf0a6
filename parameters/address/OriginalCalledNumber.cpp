// Original called number (code 28), Q.763 3.39.
#include "parameters/address/AddressDecoders.h"
#include "parameters/address/AddressNumber.h"

namespace truno {
namespace {

// Original called number: bit 8 and bits 2-1 of octet 2 are not shown.
constexpr BitField kFields[] = {
    address::kOddEvenField,
    address::kNatureDField,
    address::kPlanP5Field,
    address::kPresentationR2Field,
};

constexpr AddressMember kOriginalCalledNumber{
    .heading = "ORIGINAL CALLED NUMBER:",
    .fields = kFields,
    .digits = address::digitsField("Address Signal"),
    .leadingCrLf = true,
    .digitLineCrLf = true,
};

}  // namespace

void OriginalCalledNumber(std::string_view contents, Text& out) {
    decodeAddressNumber(kOriginalCalledNumber, contents, out);
}

void OriginalCalledNumberFields(FieldList& list) { listAddressFields(kOriginalCalledNumber, list); }

}  // namespace truno
