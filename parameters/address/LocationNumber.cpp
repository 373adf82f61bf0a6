// Location number (code 3F), Q.763 3.30.
#include "parameters/address/AddressDecoders.h"
#include "parameters/address/AddressNumber.h"

namespace truno {
namespace {

// Location number: the same fields as the calling party number.
constexpr AddressMember kLocationNumber{
    .heading = "LOCATION NUMBER:",
    .fields = address::kCallingLocationFields,
    .digits = address::digitsField("Location Number"),
    .leadingCrLf = false,
    .digitLineCrLf = true,
};

}  // namespace

void LocationNumber(std::string_view contents, Text& out) {
    decodeAddressNumber(kLocationNumber, contents, out);
}

void LocationNumberFields(FieldList& list) { listAddressFields(kLocationNumber, list); }

}  // namespace truno
