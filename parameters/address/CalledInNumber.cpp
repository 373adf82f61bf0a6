// Called IN number (code 6F), Q.763 3.72.
#include "parameters/address/AddressDecoders.h"
#include "parameters/address/AddressNumber.h"

namespace truno {
namespace {

// Called IN number: bit 8 and bits 2-1 of octet 2 are not shown.
constexpr BitField kFields[] = {
    address::kOddEvenField,
    address::kNatureBField,
    address::kPlanP2Field,
    address::kPresentationR1Field,
};

constexpr AddressMember kCalledINNumber{
    .heading = "CALLED IN NUMBER:",
    .fields = kFields,
    .digits = address::digitsField("Address Signal"),
    .leadingCrLf = true,
    .digitLineCrLf = true,
};

}  // namespace

void CalledInNumber(std::string_view contents, Text& out) {
    decodeAddressNumber(kCalledINNumber, contents, out);
}

void CalledInNumberFields(FieldList& list) { listAddressFields(kCalledINNumber, list); }

}  // namespace truno
