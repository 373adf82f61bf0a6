// Called party number (code 04), Q.763 3.9.
#include "parameters/address/AddressDecoders.h"
#include "parameters/address/AddressNumber.h"

namespace truno {
namespace {

// Called party number: bits 4-1 of octet 2 are not shown.
constexpr BitField kFields[] = {
    address::kOddEvenField,
    address::kNatureAField,
    address::kInternalNetworkNumberField,
    address::kPlanP1Field,
};

constexpr AddressMember kCalledPartyNumber{
    .heading = "CALLED PARTY NUMBER:",
    .fields = kFields,
    .digits = address::digitsField("Address Signal"),
    .leadingCrLf = true,
    .digitLineCrLf = false,
};

}  // namespace

void CalledPartyNumber(std::string_view contents, Text& out) {
    decodeAddressNumber(kCalledPartyNumber, contents, out);
}

void CalledPartyNumberFields(FieldList& list) { listAddressFields(kCalledPartyNumber, list); }

}  // namespace truno
