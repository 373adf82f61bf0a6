#include "parameters/address/AddressDecoders.h"

namespace truno {

// Shown without interpretation: the title and the contents' hex digits.
void RedirectingNum(std::string_view contents, Text& out) {
    titledRaw(out, "RedirectingNumber", contents);
}

}  // namespace truno
