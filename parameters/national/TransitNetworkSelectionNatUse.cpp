#include "parameters/national/NationalDecoders.h"

namespace truno {

void TransitNetworkSelectionNatUse(std::string_view contents, Text& out) {
    titledRaw(out, "TransitNetworkSelectionNationalUse", contents);
}

}  // namespace truno
