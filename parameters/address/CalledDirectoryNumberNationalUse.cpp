// Called directory number, national use (code 7D), Q.763 3.86.
#include "parameters/address/AddressDecoders.h"
#include "parameters/address/AddressNumber.h"

namespace truno {
namespace {

// Called directory number (national use): bits 4-1 of octet 2 are not shown.
constexpr BitField kFields[] = {
    address::kOddEvenField,
    address::kNatureBField,
    address::kInternalNetworkNumberField,
    address::kPlanP2Field,
};

constexpr AddressMember kCalledDirectoryNumber{
    .heading = "CALLED DIRECTORY NUMBER:",
    .fields = kFields,
    .digits = address::digitsField("Address Signal"),
    .leadingCrLf = true,
    .digitLineCrLf = false,
};

}  // namespace

void CalledDirectoryNumberNationalUse(std::string_view contents, Text& out) {
    decodeAddressNumber(kCalledDirectoryNumber, contents, out);
}

void CalledDirectoryNumberNationalUseFields(FieldList& list) { listAddressFields(kCalledDirectoryNumber, list); }

}  // namespace truno
