// Additional routing information (code FB), a national parameter with no ITU-T clause.
#include "parameters/national/NationalDecoders.h"

namespace truno {

void AdditionalRoutingInformation(std::string_view contents, Text& out) {
    dressLabel(out, "ADDITIONAL ROUTING INFORMATION");
    out += "H'";
    out += contents;
    out += CRLF;
}

}  // namespace truno
