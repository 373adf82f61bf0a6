#include "parameters/services/ServiceDecoders.h"

namespace truno {

// Shown without interpretation: the title and the contents' hex digits as received.
void HTRInformatio(std::string_view contents, Text& out) {
    titledRaw(out, "HTR INFORMATION", contents);
}

}  // namespace truno
