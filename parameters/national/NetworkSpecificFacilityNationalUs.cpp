#include "parameters/national/NationalDecoders.h"

namespace truno {

void NetworkSpecificFacilityNationalUs(std::string_view contents, Text& out) {
    titledRaw(out, "NETWORK SPECIFIC FACILITY", contents);
}

}  // namespace truno
