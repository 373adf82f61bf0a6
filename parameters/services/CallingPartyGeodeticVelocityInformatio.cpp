#include "parameters/services/ServiceDecoders.h"

namespace truno {

// Shown without interpretation: the title and the contents' hex digits as received.
void CallingPartyGeodeticVelocityInformatio(std::string_view contents, Text& out) {
    titledRaw(out, "CALLING PTY GEODETIC VELOCITY", contents);
}

}  // namespace truno
