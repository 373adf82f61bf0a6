#include "parameters/address/AddressDecoders.h"

namespace truno {

// Shown without interpretation: the title and the contents' hex digits.
void GenericNumbe(std::string_view contents, Text& out) {
    titledRaw(out, "GENERIC NUMBER", contents);
}

}  // namespace truno
