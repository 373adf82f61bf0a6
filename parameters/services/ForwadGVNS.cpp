#include "parameters/services/ServiceDecoders.h"

namespace truno {

// Shown without interpretation: the title and the contents' hex digits as received.
void ForwadGVNS(std::string_view contents, Text& out) { titledRaw(out, "FORWARD GVNS", contents); }

}  // namespace truno
