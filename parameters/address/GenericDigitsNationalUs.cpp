#include "parameters/address/AddressDecoders.h"

namespace truno {

// Shown without interpretation: the title and the contents' hex digits.
void GenericDigitsNationalUs(std::string_view contents, Text& out) {
    titledRaw(out, "GENERIC DIGITS- NAT.USE", contents);
}

}  // namespace truno
