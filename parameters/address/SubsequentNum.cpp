#include "parameters/address/AddressDecoders.h"

namespace truno {

// Shown without interpretation: the title and the contents' hex digits.
void SubsequentNum(std::string_view contents, Text& out) {
    titledRaw(out, "SubsequentNumber", contents);
}

}  // namespace truno
