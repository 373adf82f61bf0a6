// Call transfer number (code 45), Q.763 3.64.
#include "parameters/address/AddressDecoders.h"
#include "parameters/address/AddressNumber.h"

namespace truno {
namespace {

// Call transfer number: bit 8 of octet 2 is not shown.
constexpr AddressMember kCallTransferNumber{
    .heading = "CALL TRANSFER NUMBER:",
    .fields = address::kTransferConnectedFields,
    .digits = address::digitsField("Call Transfer Number"),
    .leadingCrLf = false,
    .digitLineCrLf = true,
};

}  // namespace

void CallTransferNumber(std::string_view contents, Text& out) {
    decodeAddressNumber(kCallTransferNumber, contents, out);
}

void CallTransferNumberFields(FieldList& list) { listAddressFields(kCallTransferNumber, list); }

}  // namespace truno
