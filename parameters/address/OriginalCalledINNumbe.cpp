#include "parameters/address/AddressDecoders.h"

namespace truno {

// Shown without interpretation: the title and the contents' hex digits.
void OriginalCalledINNumbe(std::string_view contents, Text& out) {
    titledRaw(out, "ORIGINAL CALLED IN NUMBER", contents);
}

}  // namespace truno
