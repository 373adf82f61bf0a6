#include "parameters/national/NationalDecoders.h"

namespace truno {

void NetworkSpecificFacilityNationalUs(std::string_view contents, Text& out) { placeholderDecoder("NetworkSpecificFacilityNationalUs", contents, out); }

}  // namespace truno
