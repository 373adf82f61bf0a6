#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {

// The interlock code (network identity and binary code) is shown as received.
void ClosedUserGrpInterlockCode(std::string_view contents, Text& out) {
    titledRaw(out, "CLOSED USER GRP INTERLOCK CODE", contents);
}

}  // namespace truno
