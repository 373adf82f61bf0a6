#include "parameters/services/ServiceDecoders.h"

namespace truno {

void CallingPartyGeodeticVelocityInformatio(std::string_view contents, Text& out) { placeholderDecoder("CallingPartyGeodeticVelocityInformatio", contents, out); }

}  // namespace truno
