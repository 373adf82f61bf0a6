// Connected number (code 21), Q.763 3.16.
#include "parameters/address/AddressDecoders.h"
#include "parameters/address/AddressNumber.h"

namespace truno {
namespace {

// Connected number: the same fields as the call transfer number.
constexpr AddressMember kConnectedNumber{
    .heading = "CONNECTED NUMBER:",
    .fields = address::kTransferConnectedFields,
    .digits = address::digitsField("Connected Number"),
    .leadingCrLf = false,
    .digitLineCrLf = true,
};

}  // namespace

void ConnectedNumber(std::string_view contents, Text& out) {
    decodeAddressNumber(kConnectedNumber, contents, out);
}

void ConnectedNumberFields(FieldList& list) { listAddressFields(kConnectedNumber, list); }

}  // namespace truno
