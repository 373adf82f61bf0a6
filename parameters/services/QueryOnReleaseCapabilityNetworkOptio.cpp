#include "parameters/services/ServiceDecoders.h"

namespace truno {

void QueryOnReleaseCapabilityNetworkOptio(std::string_view contents, Text& out) { placeholderDecoder("QueryOnReleaseCapabilityNetworkOptio", contents, out); }

}  // namespace truno
