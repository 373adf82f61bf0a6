// Calling party number (code 0A), Q.763 3.10.
#include "parameters/address/AddressDecoders.h"
#include "parameters/address/AddressNumber.h"

namespace truno {
namespace {

// Calling party number: every bit of octets 1 and 2 is shown.
constexpr AddressMember kCallingPartyNumber{
    .heading = "CALLING PARTY NUMBER:",
    .fields = address::kCallingLocationFields,
    .digits = address::digitsField("Calling Party Number"),
    .leadingCrLf = false,
    .digitLineCrLf = true,
};

}  // namespace

void CallingPartyNumber(std::string_view contents, Text& out) {
    decodeAddressNumber(kCallingPartyNumber, contents, out);
}

void CallingPartyNumberFields(FieldList& list) { listAddressFields(kCallingPartyNumber, list); }

}  // namespace truno
